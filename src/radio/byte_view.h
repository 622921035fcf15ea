#pragma once
// Reads and writes the fields of a block of radio memory: bytes, nibbles,
// bits and little-endian numbers at an offset. Codecs name their offsets
// and go through these, so no codec indexes raw bytes by hand.
#include <cstddef>
#include <cstdint>
#include <span>

namespace tqm5::radio {

class ConstByteView {
public:
    ConstByteView(std::span<const uint8_t> bytes) : b_(bytes) {}
    std::size_t size() const { return b_.size(); }
    uint8_t u8(std::size_t at) const { return b_[at]; }
    int lowNibble(std::size_t at) const { return b_[at] & 0x0F; }
    int highNibble(std::size_t at) const { return b_[at] >> 4; }
    bool bit(std::size_t at, int bit) const { return (b_[at] >> bit) & 1; }
    uint16_t le16(std::size_t at) const { return static_cast<uint16_t>(b_[at] | b_[at + 1] << 8); }
    uint32_t le32(std::size_t at) const {
        return uint32_t(b_[at]) | uint32_t(b_[at + 1]) << 8 | uint32_t(b_[at + 2]) << 16 | uint32_t(b_[at + 3]) << 24;
    }
    std::span<const uint8_t> bytes(std::size_t at, std::size_t n) const { return b_.subspan(at, n); }

private:
    std::span<const uint8_t> b_;
};

class ByteView : public ConstByteView {
public:
    ByteView(std::span<uint8_t> bytes) : ConstByteView(bytes), w_(bytes) {}
    void setU8(std::size_t at, uint8_t v) { w_[at] = v; }
    void setLowNibble(std::size_t at, int v) { w_[at] = static_cast<uint8_t>((w_[at] & 0xF0) | (v & 0x0F)); }
    void setHighNibble(std::size_t at, int v) { w_[at] = static_cast<uint8_t>((w_[at] & 0x0F) | (v & 0x0F) << 4); }
    void setBit(std::size_t at, int bit, bool on) {
        w_[at] = static_cast<uint8_t>(on ? (w_[at] | 1u << bit) : (w_[at] & ~(1u << bit)));
    }
    void setLe16(std::size_t at, uint16_t v) {
        w_[at] = static_cast<uint8_t>(v);
        w_[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void setLe32(std::size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) w_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void fill(std::size_t at, std::size_t n, uint8_t v) {
        for (std::size_t i = 0; i < n; ++i) w_[at + i] = v;
    }

private:
    std::span<uint8_t> w_;
};

}  // namespace tqm5::radio
