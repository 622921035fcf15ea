#include "app/document_diff.h"

#include <cctype>

#include "app/kept_bytes.h"
#include "base/hex.h"

namespace tqm5 {

namespace {

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

std::string change(const std::string& what, const std::string& from, const std::string& to) {
    return what + ": " + from + " -> " + to;
}

void channels(const Document& a, const Document& b, std::vector<std::string>& out) {
    for (int row = 1; row <= LastRow; ++row) {
        const std::string label = "Channel " + a.grid.cell(row, ColLabel);
        bool any = false;
        for (int col = ColFreq; col <= ColName; ++col) {
            const std::string &x = a.grid.cell(row, col), &y = b.grid.cell(row, col);
            if (x == y) continue;
            any = true;
            out.push_back(change(label + " " + a.grid.cell(0, col), x.empty() ? "(empty)" : quoted(x),
                                 y.empty() ? "(empty)" : quoted(y)));
        }
        // The name as the radio holds it (user characters included) even
        // when the texts shown agree.
        if (!any && a.grid.nameString(row - 1) != b.grid.nameString(row - 1))
            out.push_back(label + ": the names differ in characters the grid does not show");
    }
}

std::string keyText(const OneTouchKey& k) {
    if (k.noSetting) return "No Setting";
    return "bank " + std::to_string(k.bank) + " channel " + std::to_string(k.channel);
}

std::string entryText(const SetModeItem& item, int position) {
    const auto& entries = item.entries(English);
    if (position < 0) return "(a value no entry stands for)";
    if (position >= static_cast<int>(entries.size())) return std::to_string(position);
    return quoted(entries[static_cast<std::size_t>(position)]);
}

void features(const Document& a, const Document& b, std::vector<std::string>& out) {
    for (int bank = 0; bank < BankLayout::Banks; ++bank) {
        const int x = a.banks.size[static_cast<std::size_t>(bank)], y = b.banks.size[static_cast<std::size_t>(bank)];
        if (x != y) out.push_back(change("Bank " + std::to_string(bank) + " size", std::to_string(x), std::to_string(y)));
    }
    for (int g = 0; g < GroupCount; ++g)
        for (int bank = 0; bank < BankLayout::Banks; ++bank) {
            const bool x = a.groups.isMember(g, bank), y = b.groups.isMember(g, bank);
            if (x == y) continue;
            out.push_back(change("Group " + groupName(g) + " bank " + std::to_string(bank),
                                 x ? "linked" : "not linked", y ? "linked" : "not linked"));
        }
    for (int k = 0; k < OneTouchKeyCount; ++k) {
        const std::string x = keyText(a.oneTouch.key(k)), y = keyText(b.oneTouch.key(k));
        if (x != y) out.push_back(change("One-touch key " + std::to_string(k + 1), x, y));
    }
    if (a.title.text != b.title.text) out.push_back(change("Opening title", quoted(a.title.text), quoted(b.title.text)));
    if (a.title.slide != b.title.slide)
        out.push_back(change("Opening slide", SlideEntries.at(std::size_t(a.title.slide)),
                             SlideEntries.at(std::size_t(b.title.slide))));
    const auto& catalogue = setModeCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const int item = static_cast<int>(i);
        const int x = a.setMode.shown(item), y = b.setMode.shown(item);
        if (x == y && !(x < 0 && a.setMode.image != b.setMode.image)) continue;
        out.push_back(change("Setting " + catalogue[i].caption(English), entryText(catalogue[i], x),
                             entryText(catalogue[i], y)));
    }
    for (int m = 0; m < DtmfSettings::Memories; ++m) {
        const auto& x = a.dtmf.memories[std::size_t(m)];
        const auto& y = b.dtmf.memories[std::size_t(m)];
        if (x != y) out.push_back(change("DTMF memory " + std::to_string(m + 1), quoted(x), quoted(y)));
    }
    for (int l = 0; l < DtmfLists; ++l) {
        const std::size_t i = static_cast<std::size_t>(l);
        if (a.dtmf.lists[i] == b.dtmf.lists[i] && (a.dtmf.lists[i] >= 0 || a.dtmf.raw[i] == b.dtmf.raw[i])) continue;
        const auto text = [&](const DtmfSettings& d) {
            const auto& entries = dtmfList(l).entries;
            const int p = d.lists[i];
            return p >= 0 && p < static_cast<int>(entries.size()) ? quoted(entries[std::size_t(p)])
                                                                  : std::string("(a value no entry stands for)");
        };
        out.push_back(change(std::string("DTMF ") + dtmfList(l).caption, text(a.dtmf), text(b.dtmf)));
    }
    for (int g = 0; g < GlyphCount; ++g)
        if (a.glyphs.encode(g) != b.glyphs.encode(g))
            out.push_back("User character " + std::to_string(g + 1) + ": the glyphs differ");
}

// Blocks whose values agree but whose bytes a write would send differ (an
// empty title slot, a slide byte, bits no bank stands for), where both
// sides carry the radio's bytes of the block (a read, an image, a file with
// them).
void keptBytes(const Document& a, const Document& b, std::vector<std::string>& out) {
    const std::vector<WrittenBlock> ea = encodeAreas(a), eb = encodeAreas(b);
    for (std::size_t i = 0; i < ea.size() && i < eb.size(); ++i) {
        const uint32_t address = ea[i].address;
        const int length = static_cast<int>(ea[i].data.size());
        const auto carries = [&](const Document& d) { return d.radio.knows(address, length) || d.held.knows(address, length); };
        if (ea[i].data != eb[i].data || !carries(a) || !carries(b)) continue;
        const Bytes sa = keptWhereUnchanged(a, a.radio, address, ea[i].data);
        const Bytes sb = keptWhereUnchanged(b, b.radio, address, eb[i].data);
        if (sa == sb) continue;
        std::size_t at = 0;
        while (sa[at] == sb[at]) ++at;
        std::string region = "Radio bytes";
        for (const ImageRegion& r : imageRegions())
            if (address >= r.area.address && address < r.area.end()) region = r.name;
        region[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(region[0])));
        out.push_back(region + ": the same values, but bytes no control shows differ at 0x" +
                      hexText(address + uint32_t(at), 5) + " (" + hexText(sa[at], 2) + " -> " + hexText(sb[at], 2) + ")");
    }
}

}  // namespace

std::vector<std::string> documentDifferences(const Document& a, const Document& b) {
    std::vector<std::string> out;
    channels(a, b, out);
    features(a, b, out);
    keptBytes(a, b, out);
    return out;
}

}  // namespace tqm5
