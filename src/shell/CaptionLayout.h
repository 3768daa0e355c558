// Geometry and looks of the game window's self-drawn caption: where each
// caption button sits and reacts, which picture it shows, where the game tab's
// label goes, and where the tiled caption and border pieces are drawn.
// Portable: the frame feeds in window sizes, cursor and mouse state, so all of
// it can be checked without a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "layout/LayoutConfig.h"

// Height of the strip reserved above the client area; client points above it
// count as caption, so the window is dragged (never sized) from its top.
constexpr int32_t kCaptionStripHeight = 26;

// Width of the game tab's label box; the text is clipped to it.
constexpr int32_t kLabelBoxWidth = 500;

// The placement rule that anchors a button to the window's right edge.
constexpr int32_t kAnchorRightFlag = 2;

// True for a point in client coordinates that lies in the caption strip.
bool InCaptionStrip(int32_t clientY);

// The button's rectangle in window coordinates for a window `windowWidth`
// wide. Values that would leave the 32-bit range saturate.
LayoutRect ButtonRectInWindow(const ButtonItem& item, int32_t windowWidth);

// Left and top edges inclusive, right and bottom exclusive.
bool RectContains(const LayoutRect& rect, int32_t x, int32_t y);

// The first button, in list order, whose window rectangle holds (x, y); null
// when none does. Earlier buttons win where rectangles overlap.
const ButtonItem* ButtonAt(const std::vector<ButtonItem>& buttons, int32_t windowWidth, int32_t x,
                           int32_t y);

// The action of ButtonAt, or 0 when no button holds the point.
int32_t ActionAt(const std::vector<ButtonItem>& buttons, int32_t windowWidth, int32_t x, int32_t y);

struct PressResult {
    // True when the press belongs to a button and must not start a drag.
    bool consumed = false;
    // The remembered pressed action after this press.
    int32_t pressedAction = 0;
};

// A left press in the non-client area at window point (x, y), given the
// action remembered from earlier presses. A press beside every button keeps
// the remembered action, so a later release is still compared against it.
PressResult OnCaptionPress(const std::vector<ButtonItem>& buttons, int32_t windowWidth, int32_t x,
                           int32_t y, int32_t pressedAction);

// A left release at window point (x, y): the action to post when press and
// release landed on buttons with the same action, otherwise 0 (nothing).
int32_t OnCaptionRelease(const std::vector<ButtonItem>& buttons, int32_t windowWidth, int32_t x,
                         int32_t y, int32_t pressedAction);

// What the frame knows about the moment of drawing.
struct CaptionState {
    int32_t cursorX = 0;  // window coordinates
    int32_t cursorY = 0;
    bool mousePressed = false;   // primary button currently down
    std::u16string activeTitle;  // title of the active document, empty for none
    bool maximised = false;
};

struct CaptionButtonLook {
    int32_t picture = 0;
    bool label = false;  // the server text follows the picture
    LayoutRect rect;     // the reacting rectangle; the picture's top-left corner
};

// The picture a caption button shows: its mouse look, overridden for tabs by
// the panel on show, and the maximised variant of the maximise toggle.
CaptionButtonLook ChooseButtonLook(const ButtonItem& item, int32_t windowWidth,
                                   const CaptionState& state);

// Where the game tab's label is drawn: right of its picture, one pixel down.
LayoutRect LabelBox(const LayoutRect& buttonRect, int32_t pictureWidth, int32_t pictureHeight);

// The game tab's label text: a space, then the server text. The text ends at
// its first NUL, as a C-string format would end it.
std::u16string CaptionLabel(const std::u16string& serverText);

// Positions start, start + step, ... below `limit`. Empty when `step` is not
// positive, since such a piece would never reach the limit.
std::vector<int32_t> TilePositions(int32_t start, int32_t step, int32_t limit);

// x positions of the repeated middle caption piece, after the left end
// (`leftWidth` 0 when that picture is missing).
std::vector<int32_t> CaptionMiddleTiles(int32_t leftWidth, int32_t pieceWidth, int32_t windowWidth);

// y positions of the side edge pieces (drawn at both the left and right edge).
std::vector<int32_t> EdgeTiles(int32_t pieceHeight, int32_t windowHeight);

// x positions of the bottom edge pieces.
std::vector<int32_t> BottomTiles(int32_t pieceWidth, int32_t windowWidth);
