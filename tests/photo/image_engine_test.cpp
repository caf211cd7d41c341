#include "photo/image_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "support/image_engine_samples.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::MakeSampleJpeg;
using testing::ReadBytes;
using testing::ReadSample;
using testing::SamplePlanes;
using testing::TempFolder;
using testing::WriteBytes;

// Largest and mean difference between two plane sets of the same size. The
// decoder's integer IDCT rounds a transposed block up to one level apart, so
// a lossless quarter turn is within 1, while a re-encoding is up to some 25
// levels off.
std::pair<int, double> Difference(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return {255, 255};
    int most = 0;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int d = std::abs(int((unsigned char)a[i]) - int((unsigned char)b[i]));
        most = std::max(most, d);
        sum += d;
    }
    return {most, sum / double(a.size())};
}

TEST(ImageEngine, TurnsResizesAndKeepsMetadata) {
    struct Case {
        const char* what;
        int width, height, orientation;
        double degrees;  // 0: no turn
        int percent;     // 0: no resize
        int quality;
        int outWidth, outHeight;
        bool lossless;
        bool whiteCorner;
        int storedTurns;  // quarter turns of the stored source planes; -1: not comparable
    };
    const Case cases[] = {
        {"180 whole MCUs", 64, 48, 0, 180, 0, 12, 64, 48, true, false, 2},
        {"90 whole MCUs", 64, 48, 0, 90, 0, 12, 48, 64, true, false, 1},
        {"-90 whole MCUs", 64, 48, 1, -90, 0, 12, 48, 64, true, false, 3},
        {"-270 is +90", 64, 48, 0, -270, 0, 12, 48, 64, true, false, 1},
        {"90 odd size", 50, 30, 0, 90, 0, 12, 30, 50, false, false, 1},
        {"90 upright from orientation 6", 64, 48, 6, 90, 0, 12, 64, 48, false, false, 2},
        {"12.5 grows the canvas", 64, 48, 0, 12.5, 0, 12, 73, 61, false, true, -1},
        {"resize 50 %", 64, 48, 0, 0, 50, 12, 32, 24, false, false, -1},
        {"resize 1 % keeps a pixel", 64, 48, 0, 0, 1, 12, 1, 1, false, false, -1},
        {"resize 25 % shrinks on load", 400, 300, 0, 0, 25, 12, 100, 75, false, false, -1},
        {"orientation 6 comes out upright", 64, 48, 6, 0, 100, 12, 48, 64, false, false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        MakeSampleJpeg(folder / "in.jpg", c.width, c.height, c.orientation);
        PhotoImage photo;
        ASSERT_TRUE(photo.Open(folder / "in.jpg"));
        if (c.degrees != 0) {
            ASSERT_TRUE(photo.Rotate(c.degrees));
        }
        if (c.percent) {
            const auto size = photo.Size();
            ASSERT_TRUE(size);
            ASSERT_TRUE(photo.Resize({int(std::lround(size->width * c.percent / 100.0)),
                                      int(std::lround(size->height * c.percent / 100.0))}));
        }
        const auto size = photo.Size();
        ASSERT_TRUE(size);
        EXPECT_EQ(*size, (ImageSize{c.outWidth, c.outHeight}));
        ASSERT_TRUE(photo.SaveJpeg(folder / "out.jpg", c.quality));
        EXPECT_EQ(photo.SavedLosslessly(), c.lossless);
        const auto out = ReadSample(folder / "out.jpg");
        EXPECT_EQ(out.width, c.outWidth);
        EXPECT_EQ(out.height, c.outHeight);
        EXPECT_EQ(out.gpsRef, "N");
        EXPECT_EQ(out.exifWidth, c.outWidth);
        EXPECT_EQ(out.exifHeight, c.outHeight);
        EXPECT_TRUE(out.orientation == 1 || (c.lossless && out.orientation == c.orientation));
        EXPECT_EQ(out.cornerWhite, c.whiteCorner);
        // Clockwise: the left edge near the top is canvas, not picture.
        if (c.whiteCorner) {
            EXPECT_TRUE(testing::WhiteAt(folder / "out.jpg", 1, 14));
        }
        if (c.storedTurns >= 0) {
            const auto [most, mean] = Difference(SamplePlanes(folder / "out.jpg"),
                                                 SamplePlanes(folder / "in.jpg", c.storedTurns));
            if (c.lossless) {
                EXPECT_LE(most, c.degrees == 180 ? 0 : 1);
            } else {
                EXPECT_LT(mean, 3.0);  // a wrong turn is about 50 apart
            }
        }
        const auto files = std::distance(std::filesystem::directory_iterator(folder.path()),
                                         std::filesystem::directory_iterator());
        EXPECT_EQ(files, 2);  // no temporary file left beside the two photos
    }
}

TEST(ImageEngine, QualityOneWritesAMuchSmallerFile) {
    TempFolder folder;
    MakeSampleJpeg(folder / "a.jpg", 256, 192);
    for (int quality : {1, 12}) {
        PhotoImage photo;
        ASSERT_TRUE(photo.Open(folder / "a.jpg"));
        ASSERT_TRUE(photo.SaveJpeg(folder / ("q" + std::to_string(quality) + ".jpg"), quality));
    }
    EXPECT_LT(ReadBytes(folder / "q1.jpg").size() * 3, ReadBytes(folder / "q12.jpg").size());
}

TEST(ImageEngine, NamesEndingInBracketsAreFileNamesNotLoadOptions) {
    for (const char* name : {"a[1].jpg", "b[Q=5]", "c[shrink=2]", "d["}) {
        SCOPED_TRACE(name);
        TempFolder folder;
        MakeSampleJpeg(folder / "plain.jpg", 64, 48);
        std::filesystem::rename(folder / "plain.jpg", folder / name);
        PhotoImage photo;
        ASSERT_TRUE(photo.Open(folder / name));
        ASSERT_TRUE(photo.Resize({32, 24}));
        ASSERT_TRUE(photo.SaveJpeg(folder / "out.jpg", 12));
        EXPECT_EQ(ReadSample(folder / "out.jpg").width, 32);
        const auto preview = MakePhotoPreview(folder / name, 16);
        ASSERT_TRUE(preview);
        EXPECT_EQ(preview->width, 16);
        EXPECT_EQ(preview->rgb.size(), 16u * 12u * 3u);
    }
}

// Failures are the engine's own Chinese reasons, and libvips prints nothing.
TEST(ImageEngine, FailuresAreChineseAndQuiet) {
    struct Case {
        const char* what;
        const char* name;
        std::string bytes;          // written as the file unless empty
        const char* reason;         // of Open, SaveJpeg or the preview; "" when it succeeds
        const char* previewReason;  // "" when the preview succeeds
    };
    TempFolder samples;
    MakeSampleJpeg(samples / "whole.jpg", 64, 48);
    const std::string whole = ReadBytes(samples / "whole.jpg");
    const Case cases[] = {
        {"missing", "gone.jpg", "", "文件或文件夹不存在。", "文件或文件夹不存在。"},
        {"text", "a.txt", "text", "不是可以读取的图片", "不是可以读取的图片"},
        {"header only", "head.jpg", whole.substr(0, 200), "图片数据不完整或已损坏",
         "图片数据不完整或已损坏"},
        {"cut in the scan", "cut.jpg", whole.substr(0, whole.size() * 2 / 3),
         "图片数据不完整或已损坏", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        if (!c.bytes.empty()) WriteBytes(folder / c.name, c.bytes);
        ::testing::internal::CaptureStderr();
        PhotoImage photo;
        Status status = photo.Open(folder / c.name);
        if (status) status = photo.Rotate(12.5);
        if (status) status = photo.SaveJpeg(folder / "out.jpg", 12);
        const auto preview = MakePhotoPreview(folder / c.name, 16);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(status.message(), *c.reason ? std::string(c.name) + "：" + c.reason : "");
        EXPECT_EQ(preview ? std::string() : preview.status().message(), c.previewReason);
    }
}

// What the batch's memory budget is told: the coefficients of a lossless turn
// (once for a half turn, twice for a quarter), the picture and the file for a
// decoded one.
TEST(ImageEngine, MemoryCostFollowsHowThePhotoIsWorked) {
    struct Case {
        const char* what;
        int width, height;
        double degrees;
        std::uint64_t cost;  // 0: the decoded turn's cost
    };
    // 64 x 48 at 4:2:0: 48 luma and 2 x 12 chroma blocks of 128 bytes.
    constexpr std::uint64_t kBlocks = 72 * 128, kMiB = 1 << 20;
    const Case cases[] = {
        {"half turn", 64, 48, 180, kBlocks + kMiB},
        {"quarter turn", 64, 48, -90, 2 * kBlocks + kMiB},
        {"turns that add up to nothing", 64, 48, 360, kBlocks + kMiB},
        {"ragged edge is decoded", 50, 30, 90, 0},
        {"free angle is decoded", 64, 48, 12.5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        MakeSampleJpeg(folder / "in.jpg", c.width, c.height);
        PhotoImage photo;
        EXPECT_EQ(photo.MemoryCost(), 0u);
        ASSERT_TRUE(photo.Open(folder / "in.jpg"));
        ASSERT_TRUE(photo.Rotate(c.degrees));
        const std::uint64_t decoded = std::uint64_t(c.width) * c.height * 6 +
                                      2 * std::filesystem::file_size(folder / "in.jpg");
        EXPECT_EQ(photo.MemoryCost(), c.cost ? c.cost : decoded);
    }
}

}  // namespace
}  // namespace skyrell
