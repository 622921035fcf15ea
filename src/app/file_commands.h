#pragma once
// The file commands (memory files, CSV in both layouts, radio images, the
// configuration file), their texts, and the start-up read of the
// configuration file.
#include <string>

#include "app/edit_history.h"
#include "app/transfer_runner.h"
#include "files/memory_file.h"

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

// Each command runs once its dialog gave a path (an empty one, a Cancel,
// does nothing), reports in a message box and returns whether it
// succeeded. Nothing happens while a transfer runs. What changes channels
// is a step of the channel list's edit history.
class FileCommands {
public:
    FileCommands(TransferRunner& runner, EditHistory& history)
        : runner_(runner), doc_(runner.document()), host_(runner.host()), history_(history) {}

    bool openMemoryFile(const std::string& path);
    bool saveMemoryFile(const std::string& path);
    bool importCsv(const std::string& path);
    bool exportCsv(const std::string& path);
    MemoryFileModels fileModels();
    // The memory file of the document as Save writes it.
    std::string memoryFileText();
    // The channel list in the CSV layout other programmers share. Import
    // fills the selected rows, or from the current row to the last row of
    // its kind, one channel per line; export writes the in-use rows of the
    // selection, or every in-use row but the bug-detector presets when one
    // row is selected. Both list what they could not take or carry.
    bool importCommonCsv(const std::string& path);
    bool exportCommonCsv(const std::string& path);
    // Opens any file the program knows by its extension (any case): a
    // memory file, a radio image, or a CSV file in either layout. A font
    // file is the font window's; this says so and returns false.
    bool openFile(const std::string& path);
    // A file dropped on the window: edits neither written nor saved are
    // asked about first, then openFile.
    bool openDroppedFile(const std::string& path);
    // Reads every region the program reads into a radio image file; opens one
    // into the document as Read All fills it from a radio. Each tells its
    // outcome ("Success" or why not) and returns whether it succeeded.
    bool saveRadioImage(const std::string& path);
    bool openRadioImage(const std::string& path);
    // Takes every value of a document read as a whole (an opened radio
    // image) into the window's, and tells the views.
    void adoptRead(const Document& read);
    // The configuration file a port choice is written to; empty: none.
    std::string configPath;
    // Writes the configuration file; says so when it cannot.
    bool writeConfiguration();

private:
    bool busy() const { return runner_.busy(); }

    TransferRunner& runner_;
    Document& doc_;
    Host& host_;
    EditHistory& history_;
};

}  // namespace tqm5
