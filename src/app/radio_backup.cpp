#include "app/radio_backup.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/file_commands.h"
#include "app/pages.h"
#include "app/startup.h"
#include "features/banks.h"
#include "features/groups.h"
#include "features/one_touch.h"
#include "features/settings.h"
#include "features/title.h"
#include "channels/record_codec.h"
#include "font/font_transfer.h"
#include "protocol/answers.h"
#include "protocol/clone_protocol.h"

namespace tqm5 {

namespace {

// The glyphs an image holds, every one then known.
void takeGlyphs(const RadioImage& image, GlyphSet& glyphs) {
    for (int g = 0; g < GlyphCount; ++g) {
        glyphs.decode(g, image.bytes(radio::glyphAddress(g), radio::GlyphBytes));
        glyphs.setKnown(g, true);
    }
}

}  // namespace

engine::Plan glyphReadPlan(GlyphSet& glyphs) {
    engine::Plan plan;
    plan.busyCode = BusyReadAll;
    plan.what = "user characters";
    plan.budgets = {FontTransfer::TimeoutLimit};
    plan.image = std::make_shared<RadioImage>();
    for (int g = 0; g < GlyphCount; ++g) {
        engine::Block b;
        b.kind = engine::Block::Kind::Read;
        b.address = radio::glyphAddress(g);
        b.length = radio::MaxBlockBytes;  // the radio answers every read with 64 bytes
        b.before = {-1, g * 100 / GlyphCount};
        plan.blocks.push_back(std::move(b));
    }
    plan.completed = [&glyphs, image = plan.image] { takeGlyphs(*image, glyphs); };
    return plan;
}

bool PlanAllData::readFontWindow() {
    // Read All's own step: the busy code it holds for the windows is this read's.
    Document& doc = commands_.runner.document();
    doc.state.quiet = QuietOn;
    doc.state.busy = Idle;
    return commands_.runner.transfer(glyphReadPlan(doc.glyphs)) == TransferOutcome::Success;
}

bool PlanAllData::readGroupWindow() {
    if (!commands_.groups.openWindow()) return false;
    return commands_.groups.read(true) == TransferOutcome::Success;
}

bool loadImageIntoDocument(const RadioImage& image, Document& doc, std::string* problem) {
    // Each area decodes from the image as its read decodes what the radio
    // sent, in the order of Read All: an image fills the document exactly as
    // Read All of that radio does.
    if (const int row = takeChannels(image, doc.grid); row > 0) {
        if (problem)
            *problem = "the channels at 0x" + hexAddress(addressOfRow(row)) + " (" + doc.grid.cell(row, ColLabel) + ")";
        return false;
    }
    doc.origin = ChannelOrigin{true, -1};
    doc.markSaved(1, LastRow);
    if (!takeBanks(image, doc.banks)) {
        if (problem) *problem = "the bank layout at 0x" + hexAddress(radio::BankLayout.address);
        return false;
    }
    followLayout(doc);
    doc.oneTouch.rebuild(doc.banks);  // the keys resolve against the layout just taken
    takeOneTouch(image, doc.oneTouch);
    takeTitle(image, doc.title, doc.grid);
    takeSettings(image, doc.setMode, doc.dtmf);
    takeGlyphs(image, doc.glyphs);
    doc.groups.markAvailability(doc.banks);
    takeGroups(image, doc.groups);
    doc.known.banks = doc.known.oneTouch = doc.known.title = doc.known.settings = doc.known.dtmf = doc.known.groups = true;
    // A write gives back the image's own bytes where the values are as taken.
    doc.held = image;
    return true;
}

bool FileCommands::saveRadioImage(const std::string& path) {
    if (busy() || path.empty()) return false;
    RadioImage image;
    doc_.state.quiet = QuietOn;  // "Success" is shown once the file is saved
    if (runner_.transfer(imageReadPlan(image)) != TransferOutcome::Success) return false;
    if (const Result<void> saved = saveImageFile(path, image); !saved) {
        host_.message(saved.error(), engine::ErrorTitle);
        return false;
    }
    host_.message(engine::SuccessText, engine::FinishTitle);
    return true;
}

bool FileCommands::openRadioImage(const std::string& path) {
    if (busy() || path.empty()) return false;
    const Result<RadioImage> image = loadImageFile(path);
    if (!image) {
        host_.message(image.error(), engine::ErrorTitle);
        return false;
    }
    // Read into a document of its own: the window changes only once every
    // part of the image could be used.
    Document read;
    startUp(read);
    std::string problem;
    if (!loadImageIntoDocument(image.value(), read, &problem)) {
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

void FileCommands::adoptRead(const Document& read) {
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
    doc_.held = read.held;
}

}  // namespace tqm5
