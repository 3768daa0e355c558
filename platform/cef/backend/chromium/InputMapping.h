// Mouse, keyboard and IME input of the browser window, from its Win32
// messages to the parameters of the DevTools protocol's input methods
// (Input.dispatchMouseEvent, Input.dispatchKeyEvent, Input.insertText).
// Messages come as plain numbers so that the rules build without
// windows.h; the window passes what it reads alongside (modifier keys,
// the wheel's point in client coordinates).
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

namespace cefimpl::chromium {

// The modifier and lock keys as the window reads them (GetKeyState) while
// handling the message.
struct ModifierKeys {
    bool alt = false;
    bool control = false;
    bool shift = false;
    bool meta = false;  // a Windows key
    bool capsLock = false;
};

// The protocol's modifier bits: Alt 1, Ctrl 2, Meta 4, Shift 8.
int ModifierBits(const ModifierKeys& keys);

// ---- Mouse ----

struct MouseEventParams {
    std::string type;  // mousePressed, mouseReleased, mouseMoved, mouseWheel
    int x = 0;
    int y = 0;
    std::string button = "none";  // left, middle, right, back, forward
    int buttons = 0;              // pressed: left 1, right 2, middle 4, back 8, forward 16
    int clickCount = 0;
    int modifiers = 0;
    double deltaX = 0;  // wheel only, in CSS pixels; positive scrolls right
    double deltaY = 0;  // wheel only, in CSS pixels; positive scrolls down
};

// Windows marks a second press as a double click but its release as a
// plain one; a page's dblclick wants both with a count of two, so the
// window keeps the last press's count for the release.
struct MouseClicks {
    int lastPressCount = 1;
};

// WM_MOUSEMOVE and the button messages (down, up, double click) of the
// left, right, middle and X buttons. Control and Shift come from wParam's
// key bits, Alt and Meta from `keys`. Nothing for any other message.
std::optional<MouseEventParams> MapMouseMessage(uint32_t message, uint64_t wParam, int64_t lParam,
                                                const ModifierKeys& keys, MouseClicks& clicks);

// WM_MOUSEWHEEL and WM_MOUSEHWHEEL. Their lParam holds screen coordinates,
// so the window converts the point and passes it. Rolling the wheel away
// from the user scrolls up; tilting it right scrolls right.
std::optional<MouseEventParams> MapMouseWheel(uint32_t message, uint64_t wParam, int clientX,
                                              int clientY, const ModifierKeys& keys);

nlohmann::json ToParams(const MouseEventParams& event);

// ---- Keyboard ----

struct KeyEventParams {
    std::string type;  // rawKeyDown, keyUp, char
    int windowsVirtualKeyCode = 0;
    int nativeVirtualKeyCode = 0;
    std::string code;
    std::string key;
    std::string text;  // char: UTF-8
    std::string unmodifiedText;
    int modifiers = 0;
    int location = 0;
    bool autoRepeat = false;
    bool isKeypad = false;
    bool isSystemKey = false;  // with Alt, or F10: the WM_SYS* messages
};

// A character beyond the BMP comes as two WM_CHAR messages; the window
// keeps the first half here until the second arrives.
struct CharMemory {
    char16_t pendingHighSurrogate = 0;
};

// WM_KEYDOWN, WM_KEYUP, WM_CHAR and their WM_SYS* forms. Nothing for any
// other message, for the first half of a surrogate pair, and for control
// characters: the key event before them already carries Backspace, Escape
// or a Ctrl shortcut, and as text they would only type junk. Enter and Tab
// stay, as pages expect their characters.
std::optional<KeyEventParams> MapKeyMessage(uint32_t message, uint64_t wParam, int64_t lParam,
                                            const ModifierKeys& keys, CharMemory& chars);

nlohmann::json ToParams(const KeyEventParams& event);

// ---- IME ----

// The parameters of Input.insertText for text an input method committed.
nlohmann::json InsertTextParams(const std::u16string& committed);

}  // namespace cefimpl::chromium
