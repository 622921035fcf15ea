#include "app/startup.h"

#include "channels/name_table.h"

namespace tqm5 {

void startUp(Document& doc) {
    doc.port = 1;
    doc.portChecked = 0;
    doc.state = TransferState{};
    NameCharTable::instance();
    doc.banks.reset();
    doc.grid.reset();
    doc.grid.applyLabels(doc.banks.size);
    resetDtmf(doc.dtmf);
    applyStartupPositions(doc.setMode);
    doc.lastTab = 0;
    doc.grid.selectRow(1);
}

}  // namespace tqm5
