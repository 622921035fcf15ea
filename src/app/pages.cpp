#include "app/pages.h"

namespace tqm5 {

const char* const BankTotalPrompt = "Bank Total Error. Init Data?";
const char* const CautionTitle = "Caution";

void followLayout(Document& doc) {
    if (!doc.banks.complete()) return;
    const int row = doc.grid.row(), rowSel = doc.grid.rowSel();
    doc.grid.applyLabels(doc.banks.size);
    doc.grid.setSelection(row, rowSel);
}

int switchPage(Document& doc, Host& host, int n) {
    if (n < MemoryPage || n > SetModePage) return 0;
    if (n == doc.lastTab) return 0;
    const int previous = doc.lastTab;
    doc.lastTab = n;
    if (!doc.banks.complete()) {
        if (n != BankPage &&
            host.message(BankTotalPrompt, CautionTitle, Host::Buttons::OkCancel) == Host::Choice::Cancel) {
            doc.lastTab = previous;
            return 0;
        }
        doc.banks.reset();
    }
    if (n == MemoryPage) {
        doc.grid.setRedraw(false);
        followLayout(doc);
        doc.grid.setRedraw(true);
    }
    if (n == CommonPage) doc.oneTouch.rebuild(doc.banks);
    return n;
}

}  // namespace tqm5
