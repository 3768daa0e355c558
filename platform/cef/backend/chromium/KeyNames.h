// The names a page sees for a key: the DOM's "code" (the key's place on
// the keyboard) and "key" (what it means), from a Windows virtual-key code.
// Printable keys are named as on a US layout without Shift, except that
// letters follow Shift and Caps Lock; the text typed always comes from the
// character messages, which know the real layout.
#pragma once

#include <cstdint>
#include <string>

namespace cefimpl::chromium {

struct KeyName {
    std::string code;  // empty for a key we do not know
    std::string key = "Unidentified";
    // The DOM's location: 0 standard, 1 left, 2 right, 3 numeric keypad.
    int location = 0;
};

// `scanCode` and `extended` come from the key message's lParam; they tell
// the left modifier keys from the right ones and Enter from the keypad's.
KeyName NameOfKey(uint32_t virtualKey, uint32_t scanCode, bool extended, bool upperCaseLetters);

}  // namespace cefimpl::chromium
