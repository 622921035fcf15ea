#pragma once
// The radio's 64-byte channel record: where each grid row lives in the
// radio, and how a row becomes a record and back.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "channels/channel_grid.h"

namespace tqm5 {

using Record = std::array<uint8_t, 64>;

constexpr uint32_t ChannelArea = 0x1200;

// Radio record number held by a grid row (dual rows interleave the radio's
// main 1101.. and sub 1201.. memories).
int recordOfRow(int row);
uint32_t addressOfRecord(int record);
inline uint32_t addressOfRow(int row) { return addressOfRecord(recordOfRow(row)); }

enum class DecodeResult { Channel, Empty, Invalid };

// Decodes a record into the row. An empty record only clears the in-use
// flag. A record with a value no table holds is Invalid and leaves the row
// untouched.
DecodeResult decodeRecord(ChannelGrid& grid, int row, const Record& b);
Record encodeRecord(const ChannelGrid& grid, int row);

// Frequency text ("145.00000MHz") split by its length into 10 Hz units;
// nullopt for a text of none of the four lengths.
std::optional<long long> frequencyOfText(const std::string& text);
std::string frequencyText(uint32_t hz);   // "145.00000MHz", or empty below 100 kHz
std::string offsetText(uint32_t hz);      // "5.000MHz"

}  // namespace tqm5
