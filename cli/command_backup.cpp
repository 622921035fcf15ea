// tqm5 backup -o FILE: every region of the radio, byte for byte, into a
// radio image (and a safety copy).
#include <iostream>

#include "cli.h"

namespace tqm5::cli {

int backup(const Options& options) {
    if (options.output.empty() || !options.args.empty()) {
        error("usage: tqm5 backup -o FILE");
        return Usage;
    }
    Radio radio(options);
    const std::optional<RadioImage> image = readRadio(radio);
    if (!image) return Failed;
    if (const Result<void> saved = saveImageFile(options.output, *image); !saved) {
        error("the backup was read but not saved: " + saved.error());
        safetyCopy(*image, options);
        return Failed;
    }
    std::cerr << "tqm5: radio saved to " << options.output << std::endl;
    safetyCopy(*image, options);
    return Ok;
}

}  // namespace tqm5::cli
