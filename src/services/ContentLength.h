// How long a ranged response's body is, read from the raw response header
// block (lines ended by CR LF), and where the range then ends. Offsets and
// lengths of a download are 32-bit signed; anything a server announces
// outside that range is refused rather than wrapped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace ContentLength {

// The length the headers announce. "Content-Length:" wins; without it a
// "Content-Range:" header gives its total (the number after "/"), not the
// part sent. Names match case-sensitively. Numbers are read by their
// leading digits ("100abc" is 100).
//
// 0 when neither header is there (or a range has no "/"): the body then
// counts as complete at once. nullopt when a header is there but its number
// is unusable: no digits, negative, or 2^31 or more.
std::optional<int32_t> FromHeaders(const std::u16string& rawHeaders);

// rangeStart + length, or nullopt when the sum leaves 0 ... INT32_MAX.
std::optional<int32_t> RangeEnd(int32_t rangeStart, int32_t length);

}  // namespace ContentLength
