#include "services/ContentLength.h"

namespace ContentLength {
namespace {
constexpr int64_t kLimit = INT64_C(0x7FFFFFFF);

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

std::u16string Trim(const std::u16string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsSpace(text[first])) ++first;
    while (last > first && IsSpace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// The text between `name` and the next CR LF after it; false when either
// is missing.
bool HeaderValue(const std::u16string& headers, const std::u16string& name, std::u16string* value) {
    const size_t at = headers.find(name);
    if (at == std::u16string::npos) return false;
    const size_t start = at + name.size();
    const size_t end = headers.find(u"\r\n", start);
    if (end == std::u16string::npos) return false;
    *value = headers.substr(start, end - start);
    return true;
}

// A decimal number by its leading digits, after white space and one sign.
std::optional<int32_t> ReadNumber(const std::u16string& text, size_t from) {
    size_t i = from;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    const size_t digits = i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        // Past the limit the exact value no longer matters; stopping here
        // keeps any number of digits from overflowing.
        if (value <= kLimit) value = value * 10 + (text[i] - u'0');
    }
    if (i == digits) return std::nullopt;
    if (value > kLimit || (negative && value != 0)) return std::nullopt;
    return static_cast<int32_t>(value);
}
}  // namespace

std::optional<int32_t> FromHeaders(const std::u16string& rawHeaders) {
    std::u16string value;
    if (HeaderValue(rawHeaders, u"Content-Length:", &value)) return ReadNumber(Trim(value), 0);
    if (!HeaderValue(rawHeaders, u"Content-Range:", &value)) return 0;
    const size_t units = value.find(u"bytes");
    if (units == std::u16string::npos) return ReadNumber(Trim(value), 0);
    const std::u16string range = Trim(value.substr(units + 5));
    const size_t slash = range.find(u'/');
    if (slash == std::u16string::npos) return 0;
    return ReadNumber(range, slash + 1);
}

std::optional<int32_t> RangeEnd(int32_t rangeStart, int32_t length) {
    const int64_t end = static_cast<int64_t>(rangeStart) + length;
    if (end < 0 || end > kLimit) return std::nullopt;
    return static_cast<int32_t>(end);
}

}  // namespace ContentLength
