#pragma once
// Safety copies: after every successful Read All and backup, a radio image
// of what was read goes into the user's data folder, so that after a bad
// write the radio can always be put back. The oldest copies beyond the
// limit are removed.
#include <string>

#include "files/radio_image.h"

namespace tqm5 {

constexpr int SafetyCopiesKept = 20;

// $XDG_DATA_HOME/tqm5writer/backups, or ~/.local/share/tqm5writer/backups.
std::string safetyCopyFolder();

// Saves `image` as radio-YYYYMMDD-HHMMSS-NNN.m5img (NNN counting copies made
// in one second) and prunes the oldest copies beyond `keep`. Returns the
// path, or an empty string with `error` saying why no copy was kept. A copy
// kept while the old ones could not be listed or removed returns its path
// with `error` saying so; otherwise `error` is left empty.
std::string saveSafetyCopy(const RadioImage& image, std::string& error, int keep = SafetyCopiesKept);

// What the user is told after a safety copy was asked for (`path` and
// `error` as saveSafetyCopy left them); empty when all went well.
std::string safetyCopyProblem(const std::string& path, const std::string& error);

}  // namespace tqm5
