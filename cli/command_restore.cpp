// tqm5 restore FILE [--verify] [--changes | --resume]: writes a radio image
// back, every region the program writes in the order Write All uses (or only
// the blocks that differ from what the radio is known to hold; or finishes
// the cut write); with --verify everything written is read back and compared.
#include <iostream>

#include "app/radio_backup.h"
#include "cli.h"

namespace tqm5::cli {

int restore(const Options& options) {
    if (options.resume) {
        if (!options.args.empty() || !options.output.empty() || options.changes) {
            error("usage: tqm5 restore --resume (the cut write is finished as it was begun)");
            return Usage;
        }
        Radio radio(options);
        return resumeWrite(radio);
    }
    if (options.args.size() != 1 || !options.output.empty()) {
        error("usage: tqm5 restore FILE [--verify] [--changes | --resume]");
        return Usage;
    }
    const Result<RadioImage> loaded = loadImageFile(options.args[0]);
    if (!loaded) {
        error(loaded.error() + "; nothing was written");
        return Failed;
    }
    const RadioImage& image = loaded.value();
    Radio radio(options);
    if (!radio.claim()) return Failed;
    if (options.changes && !loadKeptImage(radio)) return Failed;
    // The document shows the image, so a difference is named by the row
    // label the image's own bank layout gives it.
    loadImageIntoDocument(image, radio.doc);
    const TransferOutcome out = radio.commands.allData.writeImage(image, options.changes, options.verify);
    const int status = writeEnded(radio, out, "radio restored from " + options.args[0]);
    if (status == Ok && (options.verify || options.changes))
        std::cerr << "tqm5: verified: the radio holds every block as written" << std::endl;
    return status;
}

}  // namespace tqm5::cli
