#include "app/radio_backup.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/startup.h"
#include "channels/record_codec.h"
#include "files/safety_copies.h"
#include "font/font_transfer.h"
#include "protocol/answers.h"
#include "protocol/clone_protocol.h"

namespace tqm5 {

engine::Plan glyphReadPlan(GlyphSet& glyphs) {
    engine::Plan plan;
    plan.busyCode = BusyReadAll;
    plan.what = "user characters";
    plan.budgets = {FontTransfer::TimeoutLimit};
    auto scratch = std::make_shared<GlyphSet>(glyphs);
    for (int g = 0; g < GlyphCount; ++g) {
        engine::Block b;
        b.kind = engine::Block::Kind::Read;
        b.address = radio::glyphAddress(g);
        b.length = radio::MaxBlockBytes;  // the radio answers every read with 64 bytes
        b.before = {-1, g * 100 / GlyphCount};
        b.decode = [scratch, g](const Bytes& data) {
            if (!scratch->decode(g, Bytes(data.begin(), data.begin() + radio::GlyphBytes))) return false;
            scratch->setKnown(g, true);
            return true;
        };
        plan.blocks.push_back(std::move(b));
    }
    plan.completed = [&glyphs, scratch] { glyphs = *scratch; };
    return plan;
}

bool PlanAllData::readFontWindow() {
    // Read All's own step: the busy code it holds for the windows is this read's.
    commands_.document().state.quiet = QuietOn;
    commands_.document().state.busy = Idle;
    return commands_.transfer(glyphReadPlan(commands_.document().glyphs)) == TransferOutcome::Success;
}

bool PlanAllData::readGroupWindow() {
    if (!commands_.openGroupWindow()) return false;
    return commands_.groupRead(true) == TransferOutcome::Success;
}

namespace {

// A radio that holds the image's bytes and answers reads from them at once.
// Bytes outside the image read as 0x00; writes are refused.
class ImageLink : public SerialLink {
public:
    explicit ImageLink(const RadioImage& image) : image_(image) {}
    void setSettings(const std::string&) override {}
    void setPortNumber(int) override {}
    void open() override { open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void write(const Bytes& command) override {
        pending_ = command;
        const auto filler = [&] { pending_.insert(pending_.end(), {'0', '0'}); };
        if (command == identificationCommand()) {
            filler();
            pending_.insert(pending_.end(), {'O', 'K', '\r', '\n'});
            return;
        }
        uint32_t address = 0;
        if (!parseRead(command, address)) {
            filler();
            pending_.insert(pending_.end(), {'N', 'G', '\r', '\n'});
            return;
        }
        filler();
        Bytes data(radio::MaxBlockBytes, 0);
        for (int i = 0; i < radio::MaxBlockBytes; ++i)
            if (image_.holds(address + uint32_t(i), 1)) data[std::size_t(i)] = image_.bytes(address + uint32_t(i), 1)[0];
        const Bytes asWritten = writeCommand(0, data);  // the data digits, as the radio sends them
        pending_.insert(pending_.end(), asWritten.begin() + 10, asWritten.end() - 1);
        pending_.insert(pending_.end(), {'\r', '\n'});
    }
    int bytesAvailable() override { return static_cast<int>(pending_.size()); }
    Bytes readAll() override { return std::exchange(pending_, {}); }
    void clearInput() override { pending_.clear(); }
    void waitForInput(int) override {}

private:
    static bool parseRead(const Bytes& command, uint32_t& address) {
        if (command.size() != readCommand(0).size()) return false;
        address = 0;
        for (std::size_t i = 4; i < 9; ++i) {  // the five address digits
            const uint8_t c = command[i];
            const int v = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (v < 0) return false;
            address = address * 16 + uint32_t(v);
        }
        return readCommand(address) == command;
    }
    const RadioImage& image_;
    Bytes pending_;
    bool open_ = false;
};

}  // namespace

bool loadImageIntoDocument(const RadioImage& image, Document& doc, std::string* problem) {
    ImageLink link(image);
    SilentHost host;
    Commands commands(doc, link, host);
    PlanAllData windows(commands);
    // Each step's blocks in order and how many were taken: the first step
    // that stopped short names the block it could not use.
    std::string what, firstProblem;
    std::vector<uint32_t> addresses;
    std::size_t taken = 0;
    const auto noteShortStep = [&] {
        if (!firstProblem.empty() || taken >= addresses.size()) return;
        char at[16];
        std::snprintf(at, sizeof at, " at 0x%05X", addresses[taken]);
        firstProblem = "the " + what + at;
        if (what == "channels")
            for (int row = 1; row <= LastRow; ++row)
                if (addressOfRow(row) == addresses[taken]) firstProblem += " (" + doc.grid.cell(row, ColLabel) + ")";
    };
    auto starting = commands.transferStarting.connect([&](const engine::Plan& plan) {
        noteShortStep();
        what = plan.what;
        addresses.clear();
        for (const engine::Block& b : plan.blocks) addresses.push_back(b.address);
        taken = 0;
    });
    auto moved = commands.blockMoved.connect([&](bool, uint32_t, const Bytes&) { ++taken; });
    const bool ok = commands.readAll(windows) == TransferOutcome::Success;
    noteShortStep();
    if (!ok && problem) *problem = firstProblem.empty() ? "the radio's data" : firstProblem;
    return ok;
}

ReadAllRecorder::ReadAllRecorder(Commands& commands) : commands_(commands) {
    token_ = commands.blockMoved.connect([this](bool write, uint32_t address, const Bytes& data) {
        if (write) return;
        image_.put(address, data);
        covered_.put(address, Bytes(data.size(), 1));
    });
}

std::optional<RadioImage> ReadAllRecorder::complete() const {
    RadioImage image = image_, covered = covered_;
    // The font window reads the glyphs its own way: they come from the document.
    const GlyphSet& glyphs = commands_.document().glyphs;
    for (int g = 0; g < GlyphCount; ++g) {
        if (!glyphs.known(g)) continue;
        image.put(radio::glyphAddress(g), glyphs.encode(g));
        covered.put(radio::glyphAddress(g), Bytes(radio::GlyphBytes, 1));
    }
    const Bytes& c = covered.body();
    if (!std::all_of(c.begin(), c.end(), [](uint8_t b) { return b == 1; })) return std::nullopt;
    return image;
}

std::string keepSafetyCopy(const RadioImage& image, std::string& error) { return saveSafetyCopy(image, error); }

bool Commands::saveRadioImage(const std::string& path) {
    if (busy() || path.empty()) return false;
    RadioImage image;
    doc_.state.quiet = QuietOn;  // "Success" is shown once the file is saved
    if (transfer(imageReadPlan(image)) != TransferOutcome::Success) return false;
    std::string why;
    if (!saveImageFile(path, image, why)) {
        host_.message(why, engine::ErrorTitle);
        return false;
    }
    host_.message(engine::SuccessText, engine::FinishTitle);
    return true;
}

bool Commands::openRadioImage(const std::string& path) {
    if (busy() || path.empty()) return false;
    std::string why;
    const std::optional<RadioImage> image = loadImageFile(path, why);
    if (!image) {
        host_.message(why, engine::ErrorTitle);
        return false;
    }
    // Read into a document of its own: the window changes only once every
    // part of the image could be used.
    Document read;
    startUp(read);
    std::string problem;
    if (!loadImageIntoDocument(*image, read, &problem)) {
        host_.message("This radio image cannot be used: " + problem +
                          " holds bytes the program cannot read. Nothing was changed.",
                      engine::ErrorTitle);
        return false;
    }
    {
        RecordedChange change(history_, doc_, "Open Radio Image");
        adoptRead(read);
    }
    host_.message(engine::SuccessText, engine::FinishTitle);
    return true;
}

void Commands::adoptRead(const Document& read) {
    // Assignments keep each model's own listeners; the views are told after.
    const int row = doc_.grid.row(), rowSel = doc_.grid.rowSel();
    doc_.grid = read.grid;
    doc_.grid.setRedraw(false);
    doc_.grid.setSelection(row, rowSel);
    doc_.grid.setRedraw(true);
    doc_.origin = read.origin;
    doc_.known = read.known;
    doc_.unsavedRows = read.unsavedRows;
    doc_.banks.assign(read.banks.size);
    doc_.groups.unavailable = read.groups.unavailable;
    doc_.groups.assign(read.groups.member);
    doc_.oneTouch = read.oneTouch;
    doc_.oneTouch.changed.notify();
    const int labelled = doc_.setMode.labelled;
    doc_.setMode = read.setMode;
    doc_.setMode.labelled = labelled;
    ApplySetModeLanguage(doc_.setMode, read.setMode.labelled);
    doc_.setMode.changed.notify();
    applyDtmf(doc_.dtmf, read.dtmf);
    doc_.title.text = read.title.text;
    doc_.title.slide = read.title.slide;
    doc_.title.changed.notify();
    doc_.glyphs = read.glyphs;
}

}  // namespace tqm5
