#include "app/edit_history.h"

namespace tqm5 {

ChannelRows channelRows(const ChannelGrid& grid) {
    ChannelRows rows;
    rows.reserve(LastRow);
    for (int r = 1; r <= LastRow; ++r) rows.push_back(grid.rowData(r));
    return rows;
}

EditHistory::Before EditHistory::take(const Document& doc) {
    return Before{channelRows(doc.grid), doc.origin, {doc.grid.row(), doc.grid.rowSel()}};
}

void EditHistory::record(std::string what, const Before& before, Document& doc, bool markEdited) {
    Step step{std::move(what), {}, before.origin, doc.origin, before.selection, {doc.grid.row(), doc.grid.rowSel()}};
    for (int r = 1; r <= LastRow; ++r) {
        const ChannelRow& was = before.rows[static_cast<std::size_t>(r - 1)];
        ChannelRow now = doc.grid.rowData(r);
        if (!(now == was)) step.rows.push_back(RowChange{r, was, std::move(now)});
    }
    if (step.rows.empty()) return;
    if (markEdited)
        for (const RowChange& c : step.rows) doc.markEdited(c.row, c.row);
    undo_.push_back(std::move(step));
    redo_.clear();
    while (undo_.size() > 1 && (undo_.size() > MaxSteps || rowsKept() > MaxRows)) undo_.pop_front();
    changed.notify();
}

std::size_t EditHistory::rowsKept() const {
    std::size_t n = 0;
    for (const Step& s : undo_) n += s.rows.size();
    return n;
}

void EditHistory::apply(Document& doc, const Step& step, bool forward) {
    ChannelGrid& grid = doc.grid;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    for (const RowChange& c : step.rows) {
        grid.setRowData(c.row, forward ? c.after : c.before);
        doc.markEdited(c.row, c.row);
    }
    doc.origin = forward ? step.originAfter : step.originBefore;
    const auto [row, rowSel] = forward ? step.selectionAfter : step.selectionBefore;
    grid.selectRow(row);
    grid.setSelection(row, rowSel);
    grid.setRedraw(redraw);
}

bool EditHistory::undo(Document& doc) { return move(doc, undo_, redo_, false); }
bool EditHistory::redo(Document& doc) { return move(doc, redo_, undo_, true); }

bool EditHistory::move(Document& doc, std::deque<Step>& from, std::deque<Step>& to, bool forward) {
    if (from.empty()) return false;
    apply(doc, from.back(), forward);
    to.push_back(std::move(from.back()));
    from.pop_back();
    changed.notify();
    return true;
}

void EditHistory::clear() {
    if (undo_.empty() && redo_.empty()) return;
    undo_.clear();
    redo_.clear();
    changed.notify();
}

}  // namespace tqm5
