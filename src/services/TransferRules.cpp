#include "services/TransferRules.h"

#include <algorithm>

namespace TransferRules {
namespace {
std::u16string Decimal(int32_t value) {
    const std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}
}  // namespace

int32_t StartBufferSize(int32_t requested) {
    if (requested >= kMinBufferSize && requested <= kMaxBufferSize) return requested;
    return kDefaultBufferSize;
}

bool GrowsBuffer(int32_t current, int32_t requested) {
    return requested > current && requested <= kMaxBufferSize;
}

int32_t NextReadSize(int32_t bufferSize, int32_t buffered, int32_t position, int32_t end) {
    // 64-bit differences: the counters are trusted to be in range, not to
    // be ordered.
    const int64_t room = static_cast<int64_t>(bufferSize) - buffered;
    const int64_t left = static_cast<int64_t>(end) - position;
    const int64_t n = std::min({room, left, static_cast<int64_t>(kMaxReadSize)});
    return n > 0 ? static_cast<int32_t>(n) : 0;
}

std::u16string RangeHeader(int32_t rangeStart, int32_t rangeEnd) {
    std::u16string header = u"Range: bytes=" + Decimal(rangeStart) + u"-";
    if (rangeEnd >= 0) header += Decimal(rangeEnd);
    return header + u"\r\n";
}

}  // namespace TransferRules
