#include "ui/file_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "files/text_file.h"

namespace tqm5 {
namespace {

struct DialogSpec {
    bool save;
    const char* caption;
    const char* filter;
    const char* extension;  // added to a saved name without one
    const char* folderKey;  // the memory of the last folder, shared by Open and Save
};

DialogSpec specOf(FileDialogKind kind) {
    switch (kind) {
    case FileDialogKind::OpenMemoryFile:
        return {false, "", "M5 (*.M5);;M5 Files (*.M5);;All Files (*.*)", ".M5", "memory"};
    case FileDialogKind::SaveMemoryFile:
        return {true, "", "TQM5ファイル(*.M5);;すべてのファイル(*.*)", ".M5", "memory"};
    case FileDialogKind::ImportCsv:
        return {false, "", "CSV (*.CSV);;CSV Files (*.CSV);;All Files (*.*)", ".CSV", "csv"};
    case FileDialogKind::ExportCsv:
        return {true, "", "CSVファイル(*.CSV);;すべてのファイル(*.*)", ".CSV", "csv"};
    case FileDialogKind::OpenFontFile:
        return {false, "", "FM5 (*.FM5);;FM5 Files (*.FM5);;All Files (*.*)", ".FM5", "font"};
    case FileDialogKind::SaveFontFile:
        return {true, "", "M5フォントファイル(*.FM5);;すべてのファイル(*.*)", ".FM5", "font"};
    case FileDialogKind::OpenRadioImage:
        return {false, "Open Radio Image", "Radio image (*.m5img)", ".m5img", "image"};
    case FileDialogKind::SaveRadioImage:
        return {true, "Save Radio Image", "Radio image (*.m5img)", ".m5img", "image"};
    case FileDialogKind::ImportCommonCsv:
        return {false, "Import Common CSV", "CSV (*.csv *.CSV);;All Files (*)", ".csv", "csv"};
    case FileDialogKind::ExportCommonCsv:
        return {true, "Export Common CSV", "CSV (*.csv)", ".csv", "csv"};
    case FileDialogKind::ExportPdf:
        return {true, "Export PDF", "PDF (*.pdf)", ".pdf", "pdf"};
    }
    return {};
}

// The folders live in the user's configuration folder, apart from the
// configuration file the radio's port is kept in.
QSettings folderSettings() {
    return QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         "/tqm5writer/dialogs.ini",
                     QSettings::IniFormat);
}

}  // namespace

std::function<QString(FileDialogKind)>& fileDialogOverride() {
    static std::function<QString(FileDialogKind)> hook;
    return hook;
}

QString fileDialogStartFolder() {
    const QString program = QCoreApplication::applicationDirPath();
    const QFileInfo info(program);
    return info.isDir() && info.isWritable() ? program : QDir::homePath();
}

QString lastFolder(FileDialogKind kind) {
    const QString folder = folderSettings().value(QString("folders/") + specOf(kind).folderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : fileDialogStartFolder();
}

void rememberFolder(FileDialogKind kind, const QString& chosenFile) {
    if (chosenFile.isEmpty()) return;
    folderSettings().setValue(QString("folders/") + specOf(kind).folderKey, QFileInfo(chosenFile).absolutePath());
}

QString askForFile(QWidget* parent, FileDialogKind kind) {
    const DialogSpec spec = specOf(kind);
    QString path;
    if (fileDialogOverride()) {
        path = fileDialogOverride()(kind);
    } else {
        const QString caption = QString::fromUtf8(spec.caption), filter = QString::fromUtf8(spec.filter);
        QFileDialog dialog(parent, caption, lastFolder(kind), filter);
        dialog.setAcceptMode(spec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(spec.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        // The dialog adds the extension itself, so it asks before replacing
        // the file that will really be written.
        if (spec.save) dialog.setDefaultSuffix(QString::fromUtf8(spec.extension + 1));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
        if (!path.isEmpty()) rememberFolder(kind, path);
    }
    if (path.isEmpty() || !spec.save) return path;
    return QFile::decodeName(files::withDefaultExtension(QFile::encodeName(path).toStdString(), spec.extension).c_str());
}

}  // namespace tqm5
