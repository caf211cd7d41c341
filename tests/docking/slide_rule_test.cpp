#include "docking/slide_rule.h"

#include <gtest/gtest.h>

namespace skyrell {
namespace {

// A 3000 x 6000 twip window on a screen whose right edge is S.
constexpr int S = 15000;
constexpr int kFar = -100000;  // a cursor position away from the window
constexpr auto L = DockSide::Left, T = DockSide::Top, R = DockSide::Right;

struct SlideCase {
    const char* what;
    int left, top;
    int cursorX, cursorY;
    int ticks;
    int endLeft, endTop;
    DockSide side;  // the side starts as R
    bool button = false;
    SlideSettings settings = {};
};

TEST(SlideStep, EdgesOrderAndRestPositions) {
    const SlideCase cases[] = {
        {"left edge at 80, one step", 80, 3000, kFar, kFar, 1, -420, 3000, L},
        {"left: a 50-twip strip stays", 80, 3000, kFar, kFar, 20, -2950, 3000, L},
        {"mouse on the left strip: rests at -150", -2950, 3000, 15, 4000, 20, -150, 3000, L},
        {"band widened 49 above the window", -150, 3000, 15, 2951, 1, -150, 3000, L},
        {"band not widened sideways", -150, 3000, 2850, 4000, 1, -650, 3000, L},
        {"mouse on the top strip: rests at 10", 3000, -5950, 4000, 15, 20, 3000, 10, T},
        {"right: a 30-twip strip stays", S - 2990, 3000, kFar, kFar, 20, S - 30, 3000, R},
        {"right step never passes the strip", S - 520, 3000, kFar, kFar, 1, S - 30, 3000, R},
        {"right rest at S - width + 150", S - 30, 3000, S - 15, 4000, 20, S - 2850, 3000, R},
        {"left button held: nothing slides out", 80, 3000, kFar, kFar, 5, 80, 3000, L, true},
        {"left button held: sliding in goes on", -2950, 3000, 15, 4000, 1, -2450, 3000, L, true},
        {"GoLeft false, GoTop true", 0, 100, kFar, kFar, 20, 0, -5950, T, false, {500, false}},
        {"bottom edge never hides", 3000, 9000, kFar, kFar, 5, 3000, 9000, R},
        {"no edge touched", 101, 201, kFar, kFar, 5, 101, 201, R},
        {"11 twips inside the right edge", S - 3011, 3000, kFar, kFar, 5, S - 3011, 3000, R},
        {"top-left corner runs both, top last", 80, 100, kFar, kFar, 1, -420, -400, T},
        {"top-right corner runs both, right last", S - 2990, 100, kFar, kFar, 1, S - 2490, -400, R},
        {"step < 0 stays reachable", -2950, 3000, 15, 4000, 5, -2950, 3000, L, false, {-1000}},
    };
    for (const SlideCase& c : cases) {
        SlideInput in{{c.left, c.top, 3000, 6000}, S, c.cursorX, c.cursorY, c.button, R};
        for (int i = 0; i < c.ticks; ++i) {
            const SlideResult r = SlideStep(in, c.settings);
            in.window = r.window;
            in.side = r.side;
        }
        EXPECT_EQ(in.window.left, c.endLeft) << c.what;
        EXPECT_EQ(in.window.top, c.endTop) << c.what;
        EXPECT_EQ(in.side, c.side) << c.what;
    }
}

}  // namespace
}  // namespace skyrell
