#include "font/font_transfer.h"

#include "protocol/answers.h"
#include "protocol/clone_protocol.h"
#include "radio/memory_map.h"

namespace tqm5 {

// U+3000 between "Error" and "COM_TYPE", full-width digits.
const char* const FontIdentifyError = "Font Data Error\u3000COM_TYPE \uFF11\uFF11";
const char* const FontWriteError = "Font Data Error\u3000COM_TYPE \uFF11\uFF12";
const char* const FontReadIdentifyError = "Font Data Error\u3000COM_TYPE \uFF11\uFF13";
const char* const FontComError = "Com Error";
const char* const FontWriteDone = "Success Font Write";
const char* const FontReadDone = "Success Font Read";
const char* const FontWriteAllDone = "All Font Data Write";
const char* const FontReadAllDone = "All Font Data Read";

namespace {

const char* const FinishTitle = " Finish";
const char* const ErrorTitle = " Error";
const char* const PortErrorText = "Port Error";
const char* const UnknownGlyphsQuestion =
    "These glyphs were not read from the radio, loaded from a font file or drawn. "
    "Write them over the radio's glyphs?";

constexpr int GlyphBytes = radio::GlyphBytes;

int allProgress(int counter) { return 100 - 100 / counter; }

}  // namespace

bool FontTransfer::start(FontSequence sequence, int shownGlyph) {
    if (state_ != Idle || shownGlyph < 0 || shownGlyph >= GlyphCount) return false;
    bool unknown = false;
    if (sequence == FontSequence::Write) unknown = !glyphs_.known(shownGlyph);
    if (sequence == FontSequence::WriteAll)
        for (int g = 0; g < GlyphCount; ++g) unknown = unknown || !glyphs_.known(g);
    if (unknown && !out_.ask(UnknownGlyphsQuestion)) return false;

    shown_ = shownGlyph;
    outcome_ = Outcome::None;
    int first = WriteIdentify;
    switch (sequence) {
    case FontSequence::Write: first = WriteIdentify; break;
    case FontSequence::Read: first = ReadIdentify; break;
    case FontSequence::WriteAll: first = WriteAllIdentify; break;
    case FontSequence::ReadAll: first = ReadAllIdentify; break;
    }
    // Only the sequences over all eight glyphs start counting timeouts
    // afresh; those of one glyph add to the count so far.
    if (sequence == FontSequence::WriteAll || sequence == FontSequence::ReadAll) timeouts_ = 0;
    out_.setProgress(0);
    out_.setControlsEnabled(false);
    send(first, identificationCommand());
    return true;
}

bool FontTransfer::send(int state, const Bytes& command) {
    state_ = state;
    command_ = command;
    expected_ = 0;
    try {
        out_.openPort();
        out_.startTimer();
        out_.send(command);
    } catch (const PortError&) {
        portFailed();
        return false;
    }
    return true;
}

bool FontTransfer::sendWrite(int state, int glyph) {
    return send(state, writeCommand(radio::glyphAddress(glyph), glyphs_.encode(glyph)));
}

bool FontTransfer::sendRead(int state, int glyph) { return send(state, readCommand(radio::glyphAddress(glyph))); }

void FontTransfer::portFailed() {
    out_.stopTimer();
    state_ = Idle;
    out_.setControlsEnabled(true);
    out_.setGridHighlight(true);
    out_.message(PortErrorText, ErrorTitle);
    out_.closePort();
    finish(Outcome::Failed);
}

void FontTransfer::sent() {
    if (state_ < WriteIdentify || state_ > ReadAllGlyph) return;
    out_.stopTimer();
    switch (state_) {
    case WriteIdentify: case ReadIdentify: case WriteAllIdentify: case ReadAllIdentify:
        expected_ = static_cast<int>(IdentificationAnswerLength);
        break;
    case WriteGlyph: case WriteAllGlyph: expected_ = static_cast<int>(writeAnswerLength(GlyphBytes)); break;
    default: expected_ = static_cast<int>(readAnswerLength(radio::MaxBlockBytes)); break;
    }
    state_ += Replied;
    out_.expectReply(expected_);
    out_.startTimer();
}

bool FontTransfer::decodeReply(const Bytes& block, int glyph) {
    // The radio answers every read with a 64-byte block; the glyph is its
    // first 32 bytes. Checked as every read answer is: exact length, the
    // command echoed, CR LF in place and hexadecimal digits only, so that
    // neither a stray byte nor a cut answer reaches the glyph.
    const std::optional<Bytes> data = readAnswerData(block, command_, radio::MaxBlockBytes);
    if (!data) return false;
    const Bytes bytes(data->begin(), data->begin() + GlyphBytes);
    glyphs_.decode(glyph, bytes);
    if (image) image->put(radio::glyphAddress(glyph), bytes);
    out_.glyphChanged(glyph);
    return true;
}

void FontTransfer::received(const Bytes& block) {
    if (state_ <= Replied + Idle || state_ > Replied + ReadAllGlyph) return;
    out_.stopTimer();
    out_.closePort();
    const bool identified = identificationAccepted(block, command_);
    switch (state_) {
    case Replied + WriteIdentify:
        if (!identified) return fail(FontIdentifyError);
        out_.setProgress(50);
        return static_cast<void>(sendWrite(WriteGlyph, shown_));
    case Replied + WriteGlyph:
        out_.setControlsEnabled(true);
        if (!writeAccepted(block, command_, GlyphBytes)) return fail(FontWriteError);
        if (image) image->put(radio::glyphAddress(shown_), glyphs_.encode(shown_));
        out_.setProgress(100);
        state_ = Idle;
        if (!readAllMode_) out_.message(FontWriteDone, FinishTitle);
        out_.setProgress(0);
        return finish(Outcome::Success);
    case Replied + ReadIdentify:
        if (!identified) return fail(FontReadIdentifyError);
        out_.setProgress(50);
        return static_cast<void>(sendRead(ReadGlyph, shown_));
    case Replied + ReadGlyph:
        if (!decodeReply(block, shown_)) return failedExchange();
        out_.setProgress(100);
        state_ = Idle;
        out_.setControlsEnabled(true);
        if (!readAllMode_) out_.message(FontReadDone, FinishTitle);
        return finish(Outcome::Success);  // the bar stays full
    case Replied + WriteAllIdentify:
        if (!identified) return fail(FontIdentifyError);
        writeCounter_ = 0;
        if (sendWrite(WriteAllGlyph, writeCounter_++)) out_.setProgress(allProgress(writeCounter_));
        return;
    case Replied + WriteAllGlyph:
        if (!writeAccepted(block, command_, GlyphBytes)) return fail(FontWriteError);
        if (image) image->put(radio::glyphAddress(writeCounter_ - 1), glyphs_.encode(writeCounter_ - 1));
        if (writeCounter_ < GlyphCount) {
            if (sendWrite(WriteAllGlyph, writeCounter_++)) out_.setProgress(allProgress(writeCounter_));
            return;
        }
        out_.setProgress(100);
        state_ = Idle;
        if (!readAllMode_) out_.message(FontWriteAllDone, FinishTitle);
        out_.setControlsEnabled(true);
        out_.setProgress(0);
        return finish(Outcome::Success);
    case Replied + ReadAllIdentify:
        if (!identified) return fail(FontIdentifyError);
        readCounter_ = 0;
        if (sendRead(ReadAllGlyph, readCounter_++)) out_.setProgress(allProgress(readCounter_));
        return;
    case Replied + ReadAllGlyph:
        if (!decodeReply(block, readCounter_ - 1)) return failedExchange();
        if (readCounter_ < GlyphCount) {
            if (sendRead(ReadAllGlyph, readCounter_++)) out_.setProgress(allProgress(readCounter_));
            return;
        }
        state_ = Idle;
        readCounter_ = 0;
        // Choosing "2" and then "1" repaints glyph "1" whichever was shown.
        out_.selectGlyph(1);
        out_.selectGlyph(0);
        out_.setControlsEnabled(true);
        if (!readAllMode_) out_.message(FontReadAllDone, FinishTitle);
        return finish(Outcome::Success);  // the bar stays where the last glyph left it
    default: return;
    }
}

void FontTransfer::fail(const char* text) {
    state_ = Idle;
    out_.setControlsEnabled(true);
    out_.message(text, ErrorTitle);
    finish(Outcome::Failed);
}

void FontTransfer::finish(Outcome outcome) {
    outcome_ = outcome;
    expected_ = 0;
    out_.ended();
    // Read All opened the window to read the glyphs and waits for it: it
    // goes once the read has ended, however it ended.
    if (readAllMode_) out_.closeWindow();
}

void FontTransfer::portError() {
    if (state_ != Idle) portFailed();
}

void FontTransfer::timerTick() {
    if (state_ == Idle) return;
    failedExchange();
}

void FontTransfer::failedExchange() {
    out_.stopTimer();
    out_.closePort();
    if (++timeouts_ > TimeoutLimit) {
        timeouts_ = 0;
        state_ = Idle;
        out_.message(FontComError, ErrorTitle);
        out_.setGridHighlight(false);
        out_.setProgress(0);
        out_.setControlsEnabled(true);
        return finish(Outcome::Failed);
    }
    const int step = state_ > Replied ? state_ - Replied : state_;
    switch (step) {
    case WriteIdentify: case ReadIdentify: case WriteAllIdentify: case ReadAllIdentify:
        return static_cast<void>(send(step, identificationCommand()));
    case WriteGlyph: return static_cast<void>(sendWrite(WriteGlyph, shown_));
    case ReadGlyph: return static_cast<void>(sendRead(ReadGlyph, shown_));
    case WriteAllGlyph:
        if (writeCounter_ > 0) --writeCounter_;
        return static_cast<void>(sendWrite(WriteAllGlyph, writeCounter_));
    case ReadAllGlyph:  // the whole read starts again from the identification
        return static_cast<void>(send(ReadAllIdentify, identificationCommand()));
    default: return;
    }
}

void FontTransfer::abort() {
    out_.stopTimer();
    out_.closePort();
    state_ = Idle;
    expected_ = 0;
}

std::vector<engine::Block> glyphWriteBlocks(const GlyphSet& glyphs, int budget) {
    std::vector<engine::Block> blocks;
    for (int g = 0; g < GlyphCount; ++g) {
        if (!glyphs.known(g)) continue;
        engine::Block b;
        b.kind = engine::Block::Kind::Write;
        b.address = radio::glyphAddress(g);
        b.length = GlyphBytes;
        b.budget = budget;
        b.encode = [&glyphs, g] { return glyphs.encode(g); };
        blocks.push_back(std::move(b));
    }
    return blocks;
}

}  // namespace tqm5
