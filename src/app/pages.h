#pragma once
// Switching between the main window's four pages.
#include "app/document.h"
#include "protocol/host.h"

namespace tqm5 {

enum Page { MemoryPage = 1, BankPage = 2, CommonPage = 3, SetModePage = 4 };

// Handles the choice of tab `n`. Returns the page to show, or 0 when the
// shown page stays as it is (the same tab, or the user cancelled the bank
// prompt). The caller has checked that no transfer runs.
int switchPage(Document& doc, Host& host, int n);

// The grid's row labels follow the bank layout when it totals 1000; the
// current row and the selection stay.
void followLayout(Document& doc);

extern const char* const BankTotalPrompt;  // "Bank Total Error. Init Data?"
extern const char* const CautionTitle;     // "Caution"

}  // namespace tqm5
