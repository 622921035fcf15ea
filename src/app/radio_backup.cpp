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
    // Each area decodes through its own read plan, fed from the image
    // instead of the line: the same path a read from the radio takes, so an
    // image fills the document exactly as Read All of that radio does.
    SilentHost host;
    struct Step {
        std::function<engine::Plan()> plan;
        std::function<void()> taken;  // after the step's blocks were all used
    };
    const Step steps[] = {
        {[&] { return channelReadPlan(doc.grid, host, 1, LastRow, true); },
         [&] {
             doc.origin = ChannelOrigin{true, -1};
             doc.markSaved(1, LastRow);
         }},
        {[&] { return bankReadPlan(doc.banks); },
         [&] {
             followLayout(doc);
             doc.known.banks = true;
         }},
        {[&] {
             // The keys are resolved against the layout just taken.
             doc.oneTouch.rebuild(doc.banks);
             return oneTouchReadPlan(doc.oneTouch);
         },
         [&] { doc.known.oneTouch = true; }},
        {[&] { return readTitlePlan(doc.title, doc.grid); }, [&] { doc.known.title = true; }},
        {[&] { return readSettingsPlan(doc.setMode, doc.dtmf); },
         [&] { doc.known.settings = doc.known.dtmf = true; }},
        {[&] { return glyphReadPlan(doc.glyphs); }, [] {}},
        {[&] {
             doc.groups.markAvailability(doc.banks);
             return groupReadPlan(doc.groups);
         },
         [&] { doc.known.groups = true; }},
    };
    for (const Step& step : steps) {
        const engine::Plan plan = step.plan();
        const int failed = engine::decodeFrom(plan, image);
        if (failed < 0) {
            step.taken();
            continue;
        }
        if (problem) {
            const uint32_t address = plan.blocks[static_cast<std::size_t>(failed)].address;
            *problem = "the " + plan.what + " at 0x" + hexAddress(address);
            for (int row = 1; row <= LastRow; ++row)
                if (plan.what == "channels" && addressOfRow(row) == address)
                    *problem += " (" + doc.grid.cell(row, ColLabel) + ")";
        }
        return false;
    }
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
}

}  // namespace tqm5
