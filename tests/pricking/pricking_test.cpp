// Pricking: the hand-in photo, the sketch and the record, and what a refusal
// leaves untouched.

#include "pricking/pricking.h"

#include <gtest/gtest.h>
#include <vips/vips8>

#include <map>
#include <tuple>

#include "support/image_engine_samples.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ReadSample;
using testing::TempFolder;
using testing::WriteBytes;

// A smooth ramp (red follows x, green follows y) with a GPS tag, so that a
// cut shows where it was taken from and JPEG keeps every pixel near its value.
void MakeRampJpeg(const fs::path& file, int width, int height) {
    fs::create_directories(file.parent_path());
    const vips::VImage xy = vips::VImage::xyz(width, height);
    vips::VImage rgb = (xy[0] % 200 + 20).bandjoin(xy[1] % 200 + 20).bandjoin(120);
    rgb = rgb.cast(VIPS_FORMAT_UCHAR)
              .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    rgb.set("exif-ifd3-GPSLatitudeRef", "N");
    rgb.jpegsave(file.c_str(), vips::VImage::option()->set("Q", 95));
}

std::vector<double> PixelAt(const fs::path& file, int x, int y) {
    return vips::VImage::new_from_file(file.c_str()).getpoint(x, y);
}

// The pixels at `r` left, right, above and below (x, y) that lie inside a
// picture of that width and height are red.
void ExpectRing(const fs::path& file, int x, int y, int r, int width, int height) {
    for (const auto& [dx, dy] : {std::pair{r, 0}, {-r, 0}, {0, r}, {0, -r}}) {
        if (x + dx < 0 || x + dx >= width || y + dy < 0 || y + dy >= height) continue;
        const auto p = PixelAt(file, x + dx, y + dy);
        EXPECT_TRUE(p[0] > 200 && p[1] < 70 && p[2] < 70) << file << " " << dx << "," << dy;
    }
}
bool Near(const std::vector<double>& a, const std::vector<double>& b) {
    for (std::size_t i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > 8) return false;
    return true;
}

// Every file below a folder with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = ReadBytes(entry.path());
    return files;
}

struct Sortie {
    TempFolder folder;
    fs::path sortie = folder / "第1架次";
    fs::path photos = folder / "flight";
    Sortie() {
        fs::create_directories(sortie / "刺点片");
        fs::create_directories(sortie / "过程数据");
        MakeRampJpeg(photos / "IMG_0286.JPG", 640, 480);
        MakeRampJpeg(photos / "IMG_0287.jpg", 640, 480);
        WriteBytes(photos / "text.jpg", "not a picture");
        // Headers that claim 110 and 100 megapixels: too large to decode, or
        // small enough to try (the data then runs out).
        std::string bytes = ReadBytes(photos / "IMG_0286.JPG");
        const std::size_t size = bytes.find("\xFF\xC0") + 5;
        for (const auto& [name, height] : {std::pair{"big.jpg", 11000}, {"ok.jpg", 10000}}) {
            bytes[size] = char(height >> 8), bytes[size + 1] = char(height & 0xFF);
            bytes[size + 2] = char(10000 >> 8), bytes[size + 3] = char(10000 & 0xFF);
            WriteBytes(photos / name, bytes);
        }
        MakeRampJpeg(sortie / "过程数据" / "P0009.jpg", 64, 48);  // a sketch as the photo
        // An earlier hand-in of P0001 on another photo, recorded.
        WriteBytes(sortie / "刺点片" / "P0001_IMG_0287.jpg", "earlier");
        WriteBytes(sortie / "刺点片" / "P0002_IMG_0287.jpg", "other point");
        EXPECT_TRUE(WritePrickingRecord(sortie, {{"P0001", "IMG_0287.jpg", 10, 20, true}}));
    }
};

TEST(Pricking, WritesMarkedPhotoAndSketchOrRefusesChangingNothing) {
    struct Case {
        std::string point;
        std::string photo;
        double x, y;
        bool observation = false;
        int sketchWidth = 0;
        std::string refusal = {};  // part of the message; empty when it succeeds
        PixelRect sketch = {};     // expected cut when it succeeds
    };
    const Case cases[] = {
        {"p0001", "IMG_0286.JPG", 320.5, 240.5, false, 0, "", {241, 181, 160, 120}},
        {"P0001", "IMG_0286.JPG", 5.5, 475.5, false, 0, "", {0, 360, 160, 120}},
        {"P0001", "IMG_0286.JPG", 639.9, 100.5, false, 101, "", {539, 63, 101, 76}},
        {"P0001", "IMG_0286.JPG", 0, 0, true},
        {"P0001", "IMG_0286.JPG", 640, 100, false, 0, "不在航片"},
        {"P0001", "IMG_0286.JPG", 100, -0.1, false, 0, "不在航片"},
        {"P0001", "IMG_0286.JPG", 100, 480, false, 0, "不在航片"},
        {"P0001", "IMG_0287.jpg", 50, 50, true, 0, "重新保存刺点片"},
        {"P0001", "missing.jpg", 50, 50, false, 0, "不存在"},
        {"P0001", "text.jpg", 50, 50, false, 0, "不是可以读取的图片"},
        {"P0001", "big.jpg", 50, 50, false, 0, "10000×11000像素，处理约需533 MB内存"},
        {"P0001", "ok.jpg", 50, 50, false, 0, "图片数据不完整或已损坏"},
        {"P_1", "IMG_0286.JPG", 50, 50, false, 0, "点名“P_1”无效"},
        {"", "IMG_0286.JPG", 50, 50, false, 0, "点名“”无效"},
        {std::string(41, 'P'), "IMG_0286.JPG", 50, 50, false, 0, "太长"},
        {"P0009", "../第1架次/过程数据/P0009.jpg", 5, 5, false, 0, "就是输入文件"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.point + " " + c.photo + " " + std::to_string(c.x) + "," +
                     std::to_string(c.y));
        Sortie s;
        const auto before = Snapshot(s.folder.path());
        const fs::path photo = s.photos / c.photo;
        const auto pricked = Prick(
            {s.sortie, c.point, photo, c.x, c.y, c.observation, c.sketchWidth}, Feedback::None());
        if (!c.refusal.empty()) {
            ASSERT_FALSE(pricked);
            EXPECT_NE(pricked.status().message().find(c.refusal), std::string::npos)
                << pricked.status().message();
            EXPECT_EQ(Snapshot(s.folder.path()), before);
            continue;
        }
        ASSERT_TRUE(pricked) << pricked.status().message();
        const auto record = ReadPrickingRecord(s.sortie);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->back(), (Pricking{"P0001", c.photo, c.x, c.y, !c.observation}));
        EXPECT_EQ(record->front().handIn, c.observation);  // the earlier hand-in
        EXPECT_TRUE(fs::exists(s.sortie / "刺点片" / "P0002_IMG_0287.jpg"));
        if (c.observation) {
            EXPECT_TRUE(pricked->handInPhoto.empty());
            EXPECT_TRUE(fs::exists(s.sortie / "刺点片" / "P0001_IMG_0287.jpg"));
            EXPECT_FALSE(fs::exists(s.sortie / "过程数据" / "P0001.jpg"));
            continue;
        }
        EXPECT_EQ(pricked->handInPhoto, s.sortie / "刺点片" / "P0001_IMG_0286.jpg");
        EXPECT_EQ(pricked->sketch, s.sortie / "过程数据" / "P0001.jpg");
        EXPECT_FALSE(fs::exists(s.sortie / "刺点片" / "P0001_IMG_0287.jpg"));

        // The hand-in photo: own size, GPS kept, the ring's four sides red at
        // the same distance from the point, the point itself and far pixels
        // as in the photo.
        const auto info = ReadSample(pricked->handInPhoto);
        EXPECT_EQ(std::tuple(info.width, info.height, info.gpsRef), std::tuple(640, 480, "N"));
        const int px = int(c.x), py = int(c.y);
        EXPECT_TRUE(Near(PixelAt(pricked->handInPhoto, px, py), PixelAt(photo, px, py)));
        ExpectRing(pricked->handInPhoto, px, py, MarkSizeFor(640).radius, 640, 480);
        const int farX = px < 320 ? 560 : 60, farY = py < 240 ? 440 : 60;
        EXPECT_TRUE(Near(PixelAt(pricked->handInPhoto, farX, farY), PixelAt(photo, farX, farY)));

        // The sketch: the expected cut, marked around the point.
        const PixelRect cut = SketchRectangle(640, 480, c.x, c.y, c.sketchWidth);
        EXPECT_EQ(cut, c.sketch);
        const auto sketch = ReadSample(pricked->sketch);
        EXPECT_EQ(std::pair(sketch.width, sketch.height), std::pair(cut.width, cut.height));
        const int sx = px - cut.x, sy = py - cut.y;
        EXPECT_TRUE(Near(PixelAt(pricked->sketch, sx, sy), PixelAt(photo, px, py)));
        ExpectRing(pricked->sketch, sx, sy, MarkSizeFor(cut.width).radius, cut.width, cut.height);
        const int cornerX = sx < cut.width / 2 ? cut.width - 3 : 2;
        const int cornerY = sy < cut.height / 2 ? cut.height - 3 : 2;
        EXPECT_TRUE(Near(PixelAt(pricked->sketch, cornerX, cornerY),
                         PixelAt(photo, cut.x + cornerX, cut.y + cornerY)));
    }
}

TEST(Pricking, SketchRectangleKeepsFourToThreeInsideThePhoto) {
    struct Case {
        int width, height;
        double x, y;
        int sketchWidth;
        PixelRect expected;
    };
    const Case cases[] = {
        {5472, 3648, 2736, 1824, 0, {2052, 1311, 1368, 1026}},
        {5472, 3648, 10, 3640, 0, {0, 2622, 1368, 1026}},
        {5472, 3648, 5471.9, 0, 0, {4104, 0, 1368, 1026}},
        {101, 77, 50.5, 38.5, 0, {38, 29, 25, 19}},
        {400, 90, 200, 45, 300, {140, 0, 120, 90}},     // too high: made smaller
        {200, 900, 100, 450, 999, {0, 375, 200, 150}},  // too wide: the photo's width
        {640, 480, 319.4, 240, 161, {239, 180, 161, 121}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        EXPECT_EQ(SketchRectangle(c.width, c.height, c.x, c.y, c.sketchWidth), c.expected);
    }
}

TEST(PrickingRecord, FollowsPrickingsAndReadsBack) {
    Sortie s;
    const fs::path a = s.photos / "IMG_0286.JPG", b = s.photos / "IMG_0287.jpg";
    ASSERT_TRUE(Prick({s.sortie, "P0002", a, 1.25, 2}, Feedback::None()));
    ASSERT_TRUE(Prick({s.sortie, "P0002", b, 3, 4, true}, Feedback::None()));
    ASSERT_TRUE(Prick({s.sortie, "P0002", b, 5, 6, true}, Feedback::None()));  // moved
    ASSERT_TRUE(Prick({s.sortie, "P0001", a, 7, 8, true}, Feedback::None()));
    const std::vector<Pricking> expected = {{"P0001", "IMG_0287.jpg", 10, 20, true},
                                            {"P0002", "IMG_0286.JPG", 1.25, 2, true},
                                            {"P0002", "IMG_0287.jpg", 5, 6, false},
                                            {"P0001", "IMG_0286.JPG", 7, 8, false}};
    auto record = ReadPrickingRecord(s.sortie);
    ASSERT_TRUE(record);
    EXPECT_EQ(*record, expected);
    EXPECT_EQ(ReadBytes(PrickingRecordPath(s.sortie)),
              "\xB5\xE3\xC3\xFB,\xBA\xBD\xC6\xAC,X,Y,\xB4\xCC\xB5\xE3\xC6\xAC\r\n"
              "P0001,IMG_0287.jpg,10,20,\xCA\xC7\r\n"
              "P0002,IMG_0286.JPG,1.25,2,\xCA\xC7\r\n"
              "P0002,IMG_0287.jpg,5,6,\xB7\xF1\r\n"
              "P0001,IMG_0286.JPG,7,8,\xB7\xF1\r\n");
    // A new hand-in on a photo that was an observation takes over.
    ASSERT_TRUE(Prick({s.sortie, "P0002", b, 9, 9}, Feedback::None()));
    record = ReadPrickingRecord(s.sortie);
    ASSERT_TRUE(record);
    EXPECT_FALSE((*record)[1].handIn);
    EXPECT_EQ((*record)[2], (Pricking{"P0002", "IMG_0287.jpg", 9, 9, true}));
    EXPECT_FALSE(fs::exists(s.sortie / "刺点片" / "P0002_IMG_0286.jpg"));

    // No file, no prickings; a line that is no pricking names its number.
    fs::remove(PrickingRecordPath(s.sortie));
    EXPECT_TRUE(ReadPrickingRecord(s.sortie)->empty());
    for (const std::string bad : {"P1,a.jpg,1,2", "P1,a.jpg,1,x,\xCA\xC7", "P1,a.jpg,1,2,yes",
                                  "P1,a.jpg,1,2,\xCA\xC7,7", ",a.jpg,1,2,\xCA\xC7"}) {
        WriteBytes(PrickingRecordPath(s.sortie), "P1,b.jpg,1,2,\xCA\xC7\r\n\r\n" + bad + "\r\n");
        const auto read = ReadPrickingRecord(s.sortie);
        ASSERT_FALSE(read) << bad;
        EXPECT_NE(read.status().message().find("第3行"), std::string::npos)
            << read.status().message();
    }
}

}  // namespace
}  // namespace skyrell
