#pragma once
// The rules of the channel detail editor on plain values: filling the fields
// from a grid row, the key filters, the rules applied when an offset field is
// left, and the "OK" normalisation that turns the fields into an edit and a
// store plan. The dialog only moves values between its widgets and these.
#include <array>
#include <string>

#include "channels/channel_grid.h"

namespace tqm5 {

// Option indices in the editor's button order.
enum ModeOptionIndex { OptFM = 0, OptAM = 1, OptNFM = 2, OptWFM = 3 };
enum ToneModeOptionIndex { OptNone = 0, OptTone = 1, OptTSQ = 2, OptSQ = 3, OptDCS = 4, OptTrain = 5 };
enum ShiftOptionIndex { OptShiftOff = 0, OptShiftPlus = 1, OptShiftMinus = 2 };

// The values of one column set of the editor.
struct DetailSet {
    std::string freqMhz;       // whole MHz, up to 4 digits
    std::string freqFraction;  // five digits of 10 Hz
    int modeOption = OptFM;
    int stepIndex = 0;
    int toneModeOption = OptNone;
    int txTone = 8, rxTone = 8;
    int dcs = 0;
    int train = 28;            // 28 is the railway entry, "JR" in the list
    int shiftOption = OptShiftOff;
    std::string offsetMhz;     // up to 3 digits
    std::string offsetKhz;     // 3 digits
    bool skip = false;
    std::string name;          // as shown, user characters written ":1~" .. ":8~"

    // What "Clear" leaves: every field empty or at its default.
    static DetailSet cleared() { return DetailSet{}; }
    bool operator==(const DetailSet&) const = default;
};

// The set filled from one grid row's cells and hidden codes.
DetailSet detailSetFromRow(const ChannelGrid& grid, int row);

// "AM" and "WFM" are offered only to rows that are neither call nor dual rows.
bool wideModesAllowed(int row);

// --- key filters ---------------------------------------------------------
// `key` is the character a key press would insert; Backspace is 8, Ctrl+V 22.
constexpr char32_t KeyBackspace = 8;
constexpr char32_t KeyPaste = 22;

bool freqMhzKeyAccepted(const std::string& field, char32_t key);       // digits, at most 4
bool freqFractionKeyAccepted(const std::string& field, char32_t key);  // digits, at most 5
bool offsetKeyAccepted(const std::string& field, char32_t key);        // digits, at most 3
bool nameKeyAccepted(const std::string& name, char32_t key);

// Field contents that the filters above can produce; a pasted or dropped
// text that fails these is refused as a whole.
bool digitFieldFits(const std::string& text, std::size_t maxDigits);
bool nameFits(const std::string& name);  // counted length at most 16
// A change of the name field by any means (paste, drop, input method): it
// must fit, or at least not lengthen a name that is already longer.
bool nameChangeAccepted(const std::string& before, const std::string& after);

// Length of a name as the radio counts it: code page 932 bytes, each user
// character code ":1~" .. ":8~" counting 2.
std::size_t nameCountedLength(const std::string& name);
// The name with ":n~" (n = 1..8) appended, while its counted length is at
// most 15; otherwise unchanged.
std::string appendUserChar(const std::string& name, int n);

// --- leaving the offset fields ------------------------------------------
// Digits only, no leading zeros, empty -> "0".
std::string offsetMhzOnLeave(const std::string& text);
// Digits only; at 999 MHz at most 995; padded on the right to three digits
// ("5" -> "500"); empty or longer than three digits -> "000".
std::string offsetKhzOnLeave(const std::string& mhzField, const std::string& text);

// --- what "OK" keeps as it is ----------------------------------------------
// A frequency (10 Hz units) the editor stores for `row` unchanged: within
// the row's own band for a call row, else within the radio's range and
// outside the blocked ranges. Any other one "OK" replaces or refuses.
bool frequencyFitsRow(int row, long long f10Hz);
// An offset (kHz) the editor keeps: at most 999.995 MHz.
bool offsetFits(long long khz);

// --- "OK" ----------------------------------------------------------------
enum class SetOutcome {
    Stored,   // holds a valid frequency: the row is written
    Emptied,  // the user emptied both frequency fields: the row is cleared
    Refused,  // the frequency rules refused it: the row stays as it was
};

struct NormalisedSet {
    DetailSet fields;   // the corrected fields, as the dialog shows them again
    ChannelEdit edit;   // what the store writes
    SetOutcome outcome = SetOutcome::Refused;
};

// Corrects one set for `row` (call rows use their band) and builds its edit.
NormalisedSet normaliseSet(int row, const DetailSet& set);

struct DetailDecision {
    DetailSet first, second;  // normalised fields
    EditResult result;
    StorePlan plan;
    StoreMode mode = StoreNothing;  // the classic store mode, for reference
};

// Both sets of a dual pair (`dual`), or the first set alone.
DetailDecision decideStore(int row, bool dual, const DetailSet& first, const DetailSet& second);

// --- the editor's state ----------------------------------------------------
// One editing session on a grid row: its sets, labels, the "OK" lock and the
// outcome. `row` is the row the editor is opened on; a dual main row brings
// the row below it as the second set.
class DetailEditor {
public:
    DetailEditor(const ChannelGrid& grid, int row);

    int row() const { return row_; }
    bool dual() const { return dual_; }
    const std::string& label(int set) const { return labels_[set]; }
    bool wideModes() const { return wideModesAllowed(row_); }
    bool okEnabled() const { return okEnabled_; }

    DetailSet& set(int index) { return sets_[index]; }
    const DetailSet& set(int index) const { return sets_[index]; }

    // Resets a set; clearing the set of a call row locks "OK" so a call
    // channel cannot be stored empty.
    void clear(int index);
    // Runs the "OK" rules on the current sets; the sets become their
    // corrected values. False (and nothing decided) while "OK" is locked.
    bool accept();
    void cancel();

    const EditResult& result() const { return decision_.result; }
    StorePlan plan() const { return decision_.plan; }
    StoreMode storeMode() const { return decision_.mode; }

private:
    int row_;
    bool dual_;
    std::array<std::string, 2> labels_;
    std::array<DetailSet, 2> sets_;
    bool okEnabled_ = true;
    DetailDecision decision_;
};

}  // namespace tqm5
