#include "ui/file_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tqm5 {

std::function<QString(FileDialogKind)>& fileDialogOverride() {
    static std::function<QString(FileDialogKind)> hook;
    return hook;
}

QString fileDialogStartFolder() {
    const QString program = QCoreApplication::applicationDirPath();
    const QFileInfo info(program);
    return info.isDir() && info.isWritable() ? program : QDir::homePath();
}

QString askForFile(QWidget* parent, FileDialogKind kind) {
    if (fileDialogOverride()) return fileDialogOverride()(kind);
    const QString start = fileDialogStartFolder();
    switch (kind) {
    case FileDialogKind::OpenMemoryFile:
        return QFileDialog::getOpenFileName(parent, QString(), start,
                                            "M5 (*.M5);;M5 Files (*.M5);;All Files (*.*)");
    case FileDialogKind::SaveMemoryFile:
        return QFileDialog::getSaveFileName(parent, QString(), start,
                                            QString::fromUtf8("TQM5ファイル(*.M5);;すべてのファイル(*.*)"));
    case FileDialogKind::ImportCsv:
        return QFileDialog::getOpenFileName(parent, QString(), start,
                                            "CSV (*.CSV);;CSV Files (*.CSV);;All Files (*.*)");
    case FileDialogKind::ExportCsv:
        return QFileDialog::getSaveFileName(parent, QString(), start,
                                            QString::fromUtf8("CSVファイル(*.CSV);;すべてのファイル(*.*)"));
    }
    return {};
}

}  // namespace tqm5
