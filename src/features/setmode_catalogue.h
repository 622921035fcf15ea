#pragma once
// The radio's Set Mode menu as data: one row per item, with its control,
// captions and entry lists in both languages, page, start-up position and
// the settings-image byte that holds it. The Set Mode and Common Set pages,
// the settings codec and the memory file are all driven from these rows.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tqm5 {

enum SetModeLanguage : int { Japanese = 0, English = 1 };

// The frames items are grouped in.
enum class SetModeGroup {
    ScreenDisplay,
    PowerBatt,
    Transmitter,
    BugDetector,
    Repeater,
    Receiver,
    Scanning,
    Sound,
    KeyAssignment,
    ChDisplay,  // the frame of CH.Display Mode
    Memory,     // the "MEMORY" frame of Write Protect
};
constexpr int SetModeFrameGroups = 9;  // the first nine carry a caption per language

struct SetModeGroupCaption {
    const char* english;
    const char* japanese;
};
const SetModeGroupCaption& groupCaption(SetModeGroup g);

enum class SetModePageKind { SetMode, CommonSet };

// How an item's value sits in the settings image.
enum class SettingEncoding {
    None,         // not in the image (not read, not written)
    Position,     // the list position
    PosPlus1,     // position + 1; 0 and 1 both read as the first entry
    PosPlus3,     // position + 3; a value below 3 reads as itself
    Kept,         // shown from the byte; written back as last read
    KeptPosPlus1, // shown as pos+1; written back as last read
    Code,         // KeyFunctionCodes[position]
    DialRing,     // two bytes (93 and 95)
    ChDisplay,    // two bytes (6 and 7): 0x00 0x00 or 0x0D 0x0D
    Language,     // 0x01 Japanese, 0x00 English
    ShownOnly01,  // shown from the byte; always written as 0x01
    WriteProtect, // the radio's write-protect byte, read only
    ReadAsFirst,  // not in the image; every settings read selects position 0
};

struct SetModeItem {
    std::string control;  // object name, e.g. "Set_Mode_Display[3]"
    SetModeGroup group;
    std::string english, japanese;  // captions
    std::vector<std::string> englishEntries, japaneseEntries;
    // Refilled on a language switch (entries differ, or the list is one of
    // the few refilled with the same entries).
    bool refilled = false;
    SetModePageKind page = SetModePageKind::SetMode;
    int startup = 0;
    int imageByte = -1;  // first byte; -1: none
    SettingEncoding encoding = SettingEncoding::None;

    const std::vector<std::string>& entries(int language) const {
        return language == Japanese ? japaneseEntries : englishEntries;
    }
    const std::string& caption(int language) const { return language == Japanese ? japanese : english; }
    int size() const { return static_cast<int>(englishEntries.size()); }
};

// Every item, in catalogue order.
const std::vector<SetModeItem>& setModeCatalogue();
// Index of the item with this object name; -1 when there is none.
int setModeItemIndex(const std::string& control);

struct KeyFunction {
    uint8_t code;
    const char* english;
    const char* japanese;
};
constexpr int KeyFunctionCount = 51;
extern const std::array<KeyFunction, KeyFunctionCount> KeyFunctionCodes;

// Captions outside the item rows that follow the language.
const char* openingSlideCaption(int language);  // the DOUSA label
const char* chDisplayCaption(int language);     // frame and label of CH.Display Mode

// The scan timer box beside "Timer Set": whole seconds 1 to 300.
extern const char* const ScanTimerCaption;      // "Timer Set"
extern const char* const ScanTimerUnit;         // "(SEC)"
bool scanTimerAcceptsKey(const std::string& text, int key);
std::string normaliseScanTimer(const std::string& text);

}  // namespace tqm5
