#pragma once
// The pass-channel index the radio keeps beside the channel records: pass
// channels linked in ascending frequency order, with a head entry.
#include <array>
#include <cstdint>
#include <vector>

#include "channels/channel_grid.h"
#include "radio/memory_map.h"

namespace tqm5 {

constexpr int PassIndexBytes = radio::PassIndex.length;  // 707

std::array<uint8_t, PassIndexBytes> buildPassIndex(const ChannelGrid& grid);

// The index is written in 12 blocks: 11 of nine entries, then entries 99 and 100.
struct PassIndexBlock {
    uint32_t address;
    std::vector<uint8_t> data;
};
std::vector<PassIndexBlock> passIndexBlocks(const std::array<uint8_t, PassIndexBytes>& index);

}  // namespace tqm5
