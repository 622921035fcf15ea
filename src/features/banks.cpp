#include "features/banks.h"

#include <memory>

namespace tqm5 {

const char* const BankWriteRefusedText = "Bank Total Error. The banks must hold 1000 channels in all.";

namespace {
// Progress before the first and the second block.
constexpr engine::Progress BlockProgress[BankBlocks] = {{20, 20}, {60, 60}};
}  // namespace

bool takeBanks(const RadioImage& image, BankLayout& layout) {
    std::array<int, BankLayout::Banks> sizes = layout.size;
    for (int block = 0; block < BankBlocks; ++block)
        if (!decodeBankBlock(image.bytes(bankBlockAddress(block), BankBlockBytes), block, sizes)) return false;
    layout.assign(sizes);
    return true;
}

engine::Plan bankReadPlan(BankLayout& layout) {
    engine::Plan plan;
    plan.busyCode = BusyBankRead;
    plan.what = "bank layout";
    plan.budgets = {3, 3};
    plan.progressMax = 100;
    plan.image = std::make_shared<RadioImage>();
    for (int block = 0; block < BankBlocks; ++block) {
        engine::Block b;
        b.kind = engine::Block::Kind::Read;
        b.address = bankBlockAddress(block);
        b.length = BankBlockBytes;
        b.budget = block;
        b.before = BlockProgress[block];
        b.decode = [block](const Bytes& data) {
            std::array<int, BankLayout::Banks> sizes{};
            return decodeBankBlock(data, block, sizes);  // every size one a slider can show
        };
        plan.blocks.push_back(std::move(b));
    }
    plan.done = {100};
    plan.completed = [&layout, image = plan.image] { takeBanks(*image, layout); };
    return plan;
}

engine::Plan bankWritePlan(const BankLayout& layout) {
    engine::Plan plan;
    plan.fromDocument = true;
    plan.busyCode = BusyBankWrite;
    plan.what = "bank layout";
    plan.budgets = {3, 3};
    plan.progressMax = 100;
    for (int block = 0; block < BankBlocks; ++block) {
        engine::Block b;
        b.kind = engine::Block::Kind::Write;
        b.address = bankBlockAddress(block);
        b.budget = block;
        b.before = BlockProgress[block];
        b.encode = [&layout, block] { return encodeBankBlock(layout, block); };
        plan.blocks.push_back(std::move(b));
    }
    plan.done = {100};
    return plan;
}

}  // namespace tqm5
