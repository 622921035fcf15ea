#pragma once
#include "app/document.h"

namespace tqm5 {

// The start-up state: tables built, grid labelled with its preset rows,
// default bank layout, port 1 without a check mark, row 1 current.
void startUp(Document& doc);

}  // namespace tqm5
