// tqm5 import-csv FILE.CSV [BASE.M5] -o FILE.M5: the window's Import into
// a memory file, without a radio.
#include <iostream>

#include "cli.h"

namespace tqm5::cli {

int importCsv(const Options& options) {
    if (options.args.empty() || options.args.size() > 2 || options.output.empty()) {
        error("usage: tqm5 import-csv FILE.CSV [BASE.M5] -o FILE.M5");
        return Usage;
    }
    Radio radio(options);
    // The banks, settings and everything else a CSV does not carry come
    // from the base file when one is given.
    if (options.args.size() == 2 && !openMemoryFile(radio, options.args[1])) return Failed;
    if (!radio.commands.importCsv(options.args[0])) {
        error(options.args[0] + " was not imported (a CSV file as export-csv writes it, its name ending in CSV); "
              "nothing was saved");
        return Failed;
    }
    radio.host.finishProgress();
    if (!radio.commands.saveMemoryFile(options.output)) return Failed;
    std::cerr << "tqm5: channels imported into " << options.output << std::endl;
    return Ok;
}

}  // namespace tqm5::cli
