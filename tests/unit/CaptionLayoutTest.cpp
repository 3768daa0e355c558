#include "shell/CaptionLayout.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>
#include <vector>

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

using Edges = std::array<int32_t, 4>;
Edges EdgesOf(const LayoutRect& r) { return {r.left, r.top, r.right, r.bottom}; }

ButtonItem Button(int32_t x, int32_t y, int32_t w, int32_t h, std::array<int32_t, 3> looks,
                  int32_t action, int32_t flag) {
    ButtonItem item;
    item.rect = {x, y, x + w, y + h};
    item.normal = looks[0];
    item.hover = looks[1];
    item.pressed = looks[2];
    item.action = action;
    item.flag = flag;
    return item;
}

// The shipped layout's game window buttons, in document order.
const ButtonItem kMinimise = Button(64, 5, 19, 19, {1040, 1042, 1041}, 1001, 2);
const ButtonItem kClose = Button(24, 5, 19, 19, {1030, 1032, 1031}, 1002, 2);
const ButtonItem kRevert = Button(44, 5, 19, 19, {1053, 1055, 1054}, 1003, 2);
const ButtonItem kMenu = Button(84, 5, 19, 19, {1060, 1062, 1061}, 107, 2);
const ButtonItem kHotkey = Button(169, 5, 19, 19, {1063, 1063, 1063}, 108, 2);
const ButtonItem kGameTab = Button(8, 7, 88, 17, {1120, 1120, 1120}, 101, 0);
const std::vector<ButtonItem> kShipped = {kMinimise, kClose, kRevert, kMenu, kHotkey, kGameTab};

constexpr int32_t kWidth = 1024;

TEST(ButtonRectInWindow, PlacesShippedButtons) {
    struct Case {
        const ButtonItem* item;
        int32_t width;
        Edges expected;
    } cases[] = {
        {&kClose, kWidth, {1000, 5, 1019, 24}},  {&kRevert, kWidth, {980, 5, 999, 24}},
        {&kMinimise, kWidth, {960, 5, 979, 24}}, {&kMenu, kWidth, {940, 5, 959, 24}},
        {&kHotkey, kWidth, {855, 5, 874, 24}},   {&kGameTab, kWidth, {8, 7, 96, 24}},
        {&kClose, 1280, {1256, 5, 1275, 24}},    {&kGameTab, 1280, {8, 7, 96, 24}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EdgesOf(ButtonRectInWindow(*c.item, c.width)), c.expected)
            << "action " << c.item->action << " width " << c.width;
    }
}

TEST(ButtonRectInWindow, OnlyFlagTwoAnchorsRight) {
    for (int32_t flag : {0, 1, 3, -2}) {
        ButtonItem item = Button(24, 5, 19, 19, {1, 2, 3}, 1002, flag);
        EXPECT_EQ(EdgesOf(ButtonRectInWindow(item, kWidth)), (Edges{24, 5, 43, 24})) << flag;
    }
}

TEST(ButtonRectInWindow, SaturatesInsteadOfWrapping) {
    ButtonItem farLeft = Button(0, 5, 19, 19, {1, 2, 3}, 1002, 2);
    farLeft.rect.left = kMin;
    farLeft.rect.right = kMin + 19;
    EXPECT_EQ(EdgesOf(ButtonRectInWindow(farLeft, kMax)), (Edges{kMax, 5, kMax, 24}));

    ButtonItem farRight = Button(0, 5, 0, 19, {1, 2, 3}, 1002, 2);
    farRight.rect.left = kMax;
    farRight.rect.right = kMax;
    EXPECT_EQ(EdgesOf(ButtonRectInWindow(farRight, kMin)), (Edges{kMin, 5, kMin, 24}));
}

TEST(RectContains, IncludesLeftTopExcludesRightBottom) {
    const LayoutRect r = {10, 20, 30, 40};
    struct Case {
        int32_t x, y;
        bool inside;
    } cases[] = {
        {10, 20, true}, {29, 39, true},  {30, 20, false},     {10, 40, false},
        {9, 20, false}, {10, 19, false}, {kMin, kMin, false}, {kMax, kMax, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RectContains(r, c.x, c.y), c.inside) << c.x << "," << c.y;
    }
    EXPECT_FALSE(RectContains({5, 5, 5, 9}, 5, 6)) << "an empty rectangle holds nothing";
    EXPECT_FALSE(RectContains({9, 9, 5, 5}, 7, 7)) << "an inverted rectangle holds nothing";
}

TEST(ActionAt, FindsShippedButtonsAtWidth1024) {
    struct Case {
        int32_t x, y, action;
    } cases[] = {
        {1000, 5, 1002}, {1018, 23, 1002}, {999, 5, 0},    {1019, 5, 0},  {1000, 4, 0},
        {1000, 24, 0},   {998, 23, 1003},  {960, 5, 1001}, {855, 5, 108}, {873, 23, 108},
        {874, 5, 0},     {903, 5, 0},      {8, 7, 101},    {95, 23, 101}, {96, 7, 0},
        {7, 7, 0},       {500, 10, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ActionAt(kShipped, kWidth, c.x, c.y), c.action) << c.x << "," << c.y;
    }
    EXPECT_EQ(ActionAt({}, kWidth, 1000, 5), 0);
}

TEST(ActionAt, EarlierButtonWinsWhereRectanglesOverlap) {
    const ButtonItem blank = Button(0, 0, 50, 20, {1, 1, 1}, 0, 0);
    const ButtonItem tab = Button(10, 0, 50, 20, {2, 2, 2}, 101, 0);
    EXPECT_EQ(ActionAt({tab, blank}, kWidth, 20, 5), 101);
    EXPECT_EQ(ActionAt({blank, tab}, kWidth, 20, 5), 0);
    EXPECT_EQ(ButtonAt({blank, tab}, kWidth, 20, 5)->action, 0);
    EXPECT_EQ(ButtonAt({blank, tab}, kWidth, 55, 5)->action, 101);
    EXPECT_EQ(ButtonAt({blank, tab}, kWidth, 60, 5), nullptr);
}

struct ClickCase {
    const char* name;
    std::vector<ButtonItem> buttons;
    int32_t remembered;  // the pressed action before the press
    int32_t pressX, pressY;
    bool consumed;
    int32_t pressedAction;  // after the press
    int32_t releaseX, releaseY;
    int32_t posted;
};

class CaptionClickTest : public ::testing::TestWithParam<ClickCase> {};

TEST_P(CaptionClickTest, PressThenRelease) {
    const ClickCase& c = GetParam();
    const PressResult press = OnCaptionPress(c.buttons, kWidth, c.pressX, c.pressY, c.remembered);
    EXPECT_EQ(press.consumed, c.consumed);
    EXPECT_EQ(press.pressedAction, c.pressedAction);
    EXPECT_EQ(OnCaptionRelease(c.buttons, kWidth, c.releaseX, c.releaseY, press.pressedAction),
              c.posted);
}

const std::vector<ButtonItem> kBlankOverTab = {Button(200, 0, 50, 20, {1, 1, 1}, 0, 0),
                                               Button(200, 0, 50, 20, {2, 2, 2}, 101, 0)};

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptionClickTest,
    ::testing::Values(
        ClickCase{"minimise_then_close_does_nothing", kShipped, 0, 965, 10, true, 1001, 1005, 10,
                  0},
        ClickCase{"minimise_twice_posts_minimise", kShipped, 0, 965, 10, true, 1001, 970, 20, 1001},
        ClickCase{"close_then_bare_caption_does_nothing", kShipped, 0, 1005, 10, true, 1002, 500,
                  10, 0},
        ClickCase{"left_of_close_drags", kShipped, 0, 999, 5, false, 0, 999, 5, 0},
        ClickCase{"boss_key_beyond_its_19_pixels_drags", kShipped, 0, 880, 10, false, 0, 880, 10,
                  0},
        ClickCase{"game_tab_click_posts_101", kShipped, 1002, 8, 7, true, 101, 95, 23, 101},
        ClickCase{"press_beside_buttons_keeps_remembered_action", kShipped, 1001, 500, 10, false,
                  1001, 965, 10, 1001},
        ClickCase{"blank_button_takes_the_press_but_drags", kBlankOverTab, 1001, 210, 5, false, 0,
                  210, 5, 0},
        ClickCase{"no_buttons_never_consume", {}, 0, 1005, 10, false, 0, 1005, 10, 0}),
    [](const ::testing::TestParamInfo<ClickCase>& info) { return info.param.name; });

// Tabs with distinct pictures per look, so every choice is visible.
const ButtonItem kGame = Button(8, 7, 88, 17, {11, 12, 13}, 101, 0);
const ButtonItem kBbs = Button(100, 7, 88, 17, {21, 22, 23}, 103, 0);
const ButtonItem kHome = Button(200, 7, 88, 17, {31, 32, 33}, 102, 0);

struct LookCase {
    const char* name;
    const ButtonItem* item;
    CaptionState state;
    int32_t picture;
    bool label;
};

class ChooseButtonLookTest : public ::testing::TestWithParam<LookCase> {};

TEST_P(ChooseButtonLookTest, Picks) {
    const LookCase& c = GetParam();
    const CaptionButtonLook look = ChooseButtonLook(*c.item, kWidth, c.state);
    EXPECT_EQ(look.picture, c.picture);
    EXPECT_EQ(look.label, c.label);
    EXPECT_EQ(EdgesOf(look.rect), EdgesOf(ButtonRectInWindow(*c.item, kWidth)));
}

CaptionState At(int32_t x, int32_t y, bool pressed, std::u16string title, bool maximised = false) {
    return CaptionState{x, y, pressed, std::move(title), maximised};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChooseButtonLookTest,
    ::testing::Values(
        LookCase{"bbs_active_game_tab_normal", &kGame, At(500, 10, false, u"bbs"), 11, false},
        LookCase{"bbs_active_game_tab_hover", &kGame, At(8, 7, false, u"bbs"), 12, false},
        LookCase{"bbs_active_game_tab_held", &kGame, At(95, 23, true, u"bbs"), 13, false},
        LookCase{"bbs_active_forum_tab_pressed", &kBbs, At(500, 10, false, u"bbs"), 23, false},
        LookCase{"homepage_active_home_tab_pressed", &kHome, At(500, 10, false, u"homepage"), 33,
                 false},
        LookCase{"homepage_active_game_tab_normal", &kGame, At(500, 10, false, u"homepage"), 11,
                 false},
        LookCase{"game_active_game_tab_labelled", &kGame, At(500, 10, false, u"game"), 13, true},
        LookCase{"game_active_forum_tab_hover", &kBbs, At(100, 7, false, u"game"), 22, false},
        LookCase{"no_document_counts_as_game", &kGame, At(500, 10, false, u""), 13, true},
        LookCase{"title_compare_is_case_exact", &kBbs, At(500, 10, false, u"BBS"), 21, false},
        LookCase{"shipped_game_tab_labelled", &kGameTab, At(500, 10, false, u"game"), 1120, true},
        LookCase{"menu_is_a_plain_tab", &kMenu, At(940, 5, false, u"game"), 1062, false},
        LookCase{"revert_maximised_hover", &kRevert, At(985, 10, false, u"game", true), 1052,
                 false},
        LookCase{"revert_maximised_held", &kRevert, At(985, 10, true, u"game", true), 1051, false},
        LookCase{"revert_maximised_away", &kRevert, At(500, 10, false, u"game", true), 1050, false},
        LookCase{"revert_restored_hover", &kRevert, At(985, 10, false, u"game"), 1055, false},
        LookCase{"close_ignores_maximised", &kClose, At(500, 10, true, u"game", true), 1030, false},
        LookCase{"held_elsewhere_stays_normal", &kClose, At(999, 10, true, u"game"), 1030, false}),
    [](const ::testing::TestParamInfo<LookCase>& info) { return info.param.name; });

TEST(ChooseButtonLook, MaximisedOffsetSaturates) {
    ButtonItem revert = kRevert;
    revert.normal = kMin + 1;
    EXPECT_EQ(ChooseButtonLook(revert, kWidth, At(0, 0, false, u"", true)).picture, kMin);
}

TEST(LabelBox, FollowsThePicture) {
    EXPECT_EQ(EdgesOf(LabelBox({8, 7, 96, 24}, 24, 24)), (Edges{32, 8, 532, 32}));
    EXPECT_EQ(EdgesOf(LabelBox({8, 7, 96, 24}, 0, 0)), (Edges{8, 8, 508, 8}));
    EXPECT_EQ(EdgesOf(LabelBox({kMax - 10, kMax, kMax, kMax}, 100, 5)),
              (Edges{kMax, kMax, kMax, kMax}));
}

TEST(CaptionLabel, PrefixesASpace) {
    EXPECT_EQ(CaptionLabel(u"S1"), u" S1");
    EXPECT_EQ(CaptionLabel(u""), u" ");
    EXPECT_EQ(CaptionLabel(u"\u4E00\u533A"), u" \u4E00\u533A");
    EXPECT_EQ(CaptionLabel(std::u16string(u"S1\0tail", 7)), u" S1");
}

TEST(InCaptionStrip, CoversTheStripAndTopBorder) {
    EXPECT_TRUE(InCaptionStrip(25));
    EXPECT_TRUE(InCaptionStrip(-30)) << "the top border lies above the client area";
    EXPECT_FALSE(InCaptionStrip(26));
}

TEST(TilePositions, StepsUpToTheLimit) {
    using V = std::vector<int32_t>;
    struct Case {
        int32_t start, step, limit;
        V expected;
    } cases[] = {
        {94, 400, 1024, {94, 494, 894}},
        {0, 400, 800, {0, 400}},
        {0, 120, 728, {0, 120, 240, 360, 480, 600, 720}},
        {0, 104, 1024, {0, 104, 208, 312, 416, 520, 624, 728, 832, 936}},
        {0, 0, 1024, {}},
        {0, -4, 1024, {}},
        {94, 400, 94, {}},
        {0, 4, -5, {}},
        {kMax - 10, 400, kMax, {kMax - 10}},
        {0, 1 << 30, kMax, {0, 1 << 30}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TilePositions(c.start, c.step, c.limit), c.expected)
            << c.start << " step " << c.step << " limit " << c.limit;
    }
}

TEST(TilePositions, FramePieces) {
    using V = std::vector<int32_t>;
    EXPECT_EQ(CaptionMiddleTiles(94, 400, 1024), (V{94, 494, 894}));
    EXPECT_EQ(CaptionMiddleTiles(0, 400, 1024), (V{0, 400, 800})) << "left end missing";
    EXPECT_EQ(CaptionMiddleTiles(94, 0, 1024), V{});
    EXPECT_EQ(EdgeTiles(120, 300), (V{0, 120, 240}));
    EXPECT_EQ(EdgeTiles(0, 300), V{});
    EXPECT_EQ(BottomTiles(104, 300), (V{0, 104, 208}));
    EXPECT_EQ(BottomTiles(-1, 300), V{});
}
}  // namespace
