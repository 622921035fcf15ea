// tqm5 write FILE.M5 [--font FILE.FM5] [--verify] [--changes | --resume]:
// Open, then Write All (or Write Changes; or finish the cut write).
// What a memory file does not carry is kept as the radio has it: the radio's
// settings, title, bank layout, one-touch keys and groups are read first (what
// the file leaves as the radio has it goes back byte for byte) and the file
// opened over them (a file without bank lines leaves the radio's layout and
// keys, one from another program the setting bytes no line names), and the user
// characters come from the font file given, or else the radio's own are
// read and written back unchanged.
#include <functional>
#include <iostream>

#include "app/radio_backup.h"
#include "cli.h"
#include "features/banks.h"
#include "features/groups.h"
#include "features/one_touch.h"
#include "features/settings.h"
#include "features/title.h"
#include "font/font_file.h"

namespace tqm5::cli {

int write(const Options& options) {
    if (options.resume) {
        if (!options.args.empty() || !options.output.empty() || options.changes || !options.font.empty()) {
            error("usage: tqm5 write --resume (the cut write is finished as it was begun)");
            return Usage;
        }
        Radio radio(options);
        return resumeWrite(radio);
    }
    if (options.args.size() != 1 || !options.output.empty()) {
        error("usage: tqm5 write FILE.M5 [--font FILE.FM5] [--verify] [--changes | --resume]");
        return Usage;
    }
    const std::string& file = options.args[0];
    Radio radio(options);
    // The files are checked before anything is read from the radio.
    // A file the radio would take only in part reaches no radio either.
    {
        Radio check(options);
        if (!openMemoryFile(check, file)) return Failed;
        if (const std::string why = check.commands.allData.writeAllRefusal(); !why.empty()) {
            error(file + " cannot be written whole: " + why + "; nothing was written");
            return Failed;
        }
    }
    if (!options.font.empty()) {
        if (const Result<FontGlyphsRead> read = readFontFile(options.font, radio.doc.glyphs); !read) {
            error(options.font + " cannot be used as a font file (" + read.error() + "); nothing was written");
            return Failed;
        }
    }
    if (!radio.claim()) return Failed;
    if (options.changes && !loadKeptImage(radio)) return Failed;
    Document& doc = radio.doc;
    const std::function<engine::Plan()> reads[] = {
        [&] { return readSettingsPlan(doc.setMode, doc.dtmf); },
        [&] { return readTitlePlan(doc.title, doc.grid); },
        [&] { return bankReadPlan(doc.banks); },
        [&] {
            doc.oneTouch.rebuild(doc.banks);  // the keys resolve against the radio's layout
            return oneTouchReadPlan(doc.oneTouch);
        },
        [&] {
            doc.groups.markAvailability(doc.banks);
            return groupReadPlan(doc.groups);
        },
    };
    for (const auto& plan : reads) {
        const TransferOutcome got = radio.run(plan());
        if (got != TransferOutcome::Success) {
            error("reading the radio's settings (to keep what the file does not carry) failed: " +
                  radio.failure(got) + "; nothing was written");
            return Failed;
        }
    }
    // What was just read is the radio's own, whatever the file leaves out.
    doc.known.settings = doc.known.dtmf = doc.known.title = doc.known.banks = doc.known.oneTouch = doc.known.groups = true;
    if (!openMemoryFile(radio, file)) return Failed;
    if (options.font.empty()) {
        const TransferOutcome got = radio.run(glyphReadPlan(radio.doc.glyphs));
        if (got != TransferOutcome::Success) {
            error("reading the radio's user characters (to keep them) failed: " + radio.failure(got) +
                  "; nothing was written");
            return Failed;
        }
    }
    if (options.changes)
        return writeEnded(radio, radio.commands.allData.writeChanges(), "changes written from " + file);
    radio.commands.allData.verifyAfterWrite = options.verify;
    const int status = writeEnded(radio, radio.commands.allData.writeAll(), "radio written from " + file);
    if (status == Ok && options.verify) std::cerr << "tqm5: verified: the radio holds every block as written" << std::endl;
    return status;
}

}  // namespace tqm5::cli
