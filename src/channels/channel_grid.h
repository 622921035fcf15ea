#pragma once
// The working model of every memory channel: 1624 rows by 13 text cells
// (row 0 headings, column 0 labels), hidden per-row codes, per-row name
// strings, the selection and the store/clear rules.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/listeners.h"

namespace tqm5 {

// How many ordinary channels each of the 50 banks holds; the grid labels
// its rows by bank only while they add up to the 1000 ordinary channels.
constexpr int GridBanks = 50;
using BankSizes = std::array<int, GridBanks>;
// The layout of a radio never programmed: banks 0 to 9 hold 100 channels each.
inline BankSizes defaultBankSizes() {
    BankSizes sizes{};
    for (int b = 0; b < 10; ++b) sizes[static_cast<std::size_t>(b)] = 100;
    return sizes;
}

constexpr int GridRows = 1624;
constexpr int GridCols = 13;
constexpr int LastRow = 1623;
constexpr int NameSlots = 1625;  // one per channel index plus the title's slot
constexpr int TitleNameSlot = 1624;

enum Column {
    ColLabel = 0, ColFreq, ColMode, ColStep, ColCarrier, ColToneMode, ColTxTone, ColRxTone,
    ColDcs, ColShift, ColOffset, ColSkip, ColName
};

// Row kinds, by grid row number.
constexpr int FirstPrgRow = 1001, FirstDualRow = 1101, LastDualRow = 1300, FirstPrioRow = 1301;
constexpr int CallVhfRow = 1401, CallUhfRow = 1402, Call12Row = 1403;
constexpr int FirstPassRow = 1404, LastPassRow = 1503, FirstTsfRow = 1504;
constexpr int FirstBugRow = 1604, LastBugRow = 1623;
inline bool isCallRow(int r) { return r >= CallVhfRow && r <= Call12Row; }
inline bool isBugRow(int r) { return r >= FirstBugRow && r <= LastBugRow; }
inline bool isPassRow(int r) { return r >= FirstPassRow && r <= LastPassRow; }
inline bool isDualRow(int r) { return r >= FirstDualRow && r <= LastDualRow; }
inline bool isDualMainRow(int r) { return isDualRow(r) && (r % 2) == 1; }
inline bool isDualSubRow(int r) { return isDualRow(r) && (r % 2) == 0; }

struct RowAttributes {
    uint8_t txTone = 8, rxTone = 8, dcs = 0, train = 28, step = 0, inUse = 0;
    static RowAttributes cleared() { return RowAttributes{0, 0, 0, 0, 0, 0}; }
    bool operator==(const RowAttributes&) const = default;
};

// One channel as the detail editor hands it over. Texts are those the grid
// shows; the frequency and offset come without "MHz".
struct ChannelEdit {
    std::string freqText;
    int modeOption = 0;
    std::string stepText;
    int stepIndex = 0;
    std::string trainText;
    int trainIndex = 0;
    int toneModeOption = 0;
    std::string txToneText;
    int txToneIndex = 0;
    std::string rxToneText;
    int rxToneIndex = 0;
    std::string dcsText;
    int dcsIndex = 0;
    int shiftOption = 0;
    std::string offsetText;
    int skip = 0;
    std::string name;  // as shown, user characters written ":1~" .. ":8~"
};

struct EditResult {
    ChannelEdit first, second;
};

// What the editor asks the store to do.
enum StoreMode {
    StoreNothing = 0,
    StoreSecondClearFirst = 1,
    StoreFirstClearSecond = 2,
    StoreBoth = 3,
    ClearBoth = 5,
    StoreFirst = 100,
};

// What happens to one row of a store: left exactly as it was, written from
// the edit, or cleared. The store modes above are combinations of these;
// the editor also uses Keep for a set whose frequency the rules refused.
enum class RowAction { Keep, Write, Clear };
struct StorePlan {
    RowAction first = RowAction::Keep, second = RowAction::Keep;
    static StorePlan fromMode(StoreMode mode);
};

enum class StoreResult { Stored, Overlap };

// Everything one channel row holds apart from its label: cells 1 to 12
// (cell 0 stays empty), the hidden codes and the per-row name string.
struct ChannelRow {
    std::array<std::string, GridCols> cells;
    RowAttributes attrs;
    std::string name;
    bool operator==(const ChannelRow&) const = default;
};

class ChannelGrid {
public:
    ChannelGrid();

    // --- cells and hidden codes ------------------------------------------
    // Any row and column may be asked for; outside the grid the text is empty.
    const std::string& cell(int row, int col) const;
    void setCell(int row, int col, std::string text);
    RowAttributes& attr(int row) { return attrs_[row - 1]; }
    const RowAttributes& attr(int row) const { return attrs_[row - 1]; }
    bool inUse(int row) const { return attrs_[row - 1].inUse != 0; }
    // Per-row name string, user characters as U+2460..U+2467. Slot = row - 1;
    // slot 1624 belongs to the opening title.
    const std::string& nameString(int slot) const { return names_[slot]; }
    void setNameString(int slot, std::string s) { names_[slot] = std::move(s); }

    static int columnWidthTwips(int col);
    // Fills the row and heading labels; bank labels only while the layout
    // totals 1000.
    void applyLabels(const BankSizes& sizes);
    void applyPresets();
    // Headings, initial labels, hidden defaults, presets: the start-up state.
    void reset();

    // Empties cells 1-12, hidden codes to their cleared values, name emptied.
    void clearRow(int row);
    // Cells 1-12 emptied and every hidden code 0; the name string is kept.
    void deleteRow(int row);
    // A row's channel as a whole, to move, keep or put back; the label stays.
    ChannelRow rowData(int row) const;
    void setRowData(int row, const ChannelRow& data);
    // Writes one channel of an edit into `row` (no pass-channel check).
    void writeChannel(int row, const ChannelEdit& e);

    // --- selection (current row across columns 1-12) ----------------------
    int row() const { return row_; }
    int rowSel() const { return rowSel_; }
    int col() const { return col_; }
    int colSel() const { return colSel_; }
    int topRow() const { return topRow_; }
    static constexpr int VisibleRows = 26;
    void selectRow(int row);                 // the selection model
    void setSelection(int row, int rowSel);  // a user's mouse/keyboard selection
    void setTopRow(int top);
    void moveDown();
    void moveUp();
    // Smaller and larger of the current row and the selection end.
    int rangeFirst() const { return std::min(row_, rowSel_); }
    int rangeLast() const { return std::max(row_, rowSel_); }

    // --- redraw and notifications ------------------------------------------
    bool redraw() const { return redraw_; }
    void setRedraw(bool on);
    bool highlight() const { return highlight_; }
    void setHighlight(bool on) { highlight_ = on; }
    bool storing() const { return storing_; }
    // Called when cells change while redraw is on (rows first..last), and for
    // every row when redraw is switched back on.
    Listeners<int, int> rowsChanged;   // first, last
    Listeners<> selectionChanged;

    // --- store ---------------------------------------------------------------
    // Writes an edit into the current row (and its dual partner). A pass
    // channel whose frequency another pass channel already holds is refused
    // and the row stays exactly as it was.
    StoreResult store(const EditResult& edit, StorePlan plan);
    StoreResult store(const EditResult& edit, StoreMode mode) { return store(edit, StorePlan::fromMode(mode)); }
    // True when another in-use pass row holds the same MHz and kHz.
    bool passOverlap(const std::string& freqText, int currentRow) const;

private:
    void changed(int first, int last);

    std::vector<std::array<std::string, GridCols>> cells_;
    std::array<RowAttributes, GridRows> attrs_{};
    std::vector<std::string> names_;
    int row_ = 1, rowSel_ = 1, col_ = 12, colSel_ = 1, topRow_ = 1;
    bool redraw_ = true, highlight_ = true, storing_ = false;
};

// Text of user characters: ":1~".. ":8~" in the grid, U+2460.. in names.
std::string nameToDisplay(const std::string& nameString);
std::string displayToName(const std::string& display);

extern const char* const OverlapMessage;  // "Overlaps in Frequency"

}  // namespace tqm5
