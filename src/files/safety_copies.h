#pragma once
// Safety copies: after every successful Read All and backup, a radio image
// of what was read goes into the user's data folder, so that after a bad
// write the radio can always be put back. The oldest copies beyond the
// limit are removed.
#include <string>

#include "base/result.h"
#include "files/radio_image.h"

namespace tqm5 {

constexpr int SafetyCopiesKept = 20;

// $XDG_DATA_HOME/tqm5writer/backups, or ~/.local/share/tqm5writer/backups.
std::string safetyCopyFolder();

// A copy kept: where, and what went wrong around it (the old copies could
// not be listed or removed); the warning is empty when nothing did.
struct SafetyCopy {
    std::string path;
    std::string warning;
};

// Saves `image` as radio-YYYYMMDD-HHMMSS-NNN.m5img (NNN counting copies made
// in one second) and prunes the oldest copies beyond `keep`. The error says
// why no copy was kept.
Result<SafetyCopy> saveSafetyCopy(const RadioImage& image, int keep = SafetyCopiesKept);

// What the user is told after a safety copy was asked for; empty when all
// went well.
std::string safetyCopyProblem(const Result<SafetyCopy>& copy);

}  // namespace tqm5
