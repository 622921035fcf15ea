#pragma once
// The configuration file "TQM5Writer.INI": a whole memory file of which
// only the port line is read back at start-up.
#include <string>
#include <string_view>

#include "base/result.h"

namespace tqm5 {

extern const char* const ConfigFileName;  // "TQM5Writer.INI"

struct PortSetting {
    bool read = false;  // the file was read to its port line or its end
    int port = 1;       // the selected port
    int checked = 0;    // the port item carrying the check mark, 0 for none
};

// The port a configuration file names: the first line beginning "CO"
// decides. "COMPORT05" selects port 5; a line of another length, or port
// 0, selects port 1; a port above 16 is an error (port 1, no mark).
PortSetting readPortSetting(std::string_view bytes);
// The same from the file at `path`; a missing or unreadable file is an
// error, which says why.
Result<PortSetting> readPortSettingFile(const std::string& path);

// Where the configuration file lives: in the program's folder when files
// can be written there, else in the user's configuration folder
// (`userConfigDir`/tqm5writer).
std::string configFilePath(const std::string& programDir, const std::string& userConfigDir);

}  // namespace tqm5
