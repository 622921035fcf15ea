// tqm5 write|restore ... --device A --device B ...: every radio programmed at
// once, each by a tqm5 of its own (its own port, lock and line speed), with
// a line for each step of each radio and a table at the end.
#include <QCoreApplication>
#include <QProcess>

#include <algorithm>
#include <iostream>
#include <memory>

#include "cli.h"

namespace tqm5::cli {

namespace {

struct Child {
    std::string device;
    std::unique_ptr<QProcess> process;
    std::string pending;     // stderr not yet a whole line
    std::string step;        // the step running
    std::string lastError;   // the failure its result line told
    int status = -1;
};

// The child's own arguments: the same command on one device.
QStringList childArguments(const std::string& command, const Options& o, const std::string& device) {
    QStringList a{"--device", QString::fromStdString(device), "--progress-lines", QString::fromStdString(command)};
    for (const std::string& arg : o.args) a << QString::fromStdString(arg);
    if (!o.font.empty()) a << "--font" << QString::fromStdString(o.font);
    if (o.verify) a << "--verify";
    if (o.changes) a << "--changes";
    if (o.resume) a << "--resume";
    if (o.yes) a << "--yes";
    return a;
}

void takeLines(Child& c, const QByteArray& bytes, std::size_t width) {
    c.pending += bytes.toStdString();
    for (std::size_t end; (end = c.pending.find('\n')) != std::string::npos;) {
        std::string line = c.pending.substr(0, end);
        c.pending.erase(0, end + 1);
        if (line.empty()) continue;
        std::string said = line.rfind("tqm5: ", 0) == 0 ? line.substr(6) : line;
        if (said.rfind("step: ", 0) == 0) c.step = said.substr(6);
        const std::string failed = std::string(ResultLinePrefix) + "failed: ";
        if (said.rfind(failed, 0) == 0) {
            c.lastError = said.substr(failed.size());
            continue;  // the table tells it
        }
        if (said.rfind(ResultLinePrefix, 0) == 0) continue;
        std::string name = c.device;
        name.resize(std::max(name.size(), width), ' ');
        std::cerr << name << "  " << said << std::endl;
    }
}

}  // namespace

int fleet(const std::string& command, const Options& options) {
    // Wrong use is told once, before any radio is touched.
    if ((options.resume ? !options.args.empty() : options.args.size() != 1) || !options.output.empty()) {
        error("usage: tqm5 " + command + (command == "write" ? " FILE.M5 [--font FILE.FM5]" : " FILE") +
              " [--verify] [--changes | --resume] --device A --device B ...");
        return Usage;
    }
    std::vector<Child> children;
    std::size_t width = 5;
    for (const std::string& d : options.devices) {
        children.push_back(Child{d, std::make_unique<QProcess>(), {}, {}, {}, -1});
        width = std::max(width, d.size());
    }
    for (Child& c : children) {
        c.process->setProgram(QCoreApplication::applicationFilePath());
        c.process->setArguments(childArguments(command, options, c.device));
        c.process->setProcessChannelMode(QProcess::SeparateChannels);
        c.process->start();
    }
    // Every child runs on its own; their lines are shown as they come.
    for (bool running = true; running;) {
        running = false;
        for (Child& c : children) {
            if (c.status >= 0) continue;
            QProcess& p = *c.process;
            if (p.state() != QProcess::NotRunning) p.waitForReadyRead(20);
            takeLines(c, p.readAllStandardError(), width);
            p.readAllStandardOutput();
            if (p.state() == QProcess::NotRunning) {
                takeLines(c, p.readAllStandardError() + "\n", width);
                c.status = p.exitStatus() == QProcess::NormalExit && p.error() != QProcess::FailedToStart
                               ? p.exitCode()
                               : Failed;
                if (p.error() == QProcess::FailedToStart) c.lastError = "tqm5 could not be started";
            } else {
                running = true;
            }
        }
    }
    int failed = 0;
    std::string head = "radio";
    head.resize(width, ' ');
    std::cerr << "\n" << head << "  result  failed step\n";
    for (const Child& c : children) {
        std::string name = c.device;
        name.resize(width, ' ');
        const bool ok = c.status == Ok;
        failed += !ok;
        std::cerr << name << "  " << (ok ? "ok    " : "failed");
        if (!ok) std::cerr << "  " << (c.step.empty() ? "before the first step" : c.step)
                           << (c.lastError.empty() ? "" : ": " + c.lastError);
        std::cerr << "\n";
    }
    std::cerr << failed << " of " << children.size() << " radios failed" << std::endl;
    return failed ? Failed : Ok;
}

}  // namespace tqm5::cli
