#include "cef/backend/chromium/Base64.h"

#include <cstdint>

namespace cefimpl::chromium {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// One group of four characters, of which the last `padding` are "=".
bool DecodeGroup(std::string_view group, int padding, std::string& out) {
    uint32_t bits = 0;
    for (int i = 0; i < 4 - padding; ++i) {
        const int sextet = SextetOf(group[i]);
        if (sextet < 0) return false;
        bits |= static_cast<uint32_t>(sextet) << (18 - 6 * i);
    }
    const uint32_t unused = padding == 0 ? 0 : (padding == 1 ? 0xFF : 0xFFFF);
    if (bits & unused) return false;
    for (int i = 0; i < 3 - padding; ++i) out += static_cast<char>(bits >> (16 - 8 * i));
    return true;
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
        uint32_t bits = 0;
        for (size_t k = 0; k < count; ++k) {
            bits |= uint32_t{static_cast<unsigned char>(bytes[i + k])} << (16 - 8 * k);
        }
        for (size_t k = 0; k < 4; ++k) {
            text += k <= count ? kAlphabet[(bits >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return text;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const std::string_view group = text.substr(i, 4);
        const bool last = i + 4 == text.size();
        int padding = 0;
        if (last && group[3] == '=') padding = group[2] == '=' ? 2 : 1;
        if (!DecodeGroup(group, padding, bytes)) return std::nullopt;
    }
    return bytes;
}

}  // namespace cefimpl::chromium
