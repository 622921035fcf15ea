#pragma once
// What differs between two documents, in plain words: channels by their
// grid texts, then banks, groups, one-touch keys, title, settings items,
// DTMF memories and user characters. One line per difference.
#include <string>
#include <vector>

#include "app/document.h"

namespace tqm5 {

std::vector<std::string> documentDifferences(const Document& a, const Document& b);

}  // namespace tqm5
