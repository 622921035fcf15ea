#pragma once
// Every value the program edits, owned in one place. The windows show it and
// write the user's actions back into it.
#include <array>

#include "channels/channel_grid.h"
#include "features/bank_layout.h"
#include "features/groups.h"
#include "features/one_touch.h"
#include "features/dtmf.h"
#include "features/settings.h"
#include "features/title.h"
#include "font/glyph_set.h"
#include "protocol/transfer_state.h"
#include "radio/radio_image.h"

namespace tqm5 {

// Where the channels in the grid came from: the write guards ask before
// the radio is overwritten with channels it never held.
struct ChannelOrigin {
    bool known = false;         // a full read, a full write, an opened file or an import
    int readStoppedAfter = -1;  // a read that failed stopped after this row (0: before row 1); -1: none
};

// Which of the other areas hold what came from the radio, a file or a radio
// image (or was written to the radio since): a write of nothing but the
// program's start-up values, perhaps edited, asks first.
struct AreaOrigins {
    bool banks = false;
    bool groups = false;
    bool oneTouch = false;
    bool title = false;
    bool settings = false;
    bool dtmf = false;
};

struct Document {
    ChannelGrid grid;
    ChannelOrigin origin;
    AreaOrigins known;
    // Rows edited since they were last read, written or saved.
    std::array<bool, GridRows> unsavedRows{};
    bool hasUnsavedEdits() const;
    void markEdited(int first, int last);
    void markSaved(int first, int last);
    BankLayout banks;
    GroupTable groups;
    OneTouchMemories oneTouch;
    SetModeSettings setMode;  // Set Mode and Common Set items, the settings image
    DtmfSettings dtmf;
    OpeningTitle title;       // the title string itself lives in the grid's title slot
    // The radio's eight user glyphs, shared by every opening of the font window.
    GlyphSet glyphs;
    // What the radio on the port is known to hold: every block the radio
    // accepted since the program started (read, or written), byte for byte.
    // Values no control shows stay here; a write of only what changed
    // compares against it.
    RadioImage radio;
    // Bytes a memory file brought for blocks whose values it states but
    // cannot hold byte for byte (an empty title slot between characters, a
    // bit no bank stands for): a write sends them where `radio` does not
    // know the block and the document still holds what they give.
    RadioImage held;
    TransferState state;
    int port = 1;          // selected serial port number, 1 to 16
    int portChecked = 0;   // port menu item carrying the check mark, 0 for none
    int lastTab = 0;       // page (1-4) last switched to, 0 before the first switch
};

}  // namespace tqm5
