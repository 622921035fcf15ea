#pragma once
// The nine one-touch memory keys: each recalls a bank and a channel position
// inside it, or is unused ("No Setting"). The keys choose from the banks
// that hold channels; a key whose bank or channel the current layout cannot
// show keeps what it holds until the user sets it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/listeners.h"
#include "engine/plan.h"
#include "features/bank_layout.h"
#include "radio/radio_image.h"

namespace tqm5 {

constexpr int OneTouchKeyCount = 9;
// The radio keeps a channel position in one byte.
constexpr int OneTouchMaxChannels = 256;
constexpr uint8_t OneTouchUnused = 0xFF;

struct OneTouchKey {
    bool noSetting = true;
    // What the key recalls: a bank number and a channel position in it.
    int bank = 0;
    int channel = 0;
    // The bank list holds `bank` and its channel list holds `channel`: the
    // lists show the key. When false the key shows no selection and keeps
    // its bank and channel as they are.
    bool resolved = true;
    // Entries of the key's channel list ("0" .. n-1).
    int channelCount = 0;
};

class OneTouchMemories {
public:
    OneTouchMemories();

    const std::vector<int>& bankList() const { return bankList_; }
    const OneTouchKey& key(int k) const { return keys_.at(static_cast<std::size_t>(k)); }
    // Position of the key's bank in the bank list, -1 when not resolved.
    int bankPosition(int k) const;
    // Position of the key's channel in its channel list, -1 when none.
    int channelPosition(int k) const;

    // Refills the bank list from `layout` and brings every key back to its
    // bank and channel where the layout still has them; a key whose bank or
    // channel is gone keeps them, unresolved. "No Setting" is untouched.
    void rebuild(const BankLayout& layout);
    // Every key unused, at the first bank and channel "0".
    void reset();
    // The user chooses a bank (list position) or a channel; the key is then
    // what the lists show.
    void selectBank(int k, int position);
    void selectChannel(int k, int position);
    void setNoSetting(int k, bool on);
    // Key k recalls `bank` and `channel` as the radio holds them, shown
    // when the layout has them and kept unresolved otherwise (a read does
    // the same; a memory file gives back what its lines cannot name).
    void hold(int k, int bank, int channel);

    // The 27 bytes of the radio's one-touch area.
    std::vector<uint8_t> encode() const;
    // Takes the 27 bytes (of a 64-byte read) into the keys.
    bool decode(const std::vector<uint8_t>& data);

    Listeners<> changed;

private:
    void resolve(OneTouchKey& key);
    void firstEntry(OneTouchKey& key);

    std::array<int, BankLayout::Banks> sizes_{};
    std::vector<int> bankList_;
    std::array<OneTouchKey, OneTouchKeyCount> keys_{};
};

// The keys an image holds, resolved against the keys' layout.
void takeOneTouch(const RadioImage& image, OneTouchMemories& keys);
// Reads the area into an image of its own; the keys change once it arrived.
engine::Plan oneTouchReadPlan(OneTouchMemories& keys);
engine::Plan oneTouchWritePlan(const OneTouchMemories& keys);

}  // namespace tqm5
