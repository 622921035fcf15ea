#pragma once
// The double-byte characters the radio's display can show in names and the
// opening title, and the filter that keeps only displayable characters.
#include <array>
#include <cstdint>
#include <string>

namespace tqm5 {

class NameCharTable {
public:
    static constexpr int Size = 844;
    NameCharTable();  // builds the entries in table order
    static const NameCharTable& instance();

    uint16_t entry(int index) const { return entries_[index]; }
    // True for single-byte codes and for codes listed in the table.
    bool isAllowed(int code) const;
    // The text with every character dropped that the radio cannot show.
    std::string filter(const std::string& utf8) const;

private:
    std::array<uint16_t, Size> entries_{};
    std::array<bool, 0x10000> allowed_{};
};

}  // namespace tqm5
