// A flight rendered by the test itself: bright round targets on level ground,
// photographed by a nadir camera along three lines of different headings,
// with the EXIF (and POS) a survey drone writes. Every target must be found
// in every photo that shows it, within 15 px of where the photo shows it.

#include <turbojpeg.h>

#include <gtest/gtest.h>
#include <cmath>
#include <map>
#include <numbers>

#include "candidates/candidates.h"
#include "support/exif_jpeg.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::ExifTags;
using testing::TempFolder;
using testing::WriteBytes;

constexpr double kLat0 = 30.5, kLon0 = 114.25;
constexpr double kGround = 20, kFlying = 120;  // ellipsoidal heights, metres
constexpr int kWidth = 320, kHeight = 240;
constexpr double kTargetRadius = 1.5;  // metres
constexpr double kTolerance = 15;      // pixels
constexpr double kDeg = std::numbers::pi / 180;

std::pair<double, double> LatLon(double east, double north) {
    const double a = 6378137.0, f = 1 / 298.257223563, e2 = f * (2 - f);
    const double phi = kLat0 * kDeg, s2 = std::sin(phi) * std::sin(phi);
    const double m = a * (1 - e2) / std::pow(1 - e2 * s2, 1.5), n = a / std::sqrt(1 - e2 * s2);
    return {kLat0 + north / (m + kGround) / kDeg,
            kLon0 + east / ((n + kGround) * std::cos(phi)) / kDeg};
}

struct Shot {
    std::string name;
    double east, north, heading;  // camera position (metres from the origin), top edge's heading
};

struct Target {
    std::string name;
    double east, north;
};

const Target kTargets[] = {{"T1", 5, 3}, {"T2", -30, 22}, {"T3", 41, 38}, {"T4", -12, -25}};

// Three lines: east along north = 0, west along north = 40, then a line
// flown at 30 degrees; the camera's top edge turned by `crab` from the course.
std::vector<Shot> Flight(double crab) {
    std::vector<Shot> shots;
    auto add = [&](double e, double n, double course) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04zu.JPG", shots.size() + 1);
        shots.push_back({name, e, n, std::fmod(course + crab + 360, 360)});
    };
    for (int i = 0; i < 7; ++i) add(-60 + 20 * i, 0, 90);
    for (int i = 0; i < 7; ++i) add(60 - 20 * i, 40, 270);
    for (int i = 0; i < 6; ++i)
        add(-40 + 18 * i * std::sin(30 * kDeg), -40 + 18 * i * std::cos(30 * kDeg), 30);
    return shots;
}

// Where a ground point appears in a shot, by the camera's own geometry.
std::pair<double, double> TruePixel(const Shot& shot, double focal, double east, double north) {
    const double e = east - shot.east, n = north - shot.north, h = shot.heading * kDeg;
    const double scale = focal / (kFlying - kGround);
    return {kWidth / 2.0 + (e * std::cos(h) - n * std::sin(h)) * scale,
            kHeight / 2.0 - (e * std::sin(h) + n * std::cos(h)) * scale};
}

// Renders a shot: grey ground, white discs where the targets lie.
std::vector<unsigned char> Render(const Shot& shot, double focal) {
    std::vector<unsigned char> grey(std::size_t{kWidth} * kHeight, 70);
    const double metres = (kFlying - kGround) / focal, h = shot.heading * kDeg;
    for (int row = 0; row < kHeight; ++row)
        for (int col = 0; col < kWidth; ++col) {
            const double across = (col + 0.5 - kWidth / 2.0) * metres;
            const double along = -(row + 0.5 - kHeight / 2.0) * metres;
            const double e = shot.east + across * std::cos(h) + along * std::sin(h);
            const double n = shot.north - across * std::sin(h) + along * std::cos(h);
            for (const auto& t : kTargets)
                if (std::hypot(e - t.east, n - t.north) <= kTargetRadius)
                    grey[std::size_t(row) * kWidth + col] = 250;
        }
    return grey;
}

// The centre of the bright pixels of a photo within `radius` of (x, y).
std::optional<std::pair<double, double>> MarkNear(const std::filesystem::path& photo, double x,
                                                  double y, double radius) {
    const std::string jpeg = testing::ReadBytes(photo);
    std::vector<unsigned char> grey(std::size_t{kWidth} * kHeight);
    tjhandle handle = tjInitDecompress();
    const int failed = tjDecompress2(handle, reinterpret_cast<const unsigned char*>(jpeg.data()),
                                     jpeg.size(), grey.data(), kWidth, 0, kHeight, TJPF_GRAY, 0);
    tjDestroy(handle);
    if (failed) return std::nullopt;
    double sx = 0, sy = 0, count = 0;
    for (int row = 0; row < kHeight; ++row)
        for (int col = 0; col < kWidth; ++col)
            if (grey[std::size_t(row) * kWidth + col] > 160 &&
                std::hypot(col + 0.5 - x, row + 0.5 - y) <= radius) {
                sx += col + 0.5;
                sy += row + 0.5;
                ++count;
            }
    if (count == 0) return std::nullopt;
    return std::make_pair(sx / count, sy / count);
}

TEST(RenderedFlight, EveryTargetInEveryPhotoThatShowsIt) {
    struct Case {
        const char* what;
        double crab;  // top edge's turn from the course, written in the POS only
        bool pos;     // a POS file places the photos
        bool posHeadings;
        bool exifGps;  // the photos carry their GPS position
        bool focal35;  // camera from the 35 mm equivalent, else the focal plane
    };
    const Case cases[] = {
        {"headings from the POS", 8, true, true, false, false},
        {"POS without headings: direction of flight", 0, true, false, false, true},
        {"EXIF alone", 0, false, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder temp;
        const double focal = c.focal35 ? 43 * 400 / 43.266615305567875 : 400;
        const auto shots = Flight(c.crab);
        std::string pos = "photo week time lon lat height\r\n";
        for (const auto& shot : shots) {
            const auto [lat, lon] = LatLon(shot.east, shot.north);
            ExifTags tags;
            tags.focalMm = 4;
            if (c.focal35) {
                tags.focal35mm = 43;
            } else {
                tags.focalPlaneXResolution = 100;
                tags.focalPlaneUnit = 4;
            }
            if (c.exifGps) {
                tags.latitude = lat;
                tags.longitude = lon;
                tags.altitude = kFlying;
            }
            WriteBytes(temp / "flight" / shot.name,
                       testing::GreyJpeg(kWidth, kHeight, Render(shot, focal), tags));
            char line[200];
            // Identifiers in lower case: the POS matches photos without regard to case.
            std::snprintf(line, sizeof line, "img_%s x 10:00:00 %.10f %.10f %.3f 0.0 0.0 %.1f\r\n",
                          shot.name.substr(4, 4).c_str(), lon, lat, kFlying,
                          c.posHeadings ? shot.heading : 0.0);
            pos += line;
        }
        // A photo that nothing places: listed, never put anywhere.
        ExifTags bare{4, std::nullopt, std::nullopt, 43, {}, {}, {}};
        WriteBytes(temp / "flight" / "IMG_0999.JPG",
                   testing::GreyJpeg(kWidth, kHeight, Render(shots[0], focal), bare));
        WriteBytes(temp / "flight.pos", pos);

        std::vector<ControlPoint> points;
        for (const auto& t : kTargets) {
            const auto [lat, lon] = LatLon(t.east, t.north);
            points.push_back({t.name, lat, lon, kGround});
        }
        CandidateOptions options;
        if (c.pos) options.pos = temp / "flight.pos";
        const auto report = FindCandidates(points, {temp / "flight"}, options, Feedback::None());
        ASSERT_TRUE(report) << report.status().message();
        ASSERT_EQ(report->unplacedPhotos.size(), 1u);
        EXPECT_EQ(report->unplacedPhotos[0].filename(), "IMG_0999.JPG");
        EXPECT_TRUE(report->unorientedPhotos.empty());
        ASSERT_EQ(report->points.size(), std::size(kTargets));

        std::size_t sightings = 0;
        for (std::size_t t = 0; t < std::size(kTargets); ++t) {
            const auto& found = report->points[t];
            EXPECT_EQ(found.point.name, kTargets[t].name);
            std::map<std::string, const Sighting*> byPhoto;
            for (std::size_t i = 0; i < found.sightings.size(); ++i) {
                byPhoto[found.sightings[i].photo.filename().string()] = &found.sightings[i];
                if (i > 0) {
                    EXPECT_LE(found.sightings[i - 1].distance, found.sightings[i].distance);
                }
            }
            for (const auto& shot : shots) {
                SCOPED_TRACE(kTargets[t].name + " in " + shot.name);
                const auto [x, y] = TruePixel(shot, focal, kTargets[t].east, kTargets[t].north);
                const bool inside = x >= kTolerance && x <= kWidth - kTolerance &&
                                    y >= kTolerance && y <= kHeight - kTolerance;
                const bool outside = x < -kTolerance || x > kWidth + kTolerance ||
                                     y < -kTolerance || y > kHeight + kTolerance;
                const auto seen = byPhoto.find(shot.name);
                if (inside) {
                    ASSERT_NE(seen, byPhoto.end());
                }
                if (outside) {
                    EXPECT_EQ(seen, byPhoto.end());
                }
                if (seen == byPhoto.end() || !inside) continue;
                ++sightings;
                const Sighting& s = *seen->second;
                const auto mark = MarkNear(temp / "flight" / shot.name, s.x, s.y, 25);
                ASSERT_TRUE(mark) << "no target near " << s.x << "," << s.y;
                EXPECT_LE(std::hypot(mark->first - s.x, mark->second - s.y), kTolerance);
            }
        }
        // Each target lies well inside several photos.
        EXPECT_GE(sightings, 12u);
    }
}

}  // namespace
}  // namespace skyrell
