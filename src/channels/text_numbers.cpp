#include "channels/text_numbers.h"

namespace tqm5 {

long long leadingNumber(std::string_view t) {
    long long v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') break;
        if (v > 100000000000000LL) break;  // far beyond any field; stop before overflow
        v = v * 10 + (c - '0');
    }
    return v;
}

double leadingDecimal(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    double v = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') v = v * 10 + (t[i++] - '0');
    if (i < t.size() && t[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            v += (t[i++] - '0') * scale;
            scale /= 10;
        }
    }
    return v;
}

std::string digitsOnly(std::string_view t) {
    std::string o;
    for (char c : t)
        if (c >= '0' && c <= '9') o += c;
    return o;
}

bool allDigits(std::string_view t) {
    for (char c : t)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace tqm5
