// tqm5 --help
#include <iostream>

#include "cli.h"

namespace tqm5::cli {

const char* const UsageText =
    "usage: tqm5 [--device PATH | --port N] [--yes] [--quiet] COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  backup -o FILE          read every region of the radio into a radio image\n"
    "  restore FILE [--verify] write a radio image back to the radio (every region the\n"
    "                          program writes, in the order Write All uses); --verify\n"
    "                          reads back every block written and compares\n"
    "  diff A B                list the channels and settings that differ between two\n"
    "                          radio images, or an image and the radio (write: radio)\n"
    "  help                    this text\n"
    "\n"
    "Options:\n"
    "  -d, --device PATH       the radio's serial device (for example /dev/ttyUSB0);\n"
    "                          a number 1 to 16 is a port number\n"
    "  -p, --port N            port number 1 to 16 as in the window's port menu (default 1)\n"
    "  -y, --yes               answer OK to questions (otherwise Cancel)\n"
    "  -q, --quiet             no progress bar (there is none when stderr is no terminal)\n"
    "  -o, --output FILE       where backup saves the image\n"
    "\n"
    "Every successful backup also keeps a safety copy in\n"
    "$XDG_DATA_HOME/tqm5writer/backups (~/.local/share/tqm5writer/backups); the\n"
    "newest 20 are kept.\n"
    "\n"
    "Exit status: 0 success; 1 failure; 2 wrong use. diff, as diff(1): 0 the same,\n"
    "1 they differ, 2 a file or the radio could not be read.\n";

int help() {
    std::cout << UsageText;
    return Ok;
}

}  // namespace tqm5::cli
