#include "channels/pass_index.h"

#include <utility>

#include "channels/record_codec.h"
#include "radio/byte_view.h"

namespace tqm5 {
namespace {

// The fields of one seven-byte index entry.
namespace Entry {
enum : int { Frequency = 0, Marker = 4, Next = 5, Previous = 6 };
}
constexpr int HeadEntry = 100;
constexpr int PassChannels = 100;
// Written in eleven blocks of nine entries, then entries 99 and 100.
constexpr int BlockEntries = 9;
constexpr int FullBlocks = 11;

}  // namespace

std::array<uint8_t, PassIndexBytes> buildPassIndex(const ChannelGrid& grid) {
    std::array<uint8_t, PassIndexBytes> idx;
    idx.fill(0xFF);
    std::vector<std::pair<int, long long>> list;  // pass channel number, frequency in 10 Hz
    for (int i = 0; i < PassChannels; ++i) {
        const int row = FirstPassRow + i;
        if (grid.inUse(row)) list.emplace_back(i, frequencyOfText(grid.cell(row, ColFreq)).value_or(0));
    }
    // Exchange sort that swaps only strictly higher neighbours: equal
    // frequencies keep ascending channel order.
    for (std::size_t pass = 0; pass + 1 < list.size(); ++pass)
        for (std::size_t j = 0; j + 1 < list.size() - pass; ++j)
            if (list[j].second > list[j + 1].second) std::swap(list[j], list[j + 1]);
    if (list.empty()) return idx;
    radio::ByteView view(idx);
    auto entry = [](int e, int field) { return std::size_t(e * radio::PassIndexEntryBytes + field); };
    auto putFreq = [&](int e, long long f) {
        view.setLe32(entry(e, Entry::Frequency), static_cast<uint32_t>(f * 10));
        view.setU8(entry(e, Entry::Marker), 0xFF);
    };
    const int first = list.front().first;
    putFreq(first, list.front().second);
    view.setU8(entry(first, Entry::Previous), static_cast<uint8_t>(first));
    putFreq(HeadEntry, list.front().second);
    view.setU8(entry(HeadEntry, Entry::Next), static_cast<uint8_t>(first));
    for (std::size_t k = 1; k < list.size(); ++k) {
        const int p = list[k - 1].first, q = list[k].first;
        putFreq(q, list[k].second);
        view.setU8(entry(q, Entry::Previous), static_cast<uint8_t>(p));
        view.setU8(entry(p, Entry::Next), static_cast<uint8_t>(q));
    }
    return idx;
}

std::vector<PassIndexBlock> passIndexBlocks(const std::array<uint8_t, PassIndexBytes>& index) {
    constexpr int blockBytes = BlockEntries * radio::PassIndexEntryBytes;  // 63
    std::vector<PassIndexBlock> blocks;
    for (int b = 0; b < FullBlocks; ++b) {
        const int from = b * blockBytes;
        blocks.push_back({radio::PassIndex.address + uint32_t(from), {index.begin() + from, index.begin() + from + blockBytes}});
    }
    const int rest = FullBlocks * blockBytes;  // entries 99 and 100
    blocks.push_back({radio::PassIndex.address + uint32_t(rest), {index.begin() + rest, index.end()}});
    return blocks;
}

}  // namespace tqm5
