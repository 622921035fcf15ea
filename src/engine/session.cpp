#include "engine/session.h"

#include <algorithm>

#include "protocol/clone_protocol.h"

namespace tqm5::engine {

const char* const SuccessText = "Success";
const char* const FinishTitle = " Finish";
const char* const ErrorText = "Error";
const char* const ErrorTitle = " Error";
const char* const PortErrorText = "Port Error";
const char* const StoppedText = "Stopped";
const char* const StoppedTitle = " Stop";

std::string percentText(int percent) { return std::to_string(percent) + "%"; }

namespace {

// The radio's bytes could not be used: ends the run like a port error.
struct UnusableData {};

class Run {
public:
    Run(const Plan& plan, Environment& env)
        : plan_(plan), env_(env), proto_(env.link, env.host, env.state, env.port, env.timeoutMs) {}

    Outcome go() {
        env_.state.busy = plan_.busyCode;
        env_.state.stopping = false;  // a stop asked for before this run is not for it
        env_.state.writing = std::any_of(plan_.blocks.begin(), plan_.blocks.end(),
                                         [](const Block& b) { return b.kind == Block::Kind::Write; });
        env_.host.disableTransferControls();
        try {
            proto_.configure();
            if (!plan_.progressOnceIdentified) showScale();
            if (plan_.prepare) plan_.prepare();
            if (!identify()) return fail();
            if (plan_.progressOnceIdentified) showScale();
            if (plan_.identified) plan_.identified();
            std::vector<int> used(plan_.budgets.size(), 0);
            for (const Block& b : plan_.blocks)
                if (!transfer(b, used.at(static_cast<std::size_t>(b.budget)))) return fail();
            show(plan_.done);
            if (plan_.completed) plan_.completed();
            return succeed();
        } catch (const PortError&) {
            return portError();
        } catch (const UnusableData&) {
            return portError();
        } catch (const TransferClosed&) {
            return closed();
        } catch (const TransferStopped&) {
            return stopped();
        }
    }

private:
    void show(const Progress& p) {
        if (p.max >= 0) env_.host.setProgressMax(p.max);
        if (p.value >= 0) env_.host.setProgressValue(p.value);
        if (p.percent >= 0) env_.host.setProgressText(percentText(p.percent));
    }

    // The plan's own scale for the bar, from 0.
    void showScale() {
        if (plan_.progressMax > 0) show({0, -1, plan_.progressMax});
    }

    bool identify() {
        for (int attempt = 0; attempt < plan_.identifyAttempts; ++attempt) {
            env_.host.processEvents();
            if (proto_.identify()) return true;
        }
        return plan_.identifyAttempts == 0;
    }

    // One block, repeated until it is accepted or its budget is used up.
    bool transfer(const Block& b, int& shared) {
        int own = 0;
        const bool perBlock = env_.attemptsPerBlock > 0;
        int& used = perBlock ? own : shared;
        const int budget = perBlock ? env_.attemptsPerBlock : plan_.budgets.at(static_cast<std::size_t>(b.budget));
        if (b.prepare) b.prepare();
        show(b.before);
        if (b.kind == Block::Kind::Write) {
            Bytes data = b.encode ? b.encode() : Bytes{};
            // Until the radio confirms the block, what it holds there is not
            // known: it may have stored a write whose answer never came.
            if (env_.image) env_.image->forget(b.address, static_cast<int>(data.size()));
            while (!proto_.writeBlock(b.address, data, b.nulBytes)) {
                if (++used >= budget) return false;
                if (b.encodeEachAttempt && b.encode) data = b.encode();
            }
            if (env_.image) env_.image->put(b.address, data);
        } else {
            for (;;) {
                if (auto data = proto_.readBlock(b.address, b.length)) {
                    if (env_.image) env_.image->put(b.address, *data);
                    if (plan_.image) plan_.image->put(b.address, *data);
                    env_.host.processEvents();
                    if (b.decode && !b.decode(*data)) throw UnusableData{};
                    break;
                }
                if (++used >= budget) return false;
            }
        }
        if (b.accepted) b.accepted();
        show(b.after);
        return true;
    }

    void resumeDisplay() {
        if (env_.resumeDisplay) env_.resumeDisplay();
    }
    void reset() {
        if (env_.endOfTransferReset) env_.endOfTransferReset();
        env_.state.busy = Idle;
    }

    Outcome succeed() {
        env_.state.writing = false;
        proto_.endSession();
        env_.host.setProgressText(percentText(100));
        if (plan_.succeeded) plan_.succeeded();
        // Only a quiet chain (Read All, Write All) silences a success; the
        // failed state a former run left behind never does.
        if (env_.state.quiet != QuietOn) {
            resumeDisplay();
            env_.host.message(SuccessText, FinishTitle);
        }
        env_.state.quiet = QuietNormal;
        reset();
        env_.host.setProgressValue(0);
        return Outcome::Success;
    }

    // A run that ends short: the session closed, the failed state left for
    // the next run, the reset, then the message.
    Outcome endShort(Outcome outcome, const char* text, const char* title) {
        env_.state.writing = false;
        env_.state.stopping = false;
        proto_.endSession();
        env_.state.quiet = QuietFailed;
        reset();
        if (outcome != Outcome::PortError) resumeDisplay();
        env_.host.message(text, title);
        if (env_.link.isOpen()) env_.link.close();
        return outcome;
    }
    Outcome fail() { return endShort(Outcome::Error, ErrorText, ErrorTitle); }
    Outcome portError() { return endShort(Outcome::PortError, PortErrorText, ErrorTitle); }
    Outcome stopped() { return endShort(Outcome::Stopped, StoppedText, StoppedTitle); }

    Outcome closed() {
        env_.state.writing = false;
        // The window is going away and already ran the reset: leave nothing open.
        if (env_.link.isOpen()) env_.link.close();
        env_.state.busy = Idle;
        resumeDisplay();
        return Outcome::Closed;
    }

    const Plan& plan_;
    Environment& env_;
    CloneProtocol proto_;
};

}  // namespace

Outcome run(const Plan& plan, Environment& env) {
    // The one guard of every transfer: while one runs, clicks that reach
    // another transfer command during its waits do nothing.
    if (env.state.busyNow()) return Outcome::Ignored;
    return Run(plan, env).go();
}

Outcome runQuietly(const Plan& plan, Environment& env) {
    env.state.quiet = QuietOn;
    env.state.busy = Idle;
    return run(plan, env);
}

}  // namespace tqm5::engine
