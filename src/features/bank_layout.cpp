#include "features/bank_layout.h"

#include <algorithm>

#include "radio/byte_view.h"
#include "radio/memory_map.h"

namespace tqm5 {
namespace {

// Offsets inside the second bank block, after banks 32 to 49.
enum BankField : std::size_t {
    SizeBytes = 2,
    FixedWordsAt = 18 * SizeBytes,  // seven words the radio expects after bank 49
};
// The words written after bank 49, whatever was read there.
constexpr std::array<uint16_t, 7> FixedWords = {100, 200, 100, 3, 100, 100, 20};

}  // namespace

void BankLayout::setSize(int bank, int value) {
    if (bank < 0 || bank >= Banks) return;
    size[static_cast<std::size_t>(bank)] = std::clamp(value, 0, MaxSize);
    changed.notify();
}

bool BankLayout::step(int delta) {
    if (selected < 0 || selected >= Banks) return false;
    const int next = size[static_cast<std::size_t>(selected)] + delta;
    if (next < 0 || next > MaxSize) return false;
    setSize(selected, next);
    return true;
}

void BankLayout::assign(const std::array<int, Banks>& sizes) {
    for (int b = 0; b < Banks; ++b) size[static_cast<std::size_t>(b)] = std::clamp(sizes[static_cast<std::size_t>(b)], 0, MaxSize);
    changed.notify();
}

std::vector<int> BankLayout::usedBanks() const {
    std::vector<int> used;
    for (int b = 0; b < Banks; ++b)
        if (size[static_cast<std::size_t>(b)] > 0) used.push_back(b);
    return used;
}

bool bankBoxTakesDigit(std::string_view text) { return text.size() <= 3; }

int bankBoxValue(std::string_view text) {
    long value = 0;
    bool any = false;
    for (char c : text) {
        if (c < '0' || c > '9') continue;
        any = true;
        value = std::min<long>(value * 10 + (c - '0'), 100000);  // no overflow on pasted text
    }
    if (!any) return 0;
    return value > BankLayout::MaxSize ? 100 : static_cast<int>(value);
}

uint32_t bankBlockAddress(int block) {
    return radio::BankLayout.address + static_cast<uint32_t>(block * BankBlockBytes);
}

std::vector<uint8_t> encodeBankBlock(const BankLayout& layout, int block) {
    std::vector<uint8_t> data(BankBlockBytes, 0);
    radio::ByteView v(data);
    const int first = firstBankOfBlock(block);
    for (int i = 0; i < bankCountOfBlock(block); ++i)
        v.setLe16(SizeBytes * static_cast<std::size_t>(i), static_cast<uint16_t>(layout.size[static_cast<std::size_t>(first + i)]));
    if (block == 1)
        for (std::size_t w = 0; w < FixedWords.size(); ++w) v.setLe16(FixedWordsAt + SizeBytes * w, FixedWords[w]);
    return data;
}

bool decodeBankBlock(const std::vector<uint8_t>& data, int block, std::array<int, BankLayout::Banks>& sizes) {
    if (data.size() < static_cast<std::size_t>(BankBlockBytes)) return false;
    radio::ConstByteView v(data);
    const int first = firstBankOfBlock(block);
    std::array<int, BankLayout::Banks> out = sizes;
    for (int i = 0; i < bankCountOfBlock(block); ++i) {
        const std::size_t at = SizeBytes * static_cast<std::size_t>(i);
        const int value = v.u8(at) + 256 * v.lowNibble(at + 1);
        if (value > BankLayout::MaxSize) return false;
        out[static_cast<std::size_t>(first + i)] = value;
    }
    sizes = out;
    return true;
}

}  // namespace tqm5
