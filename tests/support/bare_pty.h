#pragma once
// A pseudo-terminal with nothing behind it: whatever is sent to the device
// stays unread and nothing answers. hangUp() closes the far side, as when an
// adapter is pulled while the device is open.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace tqm5::test {

class BarePty {
public:
    BarePty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) path_ = ::ptsname(master_);
    }
    ~BarePty() { hangUp(); }
    BarePty(const BarePty&) = delete;
    BarePty& operator=(const BarePty&) = delete;

    const std::string& path() const { return path_; }  // empty when no pty could be had
    void hangUp() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string path_;
};

}  // namespace tqm5::test
