// tqm5 diff A B: what differs between two radio images, or an image and the
// radio ("radio"), in plain words, through the program's own codecs.
#include <iostream>
#include <utility>

#include "app/document_diff.h"
#include "app/radio_backup.h"
#include "app/startup.h"
#include "cli.h"

namespace tqm5::cli {

namespace {

// What one side of the comparison holds. A memory file carries no user
// characters and no radio bytes.
struct Side {
    Document doc;
    std::optional<RadioImage> image;
    bool memoryFile = false;
};

// A memory file by its name (".M5" in any case), as the window's Open
// takes it; a radio image is told by its content first, whatever its name.
bool memoryFileName(const std::string& name) {
    if (name.size() <= 3) return false;
    const std::string tail = name.substr(name.size() - 3);
    return tail[0] == '.' && (tail[1] == 'M' || tail[1] == 'm') && tail[2] == '5';
}

// Fills `side` from the radio, an image file or a memory file; false
// (already told) when it cannot be read.
bool load(const std::string& name, const Options& options, Side& side) {
    startUp(side.doc);
    if (name == "radio") {
        Radio radio(options);
        side.image = readRadio(radio);
    } else if (!startsAsImageFile(name) && memoryFileName(name)) {
        Radio files(options);
        if (!openMemoryFile(files, name)) return false;
        side.doc = std::move(files.doc);
        side.memoryFile = true;
        return true;
    } else {
        Result<RadioImage> image = loadImageFile(name);
        if (image) side.image = std::move(image.value());
        else error(image.error());
    }
    if (!side.image) return false;
    if (!loadImageIntoDocument(*side.image, side.doc))
        std::cerr << "tqm5: note: some of " << name
                  << " could not be read as the program reads a radio; compared as far as it could\n";
    return true;
}

}  // namespace

int diff(const Options& options) {
    if (options.args.size() != 2) {
        error("usage: tqm5 diff A B   (each a radio image, a memory file (.M5), or radio)");
        return Usage;
    }
    Side sides[2];
    for (int i = 0; i < 2; ++i)
        if (!load(options.args[std::size_t(i)], options, sides[i])) return Usage;  // as diff(1): 2 for trouble
    // A memory file says nothing about the user characters or the opening
    // slide: they are not compared.
    for (int i = 0; i < 2; ++i) {
        if (!sides[i].memoryFile) continue;
        sides[i].doc.glyphs = sides[1 - i].doc.glyphs;
        sides[i].doc.title.slide = sides[1 - i].doc.title.slide;
    }
    const std::vector<std::string> lines = documentDifferences(sides[0].doc, sides[1].doc);
    for (const std::string& l : lines) std::cout << l << "\n";
    if (lines.empty() && sides[0].image && sides[1].image && !(*sides[0].image == *sides[1].image))
        std::cout << "No difference the program shows; the images differ in bytes it does not use\n";
    return lines.empty() ? Ok : Failed;  // 1: they differ
}

}  // namespace tqm5::cli
