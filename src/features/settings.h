#pragma once
// The Set Mode settings: the list position of every catalogue item, the
// language the pages are labelled in, the settings image that mirrors the
// radio's settings region, its codec, the two page resets and the settings
// read and write (which carry the DTMF blocks along).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/listeners.h"
#include "engine/plan.h"
#include "features/dtmf.h"
#include "features/setmode_catalogue.h"

namespace tqm5 {

constexpr int SettingsImageBytes = 146;
using SettingsImage = std::array<uint8_t, SettingsImageBytes>;

// Fixed places of the settings image outside the catalogue's items.
namespace SettingsByte {
enum : int {
    Magic = 0,        // always 0xA5
    ChDisplaySecond = 7,
    DialRingSecond = 95,
};
}  // namespace SettingsByte

struct SetModeSettings {
    // One list position per catalogue item.
    std::vector<int> positions;
    // Per item: the last read found a value no entry of the list stands
    // for. The list shows no entry, its position stays as it was, and a
    // write sends the byte back as read until the user picks an entry.
    std::vector<bool> held;
    // The language the pages are labelled in.
    int labelled = English;
    int relabels = 0;  // how often the pages were labelled anew
    bool scanTimerChecked = false;
    std::string scanTime = "1";
    SettingsImage image{};
    // `image` holds what a radio held (a read, a write, or a memory file
    // that carried it), not the start-up zeros.
    bool imageFromRadio = false;
    // Values of the last read that no list can show, one line each.
    std::vector<std::string> readNotes;

    Listeners<> changed;     // positions or the scan timer changed
    Listeners<> relabelled;  // captions and entries follow `labelled`

    SetModeSettings();
    int position(int item) const { return positions[static_cast<std::size_t>(item)]; }
    int position(const std::string& control) const { return position(setModeItemIndex(control)); }
    bool isHeld(int item) const { return held[static_cast<std::size_t>(item)]; }
    bool isHeld(const std::string& control) const { return isHeld(setModeItemIndex(control)); }
    // The entry the list shows: -1 while the radio's value is held.
    int shown(int item) const { return isHeld(item) ? -1 : position(item); }
    void set(int item, int position) {
        positions[static_cast<std::size_t>(item)] = position;
        held[static_cast<std::size_t>(item)] = false;
    }
};

// Start-up: every list at its start-up position, labelled in Japanese and
// then switched to English by the Language item.
void applyStartupPositions(SetModeSettings& s);
// Relabels the pages in `language` unless they already are; the positions
// stay. True when it relabelled.
bool ApplySetModeLanguage(SetModeSettings& s, int language);
// The user picks an entry; the Language item also relabels the pages.
void selectSetModeItem(SetModeSettings& s, int item, int position);
void setScanTimer(SetModeSettings& s, bool checked, const std::string& text);

void resetSetModePage(SetModeSettings& s);    // without the DTMF reset
void resetCommonSetPage(SetModeSettings& s);

// The position the image selects for one item; nullopt when no entry of its
// list stands for the value (or the item is not in the image).
std::optional<int> decodeSettingItem(const SetModeItem& item, const SettingsImage& image);
// Sets every item from the image; returns the values no list can show.
std::vector<std::string> applySettingsImage(SetModeSettings& s, const SettingsImage& image);
// Write Protect from the byte at its own address.
std::optional<int> decodeWriteProtect(uint8_t byte);

// The image as a write builds it from the positions and the last read.
SettingsImage encodeSettingsImage(const SetModeSettings& s, const SettingsImage& lastRead);
// Block n (0, 1, 2): its address, how many bytes a write sends, and those bytes.
uint32_t settingsBlockAddress(int block);
int settingsBlockLength(int block);
std::vector<uint8_t> encodeSettingsBlock(int block, const SetModeSettings& s, const SettingsImage& lastRead);

constexpr int BusySettingsRead = 7;
constexpr int BusySettingsWrite = 8;
// The three settings blocks an image holds, as one settings image.
SettingsImage settingsImageOf(const RadioImage& image);
// Every item, Write Protect and the DTMF memories and lists an image holds;
// the values no list can show go into the settings' readNotes.
void takeSettings(const RadioImage& image, SetModeSettings& s, DtmfSettings& dtmf);
engine::Plan readSettingsPlan(SetModeSettings& s, DtmfSettings& dtmf);
engine::Plan writeSettingsPlan(SetModeSettings& s, DtmfSettings& dtmf);

}  // namespace tqm5
