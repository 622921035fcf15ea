// CSV files as a spreadsheet or a hand may write them, imported into a
// grid as at start-up. Whatever the bytes:
//  - nothing crashes, overflows or reads out of bounds;
//  - a file with a heading the import does not accept changes nothing;
//  - after an import every in-use row holds a channel the checks accept,
//    every other row is empty, and exporting the grid and importing that
//    export changes nothing more;
//  - the same bytes read in the common layout of other programmers fill
//    only rows that then hold a channel the detail editor would keep, and
//    exporting those rows and importing that again changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "channels/detail_editor.h"
#include "channels/value_tables.h"
#include "files/common_csv.h"
#include "files/csv_file.h"

using namespace tqm5;

namespace {

[[noreturn]] void fail(const char* what, int row) {
    std::fprintf(stderr, "%s (row %d)\n", what, row);
    std::abort();
}

void commonLayout(const std::string& bytes) {
    ChannelGrid grid;
    const CommonCsvRead read = parseCommonCsv(bytes);
    if (!read.headingOk) return;
    grid.selectRow(1);
    const CommonCsvApplied applied = applyCommonCsv(read, grid, commonCsvTargetRows(grid));
    std::vector<int> rows;
    for (int r = applied.firstRow; r > 0 && r <= applied.lastRow; ++r) {
        const DetailSet set = detailSetFromRow(grid, r);
        if (normaliseSet(r, set).fields != set) fail("an imported row the detail editor would change", r);
        rows.push_back(r);
    }
    const std::string exported = commonCsvExport(grid, rows).bytes;
    applyCommonCsv(parseCommonCsv(exported), grid, commonCsvTargetRows(grid));
    if (commonCsvExport(grid, rows).bytes != exported) fail("importing the common export changed the grid", 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    commonLayout(bytes);
    ChannelGrid grid;
    const std::string before = csvExportBytes(grid);
    const CsvImport import = parseCsv(bytes, grid);
    if (!import.headingOk) {
        if (csvExportBytes(grid) != before) fail("a refused file changed the grid", 0);
        return 0;
    }
    applyCsvImport(import, grid);
    for (int r = 1; r < FirstBugRow; ++r) {
        if (!grid.inUse(r)) {
            for (int c = ColFreq; c <= ColName; ++c)
                if (!grid.cell(r, c).empty()) fail("a row without a channel shows cells", r);
            continue;
        }
        const RowAttributes& a = grid.attr(r);
        if (a.step >= StepTable.count || a.train >= TrainTable.count || a.txTone >= ToneTable.count ||
            a.rxTone >= ToneTable.count || a.dcs >= DcsTable.count)
            fail("a hidden code outside its table", r);
        if (*DcsTable.text(a.dcs) != grid.cell(r, ColDcs)) fail("the DCS cell and its code differ", r);
        if (!csvOffsetAccepted(grid.cell(r, ColOffset))) fail("an offset the radio cannot hold", r);
    }
    const std::string exported = csvExportBytes(grid);
    applyCsvImport(parseCsv(exported, grid), grid);
    if (csvExportBytes(grid) != exported) fail("importing the export changed the grid", 0);
    return 0;
}
