#include "layout/AtoiRule.h"

namespace {

// The "C" locale's isspace set; the rule must not change with the locale.
bool IsAtoiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int32_t ParseAtoi(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const char* p = text;
    while (IsAtoiSpace(*p)) {
        ++p;
    }
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') {
        ++p;
    }
    // The magnitude saturates at 2^31 (or 2^31 - 1), so it never leaves int64_t
    // however many digits follow.
    const int64_t limit = negative ? INT64_C(2147483648) : INT64_C(2147483647);
    int64_t magnitude = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit) {
            magnitude = limit;
        }
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}
