// tqm5 export-csv FILE.M5 -o FILE.CSV: the window's Export on a memory
// file, without a radio.
#include <iostream>

#include "cli.h"

namespace tqm5::cli {

int exportCsv(const Options& options) {
    if (options.args.size() != 1 || options.output.empty()) {
        error("usage: tqm5 export-csv FILE.M5 -o FILE.CSV");
        return Usage;
    }
    Radio radio(options);
    if (!openMemoryFile(radio, options.args[0])) return Failed;
    if (!radio.commands.exportCsv(options.output)) return Failed;  // it said why
    radio.host.finishProgress();
    std::cerr << "tqm5: channels exported to " << options.output << std::endl;
    return Ok;
}

}  // namespace tqm5::cli
