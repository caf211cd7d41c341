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

}  // namespace
}  // namespace skyrell
