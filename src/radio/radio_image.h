#pragma once
// The radio's memory as the program knows it: every region the program reads
// or writes, byte for byte, and which bytes are known (read from the radio,
// written to it, or taken from an image file). Transfers move blocks between
// the radio and an image; the areas decode from one and encode into one.
#include <cstdint>
#include <vector>

#include "radio/memory_map.h"

namespace tqm5 {

using Bytes = std::vector<uint8_t>;

// One region of the image: where it lives in the radio and what it holds.
struct ImageRegion {
    const char* name;
    radio::Area area;
};

// Every region, in the order an image file stores them.
const std::vector<ImageRegion>& imageRegions();

class RadioImage {
public:
    RadioImage();  // every byte zero and unknown

    // The bytes of `length` at `address`; every byte must lie in a region.
    Bytes bytes(uint32_t address, int length) const;
    Bytes bytes(const radio::Area& area) const { return bytes(area.address, area.length); }
    // The `length` bytes at `address`, with 0x00 for those outside every
    // region (as the radio answers a 64-byte read that runs past an area).
    Bytes block(uint32_t address, int length) const;
    // Every byte lies in a region.
    bool holds(uint32_t address, int length) const;
    // Every byte lies in a region and is known.
    bool knows(uint32_t address, int length) const;
    bool knows(const radio::Area& area) const { return knows(area.address, area.length); }
    // Every region is known whole.
    bool complete() const;
    // Stores the part of `data` (placed at `address`) that falls in the
    // regions, marks it known and returns how many bytes that was.
    int put(uint32_t address, const Bytes& data);
    // Marks the bytes unknown (a write whose outcome is not known).
    void forget(uint32_t address, int length);
    // Takes every byte `other` knows.
    void merge(const RadioImage& other);
    // Forgets everything: every byte zero and unknown.
    void clear();

    // The regions' bytes one after another, in imageRegions() order.
    const Bytes& body() const { return body_; }
    // Compares the bytes alone.
    bool operator==(const RadioImage& other) const { return body_ == other.body_; }

private:
    Bytes body_;
    std::vector<bool> known_;
};

}  // namespace tqm5
