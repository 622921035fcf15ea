#include "app/commands.h"

#include "app/pages.h"
#include "files/common_csv.h"

namespace tqm5 {

int Commands::switchPage(int n) {
    return runner.busy() ? 0 : tqm5::switchPage(runner.document(), runner.host(), n);
}

bool Commands::selectPort(int number) {
    if (runner.busy() || number < 1 || number > 16) return false;
    Document& doc = runner.document();
    // Another port is another radio, perhaps: what the last one held is no
    // guide to it.
    if (number != doc.port) doc.radio.clear();
    doc.port = number;
    doc.portChecked = number;
    files.writeConfiguration();
    return true;
}

bool Commands::mayPrint() {
    if (runner.busy()) return false;
    Document& doc = runner.document();
    followLayout(doc);  // the sections follow the bank labels
    if (!commonCsvExportRows(doc.grid).empty()) return true;
    runner.host().message("The selected rows hold no channel; nothing was printed.", FileErrorTitle);
    return false;
}

}  // namespace tqm5
