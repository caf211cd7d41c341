#include "candidates/candidates.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shell/text_encoding.h"
#include "support/exif_jpeg.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::ExifTags;
using testing::GreyJpeg;
using testing::GroundOffset;
using testing::TempFolder;
using testing::WriteBytes;

constexpr double kLat0 = 30.5, kLon0 = 114.25;

// A 400 x 300 photo whose camera has 1000 px focal length: over 100 m of
// height it sees 40 m x 30 m at 10 px per metre.
const ExifTags kCamera1000{.focalMm = 10, .focalPlaneXResolution = 100, .focalPlaneUnit = 4};

std::string PosLine(const std::string& id, double heading) {
    char line[200];
    std::snprintf(line, sizeof line, "%s x 17:40:32 %.10f %.10f 110.000 0.0 0.0 %.3f\r\n",
                  id.c_str(), kLon0, kLat0, heading);
    return line;
}

TEST(Candidates, PixelOfAPointOnBothSidesOfEveryEdgeAndOfTheHeightLimit) {
    struct Case {
        double east, north, pointHeight;
        bool shown;
        double x, y;
    };
    // The camera stands 110 m up, its top edge north; the ground is at 10 m
    // unless a row says otherwise. Headings are covered by the rendered flight.
    const Case cases[] = {
        {0, 0, 10, true, 200, 150},
        {19.9, 0, 10, true, 399, 150},
        {20.1, 0, 10, false, 0, 0},
        {-19.95, 0, 10, true, 0.5, 150},
        {-20.05, 0, 10, false, 0, 0},
        {0, 14.9, 10, true, 200, 1},
        {0, 15.1, 10, false, 0, 0},
        {0, -14.9, 10, true, 200, 299},
        {0, -15.1, 10, false, 0, 0},
        // Height above the point: 1 m is enough, 0.99 m and a point above the camera are not.
        {0.01, 0, 109, true, 210, 150},
        {0, 0, 109.01, false, 0, 0},
        {0, 0, 120, false, 0, 0},
    };
    TempFolder temp;
    WriteBytes(temp / "line" / "IMG_0001.JPG", GreyJpeg(400, 300, {}, kCamera1000));
    // A POS whose headings are all 0 has none: north is written as 360.
    WriteBytes(temp / "flight.pos", PosLine("img_0001", 360));
    std::vector<ControlPoint> points;
    for (const auto& c : cases) {
        const auto [lat, lon] = GroundOffset(kLat0, kLon0, c.east, c.north);
        points.push_back({std::to_string(points.size()), lat, lon, c.pointHeight});
    }
    CandidateOptions options;
    options.pos = temp / "flight.pos";
    const auto report = FindCandidates(points, {temp / "line"}, options, Feedback::None());
    ASSERT_TRUE(report) << report.status().message();
    ASSERT_EQ(report->points.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(::testing::Message() << c.east << " " << c.north << " " << c.pointHeight);
        const auto& sightings = report->points[i].sightings;
        ASSERT_EQ(sightings.size(), c.shown ? 1u : 0u);
        if (!c.shown) continue;
        EXPECT_NEAR(sightings[0].x, c.x, 0.05);
        EXPECT_NEAR(sightings[0].y, c.y, 0.05);
        EXPECT_NEAR(sightings[0].distance, std::hypot(c.x - 200, c.y - 150), 0.05);
        EXPECT_EQ(sightings[0].photo.filename(), "IMG_0001.JPG");
    }
}

TEST(Candidates, FocalLengthInPixelsFromEachExifVariantOrTheNamedCamera) {
    struct Case {
        const char* what;
        ExifTags tags;  // focal mm, focal plane resolution, its unit, 35 mm equivalent
        std::optional<ExplicitCamera> camera;
        std::optional<double> pixels;
    };
    const ExplicitCamera named{8.8, 13.2};
    const auto none = std::nullopt;
    const Case cases[] = {
        {"inch", {8.8, 10000, 2, 24, none, none, none}, named, 8.8 * 10000 / 25.4},
        {"cm", {8.8, 4000, 3, none, none, none, none}, none, 3520},
        {"mm", {8.8, 250, 4, none, none, none, none}, none, 2200},
        {"um", {8.8, 0.25, 5, none, none, none, none}, none, 2200},
        {"unknown unit, 35 mm", {8.8, 250, 1, 24, none, none, none}, none, 24 * 50 / 43.266615},
        {"35 mm", {8.8, none, none, 24, none, none, none}, named, 24 * 50 / 43.266615},
        {"35 mm without focal", {none, none, none, 24, none, none, none}, none, none},
        {"named", {none, 250, 4, none, none, none, none}, named, 8.8 * 40 / 13.2},
        {"zero focal, named", {0, 250, 4, 24, none, none, none}, named, 8.8 * 40 / 13.2},
        {"none", {}, none, none},
        {"named without width", {}, ExplicitCamera{8.8, 0}, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto header = ParsePhotoHeader(GreyJpeg(40, 30, {}, c.tags));
        ASSERT_TRUE(header) << header.status().message();
        EXPECT_EQ(header->width, 40);
        EXPECT_EQ(header->height, 30);
        const auto pixels = FocalLengthPixels(*header, c.camera);
        ASSERT_EQ(pixels.has_value(), c.pixels.has_value());
        if (pixels) {
            EXPECT_NEAR(*pixels, *c.pixels, 1e-3);
        }
    }
}
TEST(Candidates, ControlPointFilesOfEveryKind) {
    const auto gbk = *Utf8ToGbk("控1,30.5,114.25,20.5\r\n控2,30:30:00N,114:15:00E,21\r\n");
    // Hi-Target: 22 fields, latitude 4, longitude 5, ellipsoidal height 6.
    const std::string hiTarget =
        "点名,北坐标,东坐标,高程,纬度,经度,大地高,a,b,c,d,e,f,g,h,i,j,k,l,m,n,o\r\n"
        "P0001,1,2,3,30°30'00.000\"N,114°15'00.000\"E,20.0,,,,,,,,,,,,,,,\r\n"
        "p0002,1,2,3,30.6,114.3,30,,,,,,,,,,,,,,,\r\n"
        "P0001_2,1,2,3,30°30'00.036\"N,114°15'00.036\"E,20.2,,,,,,,,,,,,,,,\r\n";
    // CHC: 23 fields or more, latitude 14, longitude 15, ellipsoidal height 16.
    const std::string chc =
        "P0009,CP,1,2,3,RTK,1,1,1,1,x,d,t,1.8,30:30:00S,114:15:00W,5,,,,,,\r\n"
        "P0010,CP,1,2,3,RTK,1,1,1,1,x,d,t,1.8,30.300036S,114.1500W,6,,,,,,\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        std::optional<ControllerMake> make;
        std::vector<ControlPoint> points;  // empty: refused
    };
    const Case cases[] = {
        {"utf-8 with heading",
         "点名,纬度,经度,大地高\n控1,30.5,114.25,20.5\n",
         std::nullopt,
         {{"控1", 30.5, 114.25, 20.5}}},
        {"gbk without heading",
         gbk,
         std::nullopt,
         {{"控1", 30.5, 114.25, 20.5}, {"控2", 30.5, 114.25, 21}}},
        {"bom",
         "\xEF\xBB\xBFname,lat,lon,h\r\nG1,-30.5,-114.25,-2\r\n\r\n",
         std::nullopt,
         {{"G1", -30.5, -114.25, -2}}},
        {"bad second line", "G1,30.5,114.25,20\nG2,30.5,east,20\n", std::nullopt, {}},
        {"heading only", "点名,纬度,经度,大地高\n", std::nullopt, {}},
        {"latitude beyond 90", "G1,90.5,114.25,20\n", std::nullopt, {}},
        {"hi-target, mean of observations",
         *Utf8ToGbk(hiTarget),
         ControllerMake::HiTarget,
         {{"P0001", 30.5 + 0.018 / 3600, 114.25 + 0.018 / 3600, 20.1}, {"P0002", 30.6, 114.3, 30}}},
        {"chc, south and west, packed",
         chc,
         ControllerMake::Chc,
         {{"P0009", -30.5, -114.25, 5}, {"P0010", -(30.5 + 0.36 / 3600), -114.25, 6}}},
        {"hi-target export read as chc", *Utf8ToGbk(hiTarget), ControllerMake::Chc, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder temp;
        WriteBytes(temp / "points.csv", c.bytes);
        const auto points = ReadControlPoints(temp / "points.csv", c.make, Feedback::None());
        ASSERT_EQ(points.ok(), !c.points.empty()) << points.status().message();
        if (!points) continue;
        ASSERT_EQ(points->size(), c.points.size());
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            EXPECT_EQ((*points)[i].name, c.points[i].name);
            EXPECT_NEAR((*points)[i].latitude, c.points[i].latitude, 1e-9);
            EXPECT_NEAR((*points)[i].longitude, c.points[i].longitude, 1e-9);
            EXPECT_NEAR((*points)[i].height, c.points[i].height, 1e-9);
        }
    }
}

TEST(Candidates, CommandLineLinesMessagesAndExitStatus) {
    struct Case {
        const char* arguments;  // run in the test's folder
        int exit;
        std::string out, err;  // err: the whole of stderr, or a part of it when not exact
        bool exact = true;
    };
    const Case cases[] = {
        {"points.csv line --pos flight.pos", 0, "G1,IMG_0001.JPG,286.6,100.0,100.0\n",
         "控制点 G2 不在任何航片上。\n"},
        {"points.csv line bare --pos flight.pos", 1, "",
         "航片 bare/IMG_0002.JPG 的EXIF中没有焦距和像元尺寸（或35mm等效焦距），"
         "请指定相机的焦距和传感器宽度。\n"},
        {"points.csv line bare --pos flight.pos --camera 8.8:13.2", 0,
         "G1,IMG_0001.JPG,286.6,100.0,100.0\n",
         "航片 bare/IMG_0002.JPG 既无POS记录也无EXIF GPS位置，未参与计算。\n"
         "控制点 G2 不在任何航片上。\n"},
        {"gone.csv line", 1, "", "gone.csv", false},
        {"points.csv line --heading-offset 45", 2, "", "usage: skyrell-cli", false},
        {"points.csv line --camera 8.8", 2, "", "usage: skyrell-cli", false},
        {"points.csv", 2, "", "usage: skyrell-cli", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        TempFolder temp;
        WriteBytes(temp / "line" / "IMG_0001.JPG", GreyJpeg(400, 300, {}, kCamera1000));
        WriteBytes(temp / "bare" / "IMG_0002.JPG", GreyJpeg(40, 30, {}, std::nullopt));
        WriteBytes(temp / "flight.pos", PosLine("IMG_0001", 30));
        const auto [lat, lon] = GroundOffset(kLat0, kLon0, 10, 0);
        char points[160];
        std::snprintf(points, sizeof points, "G1,%.10f,%.10f,10\nG2,%.10f,%.10f,10\n", lat, lon,
                      kLat0 + 1, kLon0);
        WriteBytes(temp / "points.csv", points);
        const std::string command = "cd " + temp.path().string() + " && " + SKYRELL_CLI +
                                    " candidates " + c.arguments + " > out 2> err";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.exit);
        EXPECT_EQ(testing::ReadBytes(temp / "out"), c.out);
        const std::string err = testing::ReadBytes(temp / "err");
        if (c.exact) {
            EXPECT_EQ(err, c.err);
        } else {
            EXPECT_NE(err.find(c.err), std::string::npos) << err;
        }
    }
}

}  // namespace
}  // namespace skyrell
