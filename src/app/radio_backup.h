#pragma once
// Radio images in the program: Read All without windows, and a document
// filled from an image the way Read All fills it from the radio.
#include <string>

#include "app/commands.h"
#include "files/radio_image.h"

namespace tqm5 {

// Reads the eight user glyphs: one 64-byte read per glyph, of which the
// first 32 bytes are the glyph. The set changes only once all arrived.
engine::Plan glyphReadPlan(GlyphSet& glyphs);

// Read All's font and group steps without their windows: the glyphs as a
// plan, the groups through the group transfer.
class PlanAllData : public AllDataWindows {
public:
    explicit PlanAllData(Commands& commands) : commands_(commands) {}
    bool readFontWindow() override;
    bool readGroupWindow() override;

private:
    Commands& commands_;
};

// Fills `doc` from `image` exactly as Read All fills it from a radio that
// holds those bytes: every area decodes through its read plan, fed from the
// image instead of the line, and nothing is shown. False when an area could
// not use the bytes (`doc` is then partly filled: decode into a document of
// its own). `problem`, when given, says which part could not be used.
bool loadImageIntoDocument(const RadioImage& image, Document& doc, std::string* problem = nullptr);

}  // namespace tqm5
