// The angle calculator's signs: a leading "+" is read, a lone sign is no
// number, and every part's sign is dropped whichever part carries it.

#include "geodesy/angle_calculator.h"

#include <gtest/gtest.h>

namespace skyrell {
namespace {

TEST(AngleCalculator, LenientNumberSignsAndEnds) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"+5", 5}, {"+.5", 0.5}, {"-.5", -0.5},  {" + 7 ", 7},    {"- 3 6", -36}, {"+", 0},
        {"-", 0},  {"+-5", 0},   {"--5", 0},     {".", 0},        {"+1e3", 1000}, {"1e-2", 0.01},
        {"1e", 1}, {"1e+", 1},   {"2.5.1", 2.5}, {"-0.5e1x", -5}, {"1e400", 0},   {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(LenientNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(AngleCalculator, EveryPartCountsWithoutItsSign) {
    const struct {
        double degrees, minutes, seconds;
        double result;
    } cases[] = {
        {10, 0, -36, 10.01},    {10, -30, 0, 10.5}, {-10, 30, 36, 10.51},
        {-10, -30, -36, 10.51}, {0, 0, -3600, 1},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(DegreesOfDms(c.degrees, c.minutes, c.seconds), c.result)
            << c.degrees << " " << c.minutes << " " << c.seconds;
    EXPECT_DOUBLE_EQ(DegreesOfRadians(-3.14159265358979), 180);
    EXPECT_DOUBLE_EQ(DegreesOfRadians(3.14159265358979), 180);
}

}  // namespace
}  // namespace skyrell
