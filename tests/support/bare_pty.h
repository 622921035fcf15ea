#pragma once
// A pseudo-terminal with nothing behind it: nothing answers and nothing
// sent is read. hangUp() closes the far side, as a pulled adapter does.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace tqm5::test {

struct BarePty {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    std::string path = master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::ptsname(master) : "";
    ~BarePty() { hangUp(); }
    void hangUp() {
        if (master >= 0) ::close(master);
        master = -1;
    }
};

}  // namespace tqm5::test
