// Both sides of every threshold of the slide rule, one tick each: the cursor
// band, the edge tests inside and outside it, and the rest positions of
// sliding out and in.

#include <gtest/gtest.h>

#include "docking/slide_rule.h"

namespace skyrell {
namespace {

// A 3000 x 6000 twip window on a screen whose right edge is S, step 500.
constexpr int S = 15000;
constexpr int kFar = -100000;  // a cursor position away from the window
constexpr auto L = DockSide::Left, T = DockSide::Top, R = DockSide::Right;

TEST(SlideStep, BothSidesOfEveryThreshold) {
    const struct {
        const char* what;
        int left, top, cursorX, cursorY;
        int endLeft, endTop;
        DockSide side;  // T when no test holds
    } cases[] = {
        // The band: the cursor on a border is outside (the window stays
        // hidden), one twip within it is inside (it slides in).
        {"cursor on the left border", -2950, 3000, -2950, 4000, -2950, 3000, L},
        {"cursor 1 right of the left border", -2950, 3000, -2949, 4000, -2450, 3000, L},
        {"cursor on the right border", -2950, 3000, 50, 4000, -2950, 3000, L},
        {"cursor 1 left of the right border", -2950, 3000, 49, 4000, -2450, 3000, L},
        {"cursor 50 above the window", -2950, 3000, 15, 2950, -2950, 3000, L},
        {"cursor 50 below the window", -2950, 3000, 15, 9050, -2950, 3000, L},
        {"cursor 49 below the window", -2950, 3000, 15, 9049, -2450, 3000, L},
        // Edge tests with the cursor inside.
        {"inside, left 0", 0, 3000, 100, 4000, -150, 3000, L},
        {"inside, left 1", 1, 3000, 100, 4000, 1, 3000, T},
        {"inside, top 0", 3000, 0, 4000, 100, 3000, 10, T},
        {"inside, top 1", 3000, 1, 4000, 100, 3000, 1, T},
        {"inside, right edge S + 11", S - 2989, 3000, 14000, 4000, S - 2850, 3000, R},
        {"inside, right edge S + 10", S - 2990, 3000, 14000, 4000, S - 2990, 3000, T},
        // Edge tests with the cursor away.
        {"away, left 100", 100, 3000, kFar, kFar, -400, 3000, L},
        {"away, left 101", 101, 3000, kFar, kFar, 101, 3000, T},
        {"away, top 200", 3000, 200, kFar, kFar, 3000, -300, T},
        {"away, right edge S - 10", S - 3010, 3000, kFar, kFar, S - 2510, 3000, R},
        {"away, right edge S - 11", S - 3011, 3000, kFar, kFar, S - 3011, 3000, T},
        // Sliding out: the last step lands on the strip.
        {"left at M + 50 - W", -2450, 3000, kFar, kFar, -2950, 3000, L},
        {"left 1 more", -2449, 3000, kFar, kFar, -2949, 3000, L},
        {"top at M + 50 - H", 3000, -5450, kFar, kFar, 3000, -5950, T},
        {"top 1 more", 3000, -5449, kFar, kFar, 3000, -5949, T},
        {"right within a step of the strip", S - 530, 3000, kFar, kFar, S - 30, 3000, R},
        {"right a step and 1 from the strip", S - 531, 3000, kFar, kFar, S - 31, 3000, R},
        // Sliding in: the last step lands on the rest position.
        {"left at -M - 150", -650, 3000, 15, 4000, -150, 3000, L},
        {"left 1 less", -651, 3000, 15, 4000, -151, 3000, L},
        {"top at -M - 50", 3000, -550, 4000, 15, 3000, 10, T},
        {"top 1 less", 3000, -551, 4000, 15, 3000, -51, T},
        {"right at S - W + M + 150", S - 2350, 3000, S - 15, 4000, S - 2850, 3000, R},
        {"right 1 more", S - 2349, 3000, S - 15, 4000, S - 2849, 3000, R},
    };
    for (const auto& c : cases) {
        const SlideInput in{{c.left, c.top, 3000, 6000}, S, c.cursorX, c.cursorY, false, T};
        const SlideResult r = SlideStep(in, {});
        EXPECT_EQ(r.window, (TwipRect{c.endLeft, c.endTop, 3000, 6000})) << c.what;
        EXPECT_EQ(r.side, c.side) << c.what;
    }
}

}  // namespace
}  // namespace skyrell
