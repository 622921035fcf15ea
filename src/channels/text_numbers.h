#pragma once
// Reading numbers out of texts the way the program's fields and files need.
#include <string>
#include <string_view>

namespace tqm5 {

// Value of the leading digits (up to the first non-digit); 0 when none.
long long leadingNumber(std::string_view text);
// Leading decimal number, a decimal point included ("145." 145, ".5" 0.5).
double leadingDecimal(std::string_view text);
// Only the characters '0'..'9' of the text, in order.
std::string digitsOnly(std::string_view text);
bool allDigits(std::string_view text);

}  // namespace tqm5
