#include "docking/slide_rule.h"

#include <gtest/gtest.h>

namespace skyrell {
namespace {

// A 3000 x 6000 twip window on a screen whose right edge is S; "away" puts
// the cursor far from the window.
constexpr int S = 15000;
constexpr int kAway = -100000;

struct SlideCase {
    const char* what;
    TwipRect window;
    int cursorX, cursorY;
    int ticks;
    TwipRect expected;
    DockSide side;
    bool button = false;
    SlideSettings settings = {};
};

TEST(SlideStep, EdgesOrderAndRestPositions) {
    const SlideSettings noLeft{500, false, true, true};
    const SlideSettings backwards{-1000, true, true, true};
    const SlideCase cases[] = {
        {"left edge at 80, one step",
         {80, 3000, 3000, 6000},
         kAway,
         kAway,
         1,
         {-420, 3000, 3000, 6000},
         DockSide::Left},
        {"left edge at 80 ends on a 50-twip strip",
         {80, 3000, 3000, 6000},
         kAway,
         kAway,
         20,
         {-2950, 3000, 3000, 6000},
         DockSide::Left},
        {"mouse on the left strip, one step",
         {-2950, 3000, 3000, 6000},
         15,
         4000,
         1,
         {-2450, 3000, 3000, 6000},
         DockSide::Left},
        {"mouse on the left strip: rests at -150",
         {-2950, 3000, 3000, 6000},
         15,
         4000,
         20,
         {-150, 3000, 3000, 6000},
         DockSide::Left},
        {"band widened 49 above the window",
         {-150, 3000, 3000, 6000},
         15,
         2951,
         1,
         {-150, 3000, 3000, 6000},
         DockSide::Left},
        {"band not widened sideways",
         {-150, 3000, 3000, 6000},
         2850,
         4000,
         1,
         {-650, 3000, 3000, 6000},
         DockSide::Left},
        {"mouse on the top strip: rests at 10",
         {3000, -5950, 3000, 6000},
         4000,
         15,
         20,
         {3000, 10, 3000, 6000},
         DockSide::Top},
        {"right edge: 30-twip strip",
         {S - 2990, 3000, 3000, 6000},
         kAway,
         kAway,
         20,
         {S - 30, 3000, 3000, 6000},
         DockSide::Right},
        {"right step never passes the strip",
         {S - 520, 3000, 3000, 6000},
         kAway,
         kAway,
         1,
         {S - 30, 3000, 3000, 6000},
         DockSide::Right},
        {"right rest at S - width + 150",
         {S - 30, 3000, 3000, 6000},
         S - 15,
         4000,
         20,
         {S - 2850, 3000, 3000, 6000},
         DockSide::Right},
        {"left button held: nothing slides out",
         {80, 3000, 3000, 6000},
         kAway,
         kAway,
         5,
         {80, 3000, 3000, 6000},
         DockSide::Left,
         true},
        {"left button held: sliding in goes on",
         {-2950, 3000, 3000, 6000},
         15,
         4000,
         1,
         {-2450, 3000, 3000, 6000},
         DockSide::Left,
         true},
        {"GoLeft false, GoTop true",
         {0, 100, 3000, 6000},
         kAway,
         kAway,
         20,
         {0, -5950, 3000, 6000},
         DockSide::Top,
         false,
         noLeft},
        {"bottom edge never hides",
         {3000, 9000, 3000, 6000},
         kAway,
         kAway,
         5,
         {3000, 9000, 3000, 6000},
         DockSide::Right},
        {"no edge touched",
         {101, 201, 3000, 6000},
         kAway,
         kAway,
         5,
         {101, 201, 3000, 6000},
         DockSide::Right},
        {"11 twips inside the right edge",
         {S - 3011, 3000, 3000, 6000},
         kAway,
         kAway,
         5,
         {S - 3011, 3000, 3000, 6000},
         DockSide::Right},
        {"top-left corner runs both, top last",
         {80, 100, 3000, 6000},
         kAway,
         kAway,
         1,
         {-420, -400, 3000, 6000},
         DockSide::Top},
        {"top-right corner runs both, right last",
         {S - 2990, 100, 3000, 6000},
         kAway,
         kAway,
         1,
         {S - 2490, -400, 3000, 6000},
         DockSide::Right},
        {"negative step leaves a hidden window reachable",
         {-2950, 3000, 3000, 6000},
         15,
         4000,
         5,
         {-2950, 3000, 3000, 6000},
         DockSide::Left,
         false,
         backwards},
    };
    for (const SlideCase& c : cases) {
        SlideInput input{c.window, S, c.cursorX, c.cursorY, c.button, DockSide::Right};
        for (int i = 0; i < c.ticks; ++i) {
            const SlideResult r = SlideStep(input, c.settings);
            input.window = r.window;
            input.side = r.side;
        }
        const TwipRect& w = input.window;
        EXPECT_EQ(w, c.expected) << c.what << ": " << w.left << "," << w.top;
        EXPECT_EQ(input.side, c.side) << c.what;
    }
}

}  // namespace
}  // namespace skyrell
