#pragma once
// What every command that talks to the radio shares: the one busy check
// (while a transfer runs, every other command returns at once), the
// transfer itself with its block tap, the chain Read All and Write All hold
// the radio with between their steps, the guard that asks before the radio
// is overwritten with what never came from it, and Stop and closing.
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/document.h"
#include "base/listeners.h"
#include "channels/channel_transfers.h"
#include "files/kept_image.h"
#include "protocol/host.h"
#include "protocol/serial_link.h"

namespace tqm5 {

// Shown after a read's "Success" when the radio held values no list can
// show, followed by one line per value.
extern const char* const UnshownValuesText;

class TransferRunner {
public:
    TransferRunner(Document& doc, SerialLink& link, Host& host) : doc_(doc), link_(link), host_(host) {}

    int timeoutMs = 1000;  // the response timer
    // 0: every transfer keeps its failure budgets (the window). N > 0: every
    // block of every transfer has N attempts of its own (the command line,
    // whose runs are long and unattended).
    int attemptsPerBlock = 0;
    // A transfer runs, or Read All / Write All holds the radio between two
    // of its steps: every other command returns at once.
    bool busy() const { return doc_.state.busyNow() || (chain_ != Chain::None && !stepping_); }
    // The font and group windows open when no transfer runs, or for Read All.
    bool mayOpenWindow() const { return !busy() || doc_.state.readAllMode; }
    Document& document() { return doc_; }
    Host& host() { return host_; }
    SerialLink& link() { return link_; }

    // --- transfers ---------------------------------------------------------
    // Runs any feature's plan as a standalone transfer.
    TransferOutcome transfer(const engine::Plan& plan);
    // The environment a feature's plan runs in.
    engine::Environment environment();
    // Controls, progress and grid as every transfer leaves them.
    void endOfTransferReset();
    // `plan` as it is run: transferStarting told, every block reporting to
    // blockMoved (itself when no one listens).
    engine::Plan tapped(const engine::Plan& plan);
    // Every block a transfer moved, once the radio accepted it: reads with
    // the bytes that came, writes with the bytes sent.
    Listeners<bool /*write*/, uint32_t /*address*/, const Bytes&> blockMoved;
    // Every plan a command hands to the engine, as it starts.
    Listeners<const engine::Plan&> transferStarting;
    // False while a transfer's blocks must not go into the document's image
    // of the radio (the check before a changes-only write).
    bool keepMoved = true;

    // --- the radio's image on disk -------------------------------------------
    // The window and `tqm5` keep, per radio, the image it was last read
    // into or written from and the journal of every whole-radio write in the
    // data folder (tests leave this off).
    bool keepImagesOnDisk = false;
    // What the radio on the selected port is kept under.
    std::string radioKey() const;
    // Saves the document's image of the radio when it knows every region a
    // write sends, and forgets the kept one when it does not.
    void keepImage();
    // With the images kept, the radio on the selected port is held for this
    // program while a transfer or a chain runs (and by `tqm5` for its whole
    // run), so two programs never talk to one radio by turns. Holds nest;
    // the first takes the lock, and a failure (another program holds it)
    // says why. Each successful hold is released once.
    Result<void> holdRadio();
    void releaseRadio();
    // Shown when another program holds the radio.
    static const char* const RadioHeldText;

    // --- Read All and Write All's chain --------------------------------------
    enum class Chain { None, Read, Write };
    // Starts a chain of `kind`, with no step failed or stopped yet, holding
    // the radio; false (told, nothing started) when another program holds it.
    [[nodiscard]] bool startChain(Chain kind);
    Chain chain() const { return chain_; }
    // The chain's steps are done; what follows is its own ending.
    void leaveChain();
    // One silent step of Read All or Write All; false when the window is
    // closing or the user stopped the chain, which must then end.
    bool chainStep(const std::function<TransferOutcome()>& step);
    // How a chain that chainStep ended returns: Stopped or Closed.
    TransferOutcome chainEnded();
    // A step that runs windows of their own: the main window's commands
    // stay refused while they do.
    void holdBetweenSteps() { stepping_ = false; }
    // A step failed (its "Error" is the chain's at its end).
    bool chainFailed() const { return chainFailed_; }
    void noteChainFailed() { chainFailed_ = true; }

    // --- the write guard -----------------------------------------------------
    // The areas a write sends, as the guard names them.
    enum Area { Banks, Groups, OneTouch, Title, Settings, Dtmf };
    // False when the user does not want the radio's channels (when
    // `channels`) or these areas overwritten with what never came from the
    // radio, a file or an image. Inside Write All the steps ask nothing.
    bool confirmWrite(bool channels, std::initializer_list<Area> areas);
    // Before a write of the whole radio: the channels and every area.
    bool confirmWholeWrite() { return confirmWrite(true, {Banks, OneTouch, Title, Settings, Dtmf, Groups}); }
    bool& known(Area area);
    // Marks the areas as holding what the radio holds when `outcome` is a
    // success, and returns it.
    TransferOutcome noteKnown(TransferOutcome outcome, std::initializer_list<Area> areas);
    // An OK/Cancel question; true for OK.
    bool ask(const std::string& question);
    // Tells the user once about values a read could not show.
    void reportUnshown(TransferOutcome outcome, const std::vector<std::string>& notes);

    // --- Stop and closing --------------------------------------------------
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
    Document& doc_;
    SerialLink& link_;
    Host& host_;
    bool chainFailed_ = false;
    bool chainStopped_ = false;
    Chain chain_ = Chain::None;
    bool stepping_ = false;  // a chain's own step is being started
    std::optional<RadioClaim> claim_;
    int holds_ = 0;
};

}  // namespace tqm5
