#include "app/file_commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/kept_bytes.h"
#include "app/pages.h"
#include "files/common_csv.h"
#include "files/config_file.h"
#include "files/csv_file.h"
#include "files/text_file.h"

namespace tqm5 {

const char* const SaveFileText = "Save File";
const char* const ReadFileText = "Read File";
const char* const FileFinishTitle = "Finish";
const char* const FileErrorTitle = "Error";
const char* const FileWontOpenText = "This File don't Open";
const char* const CsvFileErrorText = "CSV File Error";
const char* const CsvImportedText = "Inport CSV File";
const char* const CsvNotesTitle = " Warning";
const char* const ExportNotesText = "These rows were not written as they are:";

std::string fileNotReadText(const std::string& error) { return "This file could not be read (" + error + ")."; }
std::string fileNotSavedText(const std::string& error) {
    return "The file could not be saved (" + error + "). A file of that name is unchanged.";
}

namespace {

constexpr int CsvProgressMax = LastRow;

// The last three characters of the file name, upper-cased.
bool endsWith(const std::string& path, std::string_view ending) {
    if (path.size() < ending.size()) return false;
    for (std::size_t i = 0; i < ending.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(path[path.size() - ending.size() + i])) != ending[i]) return false;
    return true;
}

}  // namespace

MemoryFileModels FileCommands::fileModels() {
    return MemoryFileModels{doc_.grid,  doc_.banks,  doc_.oneTouch, doc_.dtmf,
                            doc_.title, doc_.groups, doc_.setMode,  &doc_.held};
}

std::string FileCommands::memoryFileText() {
    // The bytes a write would take from the radio or a file go with it.
    doc_.held = carriedBytes(doc_);
    return memoryFileBytes(fileModels(), doc_.port, memoryFileHeader());
}

bool FileCommands::openMemoryFile(const std::string& path) {
    if (busy() || path.empty()) return false;
    RecordedChange change(history_, doc_, "Open");
    if (!endsWith(path, ".M5")) {
        host_.message(FileWontOpenText, FileErrorTitle);
        return false;
    }
    const Result<std::string> bytes = files::readWholeFile(path);
    if (!bytes) {
        host_.message(fileNotReadText(bytes.error()), FileErrorTitle);
        return false;
    }
    const Result<MemoryFileContent> read = parseMemoryFile(bytes.value());
    if (!read) {
        host_.message(read.error() + ". Nothing was changed.", FileErrorTitle);
        return false;
    }
    MemoryFileModels models = fileModels();
    applyMemoryFile(read.value(), models);
    // The Memory page shows the labels of the layout just opened.
    if (read->hasBanks && (doc_.lastTab == 0 || doc_.lastTab == MemoryPage)) followLayout(doc_);
    doc_.origin = ChannelOrigin{true, -1};
    // The areas the file carries count as known; the others keep what they were.
    const MemoryFileContent& c = read.value();
    AreaOrigins& known = doc_.known;
    known.banks = known.banks || (c.hasBanks && doc_.banks.complete());
    known.oneTouch = known.oneTouch || !c.oneTouch.empty();
    known.dtmf = known.dtmf || c.hasDtmfLists ||
                 std::find(c.dtmfMemorySet.begin(), c.dtmfMemorySet.end(), 1) != c.dtmfMemorySet.end();
    known.title = known.title || c.hasTitle;
    known.groups = known.groups || std::find(c.groupSet.begin(), c.groupSet.end(), true) != c.groupSet.end();
    known.settings = known.settings || !c.setMode.empty();
    doc_.markSaved(1, LastRow);
    host_.message(ReadFileText, FileFinishTitle);
    return true;
}

bool FileCommands::saveMemoryFile(const std::string& path) {
    if (busy() || path.empty()) return false;
    const std::string bytes = memoryFileText();
    if (const Result<void> saved = files::saveAtomically(path, bytes); !saved) {
        host_.message(fileNotSavedText(saved.error()), FileErrorTitle);
        return false;
    }
    doc_.markSaved(1, LastRow);
    host_.message(SaveFileText, FileFinishTitle);
    return true;
}

bool FileCommands::writeConfiguration() {
    if (configPath.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(configPath).parent_path(), ec);
    const std::string bytes = memoryFileText();
    if (const Result<void> saved = files::saveAtomically(configPath, bytes); !saved) {
        host_.message("The port could not be remembered in " + configPath + " (" + saved.error() + ").", FileErrorTitle);
        return false;
    }
    return true;
}

bool FileCommands::importCsv(const std::string& path) {
    if (busy() || path.empty()) return false;
    RecordedChange change(history_, doc_, "Import");
    const Result<std::string> bytes = endsWith(path, "CSV") ? files::readWholeFile(path) : Failure{"not a CSV file"};
    followLayout(doc_);  // lines find their rows by the labels of the layout in effect
    CsvImport import;
    if (bytes) {
        host_.setProgressMax(CsvProgressMax);
        host_.setProgressValue(0);
        import = parseCsv(bytes.value(), doc_.grid, [this](int row) { host_.setProgressValue(row); });
    }
    if (!bytes || !import.headingOk) {
        host_.message(CsvFileErrorText, ErrorTitle);
        host_.setProgressValue(0);
        return false;
    }
    const std::vector<CsvNote> notes = applyCsvImport(import, doc_.grid);
    doc_.origin = ChannelOrigin{true, -1};
    doc_.markEdited(1, LastRow);  // imported, but neither written nor saved yet
    host_.setProgressValue(CsvProgressMax);
    host_.message(CsvImportedText, FinishTitle);
    host_.setProgressValue(0);
    // What the import could not take as written, so nothing goes unsaid.
    if (!notes.empty()) host_.message(csvNotesText(notes), CsvNotesTitle);
    return true;
}

bool FileCommands::exportCsv(const std::string& path) {
    if (busy() || path.empty()) return false;
    followLayout(doc_);  // a layout just changed on the Bank page labels the rows already
    host_.setProgressMax(CsvProgressMax);
    host_.setProgressValue(0);
    const std::string bytes = csvExportBytes(doc_.grid, [this](int row) { host_.setProgressValue(row); });
    if (const Result<void> saved = files::saveAtomically(path, bytes); !saved) {
        host_.setProgressValue(0);
        host_.message(fileNotSavedText(saved.error()), FileErrorTitle);
        return false;
    }
    host_.setProgressValue(CsvProgressMax);
    host_.message(SaveFileText, FileFinishTitle);
    host_.setProgressValue(0);
    return true;
}

FileKind fileKindOf(const std::string& path) {
    if (endsWith(path, ".M5")) return FileKind::MemoryFile;
    if (endsWith(path, ".M5IMG")) return FileKind::RadioImage;
    if (endsWith(path, ".CSV")) return FileKind::Csv;
    if (endsWith(path, ".FM5")) return FileKind::FontFile;
    return FileKind::Unknown;
}

bool FileCommands::importCommonCsv(const std::string& path) {
    if (busy() || path.empty()) return false;
    RecordedChange change(history_, doc_, "Import");
    const Result<std::string> bytes = files::readWholeFile(path);
    if (!bytes) {
        host_.message(fileNotReadText(bytes.error()), FileErrorTitle);
        return false;
    }
    const CommonCsvRead read = parseCommonCsv(bytes.value());
    if (!read.headingOk) {
        host_.message("This file is not in the common CSV layout: " + read.headingProblem + ". Nothing was changed.",
                      FileErrorTitle);
        return false;
    }
    followLayout(doc_);  // the notes name the rows by the labels of the layout in effect
    const CommonCsvApplied applied = applyCommonCsv(read, doc_.grid, commonCsvTargetRows(doc_.grid));
    if (applied.stored == 0) {
        host_.message("No channel of this file was imported." +
                          (applied.notes.empty() ? std::string() : "\n" + csvNotesText(applied.notes)),
                      FileErrorTitle);
        return false;
    }
    doc_.origin = ChannelOrigin{true, -1};
    doc_.markEdited(applied.firstRow, applied.lastRow);
    const auto& g = doc_.grid;
    host_.message(std::to_string(applied.stored) + (applied.stored == 1 ? " channel" : " channels") + " imported into " +
                      g.cell(applied.firstRow, ColLabel) +
                      (applied.lastRow != applied.firstRow ? " to " + g.cell(applied.lastRow, ColLabel) : "") + ".",
                  FileFinishTitle);
    if (!applied.notes.empty()) host_.message(csvNotesText(applied.notes), CsvNotesTitle);
    return true;
}

bool FileCommands::exportCommonCsv(const std::string& path) {
    if (busy() || path.empty()) return false;
    followLayout(doc_);  // the Comment field carries the row labels
    const CommonCsvExport out = commonCsvExport(doc_.grid, commonCsvExportRows(doc_.grid));
    if (out.channels == 0) {
        host_.message("The selected rows hold no channel; nothing was exported.", FileErrorTitle);
        return false;
    }
    if (const Result<void> saved = files::saveAtomically(path, out.bytes); !saved) {
        host_.message(fileNotSavedText(saved.error()), FileErrorTitle);
        return false;
    }
    host_.message(SaveFileText, FileFinishTitle);
    if (!out.notes.empty()) host_.message(csvNotesText(out.notes, ExportNotesText), CsvNotesTitle);
    return true;
}

bool FileCommands::openFile(const std::string& path) {
    if (busy() || path.empty()) return false;
    switch (fileKindOf(path)) {
        case FileKind::MemoryFile: return openMemoryFile(path);
        case FileKind::RadioImage: return openRadioImage(path);
        case FileKind::Csv: {
            // The program's own export, or the layout other programmers share.
            // A file that cannot be read goes to the import, which says why.
            const Result<std::string> bytes = files::readWholeFile(path);
            return bytes && isCommonCsv(bytes.value()) ? importCommonCsv(path) : importCsv(path);
        }
        case FileKind::FontFile:
        case FileKind::Unknown: break;
    }
    host_.message("This program opens memory files (.M5), radio images (.m5img) and CSV files (.csv); " + path +
                      " is none of them.",
                  FileErrorTitle);
    return false;
}

bool FileCommands::openDroppedFile(const std::string& path) {
    if (busy() || path.empty()) return false;
    if (doc_.hasUnsavedEdits() && fileKindOf(path) != FileKind::FontFile &&
        !runner_.ask("Some channels were edited but neither written to the radio nor saved. Open " + path +
                     " and lose these edits?"))
        return false;
    return openFile(path);
}

int readConfiguration(Document& doc, const std::string& path) {
    // Without a file (the first start) the program starts on its defaults.
    const Result<PortSetting> read = readPortSettingFile(path);
    const PortSetting s = read ? read.value() : PortSetting{};
    doc.port = s.port;
    doc.portChecked = s.checked;
    return s.read ? 1 : 0;
}

}  // namespace tqm5
