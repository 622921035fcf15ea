// The configuration file: the port line read at start-up, written when a
// port is chosen.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/commands.h"
#include "app/file_commands.h"
#include "app/startup.h"
#include "files/config_file.h"
#include "support/recording_host.h"
#include "support/scripted_link.h"

using namespace tqm5;
namespace fs = std::filesystem;

TEST(ConfigFile, PortLines) {
    struct Case {
        const char* text;
        int port, checked;
        bool read;
    };
    for (const Case& c : {Case{"Save\r\nCOMPORT05\r\nFile End\r\n", 5, 5, true},
                          Case{"Save\r\nCOMPORT5\r\nFile End\r\n", 1, 1, true},
                          Case{"Save\r\nCOMPORT00\r\n", 1, 1, true},
                          Case{"Save\r\nCOMPORT17\r\n", 1, 0, false},
                          Case{"Save\r\nCOMPORT16\r\nCOMPORT03\r\n", 16, 16, true},  // the first decides
                          Case{"Save\r\ncomport05\r\nFile End\r\n", 1, 0, true},
                          Case{"", 1, 0, true}}) {
        const PortSetting s = readPortSetting(c.text);
        EXPECT_EQ(s.port, c.port) << c.text;
        EXPECT_EQ(s.checked, c.checked) << c.text;
        EXPECT_EQ(s.read, c.read) << c.text;
    }
    const Result<PortSetting> missing = readPortSettingFile("/nonexistent/TQM5Writer.INI");
    EXPECT_EQ(missing.error(), "No such file or directory");
}

TEST(ConfigFile, ChoosingPortsRewritesTheFile) {
    const fs::path dir = fs::temp_directory_path() / ("tqm5-config-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    // The program's folder cannot take it: the user's configuration folder does.
    const std::string path = configFilePath((dir / "missing").string(), (dir / "config").string());
    EXPECT_EQ(path, (dir / "config" / "tqm5writer" / "TQM5Writer.INI").string());
    fs::create_directories(dir / "program");
    EXPECT_EQ(configFilePath((dir / "program").string(), (dir / "config").string()),
              (dir / "program" / "TQM5Writer.INI").string());

    Document doc;
    startUp(doc);
    test::RecordingHost host;
    test::ScriptedLink link;
    Commands commands(doc, link, host);
    commands.files.configPath = path;
    ASSERT_TRUE(commands.selectPort(15));
    ASSERT_TRUE(commands.selectPort(16));
    EXPECT_EQ(doc.portChecked, 16);
    EXPECT_TRUE(host.messages.empty());

    Document next;
    startUp(next);
    EXPECT_EQ(readConfiguration(next, path), 1);
    EXPECT_EQ(next.port, 16);
    EXPECT_EQ(next.portChecked, 16);
    // A whole memory file: opening it restores the channels too.
    Commands opener(next, link, host);
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\r\nCOMPORT16\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\nFile End\r\n"));
    EXPECT_NE(text.find("\r\nCH1400"), std::string::npos);
    fs::remove_all(dir);
}
