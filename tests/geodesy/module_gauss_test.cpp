#include "geodesy/module_gauss.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <string>

namespace skyrell {
namespace {

using namespace module_gauss;

constexpr const char* kCodes[] = {"1954", "1980", "2000", "1984"};

PlanePoint Project(const char* code, double latDeg, double lonDeg, double L0Deg) {
    const auto e = *EllipsoidOf(code);
    return GaussForward({DegreesToRadians(latDeg), DegreesToRadians(lonDeg)}, e.a, e.b,
                        DegreesToRadians(L0Deg));
}

TEST(ModuleGauss, EllipsoidTable) {
    struct Row {
        const char* code;
        double a, b;
    };
    const Row rows[] = {{"1954", 6378245.0, 6356863.0188},
                        {"1980", 6378140.0, 6356755.2882},
                        {"2000", 6378137.0, 6356752.31414},
                        {"1984", 6378137.0, 6356752.3142}};
    for (const auto& row : rows) {
        const auto e = EllipsoidOf(row.code);
        ASSERT_TRUE(e) << row.code;
        EXPECT_EQ(e->a, row.a) << row.code;
        EXPECT_EQ(e->b, row.b) << row.code;
    }
    EXPECT_FALSE(EllipsoidOf(""));
    EXPECT_FALSE(EllipsoidOf("1985"));
}

TEST(ModuleGauss, DegreesUseTheFifteenDigitPi) {
    EXPECT_EQ(DegreesToRadians(180), 3.14159265358979);
    EXPECT_NE(DegreesToRadians(180), M_PI);
}

TEST(ModuleGauss, PointOnTheCentralMeridianHasTheFalseEastingAndTheMeridianArc) {
    const auto p = Project("1954", 30, 114, 114);
    EXPECT_EQ(p.y, 500000.0);
    // The meridian arc of the Krassowsky ellipsoid at 30 degrees.
    EXPECT_NEAR(p.x, 3320172.4067, 0.0001);
}

TEST(ModuleGauss, TheFourDatumsGiveDifferentCoordinates) {
    PlanePoint points[4];
    for (int i = 0; i < 4; ++i) points[i] = Project(kCodes[i], 30.5, 115.2, 114);
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) {
            EXPECT_NE(points[i].x, points[j].x) << kCodes[i] << " " << kCodes[j];
            EXPECT_NE(points[i].y, points[j].y) << kCodes[i] << " " << kCodes[j];
        }
    // CGCS 2000 and WGS 84 share a and differ by 0.06 mm in b: a difference far
    // below a millimetre, but a difference.
    EXPECT_LT(std::abs(points[2].x - points[3].x), 0.001);
}

// The closed series against PROJ's transverse Mercator on the same ellipsoid,
// over the latitudes of China and up to 3 degrees from the central meridian.
TEST(ModuleGauss, AgreesWithProjTransverseMercator) {
    PJ_CONTEXT* context = proj_context_create();
    for (const char* code : kCodes) {
        const auto e = *EllipsoidOf(code);
        for (double L0 : {75.0, 117.0, 135.0}) {
            char definition[200];
            std::snprintf(definition, sizeof definition,
                          "+proj=tmerc +a=%.6f +b=%.6f +lon_0=%.1f +x_0=500000 +y_0=0 +k=1", e.a,
                          e.b, L0);
            PJ* tmerc = proj_create(context, definition);
            ASSERT_NE(tmerc, nullptr) << definition;
            double worst = 0;
            for (double lat = 18; lat <= 54; lat += 1.5) {
                for (double dl = -3; dl <= 3; dl += 0.25) {
                    const double B = lat * M_PI / 180, L = (L0 + dl) * M_PI / 180;
                    const PJ_COORD out = proj_trans(tmerc, PJ_FWD, proj_coord(L, B, 0, 0));
                    const auto ours = GaussForward({B, L}, e.a, e.b, L0 * M_PI / 180);
                    worst = std::max(
                        {worst, std::abs(ours.x - out.enu.n), std::abs(ours.y - out.enu.e)});
                }
            }
            EXPECT_LT(worst, 1e-5) << code << " L0=" << L0;
            proj_destroy(tmerc);
        }
    }
    proj_context_destroy(context);
}

TEST(ModuleGauss, RemainderOf) {
    struct Row {
        double x, n, expected;
    };
    const Row rows[] = {
        {120, 6, 0},     {117, 3, 0},      {114, 3, 0},
        {117.2, 6, 3.2}, {116.9, 3, -0.1}, {118.5, 3, 1.5},  // 118.5 rounds to 118 (ties to even)
        {-7, 3, -1},                                         // truncating quotient
    };
    for (const auto& row : rows)
        EXPECT_NEAR(RemainderOf(row.x, row.n), row.expected, 1e-9) << row.x << " " << row.n;
}

TEST(ModuleGauss, CentralMeridianRule) {
    struct Row {
        double longitude;
        const char* zone;
        double expected;
    };
    const Row rows[] = {
        {118.5, "3", 120}, {117.0, "3", 117},    {116.9, "3", 117},       {115.5, "3", 117},
        {115.4, "3", 114}, {115.6, "3", 117},    {114.1234567, "3", 114}, {117.2, "6", 117},
        {120.0, "6", 117}, {120.0001, "6", 123}, {114.1234567, "6", 117}, {75.0, "6", 75},
        {72.0, "6", 69},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CentralMeridian(row.longitude, row.zone), row.expected)
            << row.longitude << " zone " << row.zone;
}

TEST(ModuleGauss, RoundSurvey3) {
    struct Row {
        double value, expected;
    };
    const Row rows[] = {
        {0.12345, 0.123},
        {0.12365, 0.124},
        {0.12350, 0.124},
        {0.12450, 0.124},
        {0.123496, 0.124},
        {3.12359, 3.124},
        {3.12459, 3.124},
        {3456789.1, 3456789.1},
        {3456789.12349, 3456789.123},
        {3456789.12351, 3456789.124},
        {500000, 500000},
        {0, 0},
        {12.9999951, 13},
        {99.99996, 100},
        {-0.12365, -0.124},
        {-3.12350, -3.124},
    };
    for (const auto& row : rows)
        EXPECT_EQ(RoundSurvey3(row.value), row.expected) << std::to_string(row.value);
}

}  // namespace
}  // namespace skyrell
