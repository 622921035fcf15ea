// What every command shares: the terminal as the program's host, the radio
// on its port, and the safety copy.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "app/radio_backup.h"
#include "app/file_commands.h"
#include "app/startup.h"
#include "cli.h"
#include "features/groups.h"
#include "files/kept_image.h"
#include "files/safety_copies.h"

namespace tqm5::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

// The first Ctrl-C asks the transfer to stop; a second one ends the program.
extern "C" void onInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

// "reading channels", "writing bank layout": what a bar counts.
std::string stepName(const engine::Plan& plan) {
    const bool writes = std::any_of(plan.blocks.begin(), plan.blocks.end(),
                                    [](const engine::Block& b) { return b.kind == engine::Block::Kind::Write; });
    return (writes ? "writing " : "reading ") + plan.what;
}

}  // namespace

void TerminalHost::processEvents() {
    if (interrupted && state) state->closing = true;
}

namespace {
std::string lastFailure_;
}  // namespace

void error(const std::string& text) {
    lastFailure_ = text;
    std::cerr << "tqm5: " << text << std::endl;
}

const std::string& lastFailure() { return lastFailure_; }

TerminalHost::TerminalHost(const Options& options)
    : bar_(!options.quiet && !options.progressLines && ::isatty(STDERR_FILENO) == 1),
      lines_(options.progressLines),
      yes_(options.yes) {}

TerminalHost::~TerminalHost() { finishProgress(); }

Host::Choice TerminalHost::message(const std::string& text, const std::string& title, Buttons buttons) {
    // A transfer's or a file's own ending is told by the command in plain words.
    for (const char* ending : {engine::SuccessText, engine::ErrorText, engine::PortErrorText, GroupReadAllText,
                               GroupReadDoneText, SaveFileText, ReadFileText, CsvImportedText})
        if (text == ending) return Choice::Ok;
    finishProgress();
    std::string head = title;
    head.erase(0, head.find_first_not_of(' '));
    std::cerr << "tqm5: " << (head.empty() ? "" : head + ": ") << text << std::endl;
    if (title == engine::ErrorTitle) lastFailure_ = text;
    if (buttons == Buttons::Ok) return Choice::Ok;
    std::cerr << "tqm5: " << (yes_ ? "answered OK (--yes)" : "answered Cancel (give --yes to answer OK)") << std::endl;
    return yes_ ? Choice::Ok : Choice::Cancel;
}

void TerminalHost::beginStep(const std::string& what, int blocks) {
    finishProgress();
    label_ = what;
    max_ = blocks > 0 ? blocks : 1;
    value_ = 0;
    lastPercent_ = -1;
    lastSecond_ = -1;
    started_ = std::chrono::steady_clock::now();
    if (lines_) std::cerr << "tqm5: step: " << what << " (" << max_ << " blocks)" << std::endl;
    if (bar_) draw();
}

void TerminalHost::advance() {
    value_ = std::min(value_ + 1, max_);
    if (bar_) draw();
}

void TerminalHost::draw() {
    const int percent = std::min(100, std::max(0, value_ * 100 / max_));
    const auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const long second = static_cast<long>(elapsed);
    if (percent == lastPercent_ && second == lastSecond_) return;
    lastPercent_ = percent;
    lastSecond_ = second;
    constexpr int Width = 24;
    std::string bar(static_cast<std::size_t>(percent * Width / 100), '#');
    bar.resize(Width, '-');
    char line[128];
    const std::string name = label_.substr(0, 34);
    if (value_ > 0 && percent < 100) {
        const long left = static_cast<long>(elapsed * (max_ - value_) / value_ + 0.5);
        std::snprintf(line, sizeof line, "\r%-34s [%s] %3d%%  %ld:%02ld left ", name.c_str(), bar.c_str(), percent,
                      left / 60, left % 60);
    } else {
        std::snprintf(line, sizeof line, "\r%-34s [%s] %3d%%            ", name.c_str(), bar.c_str(), percent);
    }
    std::cerr << line << std::flush;
    drawn_ = true;
}

void TerminalHost::finishProgress() {
    if (!drawn_) return;
    std::cerr << "\n";
    drawn_ = false;
}

Radio::Radio(const Options& options) : host(options), commands(doc, link, host) {
    startUp(doc);
    host.state = &doc.state;
    commands.runner.attemptsPerBlock = BlockAttempts;
    stepping = commands.runner.transferStarting.connect(
        [this](const engine::Plan& plan) { host.beginStep(stepName(plan), static_cast<int>(plan.blocks.size())); });
    counting = commands.runner.blockMoved.connect([this](bool, uint32_t, const Bytes&) { host.advance(); });
    std::signal(SIGINT, onInterrupt);
    doc.port = options.port;
    if (!options.device.empty()) link.bindDevice(options.port, QString::fromStdString(options.device));
    commands.runner.keepImagesOnDisk = true;
    commands.allData.offerResumeFirst = false;
}

bool Radio::claim() {
    if (claimed_) return true;
    const Result<void> held = commands.runner.holdRadio();  // for the whole run: never released
    if (!held) {
        error(held.error() == TransferRunner::RadioHeldText
                  ? "another tqm5, or a TQM5 Writer window, is working on the radio on " + portName() +
                        "; nothing was done"
                  : held.error());
        return false;
    }
    claimed_ = true;
    return true;
}

std::string Radio::portName() const {
    const QString device = link.deviceFor(doc.port);
    return device.isEmpty() ? "port " + std::to_string(doc.port) : device.toStdString();
}

TransferOutcome Radio::run(const engine::Plan& plan) {
    doc.state.quiet = QuietOn;
    const TransferOutcome out = commands.runner.transfer(plan);
    doc.state.quiet = QuietNormal;
    host.finishProgress();
    return out;
}

std::string Radio::failure(TransferOutcome outcome) const {
    switch (outcome) {
        case TransferOutcome::Error:
            return "the radio on " + portName() +
                   " did not answer, or kept answering wrongly (is it switched on, connected and in clone mode?)";
        case TransferOutcome::PortError:
            return "the serial port " + portName() + " cannot be used (missing, in use or not allowed), "
                   "or the radio sent data that cannot be used";
        case TransferOutcome::Closed: return "the transfer was stopped (Ctrl-C)";
        case TransferOutcome::Stopped: return "the transfer was stopped";
        case TransferOutcome::Ignored: return "another transfer is running";
        case TransferOutcome::Success: break;
    }
    return {};
}

bool loadKeptImage(Radio& radio) {
    // After a cut write the kept image may not be what the radio holds.
    const Result<std::optional<WriteJournal>> journal = openJournal(radio.commands.runner.radioKey());
    if (!journal || journal.value()) {
        error(journal ? "a write to the radio on " + radio.portName() +
                            " was cut before it ended: finish it first (--resume), or write everything; "
                            "nothing was written"
                      : journal.error() + "; nothing was written");
        return false;
    }
    const Result<std::optional<RadioImage>> kept = keptRadioImage(radio.commands.runner.radioKey());
    if (!kept || !kept.value()) {
        error(kept ? "--changes needs what the radio on " + radio.portName() +
                         " held when it was last read or written, and none is kept: read it (tqm5 read or "
                         "backup) or write it whole first; nothing was written"
                   : kept.error() + "; nothing was written");
        return false;
    }
    radio.doc.radio = *kept.value();
    return true;
}

int writeEnded(Radio& radio, TransferOutcome out, const std::string& done) {
    radio.host.finishProgress();
    if (out == TransferOutcome::Success) {
        std::cerr << "tqm5: " << done << std::endl;
        return Ok;
    }
    const auto& mismatches = radio.commands.allData.lastMismatches;
    if (!mismatches.empty()) {
        for (const Mismatch& m : mismatches)
            error("verify: the radio did not store what was written at " + describe(m, radio.doc.grid));
        error("verify failed: " + std::to_string(mismatches.size()) + " block(s) differ");
    } else if (out == TransferOutcome::Ignored) {
        error("nothing was written");
    } else {
        error("writing the radio failed: " + radio.failure(out) +
              "; the radio may be partly written (tqm5 write --resume or restore --resume finishes it)");
    }
    return Failed;
}

int resumeWrite(Radio& radio) {
    if (!radio.claim()) return Failed;
    return writeEnded(radio, radio.commands.allData.resumeWrite(), "the cut write to the radio is finished");
}

std::optional<RadioImage> readRadio(Radio& radio) {
    if (!radio.claim()) return std::nullopt;
    RadioImage image;
    const TransferOutcome out = radio.run(imageReadPlan(image));
    if (out != TransferOutcome::Success) {
        error("reading the radio failed: " + radio.failure(out));
        return std::nullopt;
    }
    return image;
}

void safetyCopy(const RadioImage& image, const Options&) {
    const Result<SafetyCopy> copy = saveSafetyCopy(image);
    if (!copy) error("no safety copy was kept: " + copy.error());
    else if (!copy->warning.empty()) error("safety copy kept in " + copy->path + ", but " + copy->warning);
    else std::cerr << "tqm5: safety copy kept in " << copy->path << std::endl;
}

}  // namespace tqm5::cli

namespace tqm5::cli {

bool openMemoryFile(Radio& radio, const std::string& path) {
    if (radio.commands.files.openMemoryFile(path)) return true;
    error(path + " was not opened; nothing was done");
    return false;
}

}  // namespace tqm5::cli
