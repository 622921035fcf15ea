#include "channels/pass_index.h"

#include <utility>

#include "channels/record_codec.h"

namespace tqm5 {

std::array<uint8_t, PassIndexBytes> buildPassIndex(const ChannelGrid& grid) {
    std::array<uint8_t, PassIndexBytes> idx;
    idx.fill(0xFF);
    std::vector<std::pair<int, long long>> list;  // pass channel number, frequency in 10 Hz
    for (int i = 0; i < 100; ++i) {
        int row = FirstPassRow + i;
        if (grid.inUse(row)) list.emplace_back(i, frequencyOfText(grid.cell(row, ColFreq)).value_or(0));
    }
    // Exchange sort that swaps only strictly higher neighbours: equal
    // frequencies keep ascending channel order.
    for (std::size_t pass = 0; pass + 1 < list.size(); ++pass)
        for (std::size_t j = 0; j + 1 < list.size() - pass; ++j)
            if (list[j].second > list[j + 1].second) std::swap(list[j], list[j + 1]);
    if (list.empty()) return idx;
    auto putFreq = [&](int entry, long long f) {
        uint32_t hz = static_cast<uint32_t>(f * 10);
        for (int k = 0; k < 4; ++k) idx[entry * 7 + k] = static_cast<uint8_t>(hz >> (8 * k));
        idx[entry * 7 + 4] = 0xFF;
    };
    const int first = list.front().first;
    putFreq(first, list.front().second);
    idx[first * 7 + 6] = static_cast<uint8_t>(first);
    putFreq(100, list.front().second);
    idx[100 * 7 + 5] = static_cast<uint8_t>(first);
    for (std::size_t k = 1; k < list.size(); ++k) {
        const int p = list[k - 1].first, q = list[k].first;
        putFreq(q, list[k].second);
        idx[q * 7 + 6] = static_cast<uint8_t>(p);
        idx[p * 7 + 5] = static_cast<uint8_t>(q);
    }
    return idx;
}

std::vector<PassIndexBlock> passIndexBlocks(const std::array<uint8_t, PassIndexBytes>& index) {
    std::vector<PassIndexBlock> blocks;
    for (int b = 0; b < 11; ++b) {
        const int from = b * 63;
        blocks.push_back({PassIndexAddress + uint32_t(from), {index.begin() + from, index.begin() + from + 63}});
    }
    blocks.push_back({0x0EB5, {index.begin() + 693, index.end()}});
    return blocks;
}

}  // namespace tqm5
