// DOM code and key names of Windows virtual keys, sides and keypad included.
#include "cef/backend/chromium/KeyNames.h"

#include <gtest/gtest.h>

namespace {

using cefimpl::chromium::KeyName;
using cefimpl::chromium::NameOfKey;

struct NameCase {
    uint32_t virtualKey;
    uint32_t scanCode;
    bool extended;
    bool upperCase;
    const char* code;
    const char* key;
    int location;
};

TEST(KeyNames, NamesKeysByPlaceAndMeaning) {
    const NameCase cases[] = {
        {'A', 0x1E, false, false, "KeyA", "a", 0},
        {'Z', 0x2C, false, true, "KeyZ", "Z", 0},
        {'0', 0x0B, false, false, "Digit0", "0", 0},
        {'9', 0x0A, false, true, "Digit9", "9", 0},  // Shift+9 is a layout's business
        {0x0D, 0x1C, false, false, "Enter", "Enter", 0},
        {0x0D, 0x1C, true, false, "NumpadEnter", "Enter", 3},
        {0x10, 0x2A, false, false, "ShiftLeft", "Shift", 1},
        {0x10, 0x36, false, false, "ShiftRight", "Shift", 2},
        {0x11, 0x1D, false, false, "ControlLeft", "Control", 1},
        {0x11, 0x1D, true, false, "ControlRight", "Control", 2},
        {0x12, 0x38, false, false, "AltLeft", "Alt", 1},
        {0x12, 0x38, true, false, "AltRight", "Alt", 2},
        {0x5B, 0x5B, true, false, "MetaLeft", "Meta", 1},
        {0x20, 0x39, false, false, "Space", " ", 0},
        {0x25, 0x4B, true, false, "ArrowLeft", "ArrowLeft", 0},
        {0x2E, 0x53, true, false, "Delete", "Delete", 0},
        {0x60, 0x52, false, false, "Numpad0", "0", 3},
        {0x69, 0x49, false, false, "Numpad9", "9", 3},
        {0x6F, 0x35, true, false, "NumpadDivide", "/", 3},
        {0x70, 0x3B, false, false, "F1", "F1", 0},
        {0x7B, 0x58, false, false, "F12", "F12", 0},
        {0xBF, 0x35, false, false, "Slash", "/", 0},
        {0xDE, 0x28, false, false, "Quote", "'", 0},
        {0xDC, 0x2B, false, false, "Backslash", "\\", 0},
        {0x7C, 0x64, false, false, "", "Unidentified", 0},  // F13: none of ours
        {0xFF, 0x00, false, false, "", "Unidentified", 0},
    };
    for (const NameCase& c : cases) {
        const KeyName name = NameOfKey(c.virtualKey, c.scanCode, c.extended, c.upperCase);
        EXPECT_EQ(name.code, c.code) << c.virtualKey;
        EXPECT_EQ(name.key, c.key) << c.virtualKey;
        EXPECT_EQ(name.location, c.location) << c.virtualKey;
    }
}

}  // namespace
