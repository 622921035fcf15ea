#pragma once
// The state that keeps transfers from overlapping and lets them end cleanly.
#include <cstdint>

namespace tqm5 {

enum BusyCode : int {
    Idle = 0,
    BusyMemoryRead = 1,
    BusyMemoryWrite = 2,
    BusyOneMemoryRead = 3,
    BusyOneMemoryWrite = 4,
    BusyReadAll = 5,
    BusyWriteAll = 6,
};

enum Quiet : int { QuietNormal = 0, QuietOn = 1, QuietFailed = 2 };

struct TransferState {
    int busy = Idle;
    int quiet = QuietNormal;
    bool closing = false;
    // The user asked the running transfer to stop (Stop, Escape): it ends
    // at its next wait, as a failed run of it would.
    bool stopping = false;
    bool readAllMode = false;
    // The running transfer writes to the radio: stopping it now would leave
    // the radio partly written.
    bool writing = false;
    bool busyNow() const { return busy != Idle; }
    // A running transfer must end at its next wait.
    bool abandoning() const { return closing || stopping; }
};

}  // namespace tqm5
