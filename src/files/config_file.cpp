#include "files/config_file.h"

#include <filesystem>

#include "channels/text_numbers.h"
#include "files/text_file.h"

namespace tqm5 {

const char* const ConfigFileName = "TQM5Writer.INI";

namespace {
constexpr int PortItems = 16;
constexpr std::size_t PortLineLength = 9;  // "COMPORT05"
}  // namespace

PortSetting readPortSetting(std::string_view bytes) {
    PortSetting s;
    for (std::string_view line : files::splitLines(bytes)) {
        if (line.substr(0, 2) != "CO") continue;
        const long long n = line.size() == PortLineLength ? leadingNumber(line.substr(7, 2)) : 0;
        if (n > PortItems) return s;  // no such port item
        s.port = n > 0 ? static_cast<int>(n) : 1;
        s.checked = s.port;
        break;
    }
    s.read = true;
    return s;
}

Result<PortSetting> readPortSettingFile(const std::string& path) {
    const Result<std::string> bytes = files::readWholeFile(path);
    if (!bytes) return Failure{bytes.error()};
    return readPortSetting(bytes.value());
}

std::string configFilePath(const std::string& programDir, const std::string& userConfigDir) {
    namespace fs = std::filesystem;
    if (files::folderWritable(programDir)) return (fs::path(programDir) / ConfigFileName).string();
    return (fs::path(userConfigDir) / "tqm5writer" / ConfigFileName).string();
}

}  // namespace tqm5
