#pragma once
// The memory file (.M5): every value the main window edits as Shift-JIS
// text lines, and the reader that checks a whole file before it changes
// anything.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/result.h"
#include "channels/channel_grid.h"
#include "features/bank_layout.h"
#include "features/dtmf.h"
#include "features/groups.h"
#include "features/one_touch.h"
#include "features/settings.h"
#include "features/title.h"
#include "radio/radio_image.h"

namespace tqm5 {

// The models a memory file carries.
struct MemoryFileModels {
    ChannelGrid& grid;
    BankLayout& banks;
    OneTouchMemories& oneTouch;
    DtmfSettings& dtmf;
    OpeningTitle& title;
    GroupTable& groups;
    SetModeSettings& setMode;
    // Bytes a write sends in place of the program's own encoding of a block
    // (see the document's `held`): saved as lines of their own; an opened
    // file's lines replace them. None: neither.
    RadioImage* carried = nullptr;
};

// The longest name or title a file may carry, in code page 932 bytes with
// each user character code ":n~" counting 2.
constexpr int FileNameBytes = 32;

// "Save Date and Time " and the current local date and time.
std::string memoryFileHeader();
// The whole file: header, every channel in use, banks and one-touch keys
// (while the banks total 1000), DTMF, title, groups, Set Mode, the port,
// then lines of this program's own ("X...", which other readers of the
// format skip) for what the radio holds that no standard line can: the
// opening slide, the settings bytes, values no list entry stands for and
// keys on banks the layout leaves empty; and "File End". Code page 932,
// CR LF after every line.
std::string memoryFileBytes(const MemoryFileModels& m, int port, const std::string& header);

// One channel line, read and checked.
struct FileChannel {
    int row = 0;
    std::array<std::string, GridCols> cells;  // columns 1 to 12
    RowAttributes attr;
    bool dropped = false;  // its name is too long: the row is left empty
};

// Everything a file holds, in the order it came; nothing applied yet.
struct MemoryFileContent {
    std::vector<FileChannel> channels;
    // Bank sizes a bank line gave (-1: no line named the bank).
    std::array<int, BankLayout::Banks> bankSizes;
    bool hasBanks = false;
    // One-touch lines in file order: false for a bank line, true for a
    // channel line, and the nine values.
    std::vector<std::pair<bool, std::array<int, OneTouchKeyCount>>> oneTouch;
    std::array<int, DtmfSettings::Memories> dtmfMemorySet{};  // 1 when a line gave memory d
    std::array<std::string, DtmfSettings::Memories> dtmfMemories;
    bool hasDtmfLists = false;
    std::array<int, DtmfLists> dtmfLists{};
    bool hasTitle = false;
    std::string title;
    std::array<bool, GroupCount> groupSet{};
    GroupFlags groups{};
    bool hasGroupIndex = false;
    std::array<bool, BankLayout::Banks> groupIndex{};
    std::vector<std::pair<int, int>> setMode;  // catalogue item, list position
    // This program's own lines, for what no standard line can hold:
    int slide = -1;                                // the opening slide; -1: no line
    std::optional<SettingsImage> settingsImage;    // the settings bytes a radio held
    std::vector<int> heldSettings;                 // items whose radio value no entry stands for
    std::array<int, DtmfLists> heldDtmf;           // a list's radio value no entry stands for; -1: none
    std::vector<std::array<int, 3>> heldKeys;      // key, bank, channel the layout cannot show
    std::vector<std::pair<uint32_t, Bytes>> carriedBytes;  // radio bytes at an address
    MemoryFileContent() {
        bankSizes.fill(-1);
        heldDtmf.fill(-1);
    }
};

// Reads and checks every line; the models are not touched. A file that
// cannot be read whole gives "Line N of this file cannot be read: " and why.
Result<MemoryFileContent> parseMemoryFile(std::string_view bytes);
// Puts a checked file into the models: the channel rows (all ordinary,
// program-scan, dual, priority, pass and TSF rows are emptied first; the
// call and bug rows keep what no line replaces), the per-row name strings
// rebuilt, and every other value a line names. The selection is kept.
void applyMemoryFile(const MemoryFileContent& content, MemoryFileModels& m);

// The controls of Set Mode line "SD01" to "SD11" (group 1 to 11), as
// catalogue item indexes in the order of their values.
const std::vector<int>& setModeFileGroup(int group);

}  // namespace tqm5
