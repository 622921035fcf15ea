#pragma once
// The main window: the menus, the tab strip with its four pages and the
// progress display. The pages hold the controls; the commands run in the
// app layer.
#include <QMainWindow>

#include <array>
#include <memory>

#include "app/commands.h"
#include "app/radio_backup.h"
#include "font/font_transfer.h"
#include "ui/file_dialogs.h"
#include "ui/widget_host.h"

class QAction;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTableView;

namespace tqm5 {

class MemoryPage;
class Page;
class QtSerialLink;

// The program's font: the desktop's, with a Japanese font for the
// characters it lacks. Set once, before the first window.
void useProgramFont();

// Whether the Bank, Common Set and Set Mode pages are built with the window
// or right after its first paint (the program's start, so it shows sooner).
enum class PageBuilding { Now, AfterFirstPaint };

class MainWindow : public QMainWindow, private AllDataWindows {
    Q_OBJECT
public:
    // `host` replaces the window's own (window tests record messages with
    // it); it must outlive the window.
    MainWindow(Document& doc, QtSerialLink& link, WidgetHost* host = nullptr, QWidget* parent = nullptr,
          PageBuilding pages = PageBuilding::Now);
    ~MainWindow() override;

    // The size the window opens with; every page shows whole at it.
    static constexpr QSize DefaultSize{1100, 720};

    Document& document() { return doc_; }
    Commands& commands() { return *commands_; }
    WidgetHost& host() { return *host_; }
    MemoryPage* memoryPage() const { return memoryPage_; }
    QTableView* grid() const;

    // The commands, as the buttons and menus run them.
    TransferOutcome memoryRead() { return commands_->channels.memoryRead(); }
    TransferOutcome memoryWrite() { return commands_->channels.memoryWrite(); }
    TransferOutcome oneMemoryRead() { return commands_->channels.oneMemoryRead(); }
    TransferOutcome oneMemoryWrite() { return commands_->channels.oneMemoryWrite(); }
    void openEditor();
    // The font window ("FONT"), modal, on the document's glyphs. Refused
    // while a transfer runs, except for Read All: in read-all mode the
    // window reads the radio's glyphs at once, shows no final message and
    // closes itself. Returns how its last font transfer ended (None when
    // the window did not open or ran none).
    FontTransfer::Outcome openFontWindow(bool readAllMode = false);
    void selectPort(int number);
    void showVersion();
    TransferOutcome readAll() { return commands_->allData.readAll(*this); }
    TransferOutcome writeAll() { return commands_->allData.writeAll(); }
    TransferOutcome writeChanges() { return commands_->allData.writeChanges(); }
    // "Save Radio Image…": reads every region of the radio into an image
    // file. "Open Radio Image…": fills the window from an image file as Read
    // All fills it from the radio. Both tell the user how it went.
    bool saveRadioImage(const QString& path);
    bool openRadioImage(const QString& path);
    // Opens a file by its extension: a memory file, a radio image, a CSV
    // file in either layout, or a font file (in the font window). `dropped`:
    // edits neither written nor saved are asked about first.
    bool openFile(const QString& path, bool dropped = false);
    // "Print…" and "Export PDF…": the channel list bank by bank.
    void printChannels();
    bool exportPdf(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool readFontWindow() override;
    bool readGroupWindow() override;
    struct FileItem {
        const char* name;
        const char* caption;
        FileDialogKind kind;
        bool (FileCommands::*run)(const std::string&);
    };
    void addFileItem(QMenu* menu, const FileItem& item);
    void buildMenus();
    // The Edit menu, after File: undo, the clipboard, sorting, moving and
    // finding rows of the channel list. Its items act while the Memory
    // page shows.
    void buildEditMenu();
    void refreshEditItems();
    void findChannel();
    void buildPages();
    void buildExchangeItems(QMenu* file);
    void openFontFile(const QString& path);
    void tabChosen(int index);
    void refreshPortCaptions();
    void setTransferControlsEnabled(bool enabled);

    Document& doc_;
    QtSerialLink& link_;
    std::unique_ptr<WidgetHost> ownHost_;
    WidgetHost* host_ = nullptr;
    std::unique_ptr<Commands> commands_;
    QTabBar* tabs_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    MemoryPage* memoryPage_ = nullptr;
    std::array<Page*, 4> pages_{};
    QProgressBar* progressBar_ = nullptr;
    QLineEdit* progress_ = nullptr;
    QPushButton* stop_ = nullptr;
    QList<QMenu*> transferMenus_;
    QAction* portItems_[17] = {};
    QMenu* editMenu_ = nullptr;
    QAction* undoItem_ = nullptr;
    QAction* redoItem_ = nullptr;
    Listeners<>::Token historyToken_;
    // A safety copy after every Read All that succeeded.
    Listeners<>::Token readAllToken_;
    Listeners<bool>::Token transferControlsToken_;
};

}  // namespace tqm5
