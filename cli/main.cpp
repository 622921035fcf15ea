// tqm5: the TQM5 Writer command line. Backs up, restores and compares the
// radio's memory with the program's own transfers and codecs.
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <utility>

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

// The arguments travel through the parser as Latin-1, so every byte of a
// path comes back as it was typed, whatever the locale.
std::string bytes(const QString& text) { return text.toLatin1().toStdString(); }

// A refused argument in plain words: an unknown option as it was typed, a
// value missing after an option, or one given to an option that takes none.
void tellParseError(const QCommandLineParser& parser, const QStringList& args) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        const QString name = unknown.first();
        QString typed = (name.size() == 1 ? "-" : "--") + name;
        for (const QString& a : args)
            if (a.startsWith('-') && a.mid(a.startsWith("--") ? 2 : 1).section('=', 0, 0) == name) {
                typed = a.section('=', 0, 0);
                break;
            }
        error("unknown option " + bytes(typed) + " (tqm5 --help lists them)");
        return;
    }
    // The parser names the option, as typed, between quotes.
    const QString text = parser.errorText();
    const qsizetype from = text.indexOf('\''), to = text.lastIndexOf('\'');
    if (from < 0 || to <= from) {
        error(bytes(text));
        return;
    }
    const QString typed = text.mid(from + 1, to - from - 1);
    const bool takesValue = text.startsWith("Missing value");
    error(bytes(typed) + (takesValue ? " needs a value" : " takes no value"));
}

// Options may stand before or after the command. False (and a message) on
// anything unknown.
bool parse(int argc, char** argv, std::string& command, Options& o) {
    QCommandLineParser parser;
    // "-device" is --device, never -d with the value "evice".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // The help is UsageText; the parser's generated one is never shown, so
    // the options carry no descriptions.
    const QCommandLineOption device(QStringList{"d", "device"}, {}, "PATH");
    const QCommandLineOption port(QStringList{"p", "port"}, {}, "N");
    const QCommandLineOption output(QStringList{"o", "output"}, {}, "FILE");
    const QCommandLineOption font(QStringList{"f", "font"}, {}, "FILE.FM5");
    const QCommandLineOption layout("layout", {}, "LAYOUT");
    const QCommandLineOption row("row", {}, "ROW");
    const QCommandLineOption yes(QStringList{"y", "yes"}, {});
    const QCommandLineOption quiet(QStringList{"q", "quiet"}, {});
    const QCommandLineOption verify("verify", {});
    const QCommandLineOption changes("changes", {});
    const QCommandLineOption resume("resume", {});
    const QCommandLineOption progressLines("progress-lines", {});
    const QCommandLineOption help(QStringList{"h", "help"}, {});
    parser.addOptions({device, port, output, font, layout, row, yes, quiet, verify, changes, resume, progressLines, help});
    QStringList args;
    for (int i = 0; i < argc; ++i) args << QString::fromLatin1(argv[i]);
    if (!parser.parse(args)) {
        tellParseError(parser, args);
        return false;
    }
    // The options in the order given: a later --port overrides a port number
    // given as --device, and the other way round.
    // The options without a value: each sets one flag.
    const std::pair<const QCommandLineOption*, bool Options::*> flags[] = {
        {&yes, &Options::yes},         {&quiet, &Options::quiet},   {&verify, &Options::verify},
        {&changes, &Options::changes}, {&resume, &Options::resume}, {&progressLines, &Options::progressLines}};
    std::map<QString, qsizetype> taken;
    auto next = [&](const QCommandLineOption& option) {
        return bytes(parser.values(option).at(taken[option.names().first()]++));
    };
    for (const QString& name : parser.optionNames()) {
        auto is = [&](const QCommandLineOption& option) { return option.names().contains(name); };
        if (is(device)) {
            o.devices.push_back(next(device));
            // A bare number is a port number, as the window's port menu has them.
            if (o.devices.size() == 1 && !portNumber(o.devices.front(), o.port)) o.device = o.devices.front();
        } else if (is(port)) {
            const std::string v = next(port);
            if (!portNumber(v, o.port)) {
                error("the port number must be 1 to 16, not " + v);
                return false;
            }
        } else if (is(output)) {
            o.output = next(output);
        } else if (is(font)) {
            o.font = next(font);
        } else if (is(layout)) {
            o.layout = next(layout);
            if (o.layout != "common") {
                error("the only other CSV layout is common, not " + o.layout);
                return false;
            }
        } else if (is(row)) {
            o.row = next(row);
        }
        for (const auto& [option, flag] : flags)
            if (is(*option)) o.*flag = true;
    }
    const QStringList words = parser.positionalArguments();
    for (const QString& w : words) o.args.push_back(bytes(w));
    if (parser.isSet(help)) {
        command = "help";
    } else if (!o.args.empty()) {
        command = o.args.front();
        o.args.erase(o.args.begin());
    }
    return true;
}

struct Command {
    const char* name;
    int (*run)(const Options&);
    bool severalDevices;  // takes more than one --device
};

const Command AllCommands[] = {
    {"read", read, false},
    {"write", write, true},
    {"export-csv", exportCsv, false},
    {"import-csv", importCsv, false},
    {"backup", backup, false},
    {"restore", restore, true},
    {"diff", diff, false},
};

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
    for (const Command& c : AllCommands) {
        if (command != c.name) continue;
        if (options.devices.size() > 1 && !c.severalDevices) {
            error(command + " works on one radio: give --device once");
            return Usage;
        }
        if (options.devices.size() > 1) return fleet(command, options);
        const int status = c.run(options);
        if (options.progressLines)
            std::cerr << "tqm5: " << ResultLinePrefix
                      << (status == Ok ? "ok" : "failed" + (lastFailure().empty() ? "" : ": " + lastFailure()))
                      << std::endl;
        return status;
    }
    error("unknown command " + command + " (tqm5 --help lists them)");
    return Usage;
}
