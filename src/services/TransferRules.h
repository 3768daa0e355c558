// Rules of a ranged download's transfer: the size of the buffer that
// gathers the bytes for one delivery, how much one read asks for, and the
// Range header of a request.
#pragma once

#include <cstdint>
#include <string>

namespace TransferRules {

constexpr int32_t kMinBufferSize = 0x8000;       // 32768
constexpr int32_t kMaxBufferSize = 0x800000;     // 8388608
constexpr int32_t kDefaultBufferSize = 0x40000;  // 262144
// WinInet is asked for at most this much per read.
constexpr int32_t kMaxReadSize = 4096;

// The buffer a download starts with: the size asked for when it lies in
// kMinBufferSize ... kMaxBufferSize, else the default (0 included).
int32_t StartBufferSize(int32_t requested);

// Whether a request to grow a buffer of `current` bytes to `requested` is
// honoured: only larger sizes, up to kMaxBufferSize.
bool GrowsBuffer(int32_t current, int32_t requested);

// Bytes the next read asks for: what fits in the buffer and is left of the
// range, at most kMaxReadSize; 0 when nothing is.
int32_t NextReadSize(int32_t bufferSize, int32_t buffered, int32_t position, int32_t end);

// "Range: bytes=<start>-\r\n" for an open range (negative end), else
// "Range: bytes=<start>-<end>\r\n".
std::u16string RangeHeader(int32_t rangeStart, int32_t rangeEnd);

}  // namespace TransferRules
