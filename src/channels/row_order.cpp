#include "channels/row_order.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "channels/text_numbers.h"

namespace tqm5 {
namespace {

constexpr int LastBankRow = FirstPrgRow - 1;

// A frequency cell in 10 Hz units.
long long frequencyOf(const std::string& cell) {
    const std::size_t dot = cell.find('.');
    const std::string_view t(cell);
    return leadingNumber(t.substr(0, dot)) * 100000 + (dot == std::string::npos ? 0 : leadingNumber(t.substr(dot + 1, 5)));
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The rows of one kind a block moves among, and the size of its steps.
struct Section {
    int first, last, unit;
};
const Section* sectionOf(int row) {
    static const Section sections[] = {{1, LastBankRow, 1},
                                       {FirstPrgRow, FirstDualRow - 1, 2},
                                       {FirstDualRow, LastDualRow, 2},
                                       {FirstPrioRow, CallVhfRow - 1, 1},
                                       {FirstPassRow, LastPassRow, 1},
                                       {FirstTsfRow, FirstBugRow - 1, 1}};
    for (const Section& s : sections)
        if (row >= s.first && row <= s.last) return &s;
    return nullptr;
}

// Puts rows [first, last] in the order `order` gives (indices into that range).
void reorder(ChannelGrid& grid, int first, const std::vector<int>& order) {
    std::vector<ChannelRow> rows;
    for (int i : order) rows.push_back(grid.rowData(first + i));
    for (std::size_t i = 0; i < rows.size(); ++i) grid.setRowData(first + static_cast<int>(i), rows[i]);
}

}  // namespace

bool sortSelectedRows(ChannelGrid& grid, SortKey key) {
    const int first = grid.rangeFirst(), last = std::min(grid.rangeLast(), LastBankRow);
    if (last - first < 1) return false;
    std::vector<int> order(static_cast<std::size_t>(last - first + 1));
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    const auto freq = [&](int i) { return frequencyOf(grid.cell(first + i, ColFreq)); };
    const auto name = [&](int i) { return lowered(grid.cell(first + i, ColName)); };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const bool ua = grid.inUse(first + a), ub = grid.inUse(first + b);
        if (ua != ub) return ua;
        if (!ua) return false;
        if (key == SortKey::Name) {
            const std::string na = name(a), nb = name(b);
            if (na.empty() != nb.empty()) return nb.empty();  // named channels first
            if (na != nb) return na < nb;
        }
        return freq(a) < freq(b);
    });
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    reorder(grid, first, order);
    grid.setRedraw(redraw);
    return true;
}

MoveResult moveSelectedRows(ChannelGrid& grid, int direction) {
    const Section* section = sectionOf(grid.rangeFirst());
    if (!section) return MoveResult::Fixed;
    if (sectionOf(grid.rangeLast()) != section) return MoveResult::MixedKinds;
    // A block of pairs starts on the first row of a pair and ends on the last.
    const int unit = section->unit;
    const int first = grid.rangeFirst() - (grid.rangeFirst() - section->first) % unit;
    const int last = grid.rangeLast() + (unit - 1 - (grid.rangeLast() - section->first) % unit);
    if (direction < 0 ? first - unit < section->first : last + unit > section->last) return MoveResult::AtEdge;
    const int from = direction < 0 ? first - unit : first;
    // The block and the rows it passes, rotated by one step.
    const int blockSize = last - first + 1;
    std::vector<int> order;
    if (direction < 0) {
        for (int i = 0; i < blockSize; ++i) order.push_back(unit + i);
        for (int i = 0; i < unit; ++i) order.push_back(i);
    } else {
        for (int i = 0; i < unit; ++i) order.push_back(blockSize + i);
        for (int i = 0; i < blockSize; ++i) order.push_back(i);
    }
    const int row = grid.row(), rowSel = grid.rowSel();
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    reorder(grid, from, order);
    const int shift = direction < 0 ? -unit : unit;
    grid.selectRow(row + shift);
    grid.setSelection(row + shift, rowSel + shift);
    // The block stays in sight.
    const int shown = direction < 0 ? std::min(row, rowSel) + shift : std::max(row, rowSel) + shift;
    if (shown < grid.topRow()) grid.setTopRow(shown);
    else if (shown >= grid.topRow() + ChannelGrid::VisibleRows) grid.setTopRow(shown - ChannelGrid::VisibleRows + 1);
    grid.setRedraw(redraw);
    return MoveResult::Moved;
}

bool rowMatches(const ChannelGrid& grid, int row, std::string_view query) {
    if (query.empty() || !grid.inUse(row)) return false;
    if (grid.cell(row, ColFreq).starts_with(query)) return true;
    return lowered(grid.cell(row, ColName)).find(lowered(query)) != std::string::npos;
}

int findRow(const ChannelGrid& grid, std::string_view query, int after) {
    for (int i = 1; i <= LastRow; ++i) {
        const int row = (after - 1 + i) % LastRow + 1;
        if (rowMatches(grid, row, query)) return row;
    }
    return 0;
}

}  // namespace tqm5
