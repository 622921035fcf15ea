#pragma once
// A document with every value a memory file carries filled and different
// from the start-up state: every channel row in use with values from every
// list, a bank layout of its own, one-touch keys, DTMF memories and lists,
// a title with user characters, groups and Set Mode positions.
#include <cstdio>
#include <string>

#include "app/document.h"
#include "app/startup.h"
#include "channels/value_tables.h"

namespace tqm5::test {

// The name of row r: plain letters, a kanji or user characters by turns,
// at most 16 as the radio counts.
inline std::string fullDocumentName(int r) {
    switch (r % 4) {
    case 0: return "CH" + std::to_string(r);
    case 1: return "R" + std::to_string(r) + ":" + std::to_string(1 + r % 8) + "~";
    case 2: return "\xe6\x84\x9b" "A-" + std::to_string(r % 100);  // 愛
    default: return "";
    }
}

inline void fillChannel(ChannelGrid& g, int r) {
    char freq[32], offset[32];
    // A call channel stays in its own band: 145, 433 and 1295 MHz.
    const int whole = r == CallVhfRow ? 145 : r == CallUhfRow ? 433 : r == Call12Row ? 1295 : 144 + r % 300;
    std::snprintf(freq, sizeof freq, "%d.%05dMHz", whole, (r * 37) % 100000);
    const int mhz = r % 1000, khz = mhz == 999 ? 995 : (r * 5) % 1000;
    std::snprintf(offset, sizeof offset, "%d.%03dMHz", mhz, khz);
    g.setCell(r, ColFreq, freq);
    g.setCell(r, ColMode, *ModeOptions.text(r % 4));
    g.setCell(r, ColStep, *StepTable.text(r % 16));
    g.setCell(r, ColCarrier, *TrainTable.text(r % 29));
    g.setCell(r, ColToneMode, *ToneModeOptions.text(r % 6));
    g.setCell(r, ColTxTone, *ToneTable.text(r % 39));
    g.setCell(r, ColRxTone, *ToneTable.text((r * 7) % 39));
    g.setCell(r, ColDcs, *DcsTable.text(r % 104));
    g.setCell(r, ColShift, *ShiftOptions.text(r % 3));
    g.setCell(r, ColOffset, offset);
    g.setCell(r, ColSkip, r % 3 == 0 ? "*" : "");
    g.setCell(r, ColName, fullDocumentName(r));
    g.setNameString(r - 1, displayToName(fullDocumentName(r)));
    g.attr(r) = RowAttributes{static_cast<uint8_t>(r % 39), static_cast<uint8_t>((r * 7) % 39),
                              static_cast<uint8_t>(r % 104), static_cast<uint8_t>(r % 29),
                              static_cast<uint8_t>(r % 16), 1};
}

inline void fillFullDocument(Document& doc) {
    startUp(doc);
    for (int r = 1; r <= LastRow; ++r) fillChannel(doc.grid, r);
    std::array<int, BankLayout::Banks> sizes{};
    for (int b = 0; b < 40; ++b) sizes[static_cast<std::size_t>(b)] = 25;  // 40 banks of 25
    doc.banks.assign(sizes);
    doc.grid.applyLabels(doc.banks.size);
    doc.oneTouch.rebuild(doc.banks);
    for (int k = 0; k < OneTouchKeyCount; ++k) {
        doc.oneTouch.setNoSetting(k, k == 4);
        doc.oneTouch.selectBank(k, 3 * k);
        doc.oneTouch.selectChannel(k, 2 * k);
    }
    for (int d = 0; d < DtmfSettings::Memories; ++d)
        doc.dtmf.memories[static_cast<std::size_t>(d)] = d == 7 ? "" : std::to_string(d) + "123ABCD*#-" + std::to_string(d);
    doc.dtmf.lists = {2, 3, 1, 4, 8};
    doc.title.text = "Hi:1~:8~\xe6\x84\x9b";  // Hi①⑧愛
    for (int g = 0; g < GroupCount; ++g)
        for (int b = 0; b < BankLayout::Banks; ++b)
            doc.groups.member[static_cast<std::size_t>(g)][static_cast<std::size_t>(b)] = (b + g) % 3 == 0;
    doc.groups.markAvailability(doc.banks);
    const auto& catalogue = setModeCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        if (catalogue[i].size() > 1) doc.setMode.set(static_cast<int>(i), static_cast<int>((i * 5 + 1) % catalogue[i].size()));
    ApplySetModeLanguage(doc.setMode, doc.setMode.position("Set_Mode_Display[0]"));
}

}  // namespace tqm5::test
