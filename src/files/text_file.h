#pragma once
// What the memory file, the CSV file and the configuration file share: the
// code page 932 text with CR LF line ends, fixed-width numbers, reading a
// whole file and saving one atomically.
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace tqm5::files {

// A text file's bytes as UTF-8: a file in UTF-8 (it starts with the byte
// order mark, or it is valid UTF-8 and holds characters beyond ASCII) as it
// is without the mark; anything else is read as code page 932.
std::string textFromFile(std::string_view bytes);
bool isUtf8Text(std::string_view bytes);

// The lines of a file, each without its end (CR LF, CR or LF). A last line
// ending in a line end gives no empty line after it.
std::vector<std::string_view> splitLines(std::string_view bytes);
// The lines point into `bytes`: a temporary would leave them dangling.
std::vector<std::string_view> splitLines(std::string&& bytes) = delete;

// "007", "042", "123", and values above 999 as they are ("1000").
std::string threeDigits(int value);
// "07", "42".
std::string twoDigits(int value);

// The whole file, or why it could not be read.
Result<std::string> readWholeFile(const std::string& path);
// Writes `bytes` to a temporary file in the same folder, flushes it to the
// disk and renames it over `path`, so that `path` holds either its old
// contents or the new ones, never part of them. On failure the old file is
// untouched and the error says why.
Result<void> saveAtomically(const std::string& path, std::string_view bytes);

// The name a save uses: `path` with `extension` (".M5") added when its file
// name has no extension of its own ("gui1" -> "gui1.M5"); a name with one
// ("a.M5", "list.txt") stays as it is.
std::string withDefaultExtension(const std::string& path, std::string_view extension);

// Whether the folder exists and files can be created in it.
bool folderWritable(const std::string& folder);

}  // namespace tqm5::files
