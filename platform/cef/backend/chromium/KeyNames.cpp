#include "cef/backend/chromium/KeyNames.h"

namespace cefimpl::chromium {
namespace {

constexpr int kLeft = 1;
constexpr int kRight = 2;
constexpr int kKeypad = 3;
constexpr uint32_t kRightShiftScanCode = 0x36;

struct NamedKey {
    uint32_t virtualKey;
    const char* code;
    const char* key;
    int location;
};

// Keys with fixed names; letters, digits and function keys are counted out.
const NamedKey kNamedKeys[] = {
    {0x08, "Backspace", "Backspace", 0},
    {0x09, "Tab", "Tab", 0},
    {0x0D, "Enter", "Enter", 0},
    {0x13, "Pause", "Pause", 0},
    {0x14, "CapsLock", "CapsLock", 0},
    {0x1B, "Escape", "Escape", 0},
    {0x20, "Space", " ", 0},
    {0x21, "PageUp", "PageUp", 0},
    {0x22, "PageDown", "PageDown", 0},
    {0x23, "End", "End", 0},
    {0x24, "Home", "Home", 0},
    {0x25, "ArrowLeft", "ArrowLeft", 0},
    {0x26, "ArrowUp", "ArrowUp", 0},
    {0x27, "ArrowRight", "ArrowRight", 0},
    {0x28, "ArrowDown", "ArrowDown", 0},
    {0x2D, "Insert", "Insert", 0},
    {0x2E, "Delete", "Delete", 0},
    {0x5B, "MetaLeft", "Meta", kLeft},
    {0x5C, "MetaRight", "Meta", kRight},
    {0x5D, "ContextMenu", "ContextMenu", 0},
    {0x6A, "NumpadMultiply", "*", kKeypad},
    {0x6B, "NumpadAdd", "+", kKeypad},
    {0x6D, "NumpadSubtract", "-", kKeypad},
    {0x6E, "NumpadDecimal", ".", kKeypad},
    {0x6F, "NumpadDivide", "/", kKeypad},
    {0x90, "NumLock", "NumLock", 0},
    {0x91, "ScrollLock", "ScrollLock", 0},
    {0xBA, "Semicolon", ";", 0},
    {0xBB, "Equal", "=", 0},
    {0xBC, "Comma", ",", 0},
    {0xBD, "Minus", "-", 0},
    {0xBE, "Period", ".", 0},
    {0xBF, "Slash", "/", 0},
    {0xC0, "Backquote", "`", 0},
    {0xDB, "BracketLeft", "[", 0},
    {0xDC, "Backslash", "\\", 0},
    {0xDD, "BracketRight", "]", 0},
    {0xDE, "Quote", "'", 0},
};

KeyName Named(std::string code, std::string key, int location = 0) {
    KeyName name;
    name.code = std::move(code);
    name.key = std::move(key);
    name.location = location;
    return name;
}

// Shift, Control and Alt come as one virtual key for both sides.
KeyName ModifierKey(uint32_t virtualKey, uint32_t scanCode, bool extended) {
    static const char* const kKeys[] = {"Shift", "Control", "Alt"};
    const std::string key = kKeys[virtualKey - 0x10];
    const bool right = virtualKey == 0x10 ? scanCode == kRightShiftScanCode : extended;
    return Named(key + (right ? "Right" : "Left"), key, right ? kRight : kLeft);
}

}  // namespace

KeyName NameOfKey(uint32_t virtualKey, uint32_t scanCode, bool extended, bool upperCaseLetters) {
    if (virtualKey >= 0x10 && virtualKey <= 0x12)
        return ModifierKey(virtualKey, scanCode, extended);
    if (virtualKey == 0x0D && extended) return Named("NumpadEnter", "Enter", kKeypad);
    if (virtualKey >= '0' && virtualKey <= '9') {
        return Named("Digit" + std::string(1, static_cast<char>(virtualKey)),
                     std::string(1, static_cast<char>(virtualKey)));
    }
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        const char letter =
            static_cast<char>(upperCaseLetters ? virtualKey : virtualKey - 'A' + 'a');
        return Named("Key" + std::string(1, static_cast<char>(virtualKey)), std::string(1, letter));
    }
    if (virtualKey >= 0x60 && virtualKey <= 0x69) {
        const std::string digit(1, static_cast<char>('0' + virtualKey - 0x60));
        return Named("Numpad" + digit, digit, kKeypad);
    }
    if (virtualKey >= 0x70 && virtualKey <= 0x7B) {
        const std::string function = "F" + std::to_string(virtualKey - 0x70 + 1);
        return Named(function, function);
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.virtualKey == virtualKey) return Named(named.code, named.key, named.location);
    }
    return KeyName();
}

}  // namespace cefimpl::chromium
