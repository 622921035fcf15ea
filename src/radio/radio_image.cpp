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
}  // namespace

RadioImage::RadioImage() : body_(bodySize(), 0), known_(bodySize(), false) {}

long RadioImage::offsetOf(uint32_t address) {
    long offset = 0;
    for (const ImageRegion& r : imageRegions()) {
        if (address >= r.area.address && address < r.area.end()) return offset + long(address - r.area.address);
        offset += r.area.length;
    }
    return -1;
}

bool RadioImage::holds(uint32_t address, int length) const {
    for (int i = 0; i < length; ++i)
        if (offsetOf(address + uint32_t(i)) < 0) return false;
    return true;
}

bool RadioImage::knows(uint32_t address, int length) const {
    for (int i = 0; i < length; ++i) {
        const long at = offsetOf(address + uint32_t(i));
        if (at < 0 || !known_[static_cast<std::size_t>(at)]) return false;
    }
    return true;
}

bool RadioImage::complete() const { return std::all_of(known_.begin(), known_.end(), [](bool k) { return k; }); }

Bytes RadioImage::bytes(uint32_t address, int length) const {
    Bytes out;
    out.reserve(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        const long at = offsetOf(address + uint32_t(i));
        if (at < 0) throw std::out_of_range("address outside the radio image");
        out.push_back(body_[static_cast<std::size_t>(at)]);
    }
    return out;
}

Bytes RadioImage::block(uint32_t address, int length) const {
    Bytes out(static_cast<std::size_t>(length), 0);
    for (int i = 0; i < length; ++i) {
        const long at = offsetOf(address + uint32_t(i));
        if (at >= 0) out[static_cast<std::size_t>(i)] = body_[static_cast<std::size_t>(at)];
    }
    return out;
}

int RadioImage::put(uint32_t address, const Bytes& data) {
    int stored = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const long at = offsetOf(address + uint32_t(i));
        if (at < 0) continue;
        body_[static_cast<std::size_t>(at)] = data[i];
        known_[static_cast<std::size_t>(at)] = true;
        ++stored;
    }
    return stored;
}

void RadioImage::forget(uint32_t address, int length) {
    for (int i = 0; i < length; ++i) {
        const long at = offsetOf(address + uint32_t(i));
        if (at >= 0) known_[static_cast<std::size_t>(at)] = false;
    }
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
