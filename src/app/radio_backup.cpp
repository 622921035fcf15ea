#include "app/radio_backup.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/startup.h"
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

bool loadImageIntoDocument(const RadioImage& image, Document& doc) {
    ImageLink link(image);
    SilentHost host;
    Commands commands(doc, link, host);
    PlanAllData windows(commands);
    return commands.readAll(windows) == TransferOutcome::Success;
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
    const bool ok = loadImageIntoDocument(*image, doc_);
    host_.message(ok ? engine::SuccessText : engine::ErrorText, ok ? engine::FinishTitle : engine::ErrorTitle);
    return ok;
}

}  // namespace tqm5
