#pragma once
// The channel list's commands: its transfers (Memory and One Memory Read and
// Write), the grid's own buttons, the detail editor's store, and the Edit
// menu with its undo history. Every command that changes channels is one
// step of that history; a transfer with the radio closes it.
#include <string>

#include "app/edit_history.h"
#include "app/transfer_runner.h"
#include "channels/row_order.h"

namespace tqm5 {

// The Edit menu's messages.
extern const char* const PasteNoRowsText;     // the clipboard holds no channel rows
extern const char* const PasteNotesTitle;     // " Warning": the lines a paste refused
extern const char* const SortNeedsRowsText;   // fewer than two bank rows selected
extern const char* const MoveMixedText;       // a block of rows of several kinds
extern const char* const MoveFixedText;       // call and bug rows
extern const char* const FindTitle;           // "Find"

class ChannelCommands {
public:
    explicit ChannelCommands(TransferRunner& runner)
        : runner_(runner), doc_(runner.document()), host_(runner.host()) {}

    // --- transfers ---------------------------------------------------------
    TransferOutcome memoryRead();
    TransferOutcome memoryWrite();
    TransferOutcome oneMemoryRead();
    TransferOutcome oneMemoryWrite();

    // --- the grid ------------------------------------------------------------
    void deleteRows();
    void clearRows();
    void allClear();
    void moveUp();
    void moveDown();
    // The row the detail editor opens on, or 0 when nothing may be edited.
    int editorRow();
    StoreResult storeEdit(const EditResult& edit, StorePlan plan);

    // --- working in the channel list (the Edit menu) -------------------------
    EditHistory& history() { return history_; }
    bool undo();
    bool redo();
    // The selected rows as tab-separated text (empty while a transfer runs);
    // a cut then clears them as "Clear" does.
    std::string copyRows();
    std::string cutRows();
    // Pastes rows from the top of the selection on; says which lines it
    // refused, or that the text holds no channel rows. True when a row changed.
    bool pasteRows(const std::string& text);
    bool sortRows(SortKey key);
    // Ctrl+Up / Ctrl+Down: the selected block one row up or down.
    bool moveRows(int direction);
    // Selects the next channel whose name holds `query` or whose frequency
    // starts with it; says so when none does. findNext repeats the last.
    bool find(const std::string& query);
    bool findNext();
    const std::string& lastFind() const { return findText_; }

private:
    TransferOutcome read(int first, int last, bool full);
    TransferOutcome write(int first, int last, bool full);
    bool busy() const { return runner_.busy(); }

    TransferRunner& runner_;
    Document& doc_;
    Host& host_;
    EditHistory history_;
    std::string findText_;
};

}  // namespace tqm5
