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

std::string startUpProblem(const char* converter) {
    const std::string why = converterError(converter);
    if (why.empty()) return {};
    return std::string("The Shift-JIS converter (") + converter + ") could not be opened: " + why +
           ". Names can hold only ASCII and half-width katakana; their other characters are lost when read "
           "from the radio or a file, and are not written.";
}

}  // namespace tqm5
