#pragma once
// The file dialogs of the File menus (memory file, CSV, font file, radio
// image), with their filters. Each kind of file starts in the folder last
// used for it, remembered across runs; the first time in the program's
// folder when files can be written there, else in the home folder. A name
// saved without an extension gets the one of its kind.
#include <QString>

#include <functional>

class QWidget;

namespace tqm5 {

enum class FileDialogKind {
    OpenMemoryFile, SaveMemoryFile, ImportCsv, ExportCsv, OpenFontFile, SaveFontFile, OpenRadioImage, SaveRadioImage,
    ImportCommonCsv, ExportCommonCsv, ExportPdf
};

// When set, answers in place of the dialogs (window tests): the path, or
// an empty string for Cancel.
std::function<QString(FileDialogKind)>& fileDialogOverride();

QString fileDialogStartFolder();
// The folder a dialog of this kind starts in, and remembering a chosen file's.
QString lastFolder(FileDialogKind kind);
void rememberFolder(FileDialogKind kind, const QString& chosenFile);
// The chosen path, empty after Cancel. A save's path carries its extension.
QString askForFile(QWidget* parent, FileDialogKind kind);

}  // namespace tqm5
