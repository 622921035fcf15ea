#pragma once
// The opening title: the title text as the box shows it (user characters
// as ":1~" .. ":8~"), the opening slide, the key filter, and the radio's
// 34-byte title area with its codec and transfers.
#include <cstdint>
#include <string>
#include <vector>

#include "base/listeners.h"
#include "channels/channel_grid.h"
#include "engine/plan.h"

namespace tqm5 {

enum OpeningSlide : int { SlideOff = 0, SlideOn = 1 };

struct OpeningTitle {
    std::string text;   // as the title box shows it
    int slide = SlideOff;
    Listeners<> changed;
};

extern const std::vector<std::string> SlideEntries;  // "OFF", "ON"

// Length in code page 932 bytes, each ":n~" code counting 2.
int countedLength(const std::string& text);
// Whether a key typed into the title box is taken.
bool titleAcceptsKey(const std::string& text, char32_t key);
// Whether an edit of the title box (however it was made) is kept: no
// character the radio cannot show, and no growth past 16 counted; taking
// characters out is always kept.
bool titleEditAllowed(const std::string& before, const std::string& after);
// The user-character button k (0 to 7): appends ":k+1~" while the counted
// length is at most 15.
void appendUserCharacter(OpeningTitle& t, int k);
void setTitleText(OpeningTitle& t, const std::string& text);
void setSlide(OpeningTitle& t, int position);
// Empties the text and the title string, "OFF". Works during a transfer.
void resetTitle(OpeningTitle& t, ChannelGrid& grid);

// The title in radio form: each ":n~" becomes the user character U+245F + n.
std::string titleStringFromText(const std::string& text);
// The 34 bytes of the title area (16 slots, then the slide twice).
std::vector<uint8_t> encodeTitle(const std::string& titleString, int slide);
struct DecodedTitle {
    std::string titleString;
    int slide = SlideOff;
};
DecodedTitle decodeTitle(const std::vector<uint8_t>& data);

constexpr int BusyTitleRead = 9;
constexpr int BusyTitleWrite = 10;
// The title and slide an image holds; the title string lives in the grid's
// extra name slot.
void takeTitle(const RadioImage& image, OpeningTitle& t, ChannelGrid& grid);
engine::Plan readTitlePlan(OpeningTitle& t, ChannelGrid& grid);
engine::Plan writeTitlePlan(OpeningTitle& t, ChannelGrid& grid);

}  // namespace tqm5
