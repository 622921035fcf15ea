#pragma once
// The demo radio: a memory image with a realistic set of channels, so that
// a first "Memory Read" from the emulator shows something worth looking at.
#include <cstdint>
#include <vector>

#include "channels/channel_grid.h"

namespace tqm5::emu {

// The channels of the demo, as the grid holds them after a read: every row
// that holds a channel has its cells, hidden codes, name string and in-use
// flag set; call and preset rows keep their start-up values.
ChannelGrid demoGrid();

// 128 KiB radio memory: every row of `grid` encoded at its record's
// address, every other byte zero.
std::vector<uint8_t> demoImage(const ChannelGrid& grid);

}  // namespace tqm5::emu
