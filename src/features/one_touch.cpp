#include "features/one_touch.h"

#include <algorithm>

#include "radio/byte_view.h"
#include "radio/memory_map.h"

namespace tqm5 {
namespace {

// Bytes of one key.
enum OneTouchField : std::size_t { BankByte = 0, ChannelByte = 1, ZeroByte = 2 };

std::size_t keyOffset(int k) { return radio::OneTouchKeyBytes * static_cast<std::size_t>(k); }

constexpr int BusyOneTouch = 20;

}  // namespace

OneTouchMemories::OneTouchMemories() { rebuild(BankLayout{}); }

int OneTouchMemories::bankPosition(int k) const {
    const OneTouchKey& key = keys_.at(static_cast<std::size_t>(k));
    if (!key.resolved) return -1;
    const auto it = std::find(bankList_.begin(), bankList_.end(), key.bank);
    return it == bankList_.end() ? -1 : static_cast<int>(it - bankList_.begin());
}

int OneTouchMemories::channelPosition(int k) const {
    const OneTouchKey& key = keys_.at(static_cast<std::size_t>(k));
    return key.resolved && key.channelCount > 0 ? key.channel : -1;
}

void OneTouchMemories::firstEntry(OneTouchKey& key) {
    key.bank = bankList_.empty() ? 0 : bankList_.front();
    key.channel = 0;
    key.channelCount = bankList_.empty() ? 0 : std::min(sizes_[static_cast<std::size_t>(key.bank)], OneTouchMaxChannels);
    key.resolved = !bankList_.empty();
}

void OneTouchMemories::resolve(OneTouchKey& key) {
    const bool listed = std::find(bankList_.begin(), bankList_.end(), key.bank) != bankList_.end();
    const int count = listed ? std::min(sizes_[static_cast<std::size_t>(key.bank)], OneTouchMaxChannels) : 0;
    key.resolved = listed && key.channel >= 0 && key.channel < count;
    key.channelCount = key.resolved ? count : 0;
}

void OneTouchMemories::rebuild(const BankLayout& layout) {
    sizes_ = layout.size;
    bankList_ = layout.usedBanks();
    for (OneTouchKey& key : keys_) resolve(key);
    changed.notify();
}

void OneTouchMemories::reset() {
    for (OneTouchKey& key : keys_) {
        key.noSetting = true;
        firstEntry(key);
    }
    changed.notify();
}

void OneTouchMemories::selectBank(int k, int position) {
    if (k < 0 || k >= OneTouchKeyCount || position < 0 || position >= static_cast<int>(bankList_.size())) return;
    OneTouchKey& key = keys_[static_cast<std::size_t>(k)];
    key.bank = bankList_[static_cast<std::size_t>(position)];
    key.channel = 0;
    key.channelCount = std::min(sizes_[static_cast<std::size_t>(key.bank)], OneTouchMaxChannels);
    key.resolved = true;
    changed.notify();
}

void OneTouchMemories::selectChannel(int k, int position) {
    if (k < 0 || k >= OneTouchKeyCount) return;
    OneTouchKey& key = keys_[static_cast<std::size_t>(k)];
    if (!key.resolved || position < 0 || position >= key.channelCount) return;
    key.channel = position;
    changed.notify();
}

void OneTouchMemories::setNoSetting(int k, bool on) {
    if (k < 0 || k >= OneTouchKeyCount) return;
    keys_[static_cast<std::size_t>(k)].noSetting = on;
    changed.notify();
}

void OneTouchMemories::hold(int k, int bank, int channel) {
    if (k < 0 || k >= OneTouchKeyCount) return;
    OneTouchKey& key = keys_[static_cast<std::size_t>(k)];
    key.noSetting = false;
    key.bank = bank;
    key.channel = channel;
    resolve(key);
    changed.notify();
}

std::vector<uint8_t> OneTouchMemories::encode() const {
    std::vector<uint8_t> data(static_cast<std::size_t>(radio::OneTouch.length), 0);
    radio::ByteView v(data);
    for (int k = 0; k < OneTouchKeyCount; ++k) {
        const OneTouchKey& key = keys_[static_cast<std::size_t>(k)];
        v.setU8(keyOffset(k) + BankByte, key.noSetting ? OneTouchUnused : static_cast<uint8_t>(key.bank));
        v.setU8(keyOffset(k) + ChannelByte, static_cast<uint8_t>(key.channel));
        v.setU8(keyOffset(k) + ZeroByte, 0);
    }
    return data;
}

bool OneTouchMemories::decode(const std::vector<uint8_t>& data) {
    if (data.size() < static_cast<std::size_t>(radio::OneTouch.length)) return false;
    radio::ConstByteView v(data);
    for (int k = 0; k < OneTouchKeyCount; ++k) {
        OneTouchKey& key = keys_[static_cast<std::size_t>(k)];
        const uint8_t bank = v.u8(keyOffset(k) + BankByte);
        if (bank == OneTouchUnused) {
            key.noSetting = true;
            firstEntry(key);
        } else {
            key.noSetting = false;
            key.bank = bank;
            key.channel = v.u8(keyOffset(k) + ChannelByte);
            resolve(key);
        }
    }
    changed.notify();
    return true;
}

void takeOneTouch(const RadioImage& image, OneTouchMemories& keys) { keys.decode(image.bytes(radio::OneTouch)); }

engine::Plan oneTouchReadPlan(OneTouchMemories& keys) {
    engine::Plan plan;
    plan.image = std::make_shared<RadioImage>();
    plan.busyCode = BusyOneTouch;
    plan.what = "one-touch keys";
    plan.budgets = {3};
    plan.progressMax = 100;
    plan.done = {100};
    engine::Block b;
    b.kind = engine::Block::Kind::Read;
    b.address = radio::OneTouch.address;
    b.length = radio::MaxBlockBytes;
    b.before = {50, 50};
    plan.blocks.push_back(std::move(b));
    plan.completed = [&keys, image = plan.image] { takeOneTouch(*image, keys); };
    return plan;
}

engine::Plan oneTouchWritePlan(const OneTouchMemories& keys) {
    engine::Plan plan;
    plan.fromDocument = true;
    plan.busyCode = BusyOneTouch + 1;
    plan.what = "one-touch keys";
    plan.budgets = {3};
    plan.progressMax = 100;
    plan.done = {100};
    engine::Block b;
    b.kind = engine::Block::Kind::Write;
    b.address = radio::OneTouch.address;
    b.before = {50, 50};
    b.encode = [&keys] { return keys.encode(); };
    plan.blocks.push_back(std::move(b));
    return plan;
}

}  // namespace tqm5
