#pragma once
// The undo history of the channel rows. Every command that changes channels
// records the rows it changed, as they were and as they became. A transfer
// with the radio closes the history: undo goes back to what the radio gave
// or was given, never further.
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "app/document.h"
#include "base/listeners.h"

namespace tqm5 {

// Every channel row at one moment (index row - 1; the title's slot is not
// a channel and stays out).
using ChannelRows = std::vector<ChannelRow>;
ChannelRows channelRows(const ChannelGrid& grid);

class EditHistory {
public:
    // Older steps are forgotten beyond these (a whole-list step keeps
    // 1623 rows twice).
    static constexpr std::size_t MaxSteps = 100;
    static constexpr std::size_t MaxRows = 100000;

    // What the document was before a command, to compare with after it.
    struct Before {
        ChannelRows rows;
        ChannelOrigin origin;
        std::pair<int, int> selection;
    };
    static Before take(const Document& doc);
    // Records the change from `before` to the document as it is now as one
    // step called `what`; nothing when no row changed. A new step ends what
    // redo could bring back. `markEdited`: the rows it changed count as
    // edited (commands that mark their own rows, or none, leave it off).
    void record(std::string what, const Before& before, Document& doc, bool markEdited = false);
    // Puts the rows of the last step back as they were (undo) or as the
    // step left them (redo), with the selection of that moment; the rows
    // count as edited. False when there is nothing to undo or redo.
    bool undo(Document& doc);
    bool redo(Document& doc);
    void clear();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // The command the next undo or redo takes back ("Paste", "All Clear" ...).
    std::string undoName() const { return undo_.empty() ? std::string() : undo_.back().what; }
    std::string redoName() const { return redo_.empty() ? std::string() : redo_.back().what; }
    // After every change of what undo and redo can do.
    Listeners<> changed;

private:
    struct RowChange {
        int row;
        ChannelRow before, after;
    };
    struct Step {
        std::string what;
        std::vector<RowChange> rows;
        ChannelOrigin originBefore, originAfter;
        std::pair<int, int> selectionBefore, selectionAfter;
    };
    static void apply(Document& doc, const Step& step, bool forward);
    // The last step of `from` applied and moved to `to`.
    bool move(Document& doc, std::deque<Step>& from, std::deque<Step>& to, bool forward);
    std::size_t rowsKept() const;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
};

// One command's change of the channels, recorded as one step when it goes
// (so every way out of the command, an early refusal included, is covered).
class RecordedChange {
public:
    enum Marking { MarksItself, MarkEdited };
    RecordedChange(EditHistory& history, Document& doc, std::string what, Marking marking = MarksItself)
        : history_(history), doc_(doc), what_(std::move(what)), before_(EditHistory::take(doc)),
          mark_(marking == MarkEdited) {}
    ~RecordedChange() { history_.record(std::move(what_), before_, doc_, mark_); }
    RecordedChange(const RecordedChange&) = delete;
    RecordedChange& operator=(const RecordedChange&) = delete;

private:
    EditHistory& history_;
    Document& doc_;
    std::string what_;
    EditHistory::Before before_;
    bool mark_;
};

}  // namespace tqm5
