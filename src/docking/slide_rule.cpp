#include "docking/slide_rule.h"

#include <algorithm>

namespace skyrell {

namespace {

// Strips that stay on the screen when hidden, and the shown rest positions.
constexpr int kHiddenStrip = 50;       // left and top
constexpr int kHiddenStripRight = 30;  // right
constexpr int kShownLeft = -150;
constexpr int kShownTop = 10;
constexpr int kShownRightOverhang = 150;

void SlideIn(TwipRect& w, DockSide side, int s, int m) {
    switch (side) {
        case DockSide::Left:
            w.left = w.left >= -m + kShownLeft ? kShownLeft : w.left + m;
            break;
        case DockSide::Top:
            w.top = w.top >= -m - 50 ? kShownTop : w.top + m;
            break;
        case DockSide::Right: {
            const int rest = s - w.width + kShownRightOverhang;
            w.left = w.left <= rest + m ? rest : w.left - m;
            break;
        }
    }
}

void SlideOut(TwipRect& w, DockSide side, int s, int m) {
    switch (side) {
        case DockSide::Left:
            w.left = w.left <= m + kHiddenStrip - w.width ? kHiddenStrip - w.width : w.left - m;
            break;
        case DockSide::Top:
            w.top = w.top <= m + kHiddenStrip - w.height ? kHiddenStrip - w.height : w.top - m;
            break;
        case DockSide::Right:
            // One step may not carry the window past its strip.
            w.left = w.left > s - m ? s - kHiddenStripRight
                                    : std::min(w.left + m, s - kHiddenStripRight);
            break;
    }
}

}  // namespace

SlideResult SlideStep(const SlideInput& input, const SlideSettings& settings) {
    SlideResult result{input.window, input.side};
    TwipRect& w = result.window;
    const int s = input.screenRight;
    const int m = std::max(settings.moveLength, 0);
    const bool inside = w.left < input.cursorX && input.cursorX < w.left + w.width &&
                        w.top - 50 < input.cursorY && input.cursorY < w.top + w.height + 50;

    auto test = [&](bool holds, DockSide side, bool allowed) {
        if (!holds) return;
        result.side = side;
        if (!allowed) return;
        if (inside)
            SlideIn(w, side, s, m);
        else if (!input.leftButtonDown)
            SlideOut(w, side, s, m);
    };
    if (inside) {
        test(w.left <= 0, DockSide::Left, settings.goLeft);
        test(w.top <= 0, DockSide::Top, settings.goTop);
        test(w.left + w.width > s + 10, DockSide::Right, settings.goRight);
    } else {
        test(w.left <= 100, DockSide::Left, settings.goLeft);
        test(w.top <= 200, DockSide::Top, settings.goTop);
        test(w.left + w.width >= s - 10, DockSide::Right, settings.goRight);
    }
    return result;
}

}  // namespace skyrell
