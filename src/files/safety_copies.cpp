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

std::string saveSafetyCopy(const RadioImage& image, std::string& error, int keep) {
    const fs::path folder = safetyCopyFolder();
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        error = "cannot create " + folder.string() + ": " + ec.message();
        return {};
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // Names sort in the order they were made: copies made within one second
    // count on from the highest number of that second, even once older ones
    // of it were pruned.
    const std::string head = std::string(Prefix) + stamp + "-";
    int next = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        const std::string name = e.path().stem().string();
        if (name.rfind(head, 0) == 0) next = std::max(next, std::atoi(name.c_str() + head.size()) + 1);
    }
    char number[8];
    std::snprintf(number, sizeof number, "%03d", next);
    const fs::path path = folder / (head + number + ImageExtension);
    if (!saveImageFile(path.string(), image, error)) return {};

    std::vector<fs::path> copies;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        if (e.is_regular_file(ec) && name.rfind(Prefix, 0) == 0 && e.path().extension() == ImageExtension)
            copies.push_back(e.path());
    }
    std::sort(copies.begin(), copies.end());
    for (std::size_t i = 0; i + static_cast<std::size_t>(keep) < copies.size(); ++i) fs::remove(copies[i], ec);
    return path.string();
}

}  // namespace tqm5
