// tqm5 read -o FILE.M5 [--font FILE.FM5]: Read All, then Save (and the
// glyphs into a font file); a safety copy of what was read.
#include <iostream>

#include "app/radio_backup.h"
#include "cli.h"
#include "font/font_file.h"

namespace tqm5::cli {

int read(const Options& options) {
    if (options.output.empty() || !options.args.empty()) {
        error("usage: tqm5 read -o FILE.M5 [--font FILE.FM5]");
        return Usage;
    }
    Radio radio(options);
    if (!radio.claim()) return Failed;
    PlanAllData steps(radio.commands);
    const TransferOutcome out = radio.commands.allData.readAll(steps);
    radio.host.finishProgress();
    if (out != TransferOutcome::Success) {
        error("reading the radio failed: " + radio.failure(out) + "; no file was written");
        return Failed;
    }
    if (radio.doc.radio.complete()) safetyCopy(radio.doc.radio, options);
    if (!radio.commands.files.saveMemoryFile(options.output)) return Failed;  // it said why
    std::cerr << "tqm5: radio saved to " << options.output << std::endl;
    if (!options.font.empty()) {
        if (const Result<void> saved = writeFontFile(options.font, radio.doc.glyphs); !saved) {
            error("the user characters were not saved: " + saved.error());
            return Failed;
        }
        std::cerr << "tqm5: user characters saved to " << options.font << std::endl;
    }
    return Ok;
}

}  // namespace tqm5::cli
