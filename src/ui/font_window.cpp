#include "ui/font_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "font/font_file.h"
#include "serial/font_port.h"
#include "serial/qt_serial_link.h"
#include "ui/file_dialogs.h"
#include "ui/twips.h"
#include "ui/wheel_focus.h"

namespace tqm5 {
namespace {

// The classic palette: colour 1 (dark blue) behind a lit pixel, colour 12
// (light red) as its text colour; an unlit one keeps the grid's own
// background with colour 0 (black).
const QColor OnBackground(0, 0, 128);
const QColor OnText(255, 0, 0);
const QColor OffText(0, 0, 0);
constexpr int CellTwips = 400;
constexpr int TimerMs = 200;

// Paints each cell in its pixel's colour and lays the selection over it
// translucently, so the pixels stay visible inside a selected range.
class PixelDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool highlight = true;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QVariant bg = index.data(Qt::BackgroundRole);
        p->fillRect(option.rect, bg.canConvert<QBrush>() ? bg.value<QBrush>() : option.palette.base());
        if (highlight && (option.state & QStyle::State_Selected)) {
            QColor h = option.palette.highlight().color();
            h.setAlpha(110);
            p->fillRect(option.rect, h);
        }
        if (highlight && (option.state & QStyle::State_HasFocus)) {
            p->setPen(QPen(option.palette.highlight().color(), 1, Qt::DotLine));
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
    }
};

}  // namespace

FontWindow::FontWindow(Document& doc, const QtSerialLink& devices, Host& host, QWidget* parent, bool readAllMode)
    : QDialog(parent), doc_(doc), glyphs_(doc.glyphs), host_(host) {
    // The window keeps its name "Form4": tests and accessibility tools find it by it.
    setObjectName("Form4");
    setWindowTitle("Font");
    setModal(true);
    transfer_ = std::make_unique<FontTransfer>(glyphs_, static_cast<FontTransferOutput&>(*this), readAllMode);
    transfer_->image = &doc.radio;

    port_ = new FontPort(devices, this);
    port_->setObjectName("MSComm1");
    connect(port_, &FontPort::sent, this, [this] { transfer_->sent(); });
    connect(port_, &FontPort::received, this, [this](const QByteArray& block) {
        transfer_->received(Bytes(block.begin(), block.end()));
    });
    connect(port_, &FontPort::failed, this, [this] { transfer_->portError(); });
    timer_ = new QTimer(this);
    timer_->setObjectName("SIRIAL_TIMER");
    timer_->setInterval(TimerMs);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, [this] { transfer_->timerTick(); });

    // The menu.
    auto* menus = new QMenuBar(this);
    auto* file = menus->addMenu("File(&F)");
    file->setObjectName("FONT_FILE");
    QAction* open = file->addAction("Font File Open(&O)");
    open->setObjectName("FONT_READ");
    connect(open, &QAction::triggered, this, &FontWindow::openFile);
    QAction* save = file->addAction("Font File Save(&S)");
    save->setObjectName("FONT_SAVE");
    connect(save, &QAction::triggered, this, &FontWindow::saveFile);

    // The pixel grid: one 400-twip square cell per pixel.
    const int cell = twipsToPixels(CellTwips);
    grid_ = new QTableWidget(GlyphSize, GlyphSize, this);
    grid_->setObjectName("MSFlexGrid1");
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setMinimumSectionSize(1);
    grid_->verticalHeader()->setMinimumSectionSize(1);
    for (int i = 0; i < GlyphSize; ++i) {
        grid_->setColumnWidth(i, cell);
        grid_->setRowHeight(i, cell);
    }
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid_->setItemDelegate(new PixelDelegate(grid_));
    const int side = GlyphSize * cell + 2 * grid_->frameWidth();
    grid_->setFixedSize(side, side);
    for (int r = 0; r < GlyphSize; ++r)
        for (int c = 0; c < GlyphSize; ++c) grid_->setItem(r, c, new QTableWidgetItem);
    connect(grid_, &QTableWidget::cellClicked, this, &FontWindow::cellClicked);
    connect(grid_, &QTableWidget::cellPressed, this, [this] { setGridHighlight(true); });

    // The commands beside it.
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    list_ = new QComboBox(this);
    list_->setObjectName("FONT_LIST");
    for (int g = 1; g <= GlyphCount; ++g) list_->addItem(QString::number(g));
    list_->installEventFilter(this);
    QPushButton* backButton = button("FONT_BACK", "BACK");
    QPushButton* nextButton = button("FONT_NEXT", "NEXT");
    QPushButton* clearButton = button("FONT_CLEAR", "Clear");
    QPushButton* allClearButton = button("ALL_CLEAR", "All Clear");
    QPushButton* setButton = button("IKKATU_ON", "Select Setting");
    QPushButton* deleteButton = button("IKKATU_OFF", "Select Delete");
    QPushButton* readButton = button("R_FONT", "Read");
    QPushButton* writeButton = button("FONT_WRITE", "Write");
    QPushButton* readAllButton = button("READ_ALL", "Read ALL");
    QPushButton* writeAllButton = button("WRITE_ALL", "Write ALL");
    QPushButton* ok = button("Command1", "OK");
    controls_ = {writeButton, readButton, setButton, deleteButton, clearButton, writeAllButton,
                 readAllButton, nextButton, backButton, allClearButton, list_};

    connect(list_, &QComboBox::currentIndexChanged, this, &FontWindow::showGlyph);
    connect(backButton, &QPushButton::clicked, this, &FontWindow::back);
    connect(nextButton, &QPushButton::clicked, this, &FontWindow::next);
    connect(clearButton, &QPushButton::clicked, this, &FontWindow::clearGlyph);
    connect(allClearButton, &QPushButton::clicked, this, &FontWindow::allClear);
    connect(setButton, &QPushButton::clicked, this, [this] { setSelection(true); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { setSelection(false); });
    connect(readButton, &QPushButton::clicked, this, [this] { start(FontSequence::Read); });
    connect(writeButton, &QPushButton::clicked, this, [this] { start(FontSequence::Write); });
    connect(readAllButton, &QPushButton::clicked, this, [this] { start(FontSequence::ReadAll); });
    connect(writeAllButton, &QPushButton::clicked, this, [this] { start(FontSequence::WriteAll); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    progress_ = new QProgressBar(this);
    progress_->setObjectName("ProgressBar1");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);

    auto* side_ = new QVBoxLayout;
    side_->addWidget(list_);
    auto* steps = new QHBoxLayout;
    steps->addWidget(backButton);
    steps->addWidget(nextButton);
    side_->addLayout(steps);
    side_->addSpacing(8);
    auto* edits = new QGridLayout;
    edits->addWidget(clearButton, 0, 0);
    edits->addWidget(allClearButton, 0, 1);
    edits->addWidget(setButton, 1, 0);
    edits->addWidget(deleteButton, 1, 1);
    side_->addLayout(edits);
    side_->addSpacing(8);
    auto* radio = new QGridLayout;
    radio->addWidget(readButton, 0, 0);
    radio->addWidget(writeButton, 0, 1);
    radio->addWidget(readAllButton, 1, 0);
    radio->addWidget(writeAllButton, 1, 1);
    side_->addLayout(radio);
    side_->addStretch(1);
    side_->addWidget(ok);

    auto* body = new QHBoxLayout;
    body->addWidget(grid_, 0, Qt::AlignTop);
    body->addLayout(side_);
    auto* all = new QVBoxLayout(this);
    all->setMenuBar(menus);
    all->addLayout(body);
    all->addWidget(progress_);
    all->setSizeConstraint(QLayout::SetFixedSize);

    chooseSaveFile = [this] { return askForFile(this, FileDialogKind::SaveFontFile); };
    chooseOpenFile = [this] { return askForFile(this, FileDialogKind::OpenFontFile); };

    if (parent) move(parent->geometry().topLeft() + QPoint(twipsToPixels(1500), twipsToPixels(1000)));
    // Opening forgets the glyph last shown, so the first one always paints.
    shown_ = -1;
    list_->setCurrentIndex(0);
    showGlyph(0);
    wheelOnlyWhenFocused(this);
    if (readAllMode) QTimer::singleShot(0, this, [this] { start(FontSequence::ReadAll); });
}

FontWindow::~FontWindow() {
    transfer_->abort();
    letRadioGo();
}

// --- the glyph on the grid ---------------------------------------------------

void FontWindow::showGlyph(int glyph) {
    if (glyph < 0 || glyph >= GlyphCount || glyph == shown_) return;
    shown_ = glyph;
    paintGlyph();
    grid_->setCurrentCell(0, 0);
}

void FontWindow::paintGlyph() {
    grid_->setUpdatesEnabled(false);
    for (int r = 0; r < GlyphSize; ++r)
        for (int c = 0; c < GlyphSize; ++c) paintCell(r, c);
    grid_->setUpdatesEnabled(true);
}

void FontWindow::paintCell(int row, int col) {
    QTableWidgetItem* item = grid_->item(row, col);
    const bool on = glyphs_.pixel(shown_, row, col);
    item->setData(Qt::BackgroundRole, on ? QVariant(QBrush(OnBackground)) : QVariant());
    item->setForeground(on ? OnText : OffText);
}

void FontWindow::cellClicked(int row, int col) {
    glyphs_.togglePixel(shown_, row, col);
    paintCell(row, col);
}

void FontWindow::selectGlyph(int glyph) { list_->setCurrentIndex(glyph); }

void FontWindow::back() {
    if (list_->currentIndex() > 0) selectGlyph(list_->currentIndex() - 1);
}

void FontWindow::next() {
    if (list_->currentIndex() < GlyphCount - 1) selectGlyph(list_->currentIndex() + 1);
}

void FontWindow::clearGlyph() {
    glyphs_.clearGlyph(shown_);
    paintGlyph();
}

void FontWindow::allClear() {
    setControlsEnabled(false);
    glyphs_.clearAll();
    paintGlyph();
    setControlsEnabled(true);
    selectGlyph(0);
    message("ALL Clear", " Clear");
    grid_->setCurrentCell(0, 0);
}

void FontWindow::setSelection(bool on) {
    // The range from the current cell to the selection's other end, either
    // way round; without a range, the current cell.
    int row1 = grid_->currentRow(), col1 = grid_->currentColumn();
    int row2 = row1, col2 = col1;
    const QList<QTableWidgetSelectionRange> ranges = grid_->selectedRanges();
    if (!ranges.isEmpty()) {
        row1 = ranges.front().topRow();
        col1 = ranges.front().leftColumn();
        row2 = ranges.front().bottomRow();
        col2 = ranges.front().rightColumn();
    }
    if (row1 < 0 || col1 < 0) return;
    setGridHighlight(false);
    glyphs_.setRect(shown_, row1, col1, row2, col2, on);
    paintGlyph();
}

// --- the font file -------------------------------------------------------------

void FontWindow::saveFile() {
    if (!transfer_->idle()) return;
    const QString path = chooseSaveFile();
    if (path.isEmpty()) return;
    if (const Result<void> saved = writeFontFile(QFile::encodeName(path).toStdString(), glyphs_); !saved) {
        message("The font file could not be saved: " + saved.error(), " Error");
        return;
    }
    message(FontFileSaved, " Finish");
}

void FontWindow::openFile() {
    if (!transfer_->idle()) return;
    const QString path = chooseOpenFile();
    if (path.isEmpty()) return;
    if (const Result<FontGlyphsRead> read = readFontFile(QFile::encodeName(path).toStdString(), glyphs_); !read) {
        message(fontFileRefusal(path.toStdString(), read.error()), " Error");
        return;
    }
    message(FontFileRead, " Finish");
    const int row = grid_->currentRow(), col = grid_->currentColumn();
    setGridHighlight(false);
    paintGlyph();
    setGridHighlight(true);
    grid_->setCurrentCell(row, col);
}

// --- the transfer ----------------------------------------------------------------

void FontWindow::start(FontSequence sequence) {
    if (runner_ && !holding_) {
        if (const Result<void> held = runner_->holdRadio(); !held) {
            host_.message(held.error(), engine::ErrorTitle);
            return;
        }
        holding_ = true;
    }
    if (!transfer_->start(sequence, shown_)) letRadioGo();
}

void FontWindow::ended() { letRadioGo(); }

void FontWindow::letRadioGo() {
    if (!holding_) return;
    holding_ = false;
    runner_->releaseRadio();
}

void FontWindow::openPort() { port_->open(doc_.port); }
void FontWindow::closePort() { port_->close(); }
void FontWindow::send(const Bytes& command) { port_->write(command); }
void FontWindow::expectReply(int bytes) { port_->expect(bytes); }
void FontWindow::startTimer() { timer_->start(); }
void FontWindow::stopTimer() { timer_->stop(); }

void FontWindow::message(const std::string& text, const std::string& title) { host_.message(text, title); }

bool FontWindow::ask(const std::string& question) {
    return host_.message(question, "Caution", Host::Buttons::OkCancel) == Host::Choice::Ok;
}

void FontWindow::setProgress(int percent) { progress_->setValue(percent); }

void FontWindow::setControlsEnabled(bool on) {
    for (QWidget* w : controls_) w->setEnabled(on);
}

void FontWindow::setGridHighlight(bool on) {
    auto* d = static_cast<PixelDelegate*>(grid_->itemDelegate());
    if (d->highlight == on) return;
    d->highlight = on;
    grid_->viewport()->update();
}

void FontWindow::glyphChanged(int glyph) {
    if (glyph == shown_) paintGlyph();
}

void FontWindow::closeWindow() { accept(); }

void FontWindow::done(int result) {
    transfer_->abort();
    QDialog::done(result);
}

bool FontWindow::eventFilter(QObject* watched, QEvent* event) {
    // The glyph list takes no typing.
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        !static_cast<QKeyEvent*>(event)->text().isEmpty() &&
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_Tab && static_cast<QKeyEvent*>(event)->key() != Qt::Key_Backtab)
        return true;
    return QDialog::eventFilter(watched, event);
}

}  // namespace tqm5
