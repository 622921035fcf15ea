#pragma once
// What a command test stands on: a document started as the program starts
// it, the commands on a scripted link and a recording host, and a scratch
// folder for the files a test writes (removed with the rig).
#include <unistd.h>

#include <filesystem>
#include <string>

#include "app/commands.h"
#include "app/startup.h"
#include "support/recording_host.h"
#include "support/scripted_link.h"

namespace tqm5::test {

struct CommandRig {
    Document doc;
    RecordingHost host;
    ScriptedLink link;
    Commands commands{doc, link, host};
    std::filesystem::path dir;

    explicit CommandRig(const std::string& name = "commands")
        : dir(std::filesystem::temp_directory_path() / ("tqm5-" + name + "-" + std::to_string(::getpid()))) {
        startUp(doc);
        std::filesystem::create_directories(dir);
    }
    ~CommandRig() { std::filesystem::remove_all(dir); }
    std::string file(const char* name) const { return (dir / name).string(); }
};

}  // namespace tqm5::test
