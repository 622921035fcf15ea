#pragma once
// What a feature test stands on: a document started as the program starts
// it, the emulator behind an in-process link, a recording host and the
// commands on them.
#include "app/commands.h"
#include "app/startup.h"
#include "emulator/demo_image.h"
#include "support/emulator_link.h"
#include "support/recording_host.h"

namespace tqm5::test {

struct EmulatorRig {
    Document doc;
    EmulatorLink link;
    RecordingHost host;
    Commands commands{doc, link, host};
    // `demo`: the radio holds the demo radio's memory.
    explicit EmulatorRig(int timeoutMs, bool demo = true) {
        startUp(doc);
        if (demo) link.radio.memory().assign(emu::demoImage());
        commands.runner.timeoutMs = timeoutMs;
    }
};

}  // namespace tqm5::test
