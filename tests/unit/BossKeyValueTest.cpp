// Rules of the boss-key value: modifiers, what the hot-key field can show,
// and how the saved line is read.
#include "services/BossKeyValue.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct ModifierCase {
    uint16_t value;
    uint32_t modifiers;
};

// High-byte flags 0x01 Shift, 0x02 Ctrl, 0x04 Alt, 0x08 extended; the
// registration wants Alt 1, Ctrl 2, Shift 4.
const ModifierCase kModifierCases[] = {
    {0x005A, 0}, {0x015A, 4}, {0x025A, 2}, {0x045A, 1}, {0x065A, 3},
    {0x075A, 7}, {0x085A, 0}, {0x0E2D, 3}, {0xF85A, 0}, {0xFF00, 7},
};

struct FieldCase {
    uint16_t value;
    std::optional<uint16_t> field;
};

const FieldCase kFieldCases[] = {
    {0x045A, 0x045A},        // Alt only
    {0x015A, 0x015A},        // Shift only
    {0x025A, 0x025A},        // Ctrl only
    {0x0C2D, 0x042D},        // the extended flag is not shown
    {0x005A, std::nullopt},  // no modifier
    {0x065A, std::nullopt},  // Ctrl+Alt, as 1626
    {0x035A, std::nullopt},  // Ctrl+Shift
    {0x075A, std::nullopt},  // all three
};

struct LineCase {
    const char16_t* line;
    uint16_t value;
};

const LineCase kLineCases[] = {
    {u"1626", 1626},
    {u"602", 602},
    {u"90", 90},
    {u"", 0},
    {u"abc", 0},
    {u"12ab34", 12},
    {u"  \t+602", 602},
    {u"0001626", 1626},
    {u"65536", 0},     // cut to the low 16 bits
    {u"67162", 1626},  // 0x1065A
    {u"-1", 0xFFFF},   // negative text wraps, it does not misbehave
    {u"-", 0},
    {u"+-5", 0},
    {u"99999999999999999999999", 0xFFFF},  // saturates at INT32_MAX first
    {u"-99999999999999999999999", 0},      // INT32_MIN's low bits
    {u"\uFF11\uFF12", 0},                  // full-width digits are not digits
};
}  // namespace

TEST(BossKeyValue, ModifiersFollowTheRegistrationFlags) {
    for (const ModifierCase& c : kModifierCases) {
        EXPECT_EQ(BossKeyValue::RegistrationModifiers(c.value), c.modifiers) << std::hex << c.value;
        EXPECT_EQ(BossKeyValue::HasModifiers(c.value), c.modifiers != 0) << std::hex << c.value;
        EXPECT_EQ(BossKeyValue::VirtualKey(c.value), c.value & 0xFF) << std::hex << c.value;
    }
}

TEST(BossKeyValue, FieldShowsOnlyKeysWithExactlyOneModifier) {
    for (const FieldCase& c : kFieldCases) {
        EXPECT_EQ(BossKeyValue::SingleModifierFieldValue(c.value), c.field) << std::hex << c.value;
    }
}

TEST(BossKeyValue, SavedLineReadsLikeAtoiCutToSixteenBits) {
    for (const LineCase& c : kLineCases) {
        std::u16string line(c.line);
        EXPECT_EQ(BossKeyValue::ParseSavedLine(line), c.value)
            << std::string(line.begin(), line.end());
    }
}
