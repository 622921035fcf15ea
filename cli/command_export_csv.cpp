// tqm5 export-csv FILE.M5 -o FILE.CSV [--layout common]: the window's
// Export on a memory file, without a radio. In the common layout every
// in-use channel but the bug-detector presets is written.
#include <iostream>

#include "cli.h"

namespace tqm5::cli {

int exportCsv(const Options& options) {
    if (options.args.size() != 1 || options.output.empty() || !options.row.empty()) {
        error("usage: tqm5 export-csv FILE.M5 -o FILE.CSV [--layout common]");
        return Usage;
    }
    Radio radio(options);
    if (!openMemoryFile(radio, options.args[0])) return Failed;
    const bool common = options.layout == "common";
    if (common) radio.doc.grid.selectRow(1);  // one row selected: every in-use row
    FileCommands& files = radio.commands.files;
    if (!(common ? files.exportCommonCsv(options.output) : files.exportCsv(options.output)))
        return Failed;  // it said why
    radio.host.finishProgress();
    std::cerr << "tqm5: channels exported to " << options.output << std::endl;
    return Ok;
}

}  // namespace tqm5::cli
