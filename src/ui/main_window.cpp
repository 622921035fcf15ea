#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/channel_print.h"
#include "app/file_commands.h"
#include "files/safety_copies.h"
#include "serial/qt_serial_link.h"
#include "ui/bank_page.h"
#include "ui/channel_print.h"
#include "ui/common_set_page.h"
#include "ui/file_dialogs.h"
#include "ui/font_window.h"
#include "ui/group_window.h"
#include "ui/memory_page.h"
#include "ui/set_mode_page.h"
#include "ui/setmode_widgets.h"
#include "ui/twips.h"
#include "ui/version_dialog.h"
#include "ui/wheel_focus.h"

namespace tqm5 {

void useProgramFont() {
    QFont font = QApplication::font();
    font.setFamilies({font.family(), "Noto Sans CJK JP"});
    QApplication::setFont(font);
}

MainWindow::MainWindow(Document& doc, QtSerialLink& link, WidgetHost* host, QWidget* parent, PageBuilding pages)
    : QMainWindow(parent), doc_(doc), link_(link) {
    if (!host) {
        ownHost_ = std::make_unique<WidgetHost>();
        host = ownHost_.get();
    }
    host_ = host;
    host_->setParent(this);
    commands_ = std::make_unique<Commands>(doc_, link_, *host_);
    // Every Read All that succeeded leaves a safety copy of what it read.
    readAllToken_ = commands_->allData.readAllSucceeded.connect([this] {
        if (!doc_.radio.complete()) return;
        if (const std::string problem = safetyCopyProblem(saveSafetyCopy(doc_.radio)); !problem.empty())
            host_->message(problem, engine::ErrorTitle, Host::Buttons::Ok);
    });

    // The window keeps its name "Form1": tests and accessibility tools find it by it.
    setObjectName("Form1");
    setWindowTitle("KPL_TQ-M5 Clone Utility Version1_1");
    buildMenus();
    setAcceptDrops(true);  // a file dropped on the window opens

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    tabs_ = new QTabBar(central);
    tabs_->setObjectName("TabStrip1");
    for (const char* caption : {"Memory", "Bank", "Common Set", "Set Mode"}) tabs_->addTab(caption);
    stack_ = new QStackedWidget(central);
    memoryPage_ = new MemoryPage(*commands_, stack_);
    pages_[0] = memoryPage_;
    stack_->addWidget(memoryPage_);
    if (pages == PageBuilding::AfterFirstPaint) {
        // The other pages hold a few hundred widgets; the window shows first
        // and builds them right after its first paint.
        for (int i = 1; i < 4; ++i) stack_->addWidget(new QWidget(stack_));
        memoryPage_->installEventFilter(this);
    } else {
        buildPages();
    }
    layout->addWidget(tabs_);
    layout->addWidget(stack_, 1);

    auto* progressRow = new QHBoxLayout;
    progressBar_ = new QProgressBar(central);
    progressBar_->setObjectName("ProgressBar1");
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progress_ = new QLineEdit("0%", central);
    progress_->setObjectName("Progress");
    progress_->setFixedWidth(60);
    progress_->installEventFilter(this);
    progress_->setReadOnly(true);
    progress_->setFocusPolicy(Qt::NoFocus);
    auto* percent = new QLabel("%", central);
    percent->setObjectName("Label17");
    // Stop ends the running transfer at its next wait; Escape does the same.
    stop_ = new QPushButton("Stop", central);
    stop_->setObjectName("StopButton");
    stop_->setEnabled(false);
    stop_->setToolTip("Stop the running transfer (Esc)");
    connect(stop_, &QPushButton::clicked, this, [this] { commands_->runner.requestStop(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { commands_->runner.requestStop(); });
    progressRow->addWidget(progressBar_, 1);
    progressRow->addWidget(progress_);
    progressRow->addWidget(percent);
    progressRow->addWidget(stop_);
    layout->addLayout(progressRow);
    setCentralWidget(central);
    buildEditMenu();
    resize(DefaultSize);

    host_->bindProgress(progressBar_, progress_);
    transferControlsToken_ = host_->transferControlsEnabled.connect([this](bool on) { setTransferControlsEnabled(on); });

    connect(tabs_, &QTabBar::currentChanged, this, &MainWindow::tabChosen);
    connect(tabs_, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index == tabs_->currentIndex()) tabChosen(index);  // a click on the tab already shown
    });
    // Looking up the devices behind the ports walks the whole device tree;
    // the menu does that when it opens, so the window starts with the plain
    // captions and the check mark.
    for (int n = 1; n <= 16; ++n) portItems_[n]->setChecked(n == doc_.portChecked);
}

MainWindow::~MainWindow() {
    // The pages go while the commands they call still exist: a box that
    // loses the focus as the window goes still applies what it holds.
    delete takeCentralWidget();
    transferControlsToken_.reset();
    host_->bindProgress(nullptr, nullptr);
    host_->setParent(nullptr);
}

QTableView* MainWindow::grid() const { return memoryPage_->grid(); }

void MainWindow::buildPages() {
    if (pages_[1]) return;
    pages_[1] = new BankPage(*commands_, stack_);
    pages_[2] = new CommonSetPage(*commands_, stack_);
    pages_[3] = new SetModePage(*commands_, stack_);
    while (stack_->count() > 1) {  // the placeholders
        QWidget* placeholder = stack_->widget(1);
        stack_->removeWidget(placeholder);
        placeholder->deleteLater();
    }
    for (int i = 1; i < 4; ++i) stack_->addWidget(pages_[static_cast<std::size_t>(i)]);
    nameFramesByCaption(stack_);
    wheelOnlyWhenFocused(stack_);
    if (auto* font = pages_[2]->findChild<QPushButton*>("Command1"))
        connect(font, &QPushButton::clicked, this, [this] { openFontWindow(); });
    // A transfer may already run (a click during the first paint).
    if (commands_->runner.busy())
        for (int i = 1; i < 4; ++i)
            for (QWidget* w : pages_[static_cast<std::size_t>(i)]->transferControls()) w->setEnabled(false);
}

// A File menu item: its dialog, then the command on the path chosen.
void MainWindow::addFileItem(QMenu* menu, const FileItem& it) {
    QAction* a = menu->addAction(it.caption);
    a->setObjectName(it.name);
    connect(a, &QAction::triggered, this, [this, it] {
        if (!commands_->mayOpenDialog()) return;
        // A size or text being typed counts before the file sees the document.
        if (auto* page = qobject_cast<Page*>(stack_->currentWidget())) page->commitEdits();
        const QString path = askForFile(this, it.kind);
        if (!path.isEmpty()) (commands_->files.*it.run)(QFile::encodeName(path).toStdString());
    });
}

void MainWindow::buildMenus() {
    auto* file = menuBar()->addMenu("File(&F)");
    file->setObjectName("FILE");
    for (FileItem it : {FileItem{"ReadFile", "Open(&O)", FileDialogKind::OpenMemoryFile, &FileCommands::openMemoryFile},
                        FileItem{"TEST_CLICK", "Save(&S)", FileDialogKind::SaveMemoryFile, &FileCommands::saveMemoryFile},
                        FileItem{"FILE_INPORT", "Import(&I)", FileDialogKind::ImportCsv, &FileCommands::importCsv},
                        FileItem{"FILE_EXPORT", "Export(&E)", FileDialogKind::ExportCsv, &FileCommands::exportCsv}})
        addFileItem(file, it);
    file->addSeparator();
    QAction* saveImage = file->addAction("Save Radio Image…");
    saveImage->setObjectName("SaveRadioImage");
    connect(saveImage, &QAction::triggered, this, [this] {
        if (commands_->runner.busy()) return;
        const QString path = askForFile(this, FileDialogKind::SaveRadioImage);
        if (!path.isEmpty()) saveRadioImage(path);
    });
    QAction* openImage = file->addAction("Open Radio Image…");
    openImage->setObjectName("OpenRadioImage");
    connect(openImage, &QAction::triggered, this, [this] {
        if (commands_->runner.busy()) return;
        const QString path = askForFile(this, FileDialogKind::OpenRadioImage);
        if (!path.isEmpty()) openRadioImage(path);
    });
    buildExchangeItems(file);
    auto* ports = menuBar()->addMenu("COMPort(&C)");
    ports->setObjectName("MenuComPort");
    for (int n = 1; n <= 16; ++n) {
        QAction* a = ports->addAction(QString("COM%1").arg(n));
        a->setObjectName(QString("MenuSetCom[%1]").arg(n));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, n] { selectPort(n); });
        portItems_[n] = a;
    }
    connect(ports, &QMenu::aboutToShow, this, &MainWindow::refreshPortCaptions);
    auto* comm = menuBar()->addMenu("Communication(&T)");
    comm->setObjectName("Tusin_Botton");
    QAction* writeAllItem = comm->addAction("Write All Data(&A)");
    writeAllItem->setObjectName("ALL_WRITE");
    connect(writeAllItem, &QAction::triggered, this, [this] { writeAll(); });
    QAction* readAllItem = comm->addAction("Read All Data(&B)");
    readAllItem->setObjectName("ALL_READ");
    connect(readAllItem, &QAction::triggered, this, [this] { readAll(); });
    // Only the blocks that differ from what the radio was last read or
    // written with; the items above keep writing everything.
    QAction* changesItem = comm->addAction("Write Changes(&C)");
    changesItem->setObjectName("WriteChanges");
    changesItem->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    connect(changesItem, &QAction::triggered, this, [this] { writeChanges(); });
    QAction* verifyItem = comm->addAction("Verify After Write");
    verifyItem->setObjectName("VerifyAfterWrite");
    verifyItem->setCheckable(true);
    connect(verifyItem, &QAction::toggled, this, [this](bool on) { commands_->allData.verifyAfterWrite = on; });
    auto* help = menuBar()->addMenu("Help(&H)");
    help->setObjectName("MenuHelp");
    QAction* version = help->addAction("Version Infomation(&A)");
    version->setObjectName("MenuVersion");
    connect(version, &QAction::triggered, this, &MainWindow::showVersion);
    transferMenus_ = {file, ports, comm, help};
}

void MainWindow::buildEditMenu() {
    editMenu_ = new QMenu("Edit(&E)", this);
    editMenu_->setObjectName("EDIT");
    QAction* ports = menuBar()->findChild<QMenu*>("MenuComPort")->menuAction();
    menuBar()->insertMenu(ports, editMenu_);
    auto item = [this](const char* name, const char* caption, QList<QKeySequence> keys, auto run) {
        QAction* a = editMenu_->addAction(QString::fromUtf8(caption));
        a->setObjectName(name);
        a->setShortcuts(keys);
        connect(a, &QAction::triggered, this, run);
        return a;
    };
    undoItem_ = item("EditUndo", "Undo(&U)", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { commands_->channels.undo(); });
    redoItem_ = item("EditRedo", "Redo(&R)", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
                     [this] { commands_->channels.redo(); });
    editMenu_->addSeparator();
    auto toClipboard = [](const std::string& text) {
        if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    };
    item("EditCut", "Cut(&T)", {QKeySequence(Qt::CTRL | Qt::Key_X)}, [this, toClipboard] { toClipboard(commands_->channels.cutRows()); });
    item("EditCopy", "Copy(&C)", {QKeySequence(Qt::CTRL | Qt::Key_C)}, [this, toClipboard] { toClipboard(commands_->channels.copyRows()); });
    item("EditPaste", "Paste(&P)", {QKeySequence(Qt::CTRL | Qt::Key_V)},
         [this] { commands_->channels.pasteRows(QGuiApplication::clipboard()->text().toStdString()); });
    editMenu_->addSeparator();
    item("EditSortFrequency", "Sort by Frequency(&S)", {}, [this] { commands_->channels.sortRows(SortKey::Frequency); });
    item("EditSortName", "Sort by Name(&A)", {}, [this] { commands_->channels.sortRows(SortKey::Name); });
    item("EditMoveUp", "Move Rows Up(&O)", {QKeySequence(Qt::CTRL | Qt::Key_Up)}, [this] { commands_->channels.moveRows(-1); });
    item("EditMoveDown", "Move Rows Down(&D)", {QKeySequence(Qt::CTRL | Qt::Key_Down)}, [this] { commands_->channels.moveRows(+1); });
    editMenu_->addSeparator();
    item("EditFind", "Find…(&F)", {QKeySequence(Qt::CTRL | Qt::Key_F)}, [this] { findChannel(); });
    item("EditFindNext", "Find Next(&N)", {QKeySequence(Qt::Key_F3)}, [this] {
        if (commands_->channels.lastFind().empty()) findChannel();
        else commands_->channels.findNext();
    });
    transferMenus_.append(editMenu_);
    historyToken_ = commands_->channels.history().changed.connect([this] { refreshEditItems(); });
    connect(stack_, &QStackedWidget::currentChanged, this, &MainWindow::refreshEditItems);
    refreshEditItems();
}

void MainWindow::refreshEditItems() {
    // The items act on the grid: only while it shows.
    const bool onGrid = stack_->currentWidget() == memoryPage_;
    for (QAction* a : editMenu_->actions()) a->setEnabled(onGrid);
    undoItem_->setEnabled(onGrid && commands_->channels.history().canUndo());
    redoItem_->setEnabled(onGrid && commands_->channels.history().canRedo());
    const std::string undo = commands_->channels.history().undoName(), redo = commands_->channels.history().redoName();
    undoItem_->setText(undo.empty() ? "Undo(&U)" : QString("Undo %1(&U)").arg(QString::fromStdString(undo)));
    redoItem_->setText(redo.empty() ? "Redo(&R)" : QString("Redo %1(&R)").arg(QString::fromStdString(redo)));
}

void MainWindow::findChannel() {
    if (commands_->runner.busy()) return;
    bool ok = false;
    const QString query = QInputDialog::getText(this, FindTitle, "Part of a name, or a frequency (145.5):",
                                                QLineEdit::Normal, QString::fromStdString(commands_->channels.lastFind()), &ok);
    if (ok && !query.isEmpty()) commands_->channels.find(query.toStdString());
}

// The common CSV layout, printing and PDF, below the File menu's own items.
void MainWindow::buildExchangeItems(QMenu* file) {
    file->addSeparator();
    for (FileItem it :
         {FileItem{"ImportCommonCsv", "Import Common CSV…", FileDialogKind::ImportCommonCsv, &FileCommands::importCommonCsv},
          FileItem{"ExportCommonCsv", "Export Common CSV…", FileDialogKind::ExportCommonCsv, &FileCommands::exportCommonCsv}})
        addFileItem(file, it);
    file->addSeparator();
    QAction* print = file->addAction("Print…");
    print->setObjectName("PrintChannels");
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &MainWindow::printChannels);
    QAction* pdf = file->addAction("Export PDF…");
    pdf->setObjectName("ExportPdf");
    connect(pdf, &QAction::triggered, this, [this] {
        if (!commands_->mayPrint()) return;
        const QString path = askForFile(this, FileDialogKind::ExportPdf);
        if (!path.isEmpty()) exportPdf(path);
    });
}

void MainWindow::printChannels() {
    if (!commands_->mayPrint()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QString::fromUtf8(PrintTitle));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (drawChannelList(printer, doc_.grid, QDate::currentDate().toString(Qt::ISODate)) == 0)
        host_->message("The channel list could not be printed.", FileErrorTitle, Host::Buttons::Ok);
}

bool MainWindow::exportPdf(const QString& path) {
    if (!commands_->mayPrint()) return false;
    const QString error = writeChannelPdf(path, doc_.grid, QDate::currentDate().toString(Qt::ISODate));
    if (!error.isEmpty()) {
        host_->message(fileNotSavedText(error.toStdString()), FileErrorTitle, Host::Buttons::Ok);
        return false;
    }
    host_->message(SaveFileText, FileFinishTitle, Host::Buttons::Ok);
    return true;
}

bool MainWindow::openFile(const QString& path, bool dropped) {
    if (commands_->runner.busy()) return false;
    buildPages();  // a file named at start-up may come before the first paint
    const std::string file = QFile::encodeName(path).toStdString();
    if (fileKindOf(file) == FileKind::FontFile) {
        openFontFile(path);
        return true;
    }
    // What a page's box holds counts before the file replaces the document.
    if (auto* page = qobject_cast<Page*>(stack_->currentWidget())) page->commitEdits();
    return dropped ? commands_->files.openDroppedFile(file) : commands_->files.openFile(file);
}

void MainWindow::openFontFile(const QString& path) {
    if (!commands_->runner.mayOpenWindow()) return;
    FontWindow font(doc_, link_, *host_, this);
    const auto choose = font.chooseOpenFile;
    // The file is read as soon as the window shows; its own Open asks again.
    QTimer::singleShot(0, &font, [&font, path, choose] {
        font.chooseOpenFile = [path] { return path; };
        font.openFile();
        font.chooseOpenFile = choose;
    });
    font.exec();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile() && !commands_->runner.busy() &&
        fileKindOf(QFile::encodeName(urls.first().toLocalFile()).toStdString()) != FileKind::Unknown)
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    const QString path = urls.first().toLocalFile();
    // The drag's source waits for the drop to end: open once it has.
    QTimer::singleShot(0, this, [this, path] { openFile(path, true); });
}

void MainWindow::setTransferControlsEnabled(bool on) {
    for (Page* p : pages_) {
        if (!p) continue;  // not built yet
        for (QWidget* w : p->transferControls()) w->setEnabled(on);
        p->transferControlsEnabled(on);
    }
    tabs_->setEnabled(on);
    stop_->setEnabled(!on);
    for (QMenu* m : transferMenus_) m->menuAction()->setEnabled(on);
}

void MainWindow::openEditor() { memoryPage_->openEditor(); }

bool MainWindow::saveRadioImage(const QString& path) { return commands_->files.saveRadioImage(QFile::encodeName(path).toStdString()); }

bool MainWindow::openRadioImage(const QString& path) { return commands_->files.openRadioImage(QFile::encodeName(path).toStdString()); }

FontTransfer::Outcome MainWindow::openFontWindow(bool readAllMode) {
    if (!commands_->runner.mayOpenWindow()) return FontTransfer::Outcome::None;
    FontWindow font(doc_, link_, *host_, this, readAllMode);
    font.holdRadioWith(commands_->runner);
    font.exec();
    return font.outcome();
}

bool MainWindow::readFontWindow() { return openFontWindow(true) == FontTransfer::Outcome::Success; }

bool MainWindow::readGroupWindow() {
    if (!commands_->groups.openWindow()) return false;
    GroupWindow groups(*commands_, true, this);
    groups.move(frameGeometry().left() + twipsToPixels(2000), frameGeometry().top() + twipsToPixels(1000));
    groups.exec();
    return groups.lastRead() == TransferOutcome::Success;
}

void MainWindow::selectPort(int number) {
    commands_->selectPort(number);
    refreshPortCaptions();  // also undoes the menu's own toggle when refused
}

void MainWindow::refreshPortCaptions() {
    const QStringList devices = link_.devicesByNumber();
    for (int n = 1; n <= 16; ++n) {
        const QString& device = devices[n - 1];
        portItems_[n]->setText(device.isEmpty() ? QString("COM%1").arg(n) : QString("COM%1 (%2)").arg(n).arg(device));
        portItems_[n]->setChecked(n == doc_.portChecked);
    }
}

void MainWindow::showVersion() {
    if (!commands_->mayOpenDialog()) return;
    VersionDialog dialog(this);
    dialog.move(frameGeometry().left() + twipsToPixels(2000), frameGeometry().top() + twipsToPixels(1000));
    dialog.exec();
}

void MainWindow::tabChosen(int index) {
    buildPages();
    // Choosing a tab takes the focus: what a box of the page holds is applied
    // (its focus-leave rule) before the page change checks anything.
    if (auto* page = qobject_cast<Page*>(stack_->currentWidget())) page->commitEdits();
    if (QWidget* focused = focusWidget(); focused && stack_->isAncestorOf(focused))
        tabs_->setFocus(Qt::MouseFocusReason);
    const int shown = commands_->switchPage(index + 1);
    if (shown) {
        pages_[static_cast<std::size_t>(shown - 1)]->aboutToShow();
        stack_->setCurrentIndex(shown - 1);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == memoryPage_ && event->type() == QEvent::Paint && !pages_[1]) {
        memoryPage_->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] { buildPages(); });
        return false;
    }
    if (watched == progress_ && event->type() == QEvent::KeyPress) return true;  // the progress box takes no typing
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!commands_->runner.confirmClose()) {
        event->ignore();  // a running write goes on
        return;
    }
    commands_->runner.windowClosing();
    event->accept();
}

}  // namespace tqm5
