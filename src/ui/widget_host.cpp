#include "ui/widget_host.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>

namespace tqm5 {

Host::Choice WidgetHost::message(const std::string& text, const std::string& title, Buttons buttons) {
    // A long list (what an import did not take) would outgrow the screen:
    // its first lines are shown, all of them under "Show Details...".
    constexpr int ShownLines = 25;
    const QString full = QString::fromStdString(text);
    const QStringList lines = full.split('\n');
    const QString shown = lines.size() <= ShownLines
                              ? full
                              : QStringList(lines.mid(0, ShownLines)).join('\n') +
                                    QString("\n... and %1 more lines.").arg(lines.size() - ShownLines);
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), shown,
                    buttons == Buttons::Ok ? QMessageBox::Ok : (QMessageBox::Ok | QMessageBox::Cancel), parent_);
    box.setObjectName("MessageBox");
    if (shown != full) box.setDetailedText(full);
    return box.exec() == QMessageBox::Ok ? Choice::Ok : Choice::Cancel;
}

void WidgetHost::processEvents() { QApplication::processEvents(QEventLoop::AllEvents); }

void WidgetHost::setProgressMax(int max) {
    if (bar_) bar_->setMaximum(max);
}

void WidgetHost::setProgressValue(int value) {
    if (bar_) bar_->setValue(std::min(value, bar_->maximum()));
}

void WidgetHost::setProgressText(const std::string& text) {
    if (text_) text_->setText(QString::fromStdString(text));
}

void WidgetHost::enableTransferControls() {
    transferControlsEnabled.notify(true);
}

void WidgetHost::disableTransferControls() {
    transferControlsEnabled.notify(false);
}

}  // namespace tqm5
