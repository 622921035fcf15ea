#pragma once
// The Set Mode and Common Set pages' items and the DTMF memories: their
// transfers, resets and edits. Both pages' Read and Write move every item
// and the DTMF memories. A read that met values no list can show says
// which, once, after its "Success".
#include <string>

#include "app/transfer_runner.h"

namespace tqm5 {

class SettingsCommands {
public:
    explicit SettingsCommands(TransferRunner& runner) : runner_(runner), doc_(runner.document()) {}

    TransferOutcome read();
    TransferOutcome write();
    TransferOutcome readDtmf();
    TransferOutcome writeDtmf();
    void resetSetMode();    // the Set Mode page's items, then the DTMF memories
    void resetCommonSet();  // the Common Set page's items
    void resetDtmf();
    // The pages' own edits, each into the document with its listeners told.
    // Refused while a transfer runs (the views then show the document again).
    void select(int item, int position);
    void chooseLanguage(int language);
    void setScanTimer(bool checked, const std::string& text);
    void typeScanTime(const std::string& text);  // as typed; tidied on leaving the box
    void selectDtmfList(int list, int position);
    void setDtmfMemory(int memory, const std::string& text);

private:
    bool busy() const { return runner_.busy(); }

    TransferRunner& runner_;
    Document& doc_;
};

}  // namespace tqm5
