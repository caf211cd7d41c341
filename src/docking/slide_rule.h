#pragma once
// The slide rule of the sliding task bar: one timer tick, as a pure function.
//
// A main window pushed against the left, top or right screen edge slides
// almost out of sight while the mouse is elsewhere, and slides back in when
// the mouse touches the strip that stays visible. All lengths are twips (one
// screen pixel is 15 twips); left and top count from the desktop's origin, the
// right edge is the right edge of the screen that holds the window.

namespace skyrell {

// Window positions and lengths in twips.
inline constexpr int kTwipsPerPixel = 15;

// The screen edge the window was last found at.
enum class DockSide { Top = 0, Left = 1, Right = 3 };

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

struct SlideSettings {
    int moveLength = 500;  // twips per tick
    bool goLeft = true;
    bool goTop = true;
    bool goRight = true;
};

struct SlideInput {
    TwipRect window;      // the outer rectangle of the window, frame included
    int screenRight = 0;  // S: right edge of the window's screen
    int cursorX = 0;      // cursor position in twips
    int cursorY = 0;
    bool leftButtonDown = false;    // anywhere on the screen
    DockSide side = DockSide::Top;  // the side of the previous tick
};

struct SlideResult {
    TwipRect window;
    DockSide side = DockSide::Top;  // the last edge test that held, else unchanged
};

// One tick. While the cursor is over the window (the vertical band widened
// by 50 twips each way) a window beyond the left edge, the top edge or
// S + 10 slides in by one step, ending shown at Left -150, Top 10 or
// Left S - Width + 150. Otherwise a window within 100 twips of the left edge,
// 200 of the top or 10 of S slides out by one step, ending with 50 twips
// (left, top) or 30 twips (right) on the screen; while the left button is held
// nothing slides out. The edge tests run in the order left, top, right, each
// on the rectangle the earlier ones left, so a window in a corner takes both
// steps; the side of the last test that held is the result's side.
//
// A window never ends a step entirely off the screen: the right slide stops at
// the 30-twip strip instead of overshooting it, and a negative step length
// counts as 0.
SlideResult SlideStep(const SlideInput& input, const SlideSettings& settings);

}  // namespace skyrell
