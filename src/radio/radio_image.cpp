#include "radio/radio_image.h"

#include <algorithm>
#include <stdexcept>

namespace tqm5 {

const std::vector<ImageRegion>& imageRegions() {
    static const std::vector<ImageRegion> regions{
        {"settings block 1", radio::SettingsBlock1},
        {"settings block 2", radio::SettingsBlock2},
        {"settings block 3", radio::SettingsBlock3},
        {"groups 0-5", radio::GroupsFirst},
        {"groups 6-10", radio::GroupsSecond},
        {"one-touch memories", radio::OneTouch},
        {"opening title", radio::Title},
        {"bank layout", radio::BankLayout},
        {"user font", radio::Font},
        {"DTMF memories", radio::Dtmf},
        {"channel records", radio::ChannelRecords},
        {"write protect", radio::WriteProtect},
    };
    return regions;
}

namespace {
std::size_t bodySize() {
    std::size_t n = 0;
    for (const ImageRegion& r : imageRegions()) n += static_cast<std::size_t>(r.area.length);
    return n;
}

// Walks the `length` bytes at `address` in runs, each wholly inside one
// region or wholly outside every region, so that a block costs one look over
// the regions rather than one a byte. `visit(i, n, at)` gets where the run
// starts in the span, its length and its offset in the body (-1 outside
// every region); a false return ends the walk.
template <typename Visit>
void forEachRun(uint32_t address, int length, Visit visit) {
    for (int i = 0; i < length;) {
        const uint32_t here = address + uint32_t(i);
        long at = -1, offset = 0;
        uint64_t runEnd = uint64_t(1) << 32;  // the run stops where another region starts
        for (const ImageRegion& r : imageRegions()) {
            if (here >= r.area.address && here < r.area.end()) {
                at = offset + long(here - r.area.address);
                runEnd = std::min<uint64_t>(runEnd, r.area.end());
                break;
            }
            if (r.area.address > here) runEnd = std::min<uint64_t>(runEnd, r.area.address);
            offset += r.area.length;
        }
        const int n = static_cast<int>(std::min<uint64_t>(uint64_t(length - i), runEnd - here));
        if (!visit(i, n, at)) return;
        i += n;
    }
}
}  // namespace

RadioImage::RadioImage() : body_(bodySize(), 0), known_(bodySize(), false) {}

bool RadioImage::holds(uint32_t address, int length) const {
    bool all = true;
    forEachRun(address, length, [&](int, int, long at) { return all = at >= 0; });
    return all;
}

bool RadioImage::knows(uint32_t address, int length) const {
    bool all = true;
    forEachRun(address, length, [&](int, int n, long at) {
        if (at < 0) return all = false;
        const auto from = known_.begin() + at;
        return all = std::find(from, from + n, false) == from + n;
    });
    return all;
}

bool RadioImage::complete() const { return std::all_of(known_.begin(), known_.end(), [](bool k) { return k; }); }

Bytes RadioImage::bytes(uint32_t address, int length) const {
    Bytes out;
    out.reserve(static_cast<std::size_t>(length));
    forEachRun(address, length, [&](int, int n, long at) {
        if (at < 0) throw std::out_of_range("address outside the radio image");
        out.insert(out.end(), body_.begin() + at, body_.begin() + at + n);
        return true;
    });
    return out;
}

Bytes RadioImage::block(uint32_t address, int length) const {
    Bytes out(static_cast<std::size_t>(length), 0);
    forEachRun(address, length, [&](int i, int n, long at) {
        if (at >= 0) std::copy_n(body_.begin() + at, n, out.begin() + i);
        return true;
    });
    return out;
}

int RadioImage::put(uint32_t address, const Bytes& data) {
    int stored = 0;
    forEachRun(address, static_cast<int>(data.size()), [&](int i, int n, long at) {
        if (at >= 0) {
            std::copy_n(data.begin() + i, n, body_.begin() + at);
            std::fill_n(known_.begin() + at, n, true);
            stored += n;
        }
        return true;
    });
    return stored;
}

void RadioImage::forget(uint32_t address, int length) {
    forEachRun(address, length, [&](int, int n, long at) {
        if (at >= 0) std::fill_n(known_.begin() + at, n, false);
        return true;
    });
}

void RadioImage::merge(const RadioImage& other) {
    for (std::size_t i = 0; i < body_.size(); ++i)
        if (other.known_[i]) {
            body_[i] = other.body_[i];
            known_[i] = true;
        }
}

void RadioImage::clear() {
    std::fill(body_.begin(), body_.end(), 0);
    std::fill(known_.begin(), known_.end(), false);
}

}  // namespace tqm5
