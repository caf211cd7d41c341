#include "geodesy/module_gauss.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace skyrell::module_gauss {

std::optional<Ellipsoid> EllipsoidOf(std::string_view code) {
    if (code == "1954") return Ellipsoid{6378245.0, 6356863.0188};
    if (code == "1980") return Ellipsoid{6378140.0, 6356755.2882};
    if (code == "2000") return Ellipsoid{6378137.0, 6356752.31414};
    if (code == "1984") return Ellipsoid{6378137.0, 6356752.3142};
    return std::nullopt;
}

double DegreesToRadians(double degrees) { return degrees * kPi / 180; }

PlanePoint GaussForward(GeodeticPoint point, double a, double b, double L0) {
    const double B = point.latitude;
    const double e2 = (a * a - b * b) / (a * a);
    const double ep2 = (a * a - b * b) / (b * b);
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double e8 = e6 * e2;

    const double sinB = std::sin(B);
    const double cosB = std::cos(B);
    const double W = std::sqrt(1 - e2 * sinB * sinB);
    const double N = a / W;
    const double t = std::tan(B);
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double eta2 = ep2 * cosB * cosB;
    const double eta4 = eta2 * eta2;
    const double l = point.longitude - L0;
    const double m = l * cosB;
    const double m2 = m * m;
    const double m3 = m2 * m;
    const double m4 = m2 * m2;
    const double m5 = m4 * m;
    const double m6 = m4 * m2;
    const double m7 = m6 * m;
    const double m8 = m4 * m4;

    const double A = 1 + 3.0 / 4 * e2 + 45.0 / 64 * e4 + 175.0 / 256 * e6 + 11025.0 / 16384 * e8;
    const double Bc = 3.0 / 4 * e2 + 60.0 / 64 * e4 + 525.0 / 512 * e6 + 2205.0 / 2048 * e8;
    const double C = 15.0 / 64 * e4 + 210.0 / 512 * e6 + 2205.0 / 4096 * e8;
    const double D = 35.0 / 512 * e6 + 315.0 / 2048 * e8;
    const double E = 315.0 / 16384 * e8;
    const double X = a * (1 - e2) *
                     (A * B - Bc / 2 * std::sin(2 * B) + C / 4 * std::sin(4 * B) -
                      D / 6 * std::sin(6 * B) + E / 8 * std::sin(8 * B));

    const double x = X + N * t / 2 * m2 + N * t / 24 * m4 * (5 - t2 + 9 * eta2 + 4 * eta4) +
                     N * t / 720 * m6 * (61 - 58 * t2 + t4 + 270 * eta2 - 330 * eta2 * t2) +
                     N * t / 40320 * m8 * (1385 - 3111 * t2 + 543 * t4 - t6);
    const double y = 500000 + N * m + N / 6 * m3 * (1 - t2 + eta2) +
                     N / 120 * m5 * (5 - 18 * t2 + t4 + 14 * eta2 - 58 * eta2 * t2) +
                     N / 5040 * m7 * (61 - 479 * t2 + 179 * t4 - t6);
    return {x, y};
}

double RemainderOf(double x, double n) {
    const double xr = std::nearbyint(x);  // default rounding mode: ties to even
    const double nr = std::nearbyint(n);
    if (nr == 0) return x;
    const double q = std::trunc(xr / nr);
    return x - n * q;
}

double CentralMeridian(double longitudeDegrees, std::string_view zoneWidth) {
    const double Lf = longitudeDegrees;
    if (zoneWidth == "3") {
        if (RemainderOf(Lf, 3) != 0) return (std::floor((Lf - 1.5) / 3) + 1) * 3;
        return Lf;
    }
    const double n = RemainderOf(Lf, 6) != 0 ? std::floor(Lf / 6) + 1 : Lf / 6;
    return (2 * n - 1) * 3;
}

double RoundSurvey3(double value) {
    if (!std::isfinite(value)) return value;
    if (value < 0) return -RoundSurvey3(-value);
    char text[400];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 5);
    if (ec != std::errc()) return value;
    const auto length = static_cast<std::size_t>(end - text);
    const char* point = static_cast<const char*>(std::memchr(text, '.', length));
    if (point == nullptr || text + length - point < 6) return value;
    const int d3 = point[3] - '0';
    const int d4 = point[4] - '0';
    const bool up = d4 >= 6 || (d4 == 5 && d3 % 2 == 1);
    // T: the integer part and the first three decimals of the text.
    const auto integerDigits = static_cast<std::size_t>(point - text);
    if (integerDigits <= 15) {
        long long thousandths = 0;
        std::from_chars(text, point, thousandths);
        thousandths = thousandths * 1000 + (point[1] - '0') * 100LL + (point[2] - '0') * 10LL + d3;
        if (up) ++thousandths;
        return static_cast<double>(thousandths) / 1000;
    }
    double truncated = 0;
    std::from_chars(text, point + 4, truncated);
    return up ? truncated + 0.001 : truncated;
}

}  // namespace skyrell::module_gauss
