#pragma once
// The memory file, CSV and configuration file commands' texts, and the
// start-up read of the configuration file.
#include <string>

#include "app/document.h"

namespace tqm5 {

extern const char* const SaveFileText;        // "Save File"
extern const char* const ReadFileText;        // "Read File"
extern const char* const FileFinishTitle;     // "Finish"
extern const char* const FileErrorTitle;      // "Error"
extern const char* const FileWontOpenText;    // "This File don't Open"
extern const char* const CsvFileErrorText;    // "CSV File Error"
extern const char* const CsvImportedText;     // "Inport CSV File"
extern const char* const CsvNotesTitle;       // " Warning": the lines an import did not take as written

// What a read or a save that failed with `error` tells the user.
std::string fileNotReadText(const std::string& error);
std::string fileNotSavedText(const std::string& error);
extern const char* const ExportNotesText;     // the heading of what an export could not carry

// The kinds of file the program opens, by the name's extension in any case.
enum class FileKind { Unknown, MemoryFile, RadioImage, Csv, FontFile };
FileKind fileKindOf(const std::string& path);

// Reads the port from the configuration file at `path` into the document:
// 1 when the file was read, 0 after an error (port 1, no check mark).
int readConfiguration(Document& doc, const std::string& path);

}  // namespace tqm5
