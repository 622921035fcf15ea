#pragma once
// What a command-line test stands on: the demo radio on a pseudo-terminal,
// `tqm5` run as a program against it, and a scratch folder for its files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/pty_server.h"
#include "emulator_paths.h"
#include "files/radio_image.h"

namespace tqm5::test {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out, err;
};

inline std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tqm5-cli-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
        radio.loadImage(emu::DemoImage);
        radio.start();
    }
    void TearDown() override {
        radio.stop();
        fs::remove_all(dir);
    }
    // `tqm5 --device DEMO-RADIO args`, or without the device when `onRadio` is false.
    CliRun tqm5(const std::string& args, bool onRadio = true) {
        const std::string device = onRadio ? " --device " + radio.devicePath() : "";
        const std::string cmd = std::string(TQM5_CLI_BINARY) + device + " " + args + " >" + (dir / "out").string() +
                                " 2>" + (dir / "err").string();
        CliRun r;
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(dir / "out");
        r.err = slurp(dir / "err");
        return r;
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    int writes() {
        int n = 0;
        for (const auto& l : radio.log()) n += l.find(" W ") != std::string::npos;
        return n;
    }
    RadioImage backup(const char* name) {
        const CliRun r = tqm5("backup -o " + path(name));
        EXPECT_EQ(r.status, 0) << r.err;
        const Result<RadioImage> image = loadImageFile(path(name));
        EXPECT_TRUE(image) << image.error();
        return image ? image.value() : RadioImage{};
    }
    fs::path dir;
    emu::PtyServer radio;
};

// The regions a restore writes (everything in the image but the
// write-protect byte).
inline std::vector<radio::Area> writtenRegions() {
    std::vector<radio::Area> areas;
    for (const ImageRegion& r : imageRegions())
        if (r.area.address != radio::WriteProtect.address) areas.push_back(r.area);
    return areas;
}

}  // namespace tqm5::test
