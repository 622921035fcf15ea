#pragma once
// Bank Read and Bank Write as plans for the transfer engine.
#include "engine/plan.h"
#include "features/bank_layout.h"
#include "radio/radio_image.h"

namespace tqm5 {

constexpr int BusyBankRead = 10;
constexpr int BusyBankWrite = 11;

// The layout an image holds into `layout`; false (the layout unchanged)
// when a size is above 1000, which no slider can show.
bool takeBanks(const RadioImage& image, BankLayout& layout);
// Reads both blocks into an image of its own; the layout changes only once
// both arrived (and a size above 1000 ends the read unused).
engine::Plan bankReadPlan(BankLayout& layout);
// Writes both blocks. The caller has made sure the layout totals 1000.
engine::Plan bankWritePlan(const BankLayout& layout);

// Told when a bank write is refused because the sizes do not total 1000.
extern const char* const BankWriteRefusedText;

}  // namespace tqm5
