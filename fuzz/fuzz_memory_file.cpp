// Memory files as a user, another program or a damaged disk may hand them
// over. Whatever the bytes:
//  - nothing crashes, overflows or reads out of bounds;
//  - a refused file names a line of the file and changes nothing (the
//    models are compared with their state before);
//  - a file that is read is written back as a file that reads again, and
//    reading that one changes nothing more: what the program saves is what
//    it opens.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/memory_file.h"
#include "files/text_file.h"

using namespace tqm5;

namespace {

struct Models {
    ChannelGrid grid;
    BankLayout banks;
    OneTouchMemories oneTouch;
    DtmfSettings dtmf;
    OpeningTitle title;
    GroupTable groups;
    SetModeSettings setMode;
    Models() {
        oneTouch.reset();
        applyStartupPositions(setMode);
    }
    MemoryFileModels view() { return MemoryFileModels{grid, banks, oneTouch, dtmf, title, groups, setMode}; }
    std::string file() { return memoryFileBytes(view(), 3, "Save Date and Time 2000/01/01 00:00:00"); }
};

[[noreturn]] void fail(const char* what, const std::string& a, const std::string& b) {
    std::fprintf(stderr, "%s\n--- first\n%s\n--- second\n%s\n", what, a.c_str(), b.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Models m;
    const std::string before = m.file();
    const Result<MemoryFileContent> read = parseMemoryFile(bytes);
    if (!read) {
        const std::string& why = read.error();
        const int line = why.rfind("Line ", 0) == 0 ? std::atoi(why.c_str() + 5) : 0;
        if (line < 1 || static_cast<std::size_t>(line) > files::splitLines(bytes).size() + 1 ||
            why.find(" cannot be read: ") == std::string::npos || why.ends_with(": "))
            fail("a refusal names no line of the file", std::to_string(line), why);
        if (m.file() != before) fail("a refused file changed the models", before, m.file());
        return 0;
    }
    MemoryFileModels view = m.view();
    applyMemoryFile(read.value(), view);
    const std::string saved = m.file();
    const Result<MemoryFileContent> again = parseMemoryFile(saved);
    if (!again) fail(("the program's own file is refused: " + again.error()).c_str(), saved, bytes);
    applyMemoryFile(again.value(), view);
    if (m.file() != saved) fail("opening the saved file changed what is saved", saved, m.file());
    return 0;
}
