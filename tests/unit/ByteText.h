// Bytes written as hex in tests, the way protocol documents print frames.
#pragma once

#include <string>

namespace testbytes {

// "81 05 48" or "810548" into those bytes; anything but hex digits is skipped.
inline std::string FromHex(const std::string& hex) {
    auto nibble = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string bytes;
    int high = -1;
    for (char c : hex) {
        const int value = nibble(c);
        if (value < 0) continue;
        if (high < 0) {
            high = value;
        } else {
            bytes += static_cast<char>(high << 4 | value);
            high = -1;
        }
    }
    return bytes;
}

inline std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

}  // namespace testbytes
