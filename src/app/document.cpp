#include "app/document.h"

#include <algorithm>

namespace tqm5 {

bool Document::hasUnsavedEdits() const {
    return std::find(unsavedRows.begin(), unsavedRows.end(), true) != unsavedRows.end();
}

void Document::markEdited(int first, int last) {
    for (int r = std::max(first, 1); r <= std::min(last, LastRow); ++r) unsavedRows[static_cast<std::size_t>(r)] = true;
}

void Document::markSaved(int first, int last) {
    for (int r = std::max(first, 1); r <= std::min(last, LastRow); ++r) unsavedRows[static_cast<std::size_t>(r)] = false;
}

}  // namespace tqm5
