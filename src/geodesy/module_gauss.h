#pragma once
// module_gauss: the reference ellipsoids, the Gauss-Krueger forward projection,
// the zone's central meridian and the surveyors' rounding to millimetres.

#include <optional>
#include <string_view>

namespace skyrell::module_gauss {

// The 15-digit value of pi used wherever degrees become radians, so that the
// projected coordinates are the ones the surveyors' other tools give.
inline constexpr double kPi = 3.14159265358979;

struct GeodeticPoint {
    double latitude;   // radians
    double longitude;  // radians
};

struct PlanePoint {
    double x;  // northing, metres from the equator
    double y;  // easting, metres, with the false easting 500000 and no zone number
};

struct Ellipsoid {
    double a;  // semi-major axis, metres
    double b;  // semi-minor axis, metres
};

// The ellipsoid of a coordinate-system code: "1954" Beijing 1954, "1980"
// Xi'an 1980, "2000" CGCS 2000, "1984" WGS 84. Empty for any other code.
std::optional<Ellipsoid> EllipsoidOf(std::string_view code);

double DegreesToRadians(double degrees);

// Forward projection by the closed series (meridian arc to e^8, x to m^8, y to
// m^7); not rounded.
PlanePoint GaussForward(GeodeticPoint point, double a, double b, double L0);

// x - n * q, q the truncated quotient of x and n each rounded to the nearest
// integer (ties to even). Zero exactly when x is a whole multiple of n for the
// zone widths 3 and 6.
double RemainderOf(double x, double n);

// Central meridian (degrees) of the zone holding the longitude (degrees), for
// the zone width "3"; any other width means 6-degree zones. A longitude on a
// 3-degree boundary 3k+1.5 belongs to the zone of 3k+3; one on a multiple of 6
// belongs to the 6-degree zone to its west.
double CentralMeridian(double longitudeDegrees, std::string_view zoneWidth);

// Rounds to three decimals by the fourth decimal of the five-decimal text: 4
// and below down, 6 and above up, 5 to an even third decimal. The integer
// part and the decimals come from the same text, so a carry (12.9999951 ->
// "13.00000") gives 13. Negative values round as their magnitude does.
double RoundSurvey3(double value);

}  // namespace skyrell::module_gauss
