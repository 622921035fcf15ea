#pragma once
// How many of the 1000 ordinary channels each of the 50 banks holds, the
// rules of the page's bank boxes, and the two blocks the layout takes in the
// radio.
#include <array>
#include <cstdint>
#include <numeric>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/listeners.h"
#include "channels/channel_grid.h"

namespace tqm5 {

struct BankLayout {
    static constexpr int Banks = GridBanks;
    static constexpr int Channels = 1000;
    static constexpr int MaxSize = 1000;  // one bank may hold every channel
    BankSizes size{};
    // The bank whose slider last had the focus ("Up"/"Down" act on it); -1
    // before any had.
    int selected = -1;
    // The sizes changed (an edit, a reset, a read): views refresh.
    Listeners<> changed;

    BankLayout() { setDefault(); }
    // Banks 0 to 9 hold 100 channels each, the others none. Notifies.
    void reset() {
        setDefault();
        changed.notify();
    }
    int total() const { return std::accumulate(size.begin(), size.end(), 0); }
    bool complete() const { return total() == Channels; }

    // Sets one bank's size (clamped to 0..MaxSize). Notifies.
    void setSize(int bank, int value);
    // "Up" (+1) or "Down" (-1) on the selected bank; nothing when none is
    // selected or the size would leave 0..MaxSize. True when it changed.
    bool step(int delta);
    // The sizes of all 50 banks at once. Notifies.
    void assign(const std::array<int, Banks>& sizes);

    // The banks that hold channels, in bank order.
    std::vector<int> usedBanks() const;

private:
    void setDefault() { size = defaultBankSizes(); }
};

// --- the bank boxes -------------------------------------------------------
// A digit typed into a box holding `text` is taken while it holds at most
// three characters (so a fourth digit is the last one taken).
bool bankBoxTakesDigit(std::string_view text);
// The size a box stands for when it is applied (Enter, leaving it): its
// digits only, empty as 0, anything above 1000 as 100.
int bankBoxValue(std::string_view text);

// --- the radio's bank area ----------------------------------------------------
// Block 0 holds banks 0 to 31, block 1 banks 32 to 49 followed by the seven
// fixed words and zeros; 64 bytes each.
constexpr int BankBlocks = 2;
constexpr int BankBlockBytes = 64;
constexpr int firstBankOfBlock(int block) { return block == 0 ? 0 : 32; }
constexpr int bankCountOfBlock(int block) { return block == 0 ? 32 : 18; }
uint32_t bankBlockAddress(int block);

std::vector<uint8_t> encodeBankBlock(const BankLayout& layout, int block);
// The sizes of the block's banks into `sizes` (other banks untouched). A
// size is its first byte plus 256 times the low four bits of the second.
// False when a size exceeds 1000: such a layout cannot be shown.
bool decodeBankBlock(const std::vector<uint8_t>& data, int block, std::array<int, BankLayout::Banks>& sizes);

}  // namespace tqm5
