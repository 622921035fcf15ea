#pragma once
// Writing only what changed: the document encoded over the image the radio
// is known to hold, and the blocks that differ between the two.
#include <string>
#include <vector>

#include "app/document.h"
#include "files/radio_image.h"

namespace tqm5 {

// The image a full write of `doc` leaves in the radio: `over` with every
// area the program writes encoded from the document, byte for byte as
// Write All sends it (glyphs only where the document holds them).
RadioImage encodeDocument(const Document& doc, const RadioImage& over);

// The pass-channel index the radio keeps for the channels `image` holds, as
// Memory Write builds it.
Bytes passIndexOf(const RadioImage& image);

struct ChangeSet {
    // The blocks whose bytes differ from `kept`, in the order Write All
    // writes them (the pass-channel index where it changes).
    std::vector<WrittenBlock> blocks;
    // The parts of the radio `kept` does not know, in plain words; the
    // changes cannot be told without them.
    std::vector<std::string> unknown;
};
// The blocks of a whole write (as restoreBlocks lists them) that differ from
// `kept`. A write that sends only some glyphs names them in `glyphs`; none:
// the whole font.
ChangeSet changedBlocks(std::vector<WrittenBlock> blocks, const RadioImage& kept, const GlyphSet* glyphs);
// What Write Changes sends: the document encoded over `kept`, less what
// `kept` already holds.
ChangeSet changesToWrite(const Document& doc, const RadioImage& kept);

// Compares what the radio answered for `block` with `kept` where `kept`
// knows the bytes; the first difference, or nothing. The unused last byte
// of every group record is never compared (it goes on the line as 0x00s).
std::optional<Mismatch> differsFromKept(uint32_t address, const Bytes& answered, const RadioImage& kept,
                                       int length);

}  // namespace tqm5
