#pragma once
// Runs a plan against the radio: one transfer from its start to its
// message and the end-of-transfer reset.
#include <functional>

#include "engine/plan.h"
#include "protocol/host.h"
#include "protocol/serial_link.h"
#include "protocol/transfer_state.h"
#include "radio/radio_image.h"

namespace tqm5::engine {

enum class Outcome { Ignored, Success, Error, PortError, Closed, Stopped };

// Shown when the user stopped a transfer.
extern const char* const StoppedText;
extern const char* const StoppedTitle;

// What a run needs of the program around it.
struct Environment {
    SerialLink& link;
    Host& host;
    TransferState& state;
    int port = 1;
    int timeoutMs = 1000;
    // The program's end-of-transfer reset (controls enabled, busy cleared,
    // progress back to 0 ...). Run at every end but a closing window.
    std::function<void()> endOfTransferReset;
    // Lets the views repaint before a result is shown.
    std::function<void()> resumeDisplay;
    // 0: the plan's failure budgets hold (shared as the plan shares them).
    // N > 0: every block has N attempts of its own instead, so a long run
    // over a line that fails now and then is not ended by the sum of its
    // scattered faults. The identification keeps the plan's attempts.
    int attemptsPerBlock = 0;
    // When given, every block the radio accepted is put here as it went:
    // what a read took, what a write sent. It then holds what the radio is
    // known to hold, whatever the run's outcome.
    RadioImage* image = nullptr;
};

// Runs `plan` with the busy code set; does nothing (Ignored) while another
// transfer runs.
//   Success:   every block accepted; "Success" / " Finish" unless the run is
//              part of a quiet chain (quiet flag QuietOn).
//   Error:     identification or a budget used up; "Error" / " Error".
//   PortError: the port failed, or the radio's data could not be used;
//              "Port Error" / " Error".
//   Closed:    the window is closing; nothing shown, the port closed.
//   Stopped:   the user stopped it (the state's stopping flag); the reset
//              runs as after a failure, then "Stopped" / " Stop".
Outcome run(const Plan& plan, Environment& env);

// Runs `plan` as one silent step of a chain (Read All, Write All): the quiet
// flag set and the busy code cleared first, so only a failure is shown.
Outcome runQuietly(const Plan& plan, Environment& env);

}  // namespace tqm5::engine
