#pragma once
// How many of the 1000 ordinary channels each of the 50 banks holds.
#include <array>
#include <numeric>

namespace tqm5 {

struct BankLayout {
    static constexpr int Banks = 50;
    static constexpr int Channels = 1000;
    std::array<int, Banks> size{};

    BankLayout() { reset(); }
    // Banks 0 to 9 hold 100 channels each, the others none.
    void reset() {
        size.fill(0);
        for (int b = 0; b < 10; ++b) size[b] = 100;
    }
    int total() const { return std::accumulate(size.begin(), size.end(), 0); }
    bool complete() const { return total() == Channels; }
};

}  // namespace tqm5
