// Open and Save of a memory file with every channel row in use and every
// feature filled, and CSV export and import of the full grid, through the
// commands the File menu runs (disk writes, flushes and renames included).
// Prints the median and the fastest of several runs in milliseconds, the
// same in memory only (no disk), and the peak memory of the process.
//   cmake --build build --target bench_files && ./build/bench/bench_files
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/commands.h"
#include "files/csv_file.h"
#include "files/memory_file.h"
#include "support/full_document.h"

using namespace tqm5;
namespace fs = std::filesystem;

namespace {

struct NoLink : SerialLink {
    void setSettings(const std::string&) override {}
    void setPortNumber(int) override {}
    void open() override {}
    void close() override {}
    bool isOpen() const override { return false; }
    void write(const Bytes&) override {}
    int bytesAvailable() override { return 0; }
    Bytes readAll() override { return {}; }
    void clearInput() override {}
    void waitForInput(int) override {}
};

long peakKiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void measure(const char* what, const std::function<void()>& run) {
    constexpr int Runs = 15;
    std::vector<double> ms;
    for (int i = 0; i < Runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        run();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %7.2f ms   fastest %7.2f ms\n", what, ms[Runs / 2], ms[0]);
}

}  // namespace

int main() {
    const long startKiB = peakKiB();
    const fs::path dir = fs::temp_directory_path() / ("tqm5-bench-files-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string m5 = (dir / "full.M5").string(), csv = (dir / "full.CSV").string();

    Document doc;
    test::fillFullDocument(doc);
    SilentHost host;
    NoLink link;
    Commands commands(doc, link, host);
    int inUse = 0;
    for (int r = 1; r <= LastRow; ++r) inUse += doc.grid.inUse(r);

    commands.files.saveMemoryFile(m5);
    commands.files.exportCsv(csv);
    std::printf("document: %d channels in use; memory file %lld bytes, CSV %lld bytes\n", inUse,
                static_cast<long long>(fs::file_size(m5)), static_cast<long long>(fs::file_size(csv)));

    measure("Save (memory file, to disk)", [&] { commands.files.saveMemoryFile(m5); });
    measure("Open (memory file, from disk)", [&] { commands.files.openMemoryFile(m5); });
    measure("Export (CSV, to disk)", [&] { commands.files.exportCsv(csv); });
    measure("Import (CSV, from disk)", [&] { commands.files.importCsv(csv); });

    MemoryFileModels models = commands.files.fileModels();
    const std::string file = memoryFileBytes(models, 1, memoryFileHeader());
    const std::string list = csvExportBytes(doc.grid);
    measure("  write memory file (in memory)", [&] { (void)memoryFileBytes(models, 1, "x"); });
    measure("  read and apply memory file", [&] { applyMemoryFile(parseMemoryFile(file).value(), models); });
    measure("  CSV export (in memory)", [&] { (void)csvExportBytes(doc.grid); });
    measure("  CSV parse and apply", [&] { applyCsvImport(parseCsv(list, doc.grid), doc.grid); });

    std::printf("peak memory: %ld KiB (%ld KiB at start)\n", peakKiB(), startKiB);
    fs::remove_all(dir);
    return 0;
}
