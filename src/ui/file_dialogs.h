#pragma once
// The file dialogs of the File menu, with their filters, starting in the
// program's folder when files can be written there, else in the home folder.
#include <QString>

#include <functional>

class QWidget;

namespace tqm5 {

enum class FileDialogKind { OpenMemoryFile, SaveMemoryFile, ImportCsv, ExportCsv };

// When set, answers in place of the dialogs (window tests): the path, or
// an empty string for Cancel.
std::function<QString(FileDialogKind)>& fileDialogOverride();

QString fileDialogStartFolder();
// The chosen path, empty after Cancel.
QString askForFile(QWidget* parent, FileDialogKind kind);

}  // namespace tqm5
