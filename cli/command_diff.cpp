// tqm5 diff A B: what differs between two radio images, or an image and the
// radio ("radio"), in plain words, through the program's own codecs.
#include <iostream>

#include "app/document_diff.h"
#include "app/radio_backup.h"
#include "app/startup.h"
#include "cli.h"

namespace tqm5::cli {

namespace {

std::optional<RadioImage> source(const std::string& name, const Options& options) {
    if (name == "radio") {
        Radio radio(options);
        return readRadio(radio);
    }
    std::string why;
    std::optional<RadioImage> image = loadImageFile(name, why);
    if (!image) error(why);
    return image;
}

}  // namespace

int diff(const Options& options) {
    if (options.args.size() != 2) {
        error("usage: tqm5 diff A B   (each an image file, or radio)");
        return Usage;
    }
    std::optional<RadioImage> images[2];
    Document docs[2];
    for (int i = 0; i < 2; ++i) {
        const std::string& name = options.args[std::size_t(i)];
        images[i] = source(name, options);
        if (!images[i]) return Usage;  // as diff(1): 2 for trouble, 1 for a difference
        startUp(docs[i]);
        if (!loadImageIntoDocument(*images[i], docs[i]))
            std::cerr << "tqm5: note: some of " << options.args[std::size_t(i)]
                      << " could not be read as the program reads a radio; compared as far as it could\n";
    }
    const std::vector<std::string> lines = documentDifferences(docs[0], docs[1]);
    for (const std::string& l : lines) std::cout << l << "\n";
    if (lines.empty() && !(*images[0] == *images[1]))
        std::cout << "No difference the program shows; the images differ in bytes it does not use\n";
    return lines.empty() ? Ok : Failed;  // 1: they differ
}

}  // namespace tqm5::cli
