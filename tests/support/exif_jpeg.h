#pragma once
// Small JPEG photos with the EXIF a survey camera writes (focal length, focal
// plane resolution, 35 mm equivalent, GPS), for the tests and the benchmark
// of the candidate photo search.

#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace skyrell::testing {

struct ExifTags {
    std::optional<double> focalMm{};
    std::optional<double> focalPlaneXResolution{};
    std::optional<int> focalPlaneUnit{};  // 2 inch, 3 cm, 4 mm, 5 um
    std::optional<int> focal35mm{};
    std::optional<double> latitude{}, longitude{};  // degrees, south and west negative
    std::optional<double> altitude{};               // metres, not negative
};

// A JPEG of a grey image (width x height bytes, row by row; an even
// mid grey when `grey` is empty) with an EXIF block holding the tags (none
// when `exif` is empty).
std::string GreyJpeg(int width, int height, const std::vector<unsigned char>& grey,
                     const std::optional<ExifTags>& exif);

// Latitude and longitude of a ground point `east` and `north` metres from
// (lat0, lon0) and `up` metres above the ellipsoid, through the ellipsoid's
// radii of curvature at lat0.
inline std::pair<double, double> GroundOffset(double lat0, double lon0, double east, double north,
                                              double up = 0) {
    const double a = 6378137.0, f = 1 / 298.257223563, e2 = f * (2 - f);
    const double deg = std::numbers::pi / 180, s2 = std::pow(std::sin(lat0 * deg), 2);
    const double m = a * (1 - e2) / std::pow(1 - e2 * s2, 1.5), n = a / std::sqrt(1 - e2 * s2);
    return {lat0 + north / (m + up) / deg, lon0 + east / ((n + up) * std::cos(lat0 * deg)) / deg};
}

}  // namespace skyrell::testing
