#include "services/BossKeyValue.h"

namespace BossKeyValue {
namespace {
constexpr uint8_t kFieldShift = 0x01;
constexpr uint8_t kFieldCtrl = 0x02;
constexpr uint8_t kFieldAlt = 0x04;

constexpr uint32_t kModAlt = 1;
constexpr uint32_t kModControl = 2;
constexpr uint32_t kModShift = 4;

uint8_t FieldFlags(uint16_t value) { return static_cast<uint8_t>(value >> 8); }

bool IsAtoiSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}
}  // namespace

uint32_t RegistrationModifiers(uint16_t value) {
    const uint8_t flags = FieldFlags(value);
    uint32_t modifiers = 0;
    if (flags & kFieldAlt) modifiers |= kModAlt;
    if (flags & kFieldCtrl) modifiers |= kModControl;
    if (flags & kFieldShift) modifiers |= kModShift;
    return modifiers;
}

bool HasModifiers(uint16_t value) { return RegistrationModifiers(value) != 0; }

uint8_t VirtualKey(uint16_t value) { return static_cast<uint8_t>(value & 0xFF); }

std::optional<uint16_t> SingleModifierFieldValue(uint16_t value) {
    const uint16_t key = VirtualKey(value);
    switch (RegistrationModifiers(value)) {
        case kModAlt:
            return static_cast<uint16_t>(key + 0x400);
        case kModShift:
            return static_cast<uint16_t>(key + 0x100);
        case kModControl:
            return static_cast<uint16_t>(key + 0x200);
        default:
            return std::nullopt;
    }
}

uint16_t ParseSavedLine(const std::u16string& line) {
    size_t i = 0;
    while (i < line.size() && IsAtoiSpace(line[i])) ++i;
    const bool negative = i < line.size() && line[i] == u'-';
    if (i < line.size() && (line[i] == u'-' || line[i] == u'+')) ++i;
    // Saturating at 2^31 keeps the arithmetic defined for any number of digits.
    const int64_t limit = negative ? INT64_C(2147483648) : INT64_C(2147483647);
    int64_t magnitude = 0;
    for (; i < line.size() && line[i] >= u'0' && line[i] <= u'9'; ++i) {
        magnitude = magnitude * 10 + (line[i] - u'0');
        if (magnitude > limit) magnitude = limit;
    }
    const int64_t number = negative ? -magnitude : magnitude;
    return static_cast<uint16_t>(static_cast<uint64_t>(number) & 0xFFFF);
}

}  // namespace BossKeyValue
