#include "shell/CaptionLayout.h"

#include <limits>

namespace {
// Layout values come from a document and window sizes from the system, so sums
// are formed in 64 bits and clamped rather than left to overflow.
int32_t Saturate(int64_t value) {
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value < kMin ? kMin : (value > kMax ? kMax : value));
}

int32_t SaturatedAdd(int32_t a, int32_t b) { return Saturate(static_cast<int64_t>(a) + b); }

// The tab that is pressed while `title` is the active document: the forum and
// homepage tabs by their names, the game tab for every other title.
int32_t TabShownFor(const std::u16string& title) {
    if (title == u"bbs") return kActionBbsPanel;
    if (title == u"homepage") return kActionHomepagePanel;
    return kActionGamePanel;
}

// Tabs are the buttons below 1000; the window-control buttons are above.
constexpr int32_t kFirstWindowAction = 1000;

// The maximise toggle's pictures for the maximised frame lie 3 ids below.
constexpr int32_t kMaximisedPictureOffset = 3;
}  // namespace

bool InCaptionStrip(int32_t clientY) { return clientY < kCaptionStripHeight; }

LayoutRect ButtonRectInWindow(const ButtonItem& item, int32_t windowWidth) {
    if (item.flag != kAnchorRightFlag) return item.rect;
    const int64_t shift =
        static_cast<int64_t>(windowWidth) - 2 * static_cast<int64_t>(item.rect.left);
    LayoutRect moved = item.rect;
    moved.left = Saturate(item.rect.left + shift);
    moved.right = Saturate(item.rect.right + shift);
    return moved;
}

bool RectContains(const LayoutRect& rect, int32_t x, int32_t y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

const ButtonItem* ButtonAt(const std::vector<ButtonItem>& buttons, int32_t windowWidth, int32_t x,
                           int32_t y) {
    for (const ButtonItem& item : buttons) {
        if (RectContains(ButtonRectInWindow(item, windowWidth), x, y)) return &item;
    }
    return nullptr;
}

int32_t ActionAt(const std::vector<ButtonItem>& buttons, int32_t windowWidth, int32_t x,
                 int32_t y) {
    const ButtonItem* item = ButtonAt(buttons, windowWidth, x, y);
    return item ? item->action : 0;
}

PressResult OnCaptionPress(const std::vector<ButtonItem>& buttons, int32_t windowWidth, int32_t x,
                           int32_t y, int32_t pressedAction) {
    PressResult result;
    result.pressedAction = pressedAction;
    const ButtonItem* item = ButtonAt(buttons, windowWidth, x, y);
    if (!item) return result;
    result.pressedAction = item->action;
    result.consumed = item->action != 0;
    return result;
}

int32_t OnCaptionRelease(const std::vector<ButtonItem>& buttons, int32_t windowWidth, int32_t x,
                         int32_t y, int32_t pressedAction) {
    const int32_t action = ActionAt(buttons, windowWidth, x, y);
    return action == pressedAction ? action : 0;
}

CaptionButtonLook ChooseButtonLook(const ButtonItem& item, int32_t windowWidth,
                                   const CaptionState& state) {
    CaptionButtonLook look;
    look.rect = ButtonRectInWindow(item, windowWidth);
    look.picture = item.normal;
    if (RectContains(look.rect, state.cursorX, state.cursorY)) {
        look.picture = state.mousePressed ? item.pressed : item.hover;
    }
    if (item.action < kFirstWindowAction) {
        if (item.action == TabShownFor(state.activeTitle)) {
            look.picture = item.pressed;
            look.label = item.action == kActionGamePanel;
        }
    } else if (item.action == kActionMaximizeToggle && state.maximised) {
        look.picture = Saturate(static_cast<int64_t>(look.picture) - kMaximisedPictureOffset);
    }
    return look;
}

LayoutRect LabelBox(const LayoutRect& buttonRect, int32_t pictureWidth, int32_t pictureHeight) {
    LayoutRect box;
    box.left = SaturatedAdd(buttonRect.left, pictureWidth);
    box.top = SaturatedAdd(buttonRect.top, 1);
    box.right = SaturatedAdd(box.left, kLabelBoxWidth);
    box.bottom = SaturatedAdd(box.top, pictureHeight);
    return box;
}

std::u16string CaptionLabel(const std::u16string& serverText) {
    return u" " + serverText.substr(0, serverText.find(u'\0'));
}

std::vector<int32_t> TilePositions(int32_t start, int32_t step, int32_t limit) {
    std::vector<int32_t> positions;
    if (step <= 0) return positions;
    for (int64_t at = start; at < limit; at += step) {
        positions.push_back(static_cast<int32_t>(at));
    }
    return positions;
}

std::vector<int32_t> CaptionMiddleTiles(int32_t leftWidth, int32_t pieceWidth,
                                        int32_t windowWidth) {
    return TilePositions(leftWidth, pieceWidth, windowWidth);
}

std::vector<int32_t> EdgeTiles(int32_t pieceHeight, int32_t windowHeight) {
    return TilePositions(0, pieceHeight, windowHeight);
}

std::vector<int32_t> BottomTiles(int32_t pieceWidth, int32_t windowWidth) {
    return TilePositions(0, pieceWidth, windowWidth);
}
