#include "cef/backend/chromium/InputMapping.h"

#include "cef/backend/Utf8Codec.h"
#include "cef/backend/chromium/KeyNames.h"

namespace cefimpl::chromium {
namespace {

// Win32 message numbers and flags, as windows.h defines them.
constexpr uint32_t kKeyDown = 0x0100;
constexpr uint32_t kKeyUp = 0x0101;
constexpr uint32_t kChar = 0x0102;
constexpr uint32_t kSysKeyDown = 0x0104;
constexpr uint32_t kSysKeyUp = 0x0105;
constexpr uint32_t kSysChar = 0x0106;
constexpr uint32_t kMouseMove = 0x0200;
constexpr uint32_t kLButtonDown = 0x0201;
constexpr uint32_t kMButtonDblClk = 0x0209;
constexpr uint32_t kMouseWheel = 0x020A;
constexpr uint32_t kXButtonDown = 0x020B;
constexpr uint32_t kXButtonDblClk = 0x020D;
constexpr uint32_t kMouseHWheel = 0x020E;

constexpr uint64_t kMkLButton = 0x0001;
constexpr uint64_t kMkRButton = 0x0002;
constexpr uint64_t kMkShift = 0x0004;
constexpr uint64_t kMkControl = 0x0008;
constexpr uint64_t kMkMButton = 0x0010;
constexpr uint64_t kMkXButton1 = 0x0020;
constexpr uint64_t kMkXButton2 = 0x0040;
constexpr int kXButton1 = 1;

constexpr int kAlt = 1;
constexpr int kCtrl = 2;
constexpr int kMeta = 4;
constexpr int kShift = 8;

// One notch of the wheel is 120 units; Chromium scrolls 100 pixels for it.
constexpr double kPixelsPerWheelUnit = 100.0 / 120.0;

int LowWordSigned(int64_t value) { return static_cast<int16_t>(value & 0xFFFF); }
int HighWordSigned(uint64_t value) { return static_cast<int16_t>((value >> 16) & 0xFFFF); }

// ---- Mouse ----

struct ButtonBit {
    uint64_t keyBit;  // in wParam
    int protocolBit;
    const char* name;
};

// A move while several buttons are held names the first of them here.
const ButtonBit kButtons[] = {
    {kMkLButton, 1, "left"},  {kMkMButton, 4, "middle"},    {kMkRButton, 2, "right"},
    {kMkXButton1, 8, "back"}, {kMkXButton2, 16, "forward"},
};

int PressedButtons(uint64_t wParam) {
    int bits = 0;
    for (const ButtonBit& b : kButtons) {
        if (wParam & b.keyBit) bits |= b.protocolBit;
    }
    return bits;
}

std::string HeldButton(uint64_t wParam) {
    for (const ButtonBit& b : kButtons) {
        if (wParam & b.keyBit) return b.name;
    }
    return "none";
}

int MouseModifiers(uint64_t wParam, const ModifierKeys& keys) {
    ModifierKeys mouse = keys;
    mouse.control = wParam & kMkControl;
    mouse.shift = wParam & kMkShift;
    return ModifierBits(mouse);
}

// Left, right and middle buttons each have three messages in a row (down,
// up, double click); the X buttons tell which one in wParam's high word.
const char* ButtonOf(uint32_t message, uint64_t wParam) {
    if (message >= kXButtonDown) return HighWordSigned(wParam) == kXButton1 ? "back" : "forward";
    static const char* const kNames[] = {"left", "right", "middle"};
    return kNames[(message - kLButtonDown) / 3];
}

enum class Press { kDown, kUp, kDouble };

Press PressOf(uint32_t message) {
    const uint32_t first = message >= kXButtonDown ? kXButtonDown : kLButtonDown;
    return static_cast<Press>((message - first) % 3);
}

MouseEventParams PointerEvent(const char* type, int x, int y, uint64_t wParam,
                              const ModifierKeys& keys) {
    MouseEventParams event;
    event.type = type;
    event.x = x;
    event.y = y;
    event.buttons = PressedButtons(wParam);
    event.modifiers = MouseModifiers(wParam, keys);
    return event;
}

// ---- Keyboard ----

constexpr int64_t kExtendedBit = int64_t{1} << 24;
constexpr int64_t kPreviousStateBit = int64_t{1} << 30;

bool IsHighSurrogate(uint64_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(uint64_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsDroppedControl(uint64_t unit) {
    return (unit < 0x20 && unit != '\r' && unit != '\t') || unit == 0x7F;
}

KeyEventParams KeyEvent(uint32_t message, uint64_t wParam, int64_t lParam,
                        const ModifierKeys& keys) {
    const bool down = message == kKeyDown || message == kSysKeyDown;
    const uint32_t virtualKey = static_cast<uint32_t>(wParam & 0xFF);
    const KeyName name = NameOfKey(virtualKey, static_cast<uint32_t>((lParam >> 16) & 0xFF),
                                   lParam & kExtendedBit, keys.shift != keys.capsLock);
    KeyEventParams event;
    event.type = down ? "rawKeyDown" : "keyUp";
    event.windowsVirtualKeyCode = static_cast<int>(virtualKey);
    event.nativeVirtualKeyCode = static_cast<int>(virtualKey);
    event.code = name.code;
    event.key = name.key;
    event.location = name.location;
    event.isKeypad = name.location == 3;
    event.modifiers = ModifierBits(keys);
    event.autoRepeat = down && (lParam & kPreviousStateBit);
    event.isSystemKey = message == kSysKeyDown || message == kSysKeyUp;
    return event;
}

std::optional<KeyEventParams> CharEvent(uint32_t message, uint64_t unit, const ModifierKeys& keys,
                                        CharMemory& chars) {
    const char16_t high = chars.pendingHighSurrogate;
    chars.pendingHighSurrogate = 0;
    if (IsHighSurrogate(unit)) {
        chars.pendingHighSurrogate = static_cast<char16_t>(unit);
        return std::nullopt;
    }
    std::u16string text;
    if (IsLowSurrogate(unit)) {
        if (!high) return std::nullopt;
        text += high;
    } else if (unit > 0xFFFF || IsDroppedControl(unit)) {
        return std::nullopt;
    }
    text += static_cast<char16_t>(unit);

    KeyEventParams event;
    event.type = "char";
    event.text = ToUtf8(text);
    event.unmodifiedText = event.text;
    event.modifiers = ModifierBits(keys);
    event.isSystemKey = message == kSysChar;
    return event;
}

void PutIfSet(nlohmann::json& params, const char* name, const std::string& value) {
    if (!value.empty()) params[name] = value;
}

}  // namespace

int ModifierBits(const ModifierKeys& keys) {
    return (keys.alt ? kAlt : 0) | (keys.control ? kCtrl : 0) | (keys.meta ? kMeta : 0) |
           (keys.shift ? kShift : 0);
}

std::optional<MouseEventParams> MapMouseMessage(uint32_t message, uint64_t wParam, int64_t lParam,
                                                const ModifierKeys& keys, MouseClicks& clicks) {
    const int x = LowWordSigned(lParam);
    const int y = LowWordSigned(lParam >> 16);
    if (message == kMouseMove) {
        MouseEventParams event = PointerEvent("mouseMoved", x, y, wParam, keys);
        event.button = HeldButton(wParam);
        return event;
    }
    const bool button = (message >= kLButtonDown && message <= kMButtonDblClk) ||
                        (message >= kXButtonDown && message <= kXButtonDblClk);
    if (!button) return std::nullopt;

    const Press press = PressOf(message);
    MouseEventParams event =
        PointerEvent(press == Press::kUp ? "mouseReleased" : "mousePressed", x, y, wParam, keys);
    event.button = ButtonOf(message, wParam);
    if (press != Press::kUp) clicks.lastPressCount = press == Press::kDouble ? 2 : 1;
    event.clickCount = clicks.lastPressCount;
    return event;
}

std::optional<MouseEventParams> MapMouseWheel(uint32_t message, uint64_t wParam, int clientX,
                                              int clientY, const ModifierKeys& keys) {
    if (message != kMouseWheel && message != kMouseHWheel) return std::nullopt;
    MouseEventParams event = PointerEvent("mouseWheel", clientX, clientY, wParam, keys);
    const double pixels = HighWordSigned(wParam) * kPixelsPerWheelUnit;
    if (message == kMouseWheel) {
        event.deltaY = -pixels;
    } else {
        event.deltaX = pixels;
    }
    return event;
}

nlohmann::json ToParams(const MouseEventParams& event) {
    nlohmann::json params = {{"type", event.type},
                             {"x", event.x},
                             {"y", event.y},
                             {"button", event.button},
                             {"buttons", event.buttons},
                             {"clickCount", event.clickCount},
                             {"modifiers", event.modifiers}};
    if (event.type == "mouseWheel") {
        params["deltaX"] = event.deltaX;
        params["deltaY"] = event.deltaY;
    }
    return params;
}

std::optional<KeyEventParams> MapKeyMessage(uint32_t message, uint64_t wParam, int64_t lParam,
                                            const ModifierKeys& keys, CharMemory& chars) {
    switch (message) {
        case kKeyDown:
        case kKeyUp:
        case kSysKeyDown:
        case kSysKeyUp:
            return KeyEvent(message, wParam, lParam, keys);
        case kChar:
        case kSysChar:
            return CharEvent(message, wParam, keys, chars);
        default:
            return std::nullopt;
    }
}

nlohmann::json ToParams(const KeyEventParams& event) {
    nlohmann::json params = {{"type", event.type}, {"modifiers", event.modifiers}};
    if (event.windowsVirtualKeyCode) {
        params["windowsVirtualKeyCode"] = event.windowsVirtualKeyCode;
        params["nativeVirtualKeyCode"] = event.nativeVirtualKeyCode;
    }
    PutIfSet(params, "code", event.code);
    PutIfSet(params, "key", event.key);
    PutIfSet(params, "text", event.text);
    PutIfSet(params, "unmodifiedText", event.unmodifiedText);
    if (event.location) params["location"] = event.location;
    if (event.autoRepeat) params["autoRepeat"] = true;
    if (event.isKeypad) params["isKeypad"] = true;
    if (event.isSystemKey) params["isSystemKey"] = true;
    return params;
}

nlohmann::json InsertTextParams(const std::u16string& committed) {
    return {{"text", ToUtf8(committed)}};
}

}  // namespace cefimpl::chromium
