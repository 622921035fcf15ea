// tqm5 restore FILE [--verify]: writes a radio image back, every region the
// program writes, in the order Write All uses; with --verify everything
// written is read back and compared.
#include <iostream>

#include "app/radio_backup.h"
#include "app/startup.h"
#include "channels/pass_index.h"
#include "cli.h"

namespace tqm5::cli {

int restore(const Options& options) {
    if (options.args.size() != 1 || !options.output.empty()) {
        error("usage: tqm5 restore FILE [--verify]");
        return Usage;
    }
    const Result<RadioImage> loaded = loadImageFile(options.args[0]);
    if (!loaded) {
        error(loaded.error() + "; nothing was written");
        return Failed;
    }
    const RadioImage& image = loaded.value();
    // The pass-channel index is never read from the radio: it is built from
    // the image's channels as Memory Write builds it.
    Document channels;
    startUp(channels);
    loadImageIntoDocument(image, channels);
    const auto index = buildPassIndex(channels.grid);
    const std::vector<WrittenBlock> blocks = restoreBlocks(image, Bytes(index.begin(), index.end()));

    Radio radio(options);
    const TransferOutcome out = radio.run(restorePlan(blocks));
    if (out != TransferOutcome::Success) {
        error("restoring failed: " + radio.failure(out) + "; the radio may be partly written");
        return Failed;
    }
    if (options.verify) {
        std::vector<Mismatch> mismatches;
        const TransferOutcome checked = radio.run(verifyPlan(blocks, mismatches));
        if (checked != TransferOutcome::Success) {
            error("the image was written, but reading it back failed: " + radio.failure(checked));
            return Failed;
        }
        if (!mismatches.empty()) {
            for (const Mismatch& m : mismatches)
                error("verify: the radio did not store what was written at " + describe(m, channels.grid));
            error("verify failed: " + std::to_string(mismatches.size()) + " block(s) differ");
            return Failed;
        }
        std::cerr << "tqm5: verified: the radio holds every block as written" << std::endl;
    }
    std::cerr << "tqm5: radio restored from " << options.args[0] << std::endl;
    return Ok;
}

}  // namespace tqm5::cli
