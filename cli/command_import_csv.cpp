// tqm5 import-csv FILE.CSV [BASE.M5] -o FILE.M5 [--layout common [--row ROW]]:
// the window's Import into a memory file, without a radio. In the common
// layout the lines fill the rows from ROW (a label such as Bank000-0 or
// PRIO - 3, or a row number; the first row when not given) to the last row
// of its kind.
#include <iostream>

#include "cli.h"

namespace tqm5::cli {

namespace {

// The grid row ROW names: a label column 0 shows, or a number 1 to 1603.
int rowNamed(const ChannelGrid& grid, const std::string& name) {
    for (int r = 1; r < FirstBugRow; ++r)
        if (grid.cell(r, ColLabel) == name) return r;
    if (name.empty() || name.size() > 4 || name.find_first_not_of("0123456789") != std::string::npos) return 0;
    const int r = std::stoi(name);
    return r >= 1 && r < FirstBugRow ? r : 0;
}

}  // namespace

int importCsv(const Options& options) {
    const bool common = options.layout == "common";
    if (options.args.empty() || options.args.size() > 2 || options.output.empty() || (!common && !options.row.empty())) {
        error("usage: tqm5 import-csv FILE.CSV [BASE.M5] -o FILE.M5 [--layout common [--row ROW]]");
        return Usage;
    }
    Radio radio(options);
    // The banks, settings and everything else a CSV does not carry come
    // from the base file when one is given.
    if (options.args.size() == 2 && !openMemoryFile(radio, options.args[1])) return Failed;
    if (common) {
        radio.doc.grid.applyLabels(radio.doc.banks.size);
        const int row = options.row.empty() ? 1 : rowNamed(radio.doc.grid, options.row);
        if (row == 0) {
            error("there is no row " + options.row + " to import into (a label such as Bank000-0, or 1 to 1603)");
            return Usage;
        }
        radio.doc.grid.selectRow(row);
        if (!radio.commands.files.importCommonCsv(options.args[0])) {
            error(options.args[0] + " was not imported; nothing was saved");
            return Failed;
        }
    } else if (!radio.commands.files.importCsv(options.args[0])) {
        error(options.args[0] + " was not imported (a CSV file as export-csv writes it, its name ending in CSV); "
              "nothing was saved");
        return Failed;
    }
    radio.host.finishProgress();
    if (!radio.commands.files.saveMemoryFile(options.output)) return Failed;
    std::cerr << "tqm5: channels imported into " << options.output << std::endl;
    return Ok;
}

}  // namespace tqm5::cli
