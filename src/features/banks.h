#pragma once
// Bank Read and Bank Write as plans for the transfer engine.
#include "engine/plan.h"
#include "features/bank_layout.h"

namespace tqm5 {

constexpr int BusyBankRead = 10;
constexpr int BusyBankWrite = 11;

// Reads both blocks into a scratch layout; the layout changes only once both
// arrived (and a size above 1000 ends the read unused).
engine::Plan bankReadPlan(BankLayout& layout);
// Writes both blocks. The caller has made sure the layout totals 1000.
engine::Plan bankWritePlan(const BankLayout& layout);

// Told when a bank write is refused because the sizes do not total 1000.
extern const char* const BankWriteRefusedText;

}  // namespace tqm5
