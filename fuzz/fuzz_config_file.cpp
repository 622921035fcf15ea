// Configuration files of any contents: the port read from them is always a
// port the menu has (1 to 16), and the check mark is on that port or on
// none.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "files/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const tqm5::PortSetting s = tqm5::readPortSetting(std::string_view(reinterpret_cast<const char*>(data), size));
    if (s.port < 1 || s.port > 16 || (s.checked != 0 && s.checked != s.port) || (!s.read && s.checked != 0)) {
        std::fprintf(stderr, "port %d, mark %d, read %d\n", s.port, s.checked, s.read);
        std::abort();
    }
    return 0;
}
