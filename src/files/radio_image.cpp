#include "files/radio_image.h"

#include <cerrno>
#include <stdexcept>

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/hex.h"
#include "channels/channel_transfers.h"
#include "channels/pass_index.h"
#include "channels/record_codec.h"
#include "features/bank_layout.h"
#include "features/dtmf.h"
#include "features/groups.h"
#include "features/settings.h"
#include "files/text_file.h"
#include "radio/byte_view.h"

namespace tqm5 {

namespace {

// The fixed header at the start of every file.
namespace Header {
enum : std::size_t {
    Magic = 0,          // 8 bytes "TQM5IMG" and 0x1A
    Version = 8,        // le16
    HeaderBytes = 10,   // le16: Size
    Model = 12,         // 16 bytes, the model name padded with 0x00
    BodyBytes = 28,     // le32
    Checksum = 32,      // le32: CRC-32 of the whole file with these four bytes as zero
    RegionCount = 36,   // le16
    Size = 48,          // bytes 38 to 47 are zero
};
constexpr std::size_t ModelBytes = 16;
}  // namespace Header
constexpr std::size_t RegionEntryBytes = 8;  // le32 address, le32 length
constexpr uint8_t Magic[8] = {'T', 'Q', 'M', '5', 'I', 'M', 'G', 0x1A};

std::size_t bodySize() {
    std::size_t n = 0;
    for (const ImageRegion& r : imageRegions()) n += static_cast<std::size_t>(r.area.length);
    return n;
}

std::size_t tableBytes() { return imageRegions().size() * RegionEntryBytes; }

void putLe16(Bytes& b, std::size_t at, uint16_t v) { radio::ByteView(b).setLe16(at, v); }
void putLe32(Bytes& b, std::size_t at, uint32_t v) { radio::ByteView(b).setLe32(at, v); }

}  // namespace

uint32_t crc32(const uint8_t* data, std::size_t length, uint32_t crc) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < length; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

Bytes serializeImage(const RadioImage& image) {
    Bytes file(Header::Size + tableBytes(), 0);
    std::copy(std::begin(Magic), std::end(Magic), file.begin());
    putLe16(file, Header::Version, ImageVersion);
    putLe16(file, Header::HeaderBytes, Header::Size);
    std::memcpy(file.data() + Header::Model, ImageModel, sizeof ImageModel - 1);
    putLe32(file, Header::BodyBytes, static_cast<uint32_t>(image.body().size()));
    putLe16(file, Header::RegionCount, static_cast<uint16_t>(imageRegions().size()));
    std::size_t at = Header::Size;
    for (const ImageRegion& r : imageRegions()) {
        putLe32(file, at, r.area.address);
        putLe32(file, at + 4, static_cast<uint32_t>(r.area.length));
        at += RegionEntryBytes;
    }
    file.insert(file.end(), image.body().begin(), image.body().end());
    putLe32(file, Header::Checksum, crc32(file.data(), file.size()));
    return file;
}

Result<RadioImage> parseImage(const Bytes& file) {
    if (file.size() < Header::Size || !std::equal(std::begin(Magic), std::end(Magic), file.begin()))
        return Failure{"not a TQM5 Writer radio image"};
    const radio::ConstByteView v(file);
    const auto modelBytes = v.bytes(Header::Model, Header::ModelBytes);
    const std::string model(modelBytes.begin(), std::find(modelBytes.begin(), modelBytes.end(), uint8_t{0}));
    if (model != ImageModel) {
        return Failure{"the image is of another radio (" + (model.empty() ? std::string("unnamed") : model) +
                       "), not of a " + ImageModel};
    }
    if (v.le16(Header::Version) != ImageVersion) {
        return Failure{"the image has format version " + std::to_string(v.le16(Header::Version)) +
                       ", which this program does not know (it knows version " + std::to_string(ImageVersion) + ")"};
    }
    const std::size_t expected = Header::Size + tableBytes() + bodySize();
    if (file.size() != expected) {
        return Failure{"the image is " +
                       std::string(file.size() < expected ? "truncated" : "longer than it should be") + " (" +
                       std::to_string(file.size()) + " bytes, " + std::to_string(expected) + " expected)"};
    }
    Bytes zeroed = file;
    putLe32(zeroed, Header::Checksum, 0);
    if (crc32(zeroed.data(), zeroed.size()) != v.le32(Header::Checksum))
        return Failure{"the image is damaged (its checksum does not match)"};
    // A file with a good checksum whose header or regions differ was made
    // by something else: refused rather than guessed at.
    bool sameLayout = v.le16(Header::HeaderBytes) == Header::Size &&
                      v.le32(Header::BodyBytes) == bodySize() &&
                      v.le16(Header::RegionCount) == imageRegions().size();
    std::size_t at = Header::Size;
    for (const ImageRegion& r : imageRegions()) {
        sameLayout = sameLayout && v.le32(at) == r.area.address && v.le32(at + 4) == uint32_t(r.area.length);
        at += RegionEntryBytes;
    }
    if (!sameLayout) return Failure{"the image holds other regions than this program reads"};
    RadioImage image;
    uint32_t offset = 0;
    for (const ImageRegion& r : imageRegions()) {
        const auto from = file.begin() + static_cast<std::ptrdiff_t>(at + offset);
        image.put(r.area.address, Bytes(from, from + r.area.length));
        offset += uint32_t(r.area.length);
    }
    return image;
}

Result<void> saveImageFile(const std::string& path, const RadioImage& image) {
    const Bytes file = serializeImage(image);
    const Result<void> saved =
        files::saveAtomically(path, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
    if (!saved) return Failure{"cannot write " + path + ": " + saved.error()};
    return {};
}

bool startsAsImageFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[sizeof Magic] = {};
    in.read(head, sizeof head);
    return in.gcount() == sizeof head && std::equal(std::begin(Magic), std::end(Magic), head,
                                                    [](uint8_t m, char c) { return m == static_cast<uint8_t>(c); });
}

Result<RadioImage> loadImageFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Failure{"cannot open " + path + ": " + std::strerror(errno)};
    // Nothing larger than a real image is worth reading to the end.
    const std::size_t limit = Header::Size + tableBytes() + bodySize() + 1;
    Bytes file(limit);
    in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(limit));
    file.resize(static_cast<std::size_t>(in.gcount()));
    Result<RadioImage> image = parseImage(file);
    if (!image) return Failure{path + ": " + image.error()};
    return image;
}

// --- transfers -----------------------------------------------------------------

engine::Plan imageReadPlan(RadioImage& into) {
    engine::Plan plan;
    plan.busyCode = BusyReadAll;
    plan.what = "the whole radio";
    auto scratch = std::make_shared<RadioImage>();
    for (const ImageRegion& r : imageRegions()) {
        // The channel records share one budget as Memory Read does; every
        // other region has the attempts of a feature step.
        const bool channels = r.area.address == radio::ChannelRecords.address;
        const int budget = static_cast<int>(plan.budgets.size());
        plan.budgets.push_back(channels ? ReadFailureBudget : StepAttempts);
        for (int at = 0; at < r.area.length; at += radio::MaxBlockBytes) {
            engine::Block b;
            b.kind = engine::Block::Kind::Read;
            b.address = r.area.address + uint32_t(at);
            b.length = radio::MaxBlockBytes;  // the radio answers every read with 64 bytes
            b.budget = budget;
            const int keep = std::min(radio::MaxBlockBytes, r.area.length - at);
            b.decode = [scratch, address = b.address, keep](const Bytes& data) {
                if (data.size() < std::size_t(keep)) return false;
                scratch->put(address, Bytes(data.begin(), data.begin() + keep));
                return true;
            };
            plan.blocks.push_back(std::move(b));
        }
    }
    plan.completed = [&into, scratch] { into = *scratch; };
    return plan;
}

std::vector<WrittenBlock> restoreBlocks(const RadioImage& image, const Bytes& passIndex) {
    std::vector<WrittenBlock> blocks;
    auto add = [&](uint32_t address, int length) { blocks.push_back({address, image.bytes(address, length)}); };
    for (int row = 1; row <= LastRow; ++row) add(addressOfRow(row), radio::ChannelRecordBytes);
    std::array<uint8_t, PassIndexBytes> index{};
    std::copy_n(passIndex.begin(), std::min<std::size_t>(passIndex.size(), index.size()), index.begin());
    for (const PassIndexBlock& b : passIndexBlocks(index)) blocks.push_back({b.address, b.data});
    for (int b = 0; b < BankBlocks; ++b) add(bankBlockAddress(b), BankBlockBytes);
    add(radio::OneTouch.address, radio::OneTouch.length);
    add(radio::Title.address, radio::Title.length);
    for (int n = 0; n < 3; ++n) add(settingsBlockAddress(n), settingsBlockLength(n));
    for (int n = 0; n < DtmfBlocks; ++n) add(dtmfBlockAddress(n), dtmfBlockLength(n));
    for (int area = 0; area < GroupAreas; ++area) add(groupAreaAddress(area), groupAreaBytes(area));
    for (int g = 0; g < radio::Glyphs; ++g) add(radio::glyphAddress(g), radio::GlyphBytes);
    return blocks;
}

namespace {

bool inArea(uint32_t address, const radio::Area& a) { return address >= a.address && address < a.end(); }

// The budget a block's write or read-back draws on: the budgets each
// feature's own transfer gives it.
enum RestoreBudget { Channels, IndexFirst, IndexMiddle, IndexLast, Step, Glyphs, RestoreBudgets };

int budgetOf(uint32_t address) {
    if (inArea(address, radio::ChannelRecords)) return Channels;
    if (address == radio::PassIndex.address) return IndexFirst;
    if (inArea(address, radio::PassIndex))
        return address < radio::PassIndex.address + 11u * 63u ? IndexMiddle : IndexLast;
    if (inArea(address, radio::Font)) return Glyphs;
    return Step;
}

std::vector<int> restoreBudgets(int channelBudget) {
    std::vector<int> b(RestoreBudgets);
    b[Channels] = channelBudget;
    b[IndexFirst] = IndexFirstBudget;
    b[IndexMiddle] = IndexMiddleBudget;
    b[IndexLast] = IndexLastBudget;
    b[Step] = StepAttempts;
    b[Glyphs] = StepAttempts;
    return b;
}

// Every feature step has its own attempts; the blocks that are not channel
// records, index or glyphs each get a budget of their own.
void giveStepsOwnBudgets(engine::Plan& plan) {
    for (engine::Block& b : plan.blocks) {
        if (b.budget != Step) continue;
        b.budget = static_cast<int>(plan.budgets.size());
        plan.budgets.push_back(StepAttempts);
    }
}

bool unusedGroupByte(uint32_t address) {
    for (int area = 0; area < GroupAreas; ++area) {
        const uint32_t first = groupAreaAddress(area);
        const uint32_t end = first + uint32_t(groupAreaBytes(area));
        if (address >= first && address < end && (address - first) % radio::GroupRecordBytes == radio::GroupRecordBytes - 1)
            return true;
    }
    return false;
}

}  // namespace

engine::Plan restorePlan(const std::vector<WrittenBlock>& blocks) {
    engine::Plan plan;
    plan.busyCode = BusyWriteAll;
    plan.what = "the whole radio";
    plan.budgets = restoreBudgets(WriteFailureBudget);
    for (const WrittenBlock& w : blocks) {
        engine::Block b;
        b.kind = engine::Block::Kind::Write;
        b.address = w.address;
        b.length = static_cast<int>(w.data.size());
        b.budget = budgetOf(w.address);
        b.encode = [data = w.data] { return data; };
        b.nulBytes = nulBytesAt(w.address);
        plan.blocks.push_back(std::move(b));
    }
    giveStepsOwnBudgets(plan);
    return plan;
}

std::string describe(const Mismatch& m) {
    return "0x" + hexText(m.address, 5) + ": wrote " + hexText(m.written) + ", read " + hexText(m.read);
}

namespace {

// What the byte at `address` belongs to, in a few words.
std::string placeOf(uint32_t address, const ChannelGrid& grid) {
    if (inArea(address, radio::ChannelRecords)) {
        const int record = static_cast<int>((address - radio::ChannelRecords.address) / radio::ChannelRecordBytes) + 1;
        std::string label = grid.cell(rowOfRecord(record), ColLabel);
        label.erase(label.find_last_not_of(' ') + 1);  // "Dual0(Sub) "
        return "channel " + label;
    }
    if (inArea(address, radio::PassIndex)) return "pass-channel index";
    if (inArea(address, radio::Font))
        return "user character " + std::to_string((address - radio::Font.address) / radio::GlyphBytes + 1);
    for (const ImageRegion& r : imageRegions())
        if (inArea(address, r.area)) return r.name;
    return {};
}

}  // namespace

std::string describe(const Mismatch& m, const ChannelGrid& grid) {
    const std::string place = placeOf(m.address, grid);
    std::string text = describe(m);
    if (!place.empty()) text.insert(text.find(':'), " (" + place + ")");
    return text;
}

engine::Plan verifyPlan(const std::vector<WrittenBlock>& blocks, std::vector<Mismatch>& mismatches) {
    engine::Plan plan;
    plan.busyCode = BusyReadAll;
    plan.what = "what was written";
    plan.budgets = restoreBudgets(ReadFailureBudget);
    for (const WrittenBlock& w : blocks) {
        engine::Block b;
        b.kind = engine::Block::Kind::Read;
        b.address = w.address;
        b.length = radio::MaxBlockBytes;
        b.budget = budgetOf(w.address);
        b.decode = [&mismatches, w](const Bytes& data) {
            for (std::size_t i = 0; i < w.data.size() && i < data.size(); ++i) {
                const uint32_t address = w.address + uint32_t(i);
                if (data[i] == w.data[i] || unusedGroupByte(address)) continue;
                mismatches.push_back({address, w.data[i], data[i]});
                break;
            }
            return true;
        };
        plan.blocks.push_back(std::move(b));
    }
    giveStepsOwnBudgets(plan);
    return plan;
}

}  // namespace tqm5
