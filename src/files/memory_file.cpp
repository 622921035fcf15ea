#include "files/memory_file.h"

#include <algorithm>
#include <ctime>

#include "base/hex.h"
#include "channels/cp932.h"
#include "channels/detail_editor.h"
#include "channels/name_table.h"
#include "channels/text_numbers.h"
#include "channels/value_tables.h"
#include "files/text_file.h"

namespace tqm5 {
namespace {

using files::threeDigits;
using files::twoDigits;

constexpr int UnusedKeyBank = 255;
constexpr int LastChannelIndex = LastRow - 1;  // grid row 1623
constexpr int LastClearedRow = FirstBugRow - 1;

// Character positions of a channel line (1-based) and their widths.
namespace ChannelField {
enum : int {
    Index = 3, IndexWidth = 4,
    Mhz = 7, MhzWidth = 4,
    Fraction = 12, FractionWidth = 5,
    Mode = 17,
    Step = 18,
    Train = 20,
    ToneMode = 22,
    TxTone = 23,
    RxTone = 25,
    Dcs = 27, DcsWidth = 3,
    Shift = 30,
    OffsetMhz = 31, OffsetKhz = 35, OffsetWidth = 3,
    Skip = 38,
    Name = 39,
    FreqWidth = 10,  // the frequency as written: "0145.00000"
    OffsetWritten = 7,  // "000.600"
};
}  // namespace ChannelField

// Set Mode lines: the control array of each group and how many of its
// controls the line holds.
struct SetModeArray {
    const char* control;
    int count;
    bool indexed;
};
constexpr SetModeArray SetModeArrays[11] = {
    {"Set_Mode_Display", 16, true}, {"Set_Mode_Power", 3, true},    {"Set_Mode_Send", 13, true},
    {"Set_Mode_Preset", 1, false},  {"Set_Mode_Toutyou", 2, true},  {"Set_Mode_Mem", 1, true},
    {"Set_Mode_Recv", 8, true},     {"Set_Mode_Scan", 8, true},     {"Set_Mode_Repeater", 3, true},
    {"Set_Mode_Key", 12, true},     {"Set_Mode_Sound", 6, true}};

// The codes a channel line gives the grid's option texts, in code order.
constexpr std::string_view ModeCodes[] = {"FM", "AM", "NFM", "WFM"};
constexpr std::string_view ToneModeCodes[] = {"None", "Tone", "TSQ", "SQ", "DCS", "Train"};
constexpr std::string_view ShiftCodes[] = {"Off", "+", "-"};

template <std::size_t N>
int codeOf(const std::string_view (&codes)[N], const std::string& text) {
    for (std::size_t i = 0; i < N; ++i)
        if (codes[i] == text) return static_cast<int>(i);
    return 0;
}
template <std::size_t N>
std::string textOf(const std::string_view (&codes)[N], long long code) {
    return std::string(codes[code >= 0 && code < static_cast<long long>(N) ? code : 0]);
}

std::string withoutMhz(const std::string& cell) {
    if (cell.size() >= 3 && cell.compare(cell.size() - 3, 3, "MHz") == 0) return cell.substr(0, cell.size() - 3);
    return cell;
}

std::string leftPadded(std::string text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

// The offset cell as the line holds it: 7 characters, "000.000" when the
// cell is not an offset.
std::string offsetField(const std::string& cell) {
    const std::size_t n = cell.size();
    if (n < 8 || n > 10) return "000.000";
    return leftPadded(cell.substr(0, n - 3), ChannelField::OffsetWritten);
}

std::string channelLine(const ChannelGrid& g, int row) {
    const RowAttributes& a = g.attr(row);
    std::string line = "CH";
    line += leftPadded(std::to_string(row - 1), ChannelField::IndexWidth);
    line += leftPadded(withoutMhz(g.cell(row, ColFreq)), ChannelField::FreqWidth);
    line += std::to_string(codeOf(ModeCodes, g.cell(row, ColMode)));
    line += twoDigits(a.step);
    line += twoDigits(a.train);
    line += std::to_string(codeOf(ToneModeCodes, g.cell(row, ColToneMode)));
    line += twoDigits(a.txTone);
    line += twoDigits(a.rxTone);
    line += threeDigits(a.dcs);
    line += std::to_string(codeOf(ShiftCodes, g.cell(row, ColShift)));
    line += offsetField(g.cell(row, ColOffset));
    line += g.cell(row, ColSkip) == SkipMark ? '1' : '0';
    line += g.cell(row, ColName);
    return line;
}

std::string flags(const std::array<bool, BankLayout::Banks>& f) {
    std::string s;
    for (bool b : f) s += b ? '1' : '0';
    return s;
}

// --- reading ---------------------------------------------------------------

struct LineError {
    std::string reason;
};

// A line as characters, with the reader's field access by 1-based position.
struct Line {
    std::u32string text;
    int length() const { return static_cast<int>(text.size()); }
    std::string mid(int pos, int len = -1) const {
        const std::size_t from = static_cast<std::size_t>(pos - 1);
        if (from >= text.size()) return {};
        return toUtf8(text.substr(from, len < 0 ? std::u32string::npos : static_cast<std::size_t>(len)));
    }
    std::string rest(int pos) const { return mid(pos); }
    int number(int pos, int len) const { return static_cast<int>(leadingNumber(mid(pos, len))); }
    bool startsWith(std::string_view s) const {
        if (text.size() < s.size()) return false;
        for (std::size_t i = 0; i < s.size(); ++i)
            if (text[i] != static_cast<char32_t>(static_cast<unsigned char>(s[i]))) return false;
        return true;
    }
};

int checked(int value, int highest, const char* what) {
    if (value > highest) throw LineError{std::string(what) + " " + std::to_string(value) + " is not in its list"};
    return value;
}

FileChannel readChannel(const Line& l) {
    namespace F = ChannelField;
    if (l.length() < F::Name - 1) throw LineError{"the channel line is cut short"};
    FileChannel ch;
    const int index = l.number(F::Index, F::IndexWidth);
    if (index > LastChannelIndex) throw LineError{"channel " + std::to_string(index) + " does not exist"};
    ch.row = index + 1;
    // The frequency and the offset must be ones the channel editor keeps
    // for this row as they are; a file is never a way around its rules.
    const std::string mhz = l.mid(F::Mhz, F::MhzWidth), fraction = l.mid(F::Fraction, F::FractionWidth);
    if (!allDigits(mhz) || l.mid(F::Mhz + F::MhzWidth, 1) != "." || !allDigits(fraction))
        throw LineError{"the frequency \"" + l.mid(F::Mhz, F::FreqWidth) + "\" is not a number"};
    const std::string freqText = std::to_string(leadingNumber(mhz)) + "." + fraction;
    if (!frequencyFitsRow(ch.row, leadingNumber(mhz) * 100000 + leadingNumber(fraction)))
        throw LineError{"the frequency " + freqText + " MHz is outside the bands of this channel"};
    const std::string offsetMhz = l.mid(F::OffsetMhz, F::OffsetWidth), offsetKhz = l.mid(F::OffsetKhz, F::OffsetWidth);
    if (!allDigits(offsetMhz) || l.mid(F::OffsetMhz + F::OffsetWidth, 1) != "." || !allDigits(offsetKhz) ||
        !offsetFits(leadingNumber(offsetMhz) * 1000 + leadingNumber(offsetKhz)))
        throw LineError{"the offset \"" + l.mid(F::OffsetMhz, F::OffsetWritten) + "\" is not one the radio holds"};
    auto& c = ch.cells;
    c[ColFreq] = freqText + "MHz";
    c[ColMode] = textOf(ModeCodes, l.number(F::Mode, 1));
    // A step the table does not have shows as the first entry and is kept
    // as read.
    const int step = l.number(F::Step, 2);
    c[ColStep] = *StepTable.text(step < StepTable.count ? step : 0);
    const int train = checked(l.number(F::Train, 2), TrainTable.count - 1, "carrier");
    c[ColCarrier] = *TrainTable.text(train);
    c[ColToneMode] = textOf(ToneModeCodes, l.number(F::ToneMode, 1));
    const int tx = checked(l.number(F::TxTone, 2), ToneTable.count - 1, "tone");
    const int rx = checked(l.number(F::RxTone, 2), ToneTable.count - 1, "tone");
    c[ColTxTone] = *ToneTable.text(tx);
    c[ColRxTone] = *ToneTable.text(rx);
    const int dcs = checked(l.number(F::Dcs, F::DcsWidth), DcsTable.count - 1, "DCS code");
    c[ColDcs] = *DcsTable.text(dcs);
    c[ColShift] = textOf(ShiftCodes, l.number(F::Shift, 1));
    c[ColOffset] = std::to_string(l.number(F::OffsetMhz, F::OffsetWidth)) + "." +
                   threeDigits(l.number(F::OffsetKhz, F::OffsetWidth)) + "MHz";
    c[ColSkip] = l.number(F::Skip, 1) == 1 ? std::string(SkipMark) : "";
    const std::string name = l.rest(F::Name);
    ch.attr = RowAttributes{static_cast<uint8_t>(tx), static_cast<uint8_t>(rx), static_cast<uint8_t>(dcs),
                            static_cast<uint8_t>(train), static_cast<uint8_t>(step), 1};
    if (countedLength(name) > FileNameBytes) {
        ch.dropped = true;
        return ch;
    }
    c[ColName] = NameCharTable::instance().filter(name);
    return ch;
}

// A bank line: ten sizes of three digits; a bank of 1000 channels is
// written "1000" in its three-digit place, which makes the line one longer.
void readBanks(const Line& l, MemoryFileContent& out) {
    const int first = 10 * l.number(3, 4);
    if (first + 9 >= BankLayout::Banks) throw LineError{"bank " + std::to_string(first) + " does not exist"};
    out.hasBanks = true;
    const std::string digits = l.mid(7);
    if (digits.size() == 31 && std::count(digits.begin(), digits.end(), '1') == 1 &&
        std::count(digits.begin(), digits.end(), '0') == 30 && digits.find('1') % 3 == 0) {
        const int whole = static_cast<int>(digits.find('1') / 3);
        for (int k = 0; k < 10; ++k) out.bankSizes[static_cast<std::size_t>(first + k)] = k == whole ? 1000 : 0;
        return;
    }
    for (int k = 0; k < 10; ++k) out.bankSizes[static_cast<std::size_t>(first + k)] = l.number(7 + 3 * k, 3);
}

void readSetMode(const Line& l, MemoryFileContent& out) {
    const int group = l.number(3, 2);
    if (group < 1 || group > 11) return;
    const std::vector<int>& items = setModeFileGroup(group);
    const int values = (l.length() - 4) / 3;
    if (values > static_cast<int>(items.size()))
        throw LineError{"Set Mode line " + std::to_string(group) + " has more values than controls"};
    for (int i = 0; i < values; ++i) {
        const int item = items[static_cast<std::size_t>(i)];
        const int position = l.number(5 + 3 * i, 3);
        if (position >= setModeCatalogue()[static_cast<std::size_t>(item)].size())
            throw LineError{"Set Mode value " + std::to_string(position) + " is not in its list"};
        out.setMode.emplace_back(item, position);
    }
}

constexpr std::string_view Slide = "XSLIDE", SettingsBytes = "XSETIMAGE", HeldSettings = "XSETHELD",
                           HeldDtmf = "XDTMFHELD", HeldKey = "XONETOUCH",
                           CarriedBytes = "XBYTES";
// An XBYTES line: five hexadecimal digits of address, then at most this
// many bytes.
constexpr int CarriedPerLine = 32;

std::vector<std::string> extraLines(const MemoryFileModels& m) {
    std::vector<std::string> out;
    out.push_back(std::string(Slide) + (m.title.slide == SlideOn ? "1" : "0"));
    if (m.setMode.imageFromRadio) {
        std::string l(SettingsBytes);
        for (uint8_t b : m.setMode.image) l += hexText(b, 2);
        out.push_back(l);
    }
    std::string held(HeldSettings);
    for (int item = 0; item < static_cast<int>(m.setMode.held.size()); ++item)
        if (m.setMode.isHeld(item)) held += threeDigits(item);
    if (held.size() > HeldSettings.size()) out.push_back(held);
    if (std::find(m.dtmf.lists.begin(), m.dtmf.lists.end(), -1) != m.dtmf.lists.end()) {
        std::string l(HeldDtmf);
        for (std::size_t i = 0; i < m.dtmf.lists.size(); ++i) l += m.dtmf.lists[i] < 0 ? threeDigits(m.dtmf.raw[i]) : "---";
        out.push_back(l);
    }
    if (m.carried)
        for (const ImageRegion& r : imageRegions())
            for (uint32_t at = r.area.address; at < r.area.end();) {
                if (!m.carried->knows(at, 1)) {
                    ++at;
                    continue;
                }
                std::string l = std::string(CarriedBytes) + hexText(at, 5);
                for (int n = 0; n < CarriedPerLine && at < r.area.end() && m.carried->knows(at, 1); ++n, ++at)
                    l += hexText(m.carried->bytes(at, 1)[0], 2);
                out.push_back(l);
            }
    if (m.banks.complete())  // the keys' own lines are written only then
        for (int k = 0; k < OneTouchKeyCount; ++k) {
            const OneTouchKey& key = m.oneTouch.key(k);
            if (!key.noSetting && !key.resolved)
                out.push_back(std::string(HeldKey) + std::to_string(k) + threeDigits(key.bank) + threeDigits(key.channel));
        }
    return out;
}

// A number of exactly `width` digits at `pos`, at most `highest`.
int exactNumber(const Line& l, int pos, int width, int highest, const std::string& what) {
    const std::string digits = l.mid(pos, width);
    if (static_cast<int>(digits.size()) != width || !allDigits(digits) || leadingNumber(digits) > highest)
        throw LineError{what + " \"" + digits + "\" is not one this program wrote"};
    return static_cast<int>(leadingNumber(digits));
}

void readExtraLine(const Line& l, MemoryFileContent& out) {
    const int n = l.length();
    if (l.startsWith(Slide)) {
        if (n != static_cast<int>(Slide.size()) + 1) throw LineError{"the opening slide line is damaged"};
        out.slide = exactNumber(l, static_cast<int>(Slide.size()) + 1, 1, 1, "the opening slide");
    } else if (l.startsWith(SettingsBytes)) {
        const int first = static_cast<int>(SettingsBytes.size());
        if (n != first + 2 * SettingsImageBytes) throw LineError{"the settings bytes are cut short or too long"};
        SettingsImage image{};
        for (int k = 0; k < SettingsImageBytes; ++k) {
            const std::optional<uint32_t> v = parseHex(toUtf8(l.text.substr(static_cast<std::size_t>(first + 2 * k), 2)));
            if (!v) throw LineError{"the settings bytes are damaged"};
            image[static_cast<std::size_t>(k)] = static_cast<uint8_t>(*v);
        }
        out.settingsImage = image;
    } else if (l.startsWith(HeldSettings)) {
        const int first = static_cast<int>(HeldSettings.size());
        if ((n - first) % 3 != 0) throw LineError{"the list of held settings is damaged"};
        for (int pos = first + 1; pos <= n; pos += 3)
            out.heldSettings.push_back(
                exactNumber(l, pos, 3, static_cast<int>(setModeCatalogue().size()) - 1, "the setting"));
    } else if (l.startsWith(HeldDtmf)) {
        const int first = static_cast<int>(HeldDtmf.size());
        if (n != first + 3 * DtmfLists) throw LineError{"the held DTMF values are damaged"};
        for (int i = 0; i < DtmfLists; ++i)
            if (l.mid(first + 1 + 3 * i, 3) != "---")
                out.heldDtmf[static_cast<std::size_t>(i)] = exactNumber(l, first + 1 + 3 * i, 3, 255, "the DTMF value");
    } else if (l.startsWith(CarriedBytes)) {
        const std::string digits = toUtf8(l.text.substr(CarriedBytes.size()));
        const std::optional<uint32_t> address = digits.size() > 5 ? parseHex(digits.substr(0, 5)) : std::nullopt;
        const std::size_t count = (digits.size() - 5) / 2;
        if (!address || digits.size() % 2 != 1 || count > std::size_t(CarriedPerLine))
            throw LineError{"a line of radio bytes is damaged"};
        Bytes bytes;
        for (std::size_t k = 0; k < count; ++k) {
            const std::optional<uint32_t> v = parseHex(digits.substr(5 + 2 * k, 2));
            if (!v) throw LineError{"a line of radio bytes is damaged"};
            bytes.push_back(static_cast<uint8_t>(*v));
        }
        static const RadioImage shape;
        if (!shape.holds(*address, static_cast<int>(bytes.size())))
            throw LineError{"a line of radio bytes names an address the radio image does not hold"};
        out.carriedBytes.emplace_back(*address, std::move(bytes));
    } else if (l.startsWith(HeldKey)) {
        const int first = static_cast<int>(HeldKey.size());
        if (n != first + 7) throw LineError{"the one-touch key line is damaged"};
        out.heldKeys.push_back({exactNumber(l, first + 1, 1, OneTouchKeyCount - 1, "the one-touch key"),
                                exactNumber(l, first + 2, 3, 255, "the bank"),
                                exactNumber(l, first + 5, 3, 255, "the channel")});
    }
    // Any other line of this kind is from a later version: skipped.
}

void readLine(const Line& l, MemoryFileContent& out) {
    const int n = l.length();
    if (l.startsWith("CH")) {
        out.channels.push_back(readChannel(l));
    } else if (l.startsWith("BK")) {
        if (n >= 36) readBanks(l, out);
    } else if (l.startsWith("ON")) {
        if (n < 40) return;
        const bool bank = l.startsWith("ONETOUCH_BANK"), channel = l.startsWith("ONETOUCH_CHDA");
        if (!bank && !channel) return;
        std::array<int, OneTouchKeyCount> v{};
        for (int k = 0; k < OneTouchKeyCount; ++k) v[static_cast<std::size_t>(k)] = l.number(14 + 3 * k, 3);
        out.oneTouch.emplace_back(channel, v);
    } else if (l.startsWith("NU")) {
        if (n < 12 || n > 27) return;
        const int d = l.number(9, 3);
        if (d >= DtmfSettings::Memories) throw LineError{"DTMF memory " + std::to_string(d) + " does not exist"};
        std::string kept;
        for (char c : l.rest(12))
            if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'D') || c == '*' || c == '#' || c == '-') kept += c;
        out.dtmfMemorySet[static_cast<std::size_t>(d)] = 1;
        out.dtmfMemories[static_cast<std::size_t>(d)] = kept;
    } else if (l.startsWith("SE")) {
        if (n != 23) return;
        for (int i = 0; i < DtmfLists; ++i) {
            const int v = l.number(9 + 3 * i, 3);
            if (v >= static_cast<int>(dtmfList(i).entries.size()))
                throw LineError{std::string(dtmfList(i).control) + " has no entry " + std::to_string(v)};
            out.dtmfLists[static_cast<std::size_t>(i)] = v;
        }
        out.hasDtmfLists = true;
    } else if (l.startsWith("TI")) {
        if (n < 6) return;
        const std::string text = l.rest(6);
        if (countedLength(text) > FileNameBytes) return;
        out.hasTitle = true;
        out.title = NameCharTable::instance().filter(text);
    } else if (l.startsWith("GRD")) {
        if (n != 55) return;
        const int g = l.number(4, 2);
        if (g >= GroupCount) throw LineError{"group " + std::to_string(g) + " does not exist"};
        for (int b = 0; b < BankLayout::Banks; ++b)
            out.groups[static_cast<std::size_t>(g)][static_cast<std::size_t>(b)] = l.text[static_cast<std::size_t>(5 + b)] == U'1';
        out.groupSet[static_cast<std::size_t>(g)] = true;
    } else if (l.startsWith("GRI")) {
        if (n != 53) return;
        for (int b = 0; b < BankLayout::Banks; ++b)
            out.groupIndex[static_cast<std::size_t>(b)] = l.text[static_cast<std::size_t>(3 + b)] == U'1';
        out.hasGroupIndex = true;
    } else if (l.startsWith("SD")) {
        readSetMode(l, out);
    } else if (l.startsWith("X")) {
        readExtraLine(l, out);
    }
    // Anything else (the port line, "File End") carries nothing to read.
}

// A line of a kind a memory file holds, by its start: the header, a line
// the reader takes, the port line or the end mark.
bool knownLine(std::string_view line) {
    for (std::string_view start :
         {"Save Date and Time", "CH", "BK", "ON", "NU", "SE", "TI", "GR", "SD", "COMPORT", "File End"})
        if (line.substr(0, start.size()) == start) return true;
    return false;
}

}  // namespace

const std::vector<int>& setModeFileGroup(int group) {
    static const std::array<std::vector<int>, 11> groups = [] {
        std::array<std::vector<int>, 11> g;
        for (std::size_t i = 0; i < g.size(); ++i) {
            const SetModeArray& a = SetModeArrays[i];
            for (int k = 0; k < a.count; ++k) {
                const std::string control =
                    a.indexed ? std::string(a.control) + "[" + std::to_string(k) + "]" : std::string(a.control);
                const int item = setModeItemIndex(control);
                if (item >= 0) g[i].push_back(item);
            }
        }
        return g;
    }();
    return groups.at(static_cast<std::size_t>(group - 1));
}

std::string memoryFileHeader() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[64];
    std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &local);
    return std::string("Save Date and Time ") + buf;
}

std::string memoryFileBytes(const MemoryFileModels& m, int port, const std::string& header) {
    std::string text;
    text.reserve(160 * 1024);
    auto line = [&text](const std::string& l) {
        text += l;
        text += "\r\n";
    };
    line(header);
    for (int row = 1; row <= LastRow; ++row)
        if (m.grid.inUse(row)) line(channelLine(m.grid, row));
    if (m.banks.complete()) {
        for (int k = 0; k < 5; ++k) {
            std::string l = "BK000" + std::to_string(k);
            for (int b = 10 * k; b < 10 * k + 10; ++b) l += threeDigits(m.banks.size[static_cast<std::size_t>(b)]);
            line(l);
        }
        std::string banks = "ONETOUCH_BANK", channels = "ONETOUCH_CHDA";
        for (int k = 0; k < OneTouchKeyCount; ++k) {
            const OneTouchKey& key = m.oneTouch.key(k);
            banks += threeDigits(key.noSetting ? UnusedKeyBank : key.bank);
            channels += threeDigits(key.channel);
        }
        line(banks);
        line(channels);
    }
    for (int d = 0; d < DtmfSettings::Memories; ++d) {
        const std::string& memory = m.dtmf.memories[static_cast<std::size_t>(d)];
        if (!memory.empty()) line("NUM_DTMF00" + std::to_string(d) + memory);
    }
    std::string lists = "SET_DTMF";
    // A list holding a value no entry stands for has no position to write;
    // it is written as its first entry.
    for (int position : m.dtmf.lists) lists += threeDigits(position);
    line(lists);
    line("TITLE" + m.title.text);
    for (int g = 0; g < GroupCount; ++g) line("GRD" + twoDigits(g) + flags(m.groups.member[static_cast<std::size_t>(g)]));
    line("GRI" + flags(m.groups.unavailable));
    for (int group = 1; group <= 11; ++group) {
        std::string l = "SD" + twoDigits(group);
        for (int item : setModeFileGroup(group)) l += threeDigits(m.setMode.position(item));
        line(l);
    }
    line("COMPORT" + twoDigits(port));
    for (const std::string& l : extraLines(m)) line(l);
    line("File End");
    return toCp932(text);
}

Result<MemoryFileContent> parseMemoryFile(std::string_view bytes) {
    auto refuse = [](std::size_t line, const std::string& reason) {
        return Failure{"Line " + std::to_string(line) + " of this file cannot be read: " + reason};
    };
    // Shift-JIS as the program writes it, or UTF-8 as a text editor may save it.
    const std::string text = files::textFromFile(bytes);
    const std::vector<std::string_view> lines = files::splitLines(text);
    if (lines.empty()) return refuse(1, "the file is empty");
    // A file none of whose lines is one a memory file holds is some other
    // file: opening it would empty every channel and change nothing else.
    if (std::none_of(lines.begin(), lines.end(), knownLine))
        return refuse(1, "this is not a memory file (none of its lines is one a memory file holds)");
    MemoryFileContent content;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        try {
            readLine(Line{toU32(lines[i])}, content);
        } catch (const LineError& e) {
            return refuse(i + 1, e.reason);
        }
    }
    return content;
}

void applyMemoryFile(const MemoryFileContent& in, MemoryFileModels& m) {
    ChannelGrid& grid = m.grid;
    const int row = grid.row(), rowSel = grid.rowSel();
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    for (int r = 1; r <= LastClearedRow; ++r)
        if (!isCallRow(r)) grid.deleteRow(r);
    for (const FileChannel& ch : in.channels) {
        // A call or bug-detector row keeps what it holds when its line is dropped.
        if (ch.dropped && (isCallRow(ch.row) || isBugRow(ch.row))) continue;
        grid.clearRow(ch.row);
        if (ch.dropped) continue;
        for (int c = ColFreq; c <= ColName; ++c) grid.setCell(ch.row, c, ch.cells[static_cast<std::size_t>(c)]);
        grid.attr(ch.row) = ch.attr;
    }
    // The names the transfers send follow the Name cells.
    for (int slot = 0; slot < TitleNameSlot; ++slot) {
        const int r = slot + 1;
        const bool named = r <= LastRow && grid.inUse(r) && !grid.cell(r, ColName).empty();
        grid.setNameString(slot, named ? displayToName(grid.cell(r, ColName)) : "");
    }
    grid.selectRow(row);
    grid.setSelection(row, rowSel);
    grid.setRedraw(redraw);

    if (in.hasBanks) {
        std::array<int, BankLayout::Banks> sizes = m.banks.size;
        for (std::size_t b = 0; b < sizes.size(); ++b)
            if (in.bankSizes[b] >= 0) sizes[b] = in.bankSizes[b];
        m.banks.assign(sizes);
    }
    if (in.hasBanks || !in.oneTouch.empty()) m.oneTouch.rebuild(m.banks);
    for (const auto& [channelLine, values] : in.oneTouch) {
        for (int k = 0; k < OneTouchKeyCount; ++k) {
            const int v = values[static_cast<std::size_t>(k)];
            if (channelLine) {
                const int count = m.oneTouch.key(k).channelCount;
                m.oneTouch.selectChannel(k, v < count ? v : 0);
            } else if (v == UnusedKeyBank) {
                m.oneTouch.setNoSetting(k, true);
                m.oneTouch.selectBank(k, 0);
            } else {
                m.oneTouch.setNoSetting(k, false);
                const std::vector<int>& list = m.oneTouch.bankList();
                const auto it = std::find(list.begin(), list.end(), v);
                if (it != list.end()) m.oneTouch.selectBank(k, static_cast<int>(it - list.begin()));
            }
        }
    }

    for (const auto& [key, bank, channel] : in.heldKeys) m.oneTouch.hold(key, bank, channel);
    if (m.carried) {
        m.carried->clear();
        for (const auto& [address, bytes] : in.carriedBytes) m.carried->put(address, bytes);
    }

    bool dtmfChanged = in.hasDtmfLists;
    for (std::size_t d = 0; d < in.dtmfMemories.size(); ++d) {
        if (!in.dtmfMemorySet[d]) continue;
        m.dtmf.memories[d] = in.dtmfMemories[d];
        dtmfChanged = true;
    }
    if (in.hasDtmfLists) m.dtmf.lists = in.dtmfLists;
    for (std::size_t i = 0; i < in.heldDtmf.size(); ++i) {
        if (in.heldDtmf[i] < 0) continue;
        m.dtmf.lists[i] = -1;
        m.dtmf.raw[i] = static_cast<uint8_t>(in.heldDtmf[i]);
        dtmfChanged = true;
    }
    if (dtmfChanged) m.dtmf.changed.notify();

    if (in.hasTitle) setTitleText(m.title, in.title);
    if (in.slide >= 0) setSlide(m.title, in.slide);

    bool groupsChanged = in.hasGroupIndex;
    for (std::size_t g = 0; g < in.groupSet.size(); ++g) {
        if (!in.groupSet[g]) continue;
        m.groups.member[g] = in.groups[g];
        groupsChanged = true;
    }
    if (in.hasGroupIndex) m.groups.unavailable = in.groupIndex;
    if (groupsChanged) m.groups.changed.notify();

    if (in.settingsImage) {
        // What the radio held first, read as a read takes it (the items no
        // standard line names among them); the lines then apply over it.
        m.setMode.image = *in.settingsImage;
        m.setMode.imageFromRadio = true;
        applySettingsImage(m.setMode, m.setMode.image);
    }
    if (!in.setMode.empty() || !in.heldSettings.empty()) {
        for (auto [item, position] : in.setMode) m.setMode.set(item, position);
        for (int item : in.heldSettings) m.setMode.held[static_cast<std::size_t>(item)] = true;
        ApplySetModeLanguage(m.setMode, m.setMode.position("Set_Mode_Display[0]"));
        m.setMode.changed.notify();
    }
}

}  // namespace tqm5
