// Win32 mouse, keyboard and IME input as DevTools input parameters.
#include "cef/backend/chromium/InputMapping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace cefimpl::chromium;
using nlohmann::json;

constexpr uint32_t WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_SYSKEYDOWN = 0x0104,
                   WM_SYSCHAR = 0x0106, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201,
                   WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204,
                   WM_RBUTTONUP = 0x0205, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
                   WM_MOUSEWHEEL = 0x020A, WM_XBUTTONDOWN = 0x020B, WM_XBUTTONUP = 0x020C,
                   WM_MOUSEHWHEEL = 0x020E;
constexpr uint64_t MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8,
                   MK_MBUTTON = 0x10, MK_XBUTTON1 = 0x20, MK_XBUTTON2 = 0x40;

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
        {WM_LBUTTONDOWN, MK_LBUTTON, "mousePressed", "left", 1, 1},
        {WM_LBUTTONUP, 0, "mouseReleased", "left", 0, 1},
        {WM_RBUTTONDOWN, MK_RBUTTON, "mousePressed", "right", 2, 1},
        {WM_RBUTTONUP, MK_LBUTTON, "mouseReleased", "right", 1, 1},
        {WM_MBUTTONDOWN, MK_MBUTTON, "mousePressed", "middle", 4, 1},
        {WM_MBUTTONUP, 0, "mouseReleased", "middle", 0, 1},
        {WM_XBUTTONDOWN, HighWord(1) | MK_XBUTTON1, "mousePressed", "back", 8, 1},
        {WM_XBUTTONDOWN, HighWord(2) | MK_XBUTTON2, "mousePressed", "forward", 16, 1},
        {WM_XBUTTONUP, HighWord(2), "mouseReleased", "forward", 0, 1},
        {WM_MOUSEMOVE, 0, "mouseMoved", "none", 0, 0},
        {WM_MOUSEMOVE, MK_RBUTTON | MK_LBUTTON, "mouseMoved", "left", 3, 0},  // a drag
        {WM_MOUSEMOVE, MK_RBUTTON, "mouseMoved", "right", 2, 0},
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
    const auto event = MapMouseMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(-5, -1), {}, clicks);
    EXPECT_EQ(event->x, -5);
    EXPECT_EQ(event->y, -1);
}

TEST(InputMapping, ADoubleClickCountsTwoOnPressAndRelease) {
    MouseClicks clicks;
    std::vector<int> counts;
    for (uint32_t message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                             WM_LBUTTONDOWN, WM_LBUTTONUP}) {
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
        {MK_CONTROL, {}, 2}, {MK_SHIFT, {}, 8},    {MK_CONTROL | MK_SHIFT, alt, 11},
        {0, meta, 4},        {0, staleControl, 0},  // the message's bits are what held at the click
    };
    for (const ModifierCase& c : cases) {
        MouseClicks clicks;
        EXPECT_EQ(MapMouseMessage(WM_LBUTTONDOWN, c.wParam, 0, c.keys, clicks)->modifiers,
                  c.modifiers)
            << c.wParam;
        EXPECT_EQ(MapMouseWheel(WM_MOUSEWHEEL, c.wParam, 0, 0, c.keys)->modifiers, c.modifiers)
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
        {WM_MOUSEWHEEL, 120, 0, -100}, {WM_MOUSEWHEEL, -120, 0, 100}, {WM_MOUSEWHEEL, 240, 0, -200},
        {WM_MOUSEWHEEL, 30, 0, -25},   {WM_MOUSEHWHEEL, 120, 100, 0}, {WM_MOUSEHWHEEL, -60, -50, 0},
    };
    for (const WheelCase& c : cases) {
        const auto event = MapMouseWheel(c.message, HighWord(c.delta) | MK_LBUTTON, 30, 40, {});
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
         {0x01FFu, WM_MOUSEWHEEL, WM_MOUSEHWHEEL, 0x020Fu, WM_KEYDOWN, 0x02A3u}) {
        EXPECT_FALSE(MapMouseMessage(message, 0, 0, {}, clicks)) << message;
    }
    EXPECT_FALSE(MapMouseWheel(WM_MOUSEMOVE, 0, 0, 0, {}));
}

TEST(InputMapping, MouseParametersAsSent) {
    MouseClicks clicks;
    EXPECT_EQ(ToParams(*MapMouseMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, Point(3, 4), {}, clicks)),
              json::parse(R"({"type":"mousePressed","x":3,"y":4,"button":"left","buttons":1,
                              "clickCount":2,"modifiers":0})"));
    EXPECT_EQ(ToParams(*MapMouseWheel(WM_MOUSEWHEEL, HighWord(120), 3, 4, {})),
              json::parse(R"({"type":"mouseWheel","x":3,"y":4,"button":"none","buttons":0,
                              "clickCount":0,"modifiers":0,"deltaX":0.0,"deltaY":-100.0})"));
}

// ---- Keyboard ----

TEST(InputMapping, KeyDownAndUpCarryCodesAndNames) {
    CharMemory chars;
    ModifierKeys shift;
    shift.shift = true;
    const auto down = MapKeyMessage(WM_KEYDOWN, 'A', KeyFlags(0x1E), shift, chars);
    ASSERT_TRUE(down);
    EXPECT_EQ(ToParams(*down), json::parse(R"({"type":"rawKeyDown","windowsVirtualKeyCode":65,
        "nativeVirtualKeyCode":65,"code":"KeyA","key":"A","modifiers":8})"));
    // A key's release has its "was down" bit set, and is still no repeat.
    const auto up =
        MapKeyMessage(WM_KEYUP, 0x0D, KeyFlags(0x1C, true, true) | int64_t{1} << 31, {}, chars);
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
        EXPECT_EQ(MapKeyMessage(WM_KEYDOWN, 'Q', KeyFlags(0x10), keys, chars)->key, c.key);
    }
}

TEST(InputMapping, HeldKeysRepeatAndAltKeysAreSystemKeys) {
    CharMemory chars;
    EXPECT_FALSE(MapKeyMessage(WM_KEYDOWN, 0x28, KeyFlags(0x50, true), {}, chars)->autoRepeat);
    EXPECT_TRUE(MapKeyMessage(WM_KEYDOWN, 0x28, KeyFlags(0x50, true, true), {}, chars)->autoRepeat);
    ModifierKeys alt;
    alt.alt = true;
    const auto altF4 = MapKeyMessage(WM_SYSKEYDOWN, 0x73, KeyFlags(0x3E), alt, chars);
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
            const auto event = MapKeyMessage(WM_CHAR, unit, KeyFlags(0), {}, chars);
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
    EXPECT_EQ(ToParams(*MapKeyMessage(WM_CHAR, 'x', KeyFlags(0x2D), {}, chars)),
              json::parse(R"({"type":"char","text":"x","unmodifiedText":"x","modifiers":0})"));
    EXPECT_EQ(
        ToParams(*MapKeyMessage(WM_SYSCHAR, 'f', KeyFlags(0x21), alt, chars)),
        json::parse(
            R"({"type":"char","text":"f","unmodifiedText":"f","modifiers":1,"isSystemKey":true})"));
}

TEST(InputMapping, OtherMessagesAreNotKeyInput) {
    CharMemory chars;
    for (uint32_t message : {0x0103u, 0x0107u, WM_MOUSEMOVE, 0x010Du}) {
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
