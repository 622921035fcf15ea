#pragma once
// The radio image file: every region of the radio's memory the program
// reads, byte for byte as the radio holds it, with a header that names the
// radio and a checksum, so a file restores a radio completely and a damaged
// or foreign file is refused. The layout is described in docs/radio-image.md.
//
// Also the plans that fill an image from the radio, write an image back in
// the order Write All uses, and read back what was written to compare it.
#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"
#include "engine/plan.h"
#include "protocol/serial_link.h"
#include "radio/memory_map.h"
#include "radio/radio_image.h"

namespace tqm5 {

class ChannelGrid;

constexpr char ImageModel[] = "TQ-M5";
constexpr uint16_t ImageVersion = 1;
constexpr const char* ImageExtension = ".m5img";

// CRC-32 (the polynomial of zip and PNG).
uint32_t crc32(const uint8_t* data, std::size_t length, uint32_t crc = 0);

// The file's bytes.
Bytes serializeImage(const RadioImage& image);
// Reads a file's bytes; a refusal says why (plain words, for the user).
Result<RadioImage> parseImage(const Bytes& file);

// Whole files. Saving writes a temporary file beside `path` and renames it,
// so a failed save never leaves half an image. The errors name the path.
Result<void> saveImageFile(const std::string& path, const RadioImage& image);
Result<RadioImage> loadImageFile(const std::string& path);
// True when the file at `path` begins as a radio image does (whatever its
// name); false when it does not or cannot be read.
bool startsAsImageFile(const std::string& path);

// --- transfers -----------------------------------------------------------------
// Reads every region into `into`, 64 bytes per exchange. `into` changes only
// once every block arrived.
engine::Plan imageReadPlan(RadioImage& into);

// One block a write sends, with the bytes it sends.
struct WrittenBlock {
    uint32_t address = 0;
    Bytes data;
};

// The blocks a restore writes, in the order Write All writes them: channel
// records in grid-row order, the pass-channel index (`passIndex`, built
// from the image's channels), banks, one-touch memories, title, settings
// blocks, DTMF blocks, group areas, glyphs. The write-protect byte is never
// written.
std::vector<WrittenBlock> restoreBlocks(const RadioImage& image, const Bytes& passIndex);
// Writes `blocks`, the group areas in their own wire form.
engine::Plan restorePlan(const std::vector<WrittenBlock>& blocks);

// A byte the radio holds otherwise than was written.
struct Mismatch {
    uint32_t address = 0;
    uint8_t written = 0, read = 0;
};
std::string describe(const Mismatch& m);  // "0x01240: wrote 12, read 00"
// The same with what lives there: the channel by the label `grid` gives its
// row ("0x01240 (channel Bank000-2): wrote 12, read 00"), or the region
// ("0x00200 (bank layout): ...").
std::string describe(const Mismatch& m, const ChannelGrid& grid);

// Reads back every block in `blocks` and adds the first differing byte of
// each block to `mismatches`. The unused last byte of every group record is
// not compared: it goes on the line as two 0x00 bytes, not as its value.
engine::Plan verifyPlan(const std::vector<WrittenBlock>& blocks, std::vector<Mismatch>& mismatches);

}  // namespace tqm5
