// tqm5 --help
#include <iostream>

#include "cli.h"

namespace tqm5::cli {

const char* const UsageText =
    "usage: tqm5 [--device PATH | --port N] [--yes] [--quiet] COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  read -o FILE.M5 [--font FILE.FM5]\n"
    "                          Read All, then save a memory file (and the user\n"
    "                          characters into a font file)\n"
    "  write FILE.M5 [--font FILE.FM5] [--verify]\n"
    "                          open a memory file and Write All; what the file does\n"
    "                          not carry (bank layout and keys when it has no bank\n"
    "                          lines) is kept as the radio has it, and without --font\n"
    "                          the radio's own user characters are written back\n"
    "                          unchanged; a file the radio would take only in part\n"
    "                          (a bank layout that does not total 1000) is refused\n"
    "                          before anything is sent\n"
    "  export-csv FILE.M5 -o FILE.CSV [--layout common]\n"
    "                          the channels of a memory file as CSV; in the\n"
    "                          common layout other programmers read, every in-use\n"
    "                          channel but the bug-detector presets\n"
    "  import-csv FILE.CSV [BASE.M5] -o FILE.M5 [--layout common [--row ROW]]\n"
    "                          a memory file with the channels of a CSV file (and\n"
    "                          everything else from BASE.M5 when given); a common-\n"
    "                          layout file fills the rows from ROW (a label such as\n"
    "                          Bank000-0, or a row number; default the first row)\n"
    "                          to the last of its kind, one channel a line\n"
    "  backup -o FILE          read every region of the radio into a radio image\n"
    "  restore FILE [--verify]\n"
    "                          write a radio image back to the radio (every region\n"
    "                          the program writes, in the order Write All uses);\n"
    "                          --verify reads back every block written and\n"
    "                          compares, naming the channel or region of a difference\n"
    "  diff A B                list the channels and settings that differ between any\n"
    "                          two of: a radio image, a memory file (.M5 or .m5), the\n"
    "                          radio (write: radio)\n"
    "  help                    this text\n"
    "\n"
    "Options:\n"
    "  -d, --device PATH       the radio's serial device (for example /dev/ttyUSB0);\n"
    "                          a number 1 to 16 is a port number\n"
    "  -p, --port N            port number 1 to 16 as in the window's port menu (default 1)\n"
    "  -y, --yes               answer OK to questions (otherwise Cancel)\n"
    "  -q, --quiet             no progress bar (there is none when stderr is no terminal)\n"
    "  -o, --output FILE       where read, backup, export-csv and import-csv save\n"
    "  -f, --font FILE.FM5     the font file read saves and write sends\n"
    "      --layout common     export-csv and import-csv in the CSV layout other\n"
    "                          radio programmers share (Location, Name, Frequency,\n"
    "                          Duplex, Offset, Tone, ...)\n"
    "      --row ROW           where a common-layout import starts\n"
    "\n"
    "Every successful read and backup also keeps a safety copy in\n"
    "$XDG_DATA_HOME/tqm5writer/backups (~/.local/share/tqm5writer/backups); the\n"
    "newest 20 are kept.\n"
    "\n"
    "Every block of a transfer gets 5 attempts of its own (the window counts\n"
    "failures per transfer instead), so a long run outlasts a line that fails now\n"
    "and then.\n"
    "\n"
    "Exit status: 0 success; 1 failure; 2 wrong use. diff, as diff(1): 0 the same,\n"
    "1 they differ, 2 a side could not be read (a missing, damaged or foreign\n"
    "file, or a radio that does not answer).\n";

int help() {
    std::cout << UsageText;
    return Ok;
}

}  // namespace tqm5::cli
