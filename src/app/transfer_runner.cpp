#include "app/transfer_runner.h"

#include <memory>

#include "app/kept_bytes.h"
#include "app/pages.h"
#include "channels/channel_transfers.h"
#include "files/kept_image.h"

namespace tqm5 {

engine::Environment TransferRunner::environment() {
    engine::Environment env{link_, host_, doc_.state, doc_.port, timeoutMs, {}, {}};
    env.endOfTransferReset = [this] { endOfTransferReset(); };
    env.resumeDisplay = [this] { doc_.grid.setRedraw(true); };
    env.attemptsPerBlock = attemptsPerBlock;
    env.image = keepMoved ? &doc_.radio : nullptr;
    return env;
}

void TransferRunner::endOfTransferReset() {
    host_.setProgressText(engine::percentText(0));
    doc_.state.busy = Idle;
    resetGridAfterTransfer(doc_.grid);
    host_.enableTransferControls();
    host_.setProgressValue(0);
}

TransferOutcome TransferRunner::transfer(const engine::Plan& plan) {
    if (const Result<void> held = holdRadio(); !held) {
        host_.message(held.error(), ErrorTitle);
        return TransferOutcome::Error;
    }
    engine::Environment env = environment();
    const TransferOutcome out = engine::run(tapped(plan), env);  // does nothing while another transfer runs
    if (out != TransferOutcome::Ignored) keepImage();
    releaseRadio();
    return out;
}

const char* const TransferRunner::RadioHeldText =
    "Another program is working on the radio on this port (TQM5 Writer in another window, or tqm5). Nothing "
    "was sent: try again once it has finished.";

Result<void> TransferRunner::holdRadio() {
    if (!keepImagesOnDisk) return {};
    if (holds_ == 0) {
        Result<RadioClaim> claim = RadioClaim::take(radioKey());
        if (!claim) return Failure{claim.error() == RadioClaim::HeldText ? RadioHeldText : claim.error()};
        claim_ = std::move(claim.value());
    }
    ++holds_;
    return {};
}

void TransferRunner::releaseRadio() {
    if (!keepImagesOnDisk || holds_ == 0) return;
    if (--holds_ == 0) claim_.reset();
}

engine::Plan TransferRunner::tapped(const engine::Plan& plan) {
    transferStarting.notify(plan);
    engine::Plan p = plan.fromDocument ? keepingUnchanged(doc_, plan) : plan;
    if (blockMoved.size() == 0) return p;
    for (engine::Block& b : p.blocks) {
        auto moved = std::make_shared<Bytes>();
        const bool write = b.kind == engine::Block::Kind::Write;
        if (write) {
            b.encode = [encode = b.encode, moved] {
                *moved = encode ? encode() : Bytes{};
                return *moved;
            };
        } else {
            b.decode = [decode = b.decode, moved](const Bytes& data) {
                *moved = data;
                return decode ? decode(data) : true;
            };
        }
        b.accepted = [this, accepted = b.accepted, moved, write, address = b.address] {
            blockMoved.notify(write, address, *moved);
            if (accepted) accepted();
        };
    }
    return p;
}

std::string TransferRunner::radioKey() const { return tqm5::radioKey(link_.deviceOf(doc_.port), doc_.port); }

void TransferRunner::keepImage() {
    if (!keepImagesOnDisk) return;
    // An image that does not know the radio whole is no guide to it: the
    // older one goes too.
    if (const Result<void> kept = keepRadioImage(radioKey(), doc_.radio); !kept) host_.message(kept.error(), ErrorTitle);
    if (!knowsWhatWritesSend(doc_.radio)) forgetRadioImage(radioKey());
}

bool TransferRunner::startChain(Chain kind) {
    if (const Result<void> held = holdRadio(); !held) {
        host_.message(held.error(), ErrorTitle);
        return false;
    }
    chainFailed_ = chainStopped_ = false;
    chain_ = kind;
    return true;
}

void TransferRunner::leaveChain() {
    if (chain_ != Chain::None) releaseRadio();
    chain_ = Chain::None;
}

bool TransferRunner::chainStep(const std::function<TransferOutcome()>& step) {
    if (doc_.state.closing) return false;
    if (doc_.state.stopping) {
        // Stopped between two steps: end as a stopped step ends.
        doc_.state.stopping = false;
        doc_.state.quiet = QuietNormal;
        endOfTransferReset();
        host_.message(engine::StoppedText, engine::StoppedTitle);
        chainStopped_ = true;
        return false;
    }
    doc_.state.quiet = QuietOn;
    doc_.state.busy = Idle;
    stepping_ = true;
    const TransferOutcome out = step();
    stepping_ = false;
    if (out == TransferOutcome::Error || out == TransferOutcome::PortError) chainFailed_ = true;
    if (out == TransferOutcome::Stopped) chainStopped_ = true;
    return !doc_.state.closing && out != TransferOutcome::Closed && out != TransferOutcome::Stopped;
}

TransferOutcome TransferRunner::chainEnded() {
    doc_.state.readAllMode = false;
    doc_.state.quiet = QuietNormal;
    leaveChain();
    return chainStopped_ ? TransferOutcome::Stopped : TransferOutcome::Closed;
}

namespace {
const char* const UnknownChannelsQuestion =
    "The channels in this program were not read from the radio, opened from a file or imported. "
    "Write them over the radio's channels?";
}  // namespace

bool TransferRunner::ask(const std::string& question) {
    return host_.message(question, CautionTitle, Host::Buttons::OkCancel) == Host::Choice::Ok;
}

bool& TransferRunner::known(Area area) {
    AreaOrigins& k = doc_.known;
    switch (area) {
        case Banks: return k.banks;
        case Groups: return k.groups;
        case OneTouch: return k.oneTouch;
        case Title: return k.title;
        case Settings: return k.settings;
        case Dtmf: break;
    }
    return k.dtmf;
}

TransferOutcome TransferRunner::noteKnown(TransferOutcome outcome, std::initializer_list<Area> areas) {
    if (outcome == TransferOutcome::Success)
        for (Area a : areas) known(a) = true;
    return outcome;
}

bool TransferRunner::confirmWrite(bool channels, std::initializer_list<Area> areas) {
    if (chain_ != Chain::None) return true;  // Write All asked once, before its first step
    if (channels) {
        if (const int stopped = doc_.origin.readStoppedAfter; stopped >= 0) {
            const std::string after = stopped == 0 ? "before row 1"
                                                   : "after row " + std::to_string(stopped) + " (" +
                                                         doc_.grid.cell(stopped, ColLabel) + ")";
            if (!ask("The last read from the radio stopped " + after +
                     ": the rows after it were not read. Write the channels over the radio's channels anyway?"))
                return false;
            channels = false;  // answered
        } else {
            channels = !doc_.origin.known;
        }
    }
    static const char* const names[] = {"bank layout", "bank-link groups", "one-touch keys",
                                        "opening title", "settings", "DTMF memories"};
    std::string unknown;
    for (Area a : areas)
        if (!known(a)) unknown += std::string(unknown.empty() ? "" : ", ") + names[a];
    if (unknown.empty()) return !channels || ask(UnknownChannelsQuestion);
    if (channels) unknown = "channels, " + unknown;
    return ask("These were not read from the radio or opened from a file or a radio image; they hold the "
               "program's start-up values: " + unknown + ". Write them over what the radio holds?");
}

const char* const UnshownValuesText = "These values from the radio are not in their lists; they are kept as read:";

void TransferRunner::reportUnshown(TransferOutcome outcome, const std::vector<std::string>& notes) {
    if (outcome != TransferOutcome::Success || notes.empty()) return;
    std::string text = UnshownValuesText;
    for (const std::string& n : notes) text += "\n" + n;
    host_.message(text, FinishTitle);
}

bool TransferRunner::confirmClose() {
    if (busy() && doc_.state.writing)
        return ask("A write to the radio is running. Closing now leaves the radio partly written and its "
                   "pass-channel index out of date. Stop the write and close?");
    if (!busy() && doc_.hasUnsavedEdits())
        return ask("Some channels were edited but neither written to the radio nor saved. Close and lose "
                   "these edits?");
    return true;
}

bool TransferRunner::requestStop() {
    if (!stoppable() || doc_.state.stopping) return false;
    if ((doc_.state.writing || chain_ == Chain::Write) &&
        !ask("A write to the radio is running. Stopping now leaves the radio partly written and its "
             "pass-channel index out of date. Stop the write?"))
        return false;
    if (!stoppable()) return false;  // it ended while the question was open
    doc_.state.stopping = true;
    return true;
}

void TransferRunner::windowClosing() {
    link_.close();
    doc_.state.closing = true;
    if (busy()) endOfTransferReset();
}

}  // namespace tqm5
