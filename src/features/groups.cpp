#include "features/groups.h"

#include <memory>

#include "radio/byte_view.h"
#include "radio/memory_map.h"

namespace tqm5 {

const char* const GroupReadDoneText = "OK";
const char* const GroupReadDoneTitle = " Success";
const char* const GroupReadAllText = "Success ALL DATA READ";
const char* const GroupWriteDoneText = "Success Group Data Write";

namespace {

// Bytes of one group record.
enum GroupField : std::size_t {
    BankBytes = 6,        // bytes 0-5: banks 0-47, most significant bit first
    HighBanksByte = 6,    // bit 7: bank 48, bit 6: bank 49
    UnusedByte = 7,
};

constexpr int firstGroupOfArea(int area) { return area == 0 ? 0 : 6; }
constexpr int groupsOfArea(int area) { return area == 0 ? 6 : 5; }

bool validCell(int group, int bank) {
    return group >= 0 && group < GroupCount && bank >= 0 && bank < BankLayout::Banks;
}

// Where bank b sits in a group record: byte and bit.
constexpr std::size_t byteOfBank(int b) { return b < 48 ? static_cast<std::size_t>(b / 8) : HighBanksByte; }
constexpr int bitOfBank(int b) { return b < 48 ? 7 - b % 8 : 7 - (b - 48); }

}  // namespace

bool GroupTable::isMember(int group, int bank) const {
    return validCell(group, bank) && member[static_cast<std::size_t>(group)][static_cast<std::size_t>(bank)];
}

bool GroupTable::toggle(int group, int bank) {
    if (!validCell(group, bank) || unavailable[static_cast<std::size_t>(bank)]) return false;
    auto& flag = member[static_cast<std::size_t>(group)][static_cast<std::size_t>(bank)];
    flag = !flag;
    changed.notify();
    return true;
}

void GroupTable::clear() {
    for (auto& g : member) g.fill(false);
    changed.notify();
}

void GroupTable::markAvailability(const BankLayout& layout) {
    for (int b = 0; b < BankLayout::Banks; ++b)
        unavailable[static_cast<std::size_t>(b)] = layout.size[static_cast<std::size_t>(b)] == 0;
    changed.notify();
}

void GroupTable::assign(const GroupFlags& flags) {
    member = flags;
    changed.notify();
}

std::string groupName(int group) { return group == 10 ? "GroupB" : std::to_string(group) + "Group"; }

int bankOfGroupColumn(int col) {
    if (col < 1 || col >= GroupGridCols || isGroupSeparator(col)) return -1;
    const int block = (col - 1) / 11;  // each block: ten banks and its separator
    return block * 10 + (col - 1) % 11;
}

int groupOfGroupRow(int row) { return row >= 1 && row < GroupGridRows ? row - 1 : -1; }

bool isGroupSeparator(int col) { return col == 11 || col == 22 || col == 33 || col == 44; }

uint32_t groupAreaAddress(int area) { return area == 0 ? radio::GroupsFirst.address : radio::GroupsSecond.address; }
int groupAreaBytes(int area) { return area == 0 ? radio::GroupsFirst.length : radio::GroupsSecond.length; }

std::vector<uint8_t> encodeGroupArea(const GroupFlags& flags, int area) {
    std::vector<uint8_t> data(static_cast<std::size_t>(groupAreaBytes(area)), 0);
    radio::ByteView v(data);
    for (int i = 0; i < groupsOfArea(area); ++i) {
        const std::size_t rec = radio::GroupRecordBytes * static_cast<std::size_t>(i);
        const auto& g = flags[static_cast<std::size_t>(firstGroupOfArea(area) + i)];
        for (int b = 0; b < BankLayout::Banks; ++b)
            v.setBit(rec + byteOfBank(b), bitOfBank(b), g[static_cast<std::size_t>(b)]);
    }
    return data;
}

bool decodeGroupArea(const std::vector<uint8_t>& data, int area, GroupFlags& flags) {
    if (data.size() < static_cast<std::size_t>(groupAreaBytes(area))) return false;
    radio::ConstByteView v(data);
    for (int i = 0; i < groupsOfArea(area); ++i) {
        const std::size_t rec = radio::GroupRecordBytes * static_cast<std::size_t>(i);
        auto& g = flags[static_cast<std::size_t>(firstGroupOfArea(area) + i)];
        for (int b = 0; b < BankLayout::Banks; ++b) g[static_cast<std::size_t>(b)] = v.bit(rec + byteOfBank(b), bitOfBank(b));
    }
    return true;
}

std::vector<int> groupAreaNulBytes(int area) {
    std::vector<int> at;
    for (int i = 0; i < groupsOfArea(area); ++i) at.push_back(radio::GroupRecordBytes * i + UnusedByte);
    return at;
}

std::vector<int> nulBytesAt(uint32_t address) {
    for (int area = 0; area < GroupAreas; ++area)
        if (address == groupAreaAddress(area)) return groupAreaNulBytes(area);
    return {};
}

void takeGroups(const RadioImage& image, GroupTable& table) {
    GroupFlags flags = table.member;
    for (int area = 0; area < GroupAreas; ++area)
        decodeGroupArea(image.bytes(groupAreaAddress(area), groupAreaBytes(area)), area, flags);
    table.assign(flags);
}

engine::Plan groupReadPlan(GroupTable& table) {
    engine::Plan plan;
    plan.what = "bank-link groups";
    plan.budgets = {3, 3};
    plan.image = std::make_shared<RadioImage>();
    for (int area = 0; area < GroupAreas; ++area) {
        engine::Block b;
        b.kind = engine::Block::Kind::Read;
        b.address = groupAreaAddress(area);
        b.length = radio::MaxBlockBytes;
        b.budget = area;
        plan.blocks.push_back(std::move(b));
    }
    plan.completed = [&table, image = plan.image] { takeGroups(*image, table); };
    return plan;
}

engine::Plan groupWritePlan(const GroupTable& table) {
    engine::Plan plan;
    plan.fromDocument = true;
    plan.what = "bank-link groups";
    plan.budgets = {3, 3};
    for (int area = 0; area < GroupAreas; ++area) {
        engine::Block b;
        b.kind = engine::Block::Kind::Write;
        b.address = groupAreaAddress(area);
        b.budget = area;
        b.encode = [&table, area] { return encodeGroupArea(table.member, area); };
        b.nulBytes = groupAreaNulBytes(area);
        plan.blocks.push_back(std::move(b));
    }
    return plan;
}

}  // namespace tqm5
