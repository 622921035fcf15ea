#pragma once
// The font window "Font": the 16 x 16 pixel grid of one of the eight user
// glyphs, the glyph commands, the font file and the transfer of the glyphs
// to and from the radio. The glyphs live in the document; the transfer's
// rules live in FontTransfer, which this window feeds with the port's and
// the timer's events.
#include <QDialog>

#include <functional>
#include <memory>

#include "app/document.h"
#include "app/transfer_runner.h"
#include "font/font_transfer.h"
#include "protocol/host.h"

class QComboBox;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace tqm5 {

class FontPort;
class QtSerialLink;

class FontWindow : public QDialog, private FontTransferOutput {
    Q_OBJECT
public:
    // `devices` gives the device of the document's port number, as the main
    // window's port does. In read-all mode the window starts "Read ALL" as
    // soon as it runs, shows no final message and closes itself once the
    // read has ended; outcome() then tells how it ended.
    FontWindow(Document& doc, const QtSerialLink& devices, Host& host, QWidget* parent = nullptr,
          bool readAllMode = false);
    ~FontWindow() override;

    int shownGlyph() const { return shown_; }
    const FontTransfer& transfer() const { return *transfer_; }
    FontTransfer::Outcome outcome() const { return transfer_->outcome(); }

    // The file dialogs; tests replace them. An empty name is a cancel.
    std::function<QString()> chooseSaveFile;
    std::function<QString()> chooseOpenFile;

    // The buttons and menu items, as they run.
    void selectGlyph(int glyph) override;
    void back();
    void next();
    void clearGlyph();
    void allClear();
    void setSelection(bool on);
    void saveFile();
    void openFile();
    void start(FontSequence sequence);
    // The window's transfers hold the radio through `runner` (as every
    // transfer of the main window does) from their start to their end.
    void holdRadioWith(TransferRunner& runner) { runner_ = &runner; }

protected:
    // Closing (OK, the window's close, Escape) stops a running transfer.
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showGlyph(int glyph);
    void paintGlyph();
    void paintCell(int row, int col);
    void cellClicked(int row, int col);

    // FontTransferOutput
    void openPort() override;
    void closePort() override;
    void send(const Bytes& command) override;
    void expectReply(int bytes) override;
    void startTimer() override;
    void stopTimer() override;
    void message(const std::string& text, const std::string& title) override;
    bool ask(const std::string& question) override;
    void setProgress(int percent) override;
    void setControlsEnabled(bool on) override;
    void setGridHighlight(bool on) override;
    void glyphChanged(int glyph) override;
    void closeWindow() override;
    void ended() override;
    void letRadioGo();

    Document& doc_;
    TransferRunner* runner_ = nullptr;
    bool holding_ = false;
    GlyphSet& glyphs_;
    Host& host_;
    FontPort* port_ = nullptr;
    QTimer* timer_ = nullptr;
    std::unique_ptr<FontTransfer> transfer_;
    QTableWidget* grid_ = nullptr;
    QComboBox* list_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QList<QWidget*> controls_;  // disabled while a transfer or All Clear runs
    int shown_ = -1;            // the glyph last painted; -1 when the window opens
};

}  // namespace tqm5
