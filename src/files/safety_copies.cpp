#include "files/safety_copies.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tqm5 {

namespace fs = std::filesystem;

namespace {
constexpr const char* Prefix = "radio-";
}

std::string safetyCopyFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    fs::path base;
    if (data && *data && fs::path(data).is_absolute()) {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home && *home ? home : ".") / ".local" / "share";
    }
    return (base / "tqm5writer" / "backups").string();
}

namespace {

// The entries of `folder`, or false with `ec` set when it cannot be read
// to its end.
bool listFolder(const fs::path& folder, std::vector<fs::directory_entry>& out, std::error_code& ec) {
    out.clear();
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) out.push_back(*it);
    return !ec;
}

}  // namespace

Result<SafetyCopy> saveSafetyCopy(const RadioImage& image, int keep) {
    const fs::path folder = safetyCopyFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return Failure{"cannot create " + folder.string() + ": " + ec.message()};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // Names sort in the order they were made: copies made within one second
    // count on from the highest number of that second, even once older ones
    // of it were pruned. A folder that cannot be listed still takes the
    // copy, under the first number of this second that is free.
    const std::string head = std::string(Prefix) + stamp + "-";
    auto nameOf = [&](int n) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", n);
        return folder / (head + number + ImageExtension);
    };
    std::vector<fs::directory_entry> entries;
    const bool listed = listFolder(folder, entries, ec);
    const std::string unlisted = listed ? std::string() : ec.message();
    int next = 0;
    for (const fs::directory_entry& e : entries) {
        const std::string name = e.path().stem().string();
        if (name.rfind(head, 0) == 0) next = std::max(next, std::atoi(name.c_str() + head.size()) + 1);
    }
    if (!listed)
        while (next < 999 && fs::exists(nameOf(next), ec)) ++next;
    const fs::path path = nameOf(next);
    if (const Result<void> saved = saveImageFile(path.string(), image); !saved) return Failure{saved.error()};

    if (!listed || !listFolder(folder, entries, ec))
        return SafetyCopy{path.string(), "the older copies in " + folder.string() +
                                             " could not be listed, so none was removed: " +
                                             (listed ? ec.message() : unlisted)};
    std::vector<fs::path> copies;
    for (const fs::directory_entry& e : entries) {
        const std::string name = e.path().filename().string();
        if (e.is_regular_file(ec) && name.rfind(Prefix, 0) == 0 && e.path().extension() == ImageExtension)
            copies.push_back(e.path());
    }
    std::sort(copies.begin(), copies.end());
    int stuck = 0;
    std::string firstWhy;
    for (std::size_t i = 0; i + static_cast<std::size_t>(keep) < copies.size(); ++i) {
        if (fs::remove(copies[i], ec) || !ec) continue;
        if (stuck++ == 0) firstWhy = copies[i].string() + ": " + ec.message();
    }
    SafetyCopy copy{path.string(), {}};
    if (stuck == 1) copy.warning = "an older copy could not be removed (" + firstWhy + ")";
    else if (stuck > 1)
        copy.warning = std::to_string(stuck) + " older copies could not be removed (the first, " + firstWhy + ")";
    return copy;
}

std::string safetyCopyProblem(const Result<SafetyCopy>& copy) {
    if (!copy) return "No safety copy of the radio was kept: " + copy.error();
    if (!copy->warning.empty()) return "A safety copy of the radio was kept in " + copy->path + ", but " + copy->warning;
    return {};
}

}  // namespace tqm5
