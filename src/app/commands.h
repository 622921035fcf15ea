#pragma once
// Every command a user gives, as the windows run them. The one place that
// checks the busy code: while a transfer runs, every other command returns
// at once.
#include "app/document.h"
#include "channels/channel_transfers.h"
#include "protocol/host.h"
#include "protocol/serial_link.h"

namespace tqm5 {

class Commands {
public:
    Commands(Document& doc, SerialLink& link, Host& host) : doc_(doc), link_(link), host_(host) {}

    int timeoutMs = 1000;  // the response timer
    bool busy() const { return doc_.state.busyNow(); }
    Document& document() { return doc_; }
    Host& host() { return host_; }

    // --- transfers ---------------------------------------------------------
    TransferOutcome memoryRead();
    TransferOutcome memoryWrite();
    TransferOutcome oneMemoryRead();
    TransferOutcome oneMemoryWrite();
    // Runs any feature's plan as a standalone transfer.
    TransferOutcome transfer(const engine::Plan& plan);
    // The environment a feature's plan runs in.
    engine::Environment environment();
    // Controls, progress and grid as every transfer leaves them.
    void endOfTransferReset();

    // --- the grid ------------------------------------------------------------
    void deleteRows();
    void clearRows();
    void allClear();
    void moveUp();
    void moveDown();
    // The row the detail editor opens on, or 0 when nothing may be edited.
    int editorRow();
    StoreResult storeEdit(const EditResult& edit, StorePlan plan);

    // --- the window ----------------------------------------------------------
    // Returns the page to show (1-4), or 0 when the shown page stays.
    int switchPage(int n);
    // False while a transfer runs: the choice is not taken.
    bool selectPort(int number);
    bool mayOpenDialog() const { return !busy(); }
    // The font window opens when no transfer runs, or for Read All.
    bool mayOpenFontWindow() const { return !busy() || doc_.state.readAllMode; }
    // Asked before the window closes: false when the user chose to keep it
    // (a write is running, or edits were neither written nor saved).
    bool confirmClose();
    // The main window is closing: a running transfer stops at its next wait.
    void windowClosing();

private:
    TransferContext context();
    TransferOutcome read(int first, int last, bool full);
    TransferOutcome write(int first, int last, bool full);
    // False when the user does not want the radio's channels overwritten.
    bool confirmChannelWrite();
    bool ask(const std::string& question);

    Document& doc_;
    SerialLink& link_;
    Host& host_;
};

}  // namespace tqm5
