#pragma once
// Where the document still holds what the radio gave, a write sends the
// radio's own bytes back. A block read and written back unchanged then
// returns byte for byte even where the radio holds bytes no control can
// show: an empty title slot between characters, an opening-slide byte other
// than the two the list writes, bits no bank stands for in a group record or
// a bank size, a key's unused byte.
#include <cstdint>

#include "app/document.h"
#include "files/radio_image.h"

namespace tqm5 {

// `encoded` (what the document's values make of the block at `address`),
// or the bytes `radio` (what the radio is known to hold), else the
// document's `held` (what a memory file or image brought), has there when
// the program would make exactly `encoded` of them: the user changed
// nothing the block holds.
Bytes keptWhereUnchanged(const Document& doc, const RadioImage& radio, uint32_t address, const Bytes& encoded);

// The areas' blocks as the document's values encode them: banks, one-touch
// keys, title, settings, DTMF, groups (not the channels or glyphs).
std::vector<WrittenBlock> encodeAreas(const Document& doc);
// The blocks a write sends as the radio or a memory file gave them rather
// than as the program encodes them: what a memory file must carry to give
// them back.
RadioImage carriedBytes(const Document& doc);

// `plan` with each write block's bytes passed through keptWhereUnchanged,
// against the document's image of the radio as the plan starts (a block
// being written is not known until the radio confirms it).
engine::Plan keepingUnchanged(const Document& doc, engine::Plan plan);

}  // namespace tqm5
