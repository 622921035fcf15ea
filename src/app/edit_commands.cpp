// The Edit menu's commands on the channel list: undo and redo, the
// clipboard, sorting, moving and finding rows.
#include "app/channel_commands.h"
#include "app/pages.h"
#include "channels/grid_editing.h"
#include "files/clipboard_rows.h"

namespace tqm5 {

const char* const PasteNoRowsText =
    "The clipboard holds no channel rows (a frequency, then the grid's other columns, separated by tabs). "
    "Nothing was pasted.";
const char* const PasteNotesTitle = " Warning";
const char* const SortNeedsRowsText =
    "Sorting works on the selected rows of the banks (the first 1000 rows): select two or more of them.";
const char* const MoveMixedText = "Only rows of one kind move together: bank, PRG, Dual, PRIO, PASS or TSF rows.";
const char* const MoveFixedText = "The CALL and BUG rows stay where they are.";
const char* const FindTitle = "Find";

bool ChannelCommands::undo() { return !busy() && history_.undo(doc_); }
bool ChannelCommands::redo() { return !busy() && history_.redo(doc_); }

std::string ChannelCommands::copyRows() {
    if (busy()) return {};
    return rowsAsText(doc_.grid, doc_.grid.rangeFirst(), doc_.grid.rangeLast());
}

std::string ChannelCommands::cutRows() {
    if (busy()) return {};
    const std::string text = copyRows();
    RecordedChange change(history_, doc_, "Cut", RecordedChange::MarkEdited);
    clearSelectedRows(doc_.grid);
    return text;
}

bool ChannelCommands::pasteRows(const std::string& text) {
    if (busy()) return false;
    ChannelGrid& grid = doc_.grid;
    const int first = grid.rangeFirst();
    const PastePlan plan = planPaste(grid, text, first);
    if (!plan.holdsRows) {
        host_.message(PasteNoRowsText, ErrorTitle);
        return false;
    }
    std::vector<PasteNote> notes;
    {
        RecordedChange change(history_, doc_, "Paste", RecordedChange::MarkEdited);
        notes = applyPaste(grid, plan);
        // The rows the text covered are selected, as a spreadsheet does.
        const bool redraw = grid.redraw();
        grid.setRedraw(false);
        grid.selectRow(first);
        grid.setSelection(first, std::max(first, plan.lastRow));
        grid.setRedraw(redraw);
    }
    if (!notes.empty()) host_.message(pasteNotesText(notes), PasteNotesTitle);
    return notes.size() < plan.lines.size() + plan.refused.size();
}

bool ChannelCommands::sortRows(SortKey key) {
    if (busy()) return false;
    RecordedChange change(history_, doc_, key == SortKey::Name ? "Sort by Name" : "Sort by Frequency",
                          RecordedChange::MarkEdited);
    if (!sortSelectedRows(doc_.grid, key)) {
        host_.message(SortNeedsRowsText, CautionTitle);
        return false;
    }
    return true;
}

bool ChannelCommands::moveRows(int direction) {
    if (busy()) return false;
    RecordedChange change(history_, doc_, direction < 0 ? "Move Up" : "Move Down", RecordedChange::MarkEdited);
    switch (moveSelectedRows(doc_.grid, direction)) {
        case MoveResult::Moved: return true;
        case MoveResult::MixedKinds: host_.message(MoveMixedText, CautionTitle); break;
        case MoveResult::Fixed: host_.message(MoveFixedText, CautionTitle); break;
        case MoveResult::AtEdge: break;  // as "Up" on the first row
    }
    return false;
}

bool ChannelCommands::find(const std::string& query) {
    if (busy() || query.empty()) return false;
    findText_ = query;
    const int row = findRow(doc_.grid, query, doc_.grid.row());
    if (row == 0) {
        host_.message("No channel's name or frequency holds \"" + query + "\".", FindTitle);
        return false;
    }
    doc_.grid.selectRow(row);
    return true;
}

bool ChannelCommands::findNext() { return find(findText_); }

}  // namespace tqm5
