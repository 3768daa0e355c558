// Win32 mouse, keyboard and IME input as DevTools input parameters.
#include "cef/backend/chromium/InputMapping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace cefimpl::chromium;
using nlohmann::json;

// The message numbers and key bits of windows.h, under names of our own so
// that they never meet its macros.
constexpr uint32_t kWmKeyDown = 0x0100, kWmKeyUp = 0x0101, kWmChar = 0x0102, kWmSysKeyDown = 0x0104,
                   kWmSysChar = 0x0106, kWmMouseMove = 0x0200, kWmLButtonDown = 0x0201,
                   kWmLButtonUp = 0x0202, kWmLButtonDblClk = 0x0203, kWmRButtonDown = 0x0204,
                   kWmRButtonUp = 0x0205, kWmMButtonDown = 0x0207, kWmMButtonUp = 0x0208,
                   kWmMouseWheel = 0x020A, kWmXButtonDown = 0x020B, kWmXButtonUp = 0x020C,
                   kWmMouseHWheel = 0x020E;
constexpr uint64_t kMkLButton = 0x1, kMkRButton = 0x2, kMkShift = 0x4, kMkControl = 0x8,
                   kMkMButton = 0x10, kMkXButton1 = 0x20, kMkXButton2 = 0x40;

int64_t Point(int x, int y) { return (static_cast<int64_t>(y & 0xFFFF) << 16) | (x & 0xFFFF); }
uint64_t HighWord(int value) { return static_cast<uint64_t>(value & 0xFFFF) << 16; }
// A key message's lParam: repeat count 1, the scan code, and the flags.
int64_t KeyFlags(uint32_t scanCode, bool extended = false, bool wasDown = false) {
    return 1 | (int64_t{scanCode} << 16) | (extended ? int64_t{1} << 24 : 0) |
           (wasDown ? int64_t{1} << 30 : 0);
}

// ---- Mouse ----

struct ButtonCase {
    uint32_t message;
    uint64_t wParam;
    const char* type;
    const char* button;
    int buttons;
    int clickCount;
};

TEST(InputMapping, MouseButtonsAndMoves) {
    const ButtonCase cases[] = {
        {kWmLButtonDown, kMkLButton, "mousePressed", "left", 1, 1},
        {kWmLButtonUp, 0, "mouseReleased", "left", 0, 1},
        {kWmRButtonDown, kMkRButton, "mousePressed", "right", 2, 1},
        {kWmRButtonUp, kMkLButton, "mouseReleased", "right", 1, 1},
        {kWmMButtonDown, kMkMButton, "mousePressed", "middle", 4, 1},
        {kWmMButtonUp, 0, "mouseReleased", "middle", 0, 1},
        {kWmXButtonDown, HighWord(1) | kMkXButton1, "mousePressed", "back", 8, 1},
        {kWmXButtonDown, HighWord(2) | kMkXButton2, "mousePressed", "forward", 16, 1},
        {kWmXButtonUp, HighWord(2), "mouseReleased", "forward", 0, 1},
        {kWmMouseMove, 0, "mouseMoved", "none", 0, 0},
        {kWmMouseMove, kMkRButton | kMkLButton, "mouseMoved", "left", 3, 0},  // a drag
        {kWmMouseMove, kMkRButton, "mouseMoved", "right", 2, 0},
    };
    for (const ButtonCase& c : cases) {
        MouseClicks clicks;
        const auto event = MapMouseMessage(c.message, c.wParam, Point(10, 20), {}, clicks);
        ASSERT_TRUE(event) << c.message;
        EXPECT_EQ(event->type, c.type) << c.message;
        EXPECT_EQ(event->button, c.button) << c.message << " " << c.wParam;
        EXPECT_EQ(event->buttons, c.buttons) << c.message << " " << c.wParam;
        EXPECT_EQ(event->clickCount, c.clickCount) << c.message;
        EXPECT_EQ(event->x, 10);
        EXPECT_EQ(event->y, 20);
    }
}

TEST(InputMapping, PointsLeftOfOrAboveTheWindowAreNegative) {
    // Under mouse capture a drag goes on outside the client area.
    MouseClicks clicks;
    const auto event = MapMouseMessage(kWmMouseMove, kMkLButton, Point(-5, -1), {}, clicks);
    EXPECT_EQ(event->x, -5);
    EXPECT_EQ(event->y, -1);
}

TEST(InputMapping, ADoubleClickCountsTwoOnPressAndRelease) {
    MouseClicks clicks;
    std::vector<int> counts;
    for (uint32_t message : {kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmLButtonUp,
                             kWmLButtonDown, kWmLButtonUp}) {
        counts.push_back(MapMouseMessage(message, 0, Point(1, 1), {}, clicks)->clickCount);
    }
    EXPECT_EQ(counts, (std::vector<int>{1, 1, 2, 2, 1, 1}));
}

TEST(InputMapping, MouseModifiersTakeCtrlAndShiftFromTheMessage) {
    struct ModifierCase {
        uint64_t wParam;
        ModifierKeys keys;
        int modifiers;
    };
    ModifierKeys alt, meta, staleControl;
    alt.alt = true;
    meta.meta = true;
    staleControl.control = true;
    const ModifierCase cases[] = {
        {kMkControl, {}, 2}, {kMkShift, {}, 8},    {kMkControl | kMkShift, alt, 11},
        {0, meta, 4},        {0, staleControl, 0},  // the message's bits are what held at the click
    };
    for (const ModifierCase& c : cases) {
        MouseClicks clicks;
        EXPECT_EQ(MapMouseMessage(kWmLButtonDown, c.wParam, 0, c.keys, clicks)->modifiers,
                  c.modifiers)
            << c.wParam;
        EXPECT_EQ(MapMouseWheel(kWmMouseWheel, c.wParam, 0, 0, c.keys)->modifiers, c.modifiers)
            << c.wParam;
    }
}

struct WheelCase {
    uint32_t message;
    int delta;
    double deltaX;
    double deltaY;
};

TEST(InputMapping, WheelAwayFromTheUserScrollsUp) {
    const WheelCase cases[] = {
        {kWmMouseWheel, 120, 0, -100}, {kWmMouseWheel, -120, 0, 100}, {kWmMouseWheel, 240, 0, -200},
        {kWmMouseWheel, 30, 0, -25},   {kWmMouseHWheel, 120, 100, 0}, {kWmMouseHWheel, -60, -50, 0},
    };
    for (const WheelCase& c : cases) {
        const auto event = MapMouseWheel(c.message, HighWord(c.delta) | kMkLButton, 30, 40, {});
        ASSERT_TRUE(event);
        EXPECT_EQ(event->type, "mouseWheel");
        EXPECT_DOUBLE_EQ(event->deltaX, c.deltaX) << c.message << " " << c.delta;
        EXPECT_DOUBLE_EQ(event->deltaY, c.deltaY) << c.message << " " << c.delta;
        EXPECT_EQ(event->x, 30);
        EXPECT_EQ(event->y, 40);
        EXPECT_EQ(event->buttons, 1);
    }
}

TEST(InputMapping, OtherMessagesAreNotMouseInput) {
    MouseClicks clicks;
    for (uint32_t message :
         {0x01FFu, kWmMouseWheel, kWmMouseHWheel, 0x020Fu, kWmKeyDown, 0x02A3u}) {
        EXPECT_FALSE(MapMouseMessage(message, 0, 0, {}, clicks)) << message;
    }
    EXPECT_FALSE(MapMouseWheel(kWmMouseMove, 0, 0, 0, {}));
}

TEST(InputMapping, MouseParametersAsSent) {
    MouseClicks clicks;
    EXPECT_EQ(ToParams(*MapMouseMessage(kWmLButtonDblClk, kMkLButton, Point(3, 4), {}, clicks)),
              json::parse(R"({"type":"mousePressed","x":3,"y":4,"button":"left","buttons":1,
                              "clickCount":2,"modifiers":0})"));
    EXPECT_EQ(ToParams(*MapMouseWheel(kWmMouseWheel, HighWord(120), 3, 4, {})),
              json::parse(R"({"type":"mouseWheel","x":3,"y":4,"button":"none","buttons":0,
                              "clickCount":0,"modifiers":0,"deltaX":0.0,"deltaY":-100.0})"));
}

// ---- Keyboard ----

TEST(InputMapping, KeyDownAndUpCarryCodesAndNames) {
    CharMemory chars;
    ModifierKeys shift;
    shift.shift = true;
    const auto down = MapKeyMessage(kWmKeyDown, 'A', KeyFlags(0x1E), shift, chars);
    ASSERT_TRUE(down);
    EXPECT_EQ(ToParams(*down), json::parse(R"({"type":"rawKeyDown","windowsVirtualKeyCode":65,
        "nativeVirtualKeyCode":65,"code":"KeyA","key":"A","modifiers":8})"));
    // A key's release has its "was down" bit set, and is still no repeat.
    const auto up =
        MapKeyMessage(kWmKeyUp, 0x0D, KeyFlags(0x1C, true, true) | int64_t{1} << 31, {}, chars);
    EXPECT_EQ(ToParams(*up), json::parse(R"({"type":"keyUp","windowsVirtualKeyCode":13,
        "nativeVirtualKeyCode":13,"code":"NumpadEnter","key":"Enter","modifiers":0,"location":3,"isKeypad":true})"));
}

TEST(InputMapping, LetterKeysFollowShiftAndCapsLock) {
    struct LetterCase {
        bool shift;
        bool capsLock;
        const char* key;
    };
    const LetterCase cases[] = {
        {false, false, "q"}, {true, false, "Q"}, {false, true, "Q"}, {true, true, "q"}};
    for (const LetterCase& c : cases) {
        CharMemory chars;
        ModifierKeys keys;
        keys.shift = c.shift;
        keys.capsLock = c.capsLock;
        EXPECT_EQ(MapKeyMessage(kWmKeyDown, 'Q', KeyFlags(0x10), keys, chars)->key, c.key);
    }
}

TEST(InputMapping, HeldKeysRepeatAndAltKeysAreSystemKeys) {
    CharMemory chars;
    EXPECT_FALSE(MapKeyMessage(kWmKeyDown, 0x28, KeyFlags(0x50, true), {}, chars)->autoRepeat);
    EXPECT_TRUE(MapKeyMessage(kWmKeyDown, 0x28, KeyFlags(0x50, true, true), {}, chars)->autoRepeat);
    ModifierKeys alt;
    alt.alt = true;
    const auto altF4 = MapKeyMessage(kWmSysKeyDown, 0x73, KeyFlags(0x3E), alt, chars);
    EXPECT_TRUE(altF4->isSystemKey);
    EXPECT_EQ(altF4->modifiers, 1);
    EXPECT_EQ(altF4->code, "F4");
}

struct CharCase {
    const char* what;
    std::vector<uint64_t> units;
    std::vector<std::string> texts;
};

TEST(InputMapping, CharactersBecomeTextWithSurrogatesJoined) {
    const CharCase cases[] = {
        {"letter", {'a'}, {"a"}},
        {"CJK", {0x4E2D}, {"\xE4\xB8\xAD"}},
        {"pair", {0xD83D, 0xDE00}, {"\xF0\x9F\x98\x80"}},
        {"lone low half", {0xDE00, 'b'}, {"b"}},
        {"high half then a letter", {0xD83D, 'a'}, {"a"}},
        {"two high halves", {0xD83D, 0xD83D, 0xDE00}, {"\xF0\x9F\x98\x80"}},
        {"Enter and Tab", {'\r', '\t'}, {"\r", "\t"}},
        {"control characters", {0x08, 0x1B, 0x01, 0x7F, 0x00}, {}},
    };
    for (const CharCase& c : cases) {
        CharMemory chars;
        std::vector<std::string> texts;
        for (uint64_t unit : c.units) {
            const auto event = MapKeyMessage(kWmChar, unit, KeyFlags(0), {}, chars);
            if (!event) continue;
            EXPECT_EQ(event->type, "char") << c.what;
            EXPECT_EQ(event->unmodifiedText, event->text) << c.what;
            texts.push_back(event->text);
        }
        EXPECT_EQ(texts, c.texts) << c.what;
    }
}

TEST(InputMapping, CharParametersAsSent) {
    CharMemory chars;
    ModifierKeys alt;
    alt.alt = true;
    EXPECT_EQ(ToParams(*MapKeyMessage(kWmChar, 'x', KeyFlags(0x2D), {}, chars)),
              json::parse(R"({"type":"char","text":"x","unmodifiedText":"x","modifiers":0})"));
    EXPECT_EQ(
        ToParams(*MapKeyMessage(kWmSysChar, 'f', KeyFlags(0x21), alt, chars)),
        json::parse(
            R"({"type":"char","text":"f","unmodifiedText":"f","modifiers":1,"isSystemKey":true})"));
}

TEST(InputMapping, OtherMessagesAreNotKeyInput) {
    CharMemory chars;
    for (uint32_t message : {0x0103u, 0x0107u, kWmMouseMove, 0x010Du}) {
        EXPECT_FALSE(MapKeyMessage(message, 'a', 0, {}, chars)) << message;
    }
}

// ---- IME ----

TEST(InputMapping, CommittedImeTextIsInsertedAsUtf8) {
    EXPECT_EQ(InsertTextParams(u"\u4E2D\u6587"), json::parse(R"({"text":"中文"})"));
    EXPECT_EQ(InsertTextParams(u"\U0001F600"), json::parse(R"({"text":"😀"})"));
    EXPECT_EQ(InsertTextParams(std::u16string(1, u'\xD83D')), json::parse(R"({"text":"\ufffd"})"));
}

}  // namespace
