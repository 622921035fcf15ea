#pragma once
// The main window: four pages, the menus, the progress display, and the
// Memory page with the channel grid.
#include <QMainWindow>

#include <functional>

#include "app/document.h"
#include "channels/channel_transfers.h"
#include "protocol/host.h"

class QAction;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTableView;

namespace tqm5 {

class GridModel;
class QtSerialLink;

class Form1 : public QMainWindow, public Host {
    Q_OBJECT
public:
    Form1(Document& doc, QtSerialLink& link, QWidget* parent = nullptr);
    ~Form1() override;

    // Host
    Choice message(const std::string& text, const std::string& title, Buttons buttons) override;
    void processEvents() override;
    void setProgressMax(int max) override;
    void setProgressValue(int value) override;
    void setProgressText(const std::string& text) override;
    void enableTransferControls() override;

    // When set, messages go here instead of to message boxes (window tests).
    std::function<Choice(const std::string& text, const std::string& title, Buttons buttons)> messageSink;
    Document& document() { return doc_; }
    QTableView* grid() const { return view_; }
    int timeoutMs = 1000;

    // The commands, as the buttons and menus run them.
    TransferOutcome memoryRead();
    TransferOutcome memoryWrite();
    TransferOutcome oneMemoryRead();
    TransferOutcome oneMemoryWrite();
    void openEditor();
    void selectPort(int number);
    void showVersion();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TransferContext context();
    void buildMenus();
    QWidget* buildMemoryPage();
    void tabChosen(int index);
    void showSelection();
    void takeViewSelection();
    void refreshPortCaptions();

    Document& doc_;
    QtSerialLink& link_;
    GridModel* model_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QTableView* view_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLineEdit* progress_ = nullptr;
    QPushButton* allReset_ = nullptr;
    QAction* portItems_[17] = {};
    bool syncing_ = false;
};

}  // namespace tqm5
