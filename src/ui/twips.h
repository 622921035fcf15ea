#pragma once
// Sizes are given in twips (1/1440 inch); at 96 dots per inch 15 twips make
// one pixel.
namespace tqm5 {
constexpr int twipsToPixels(int twips) { return twips <= 0 ? 0 : (twips < 15 ? 1 : twips / 15); }
}  // namespace tqm5
