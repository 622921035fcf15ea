#pragma once
#include <string>

#include "app/document.h"
#include "channels/cp932.h"

namespace tqm5 {

// The start-up state: tables built, grid labelled with its preset rows,
// default bank layout, port 1 without a check mark, row 1 current.
void startUp(Document& doc);

// What the user must be told once at start-up, before anything is read or
// written: names lose characters when the Shift-JIS converter (`converter`)
// cannot be opened. Empty when all is well.
std::string startUpProblem(const char* converter = Cp932Converter);

}  // namespace tqm5
