#pragma once
// The font window's transfer: reads and writes the glyphs one by one or all
// eight. Unlike the main window's transfers it is driven by events: the
// port says a command has left and that a reply is waiting, and a 200 ms
// timer says that one of them did not come. This class is that state
// machine; the window feeds it those events and carries out its outputs.
#include <string>
#include <vector>

#include "engine/plan.h"
#include "font/glyph_set.h"
#include "radio/radio_image.h"
#include "protocol/serial_link.h"

namespace tqm5 {

// What the machine asks of the window and its port.
class FontTransferOutput {
public:
    virtual ~FontTransferOutput() = default;
    // Applies "57600,n,8,1" and the configured port number and opens the
    // port unless it is open. Throws PortError.
    virtual void openPort() = 0;
    virtual void closePort() = 0;
    // Throws PortError. The sent notification follows once the bytes left.
    virtual void send(const Bytes& command) = 0;
    // The received notification comes once this many bytes are waiting.
    virtual void expectReply(int bytes) = 0;
    virtual void startTimer() = 0;  // the 200 ms timeout
    virtual void stopTimer() = 0;
    virtual void message(const std::string& text, const std::string& title) = 0;
    // OK / Cancel question; true for OK.
    virtual bool ask(const std::string& question) = 0;
    virtual void setProgress(int percent) = 0;
    // The glyph and transfer controls (the glyph list included).
    virtual void setControlsEnabled(bool on) = 0;
    virtual void setGridHighlight(bool on) = 0;
    virtual void glyphChanged(int glyph) = 0;  // repaint it if it is shown
    virtual void selectGlyph(int glyph) = 0;   // choose it in the glyph list
    virtual void closeWindow() = 0;
    // The transfer has ended, however it ended (not after abort()).
    virtual void ended() {}
};

enum class FontSequence { Write, Read, WriteAll, ReadAll };

// The exact message texts of the font transfer.
extern const char* const FontIdentifyError;      // "Font Data Error　COM_TYPE １１"
extern const char* const FontWriteError;         // "Font Data Error　COM_TYPE １２"
extern const char* const FontReadIdentifyError;  // "Font Data Error　COM_TYPE １３"
extern const char* const FontComError;           // "Com Error"
extern const char* const FontWriteDone;          // "Success Font Write"
extern const char* const FontReadDone;           // "Success Font Read"
extern const char* const FontWriteAllDone;       // "All Font Data Write"
extern const char* const FontReadAllDone;        // "All Font Data Read"

class FontTransfer {
public:
    // States: 0 idle; 1 to 8 a command was sent and its sent notification
    // is awaited; 11 to 18 its reply is awaited.
    enum State : int {
        Idle = 0,
        WriteIdentify = 1, WriteGlyph = 2, ReadIdentify = 3, ReadGlyph = 4,
        WriteAllIdentify = 5, WriteAllGlyph = 6, ReadAllIdentify = 7, ReadAllGlyph = 8,
        Replied = 10,  // added to a state once its command has left
    };
    static constexpr int TimeoutLimit = 20;  // the 21st timeout in a row ends with "Com Error"
    enum class Outcome { None, Success, Failed };

    // In read-all mode the window reads all glyphs unasked, shows no final
    // message and closes itself when the read has ended.
    FontTransfer(GlyphSet& glyphs, FontTransferOutput& out, bool readAllMode = false)
        : glyphs_(glyphs), out_(out), readAllMode_(readAllMode) {}

    // When given, every glyph the radio accepted (read or written) is put
    // here, as the transfer engine keeps what the radio holds.
    RadioImage* image = nullptr;

    // A button: starts the sequence with `shownGlyph` as the glyph of
    // "Write" and "Read". Ignored (false) while a sequence runs, or when the
    // user declines to write glyphs that never came from the radio, a file
    // or the user.
    bool start(FontSequence sequence, int shownGlyph);
    // The port's events and the timer.
    void sent();
    void received(const Bytes& block);
    void timerTick();
    // The port failed while a sequence runs: it ends with "Port Error" at
    // once, as a port that cannot be opened does.
    void portError();
    // The window closes: the timer stops, the port closes, nothing more runs.
    void abort();

    int state() const { return state_; }
    bool idle() const { return state_ == Idle; }
    int timeouts() const { return timeouts_; }
    int expectedReply() const { return expected_; }
    bool readAllMode() const { return readAllMode_; }
    // How the last sequence ended.
    Outcome outcome() const { return outcome_; }

private:
    // Opens the port, starts the timer and sends; a port error ends the
    // sequence (false).
    bool send(int state, const Bytes& command);
    bool sendWrite(int state, int glyph);
    bool sendRead(int state, int glyph);
    void portFailed();
    // An unanswered or unusable exchange: retried, or "Com Error" after the
    // 21st in a row.
    void failedExchange();
    void fail(const char* text);
    void finish(Outcome outcome);
    bool decodeReply(const Bytes& block, int glyph);

    GlyphSet& glyphs_;
    FontTransferOutput& out_;
    bool readAllMode_;
    int state_ = Idle;
    int shown_ = 0;
    int writeCounter_ = 0;
    int readCounter_ = 0;
    int timeouts_ = 0;
    int expected_ = 0;
    Bytes command_;  // the command in flight: its reply must echo it
    Outcome outcome_ = Outcome::None;
};

// The write blocks of the glyphs that came from the radio, a font file or
// the user, for a transfer plan that writes the glyphs from the document.
// The start-up blanks are left out, so the radio keeps its own glyphs.
std::vector<engine::Block> glyphWriteBlocks(const GlyphSet& glyphs, int budget);

}  // namespace tqm5
