#pragma once
// Every command a user gives, as the windows run them. The one place that
// checks the busy code: while a transfer runs, every other command returns
// at once.
#include <functional>
#include <optional>

#include "app/document.h"
#include "app/edit_history.h"
#include "base/listeners.h"
#include "channels/channel_transfers.h"
#include "channels/row_order.h"
#include "files/memory_file.h"
#include "files/radio_image.h"
#include "protocol/host.h"
#include "protocol/serial_link.h"

namespace tqm5 {

// Shown after a read's "Success" when the radio held values no list can
// show, followed by one line per value.
extern const char* const UnshownValuesText;
// Shown when a write read back differs, followed by the first address.
extern const char* const VerifyFailedText;
// Write Changes: the radio is not known yet (followed by what is not), nothing
// changed, or the radio holds other bytes than it did (followed by where).
extern const char* const WriteChangesNeedsReadText;
extern const char* const NothingChangedText;
extern const char* const RadioChangedText;
// The Edit menu's messages.
extern const char* const PasteNoRowsText;     // the clipboard holds no channel rows
extern const char* const PasteNotesTitle;     // " Warning": the lines a paste refused
extern const char* const SortNeedsRowsText;   // fewer than two bank rows selected
extern const char* const MoveMixedText;       // a block of rows of several kinds
extern const char* const MoveFixedText;       // call and bug rows
extern const char* const FindTitle;           // "Find"

// What Read All needs of the windows: the font and group windows opened in
// read-all mode (they read at once and close themselves). Each returns
// whether its read succeeded.
class AllDataWindows {
public:
    virtual ~AllDataWindows() = default;
    virtual bool readFontWindow() = 0;
    virtual bool readGroupWindow() = 0;
};

class Commands {
public:
    Commands(Document& doc, SerialLink& link, Host& host) : doc_(doc), link_(link), host_(host) {}

    int timeoutMs = 1000;  // the response timer
    // 0: every transfer keeps its failure budgets (the window). N > 0: every
    // block of every transfer has N attempts of its own (the command line,
    // whose runs are long and unattended).
    int attemptsPerBlock = 0;
    // A transfer runs, or Read All / Write All holds the radio between two
    // of its steps: every other command returns at once.
    bool busy() const { return doc_.state.busyNow() || (chain_ != Chain::None && !stepping_); }
    Document& document() { return doc_; }
    Host& host() { return host_; }

    // --- transfers ---------------------------------------------------------
    TransferOutcome memoryRead();
    TransferOutcome memoryWrite();
    TransferOutcome oneMemoryRead();
    TransferOutcome oneMemoryWrite();
    // Set Mode and Common Set: both pages' Read and Write move every item
    // and the DTMF memories. A read that met values no list can show says
    // which, once, after its "Success".
    TransferOutcome readSettings();
    TransferOutcome writeSettings();
    TransferOutcome readDtmf();
    TransferOutcome writeDtmf();
    TransferOutcome readTitle();
    TransferOutcome writeTitle();
    // Runs any feature's plan as a standalone transfer.
    TransferOutcome transfer(const engine::Plan& plan);
    // The environment a feature's plan runs in.
    engine::Environment environment();
    // Controls, progress and grid as every transfer leaves them.
    void endOfTransferReset();

    // --- banks -----------------------------------------------------------------
    // Bank Read; once it succeeds the grid's labels follow the new layout
    // at once when the Memory page is showing. Read All runs this too.
    TransferOutcome bankRead();
    // Bank Write; refuses (and says so) any layout that does not total 1000,
    // whether from the button or from Write All (which runs it quietly).
    TransferOutcome bankWrite();
    engine::Plan bankReadPlan();
    void bankReset();
    void setBankSize(int bank, int value);
    void selectBank(int bank);
    void bankUp();
    void bankDown();
    // "Bank Write" accepts clicks: no transfer runs and the sizes total 1000.
    bool bankWriteAllowed() const { return !busy() && doc_.banks.complete(); }

    // --- one-touch memories ----------------------------------------------------------
    TransferOutcome oneTouchRead();
    TransferOutcome oneTouchWrite();
    void oneTouchReset();
    void selectOneTouchBank(int key, int position);
    void selectOneTouchChannel(int key, int position);
    void setOneTouchNoSetting(int key, bool on);

    // --- bank-link groups (the group window) --------------------------------------
    // Before the window opens: false while a transfer runs (unless Read All
    // opens it); otherwise the layout made whole, the one-touch lists rebuilt
    // and the banks without channels marked unavailable.
    bool openGroupWindow();
    // The window's own transfers: their own busy indicator and a 200 ms
    // response timer. `readAll`: the window was opened by Read All.
    TransferOutcome groupRead(bool readAll = false);
    TransferOutcome groupWrite();
    bool groupBusy() const { return groupState_.busyNow(); }
    void groupClear();
    // A click on the group grid's cell (row, col): headings and separators
    // do nothing.
    void groupCellClicked(int row, int col);
    // The group window's buttons follow its transfers.
    Listeners<bool /*enabled*/> groupButtonsEnabled;

    // --- everything at once -----------------------------------------------------
    // Read All: every feature's read in turn, silently, one "Error" per failed
    // step; the font and group windows read in read-all mode; "Error" at the
    // end when any step failed. Write All: every feature's write in turn,
    // then the groups and the glyphs the program holds without a new
    // identification; "Success" only when every step succeeded.
    TransferOutcome readAll(AllDataWindows& windows);
    TransferOutcome writeAll();
    // Why Write All could not write the document whole, in plain words;
    // empty when it can. Checked before a run that must not stop half-way
    // (the bank step refuses a layout that does not total 1000, but only
    // once the channels are written).
    std::string writeAllRefusal() const;
    // Write Changes: only the blocks whose bytes differ from what the radio
    // is known to hold (the document's image of it). The radio is read back
    // first where it is about to be overwritten, and any difference from
    // that image stops the write before a byte goes out; every block
    // written is read back after. Says so when the image does not know the
    // radio yet, or when nothing changed.
    TransferOutcome writeChanges();
    // Writes an image file's blocks (a restore): all of them, or only those
    // that differ from what the radio is known to hold, checked first as
    // Write Changes checks; `verify` reads a full write back.
    TransferOutcome writeImage(const RadioImage& image, bool changesOnly, bool verify);
    // Resumes the write to this radio that stopped before it ended (its
    // journal): the radio is checked as for Write Changes, then sent only
    // the blocks it did not take and the pass-channel index. Says so when
    // there is none.
    TransferOutcome resumeWrite();
    // The window and `tqm5` keep, per radio, the image it was last read
    // into or written from and the journal of every whole-radio write in the
    // data folder (tests leave this off).
    bool keepImagesOnDisk = false;
    // Write All and Write Changes first offer to resume a cut write (the
    // window); the command line resumes only when told (--resume).
    bool offerResumeFirst = true;
    // What the radio on the selected port is kept under.
    std::string radioKey() const;
    // The last step of Write All: both group areas and the glyphs that came
    // from the radio, a file or the user (never the start-up blanks).
    engine::Plan writeAllFinalPlan();
    // Write All reads back every block it wrote and compares (the
    // Communication menu's "Verify After Write"); a difference ends it with
    // VerifyFailedText and the address instead of "Success".
    bool verifyAfterWrite = false;
    // What the last verification found (empty: all as written).
    std::vector<Mismatch> lastMismatches;
    // Runs after a Read All that succeeded in every step (safety copies).
    Listeners<> readAllSucceeded;
    // Every block a transfer moved, once the radio accepted it: reads with
    // the bytes that came, writes with the bytes sent.
    Listeners<bool /*write*/, uint32_t /*address*/, const Bytes&> blockMoved;
    // Every plan a command hands to the engine, as it starts.
    Listeners<const engine::Plan&> transferStarting;

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
    // Every command that changes channels is one step of this history; a
    // transfer with the radio closes it.
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

    // --- Set Mode, Common Set, DTMF, title ----------------------------------
    void resetSetMode();    // the Set Mode page's items, then the DTMF memories
    void resetCommonSet();  // the Common Set page's items
    void resetDtmf();
    void resetTitle();      // also while a transfer runs
    void appendUserCharacter(int k);
    // The pages' own edits, each into the document with its listeners told.
    // Refused while a transfer runs (the views then show the document
    // again), except the title, whose write encodes it anew at every attempt.
    void selectSetting(int item, int position);
    void chooseLanguage(int language);
    void setScanTimer(bool checked, const std::string& text);
    void typeScanTime(const std::string& text);  // as typed; tidied on leaving the box
    void selectDtmfList(int list, int position);
    void setDtmfMemory(int memory, const std::string& text);
    // False (the title unchanged) for an edit the title box must not take.
    bool editTitle(const std::string& text);
    void selectSlide(int position);

    // --- files ------------------------------------------------------------------
    // Each runs once its dialog gave a path (an empty one, a Cancel, does
    // nothing), reports in a message box and returns whether it succeeded.
    // Nothing happens while a transfer runs.
    bool openMemoryFile(const std::string& path);
    bool saveMemoryFile(const std::string& path);
    bool importCsv(const std::string& path);
    bool exportCsv(const std::string& path);
    MemoryFileModels fileModels();
    // The channel list in the CSV layout other programmers share. Import
    // fills the selected rows, or from the current row to the last row of
    // its kind, one channel per line; export writes the in-use rows of the
    // selection, or every in-use row but the bug-detector presets when one
    // row is selected. Both list what they could not take or carry.
    bool importCommonCsv(const std::string& path);
    bool exportCommonCsv(const std::string& path);
    // Opens any file the program knows by its extension (any case): a
    // memory file, a radio image, or a CSV file in either layout. A font
    // file is the font window's; this says so and returns false.
    bool openFile(const std::string& path);
    // A file dropped on the window: edits neither written nor saved are
    // asked about first, then openFile.
    bool openDroppedFile(const std::string& path);
    // Reads every region the program reads into a radio image file; opens one
    // into the document as Read All fills it from a radio. Each tells its
    // outcome ("Success" or why not) and returns whether it succeeded.
    bool saveRadioImage(const std::string& path);
    bool openRadioImage(const std::string& path);
    // Takes every value of a document read as a whole (an opened radio
    // image) into the window's, and tells the views.
    void adoptRead(const Document& read);
    // The configuration file a port choice is written to; empty: none.
    std::string configPath;
    // Writes the configuration file; says so when it cannot.
    bool writeConfiguration();

    // --- the window ----------------------------------------------------------
    // Returns the page to show (1-4), or 0 when the shown page stays.
    int switchPage(int n);
    // False while a transfer runs: the choice is not taken.
    bool selectPort(int number);
    bool mayOpenDialog() const { return !busy(); }
    // Print and PDF: no transfer runs and the rows to print hold a channel
    // (otherwise says so).
    bool mayPrint();
    // The font window opens when no transfer runs, or for Read All.
    bool mayOpenFontWindow() const { return !busy() || doc_.state.readAllMode; }
    bool mayOpenGroupWindow() const { return !busy() || doc_.state.readAllMode; }
    // Asked before the window closes: false when the user chose to keep it
    // (a write is running, or edits were neither written nor saved).
    bool confirmClose();
    // The main window is closing: a running transfer stops at its next wait.
    void windowClosing();
    // Stop (the button beside the progress bar, or Escape): the running
    // transfer, or Read All / Write All as a whole, ends at its next wait
    // and leaves what a failed run leaves. A write asks first, since the
    // radio is left partly written. False when nothing is being stopped.
    bool requestStop();
    // A transfer (or a chain of them) runs that Stop can end.
    bool stoppable() const { return busy(); }

private:
    TransferOutcome read(int first, int last, bool full);
    TransferOutcome write(int first, int last, bool full, bool ask = true);
    // One silent step of Read All or Write All; false when the window is
    // closing or the user stopped the chain, which must then end.
    bool chainStep(const std::function<TransferOutcome()>& step);
    // How a chain that chainStep ended returns: Stopped or Closed.
    TransferOutcome chainEnded();
    bool chainFailed_ = false;
    bool chainStopped_ = false;
    enum class Chain { None, Read, Write };
    Chain chain_ = Chain::None;
    bool stepping_ = false;  // a chain's own step is being started
    // The areas a write sends, as the guard names them.
    enum Area { Banks, Groups, OneTouch, Title, Settings, Dtmf };
    // False when the user does not want the radio's channels (when
    // `channels`) or these areas overwritten with what never came from the
    // radio, a file or an image. Inside Write All the steps ask nothing.
    bool confirmWrite(bool channels, std::initializer_list<Area> areas);
    bool& known(Area area);
    // Marks the areas as holding what the radio holds when `outcome` is a
    // success, and returns it.
    TransferOutcome noteKnown(TransferOutcome outcome, std::initializer_list<Area> areas);
    bool ask(const std::string& question);
    TransferOutcome groupTransfer(const engine::Plan& plan);
    // `plan` as it is run: transferStarting told, every block reporting to
    // blockMoved (itself when no one listens).
    engine::Plan tapped(const engine::Plan& plan);
    TransferOutcome verifyWritten(const std::vector<WrittenBlock>& written);
    TransferState groupState_;
    // False while a transfer's blocks must not go into the document's image
    // of the radio (the check before a changes-only write).
    bool keepMoved_ = true;
    // Saves the document's image of the radio when it knows every region a
    // write sends, and forgets the kept one when it does not.
    void keepImage();
    // Before a whole-radio write: when a cut write left a journal, asks
    // whether to resume it, and does: the resumed write's outcome, or none
    // when there was nothing to resume or the user declined.
    std::optional<TransferOutcome> offerResume();
    // The blocks Write All sends, with their bytes from `target`.
    std::vector<WrittenBlock> writeAllBlocks(const RadioImage& target) const;
    // Write All's steps, from the channels to the groups and glyphs.
    TransferOutcome writeAllSteps();
    // Runs `write` with a journal of the blocks the radio takes (a new one
    // when `fresh`, else the one being resumed), removed once it succeeded.
    TransferOutcome journaled(const RadioImage& target, const std::vector<WrittenBlock>& blocks,
                              const std::function<TransferOutcome()>& write, bool fresh);
    // Checks the radio (the blocks to overwrite hold what it is known to
    // hold, or the target's bytes; `mustBeTarget` the target's), then writes
    // the blocks under a journal and reads every one back.
    TransferOutcome writeChecked(const RadioImage& target, const std::vector<WrittenBlock>& blocks,
                                 const std::vector<WrittenBlock>& mustBeTarget, bool freshJournal);
    // Tells the user once about values a read could not show.
    void reportUnshown(TransferOutcome outcome, const std::vector<std::string>& notes);

    Document& doc_;
    SerialLink& link_;
    Host& host_;
    EditHistory history_;
    std::string findText_;
};

}  // namespace tqm5
