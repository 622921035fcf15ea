#pragma once
// The commands on the radio as a whole: Read All and Write All, which chain
// every area's transfer, and the checked writes (Write Changes, an image's
// blocks, a resumed write), each under the journal that lets a cut write
// be resumed.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/bank_commands.h"
#include "app/channel_commands.h"
#include "app/one_touch_commands.h"
#include "app/settings_commands.h"
#include "app/title_commands.h"
#include "app/transfer_runner.h"
#include "app/write_changes.h"
#include "files/radio_image.h"

namespace tqm5 {

// Shown when a write read back differs, followed by the first address.
extern const char* const VerifyFailedText;
// Write Changes: the radio is not known yet (followed by what is not), nothing
// changed, or the radio holds other bytes than it did (followed by where).
extern const char* const WriteChangesNeedsReadText;
extern const char* const NothingChangedText;
extern const char* const RadioChangedText;

// What Read All needs of the windows: the font and group windows opened in
// read-all mode (they read at once and close themselves). Each returns
// whether its read succeeded.
class AllDataWindows {
public:
    virtual ~AllDataWindows() = default;
    virtual bool readFontWindow() = 0;
    virtual bool readGroupWindow() = 0;
};

class AllDataCommands {
public:
    AllDataCommands(TransferRunner& runner, ChannelCommands& channels, BankCommands& banks, OneTouchCommands& oneTouch,
                    TitleCommands& title, SettingsCommands& settings)
        : runner_(runner), doc_(runner.document()), host_(runner.host()), channels_(channels), banks_(banks),
          oneTouch_(oneTouch), title_(title), settings_(settings) {}

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
    // Write All and Write Changes first offer to resume a cut write (the
    // window); the command line resumes only when told (--resume).
    bool offerResumeFirst = true;
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

private:
    // A transfer runs, or a chain holds the radio (inside one of its steps too).
    bool busyOrChained() const { return runner_.busy() || runner_.chain() != TransferRunner::Chain::None; }
    TransferOutcome verifyWritten(const std::vector<WrittenBlock>& written);
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
    // A changes-only write of `set` towards `target`: refused, saying what is
    // not known, when the radio is not known well enough; asked first when
    // `confirm` (the document may hold start-up values); "nothing to write"
    // when nothing changed; else writeChecked.
    TransferOutcome writeChangeSet(const RadioImage& target, const ChangeSet& set, bool confirm);

    TransferRunner& runner_;
    Document& doc_;
    Host& host_;
    ChannelCommands& channels_;
    BankCommands& banks_;
    OneTouchCommands& oneTouch_;
    TitleCommands& title_;
    SettingsCommands& settings_;
};

}  // namespace tqm5
