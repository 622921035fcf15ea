#pragma once
// The radio's 64-byte channel record: where each grid row lives in the
// radio, and how a row becomes a record and back.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "radio/memory_map.h"

#include "channels/channel_grid.h"

namespace tqm5 {

using Record = std::array<uint8_t, 64>;

// Where each field sits in a channel record.
namespace RecordField {
enum : int {
    Use = 0,             // low nibble 0 empty, 1 in use, 2 in use in a transmit band
    RxFrequency = 1,     // 32 bits, Hz
    Mode = 5,            // low nibble
    Step = 6,            // low nibble
    ShiftFrequency = 7,  // 32 bits, Hz
    ShiftDirection = 11, // low nibble: 0 off, 1 plus, 2 minus
    ToneMode = 12,       // low nibble
    TxTone = 13,         // tone number, index + 1
    RxTone = 14,         // tone number, index + 1
    Dcs = 15,
    TrainTone = 16,
    Fixed17 = 17,        // 0x00
    Fixed18 = 18,        // 0x3E
    Skip = 19,           // low nibble 1: skipped
    Fixed20 = 20,        // 0x0A
    Name = 32,           // 16 slots of two bytes, low byte first
};
constexpr int NameSlots = 16;
}  // namespace RecordField

enum : uint8_t { UseEmpty = 0x00, UseInUse = 0x01, UseInUseTransmit = 0x02 };

// Radio record number held by a grid row (dual rows interleave the radio's
// main 1101.. and sub 1201.. memories).
int recordOfRow(int row);
// The grid row that holds radio record `record` (1 to 1623).
int rowOfRecord(int record);
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
