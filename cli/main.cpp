// tqm5: the TQM5 Writer command line. Backs up, restores and compares the
// radio's memory with the program's own transfers and codecs.
#include <QCoreApplication>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "app/startup.h"
#include "cli.h"

using namespace tqm5::cli;

namespace {

bool portNumber(const std::string& text, int& out) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || n < 1 || n > 16) return false;
    out = static_cast<int>(n);
    return true;
}

// Options may stand before or after the command. False (and a message) on
// anything unknown.
bool parse(int argc, char** argv, std::string& command, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error(a + " needs a value");
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--device" || a == "-d") {
            if (!value(v)) return false;
            // A bare number is a port number, as the window's port menu has them.
            if (!portNumber(v, o.port)) o.device = v;
        } else if (a == "--port" || a == "-p") {
            if (!value(v)) return false;
            if (!portNumber(v, o.port)) {
                error("the port number must be 1 to 16, not " + v);
                return false;
            }
        } else if (a == "-o" || a == "--output") {
            if (!value(o.output)) return false;
        } else if (a == "--font" || a == "-f") {
            if (!value(o.font)) return false;
        } else if (a == "--layout") {
            if (!value(o.layout)) return false;
            if (o.layout != "common") {
                error("the only other CSV layout is common, not " + o.layout);
                return false;
            }
        } else if (a == "--row") {
            if (!value(o.row)) return false;
        } else if (a == "--yes" || a == "-y") {
            o.yes = true;
        } else if (a == "--quiet" || a == "-q") {
            o.quiet = true;
        } else if (a == "--verify") {
            o.verify = true;
        } else if (a == "--help" || a == "-h") {
            command = "help";
        } else if (a.size() > 1 && a[0] == '-') {
            error("unknown option " + a + " (tqm5 --help lists them)");
            return false;
        } else if (command.empty()) {
            command = a;
        } else {
            o.args.push_back(a);
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command;
    Options options;
    if (!parse(argc, argv, command, options)) return Usage;
    if (command == "help") return help();
    if (command.empty()) {
        std::cerr << UsageText;
        return Usage;
    }
    // The serial port needs Qt's core; no window is ever opened.
    QCoreApplication app(argc, argv);
    if (const std::string problem = tqm5::startUpProblem(); !problem.empty()) error(problem);
    if (command == "read") return read(options);
    if (command == "write") return write(options);
    if (command == "export-csv") return exportCsv(options);
    if (command == "import-csv") return importCsv(options);
    if (command == "backup") return backup(options);
    if (command == "restore") return restore(options);
    if (command == "diff") return diff(options);
    error("unknown command " + command + " (tqm5 --help lists them)");
    return Usage;
}
