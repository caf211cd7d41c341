// Sizes that do not divide evenly: the batch resize rounds each side of
// w x s by h x s to the nearest pixel, and the preview fits the photo into its
// square whatever the photo's shape, never enlarging it.

#include <gtest/gtest.h>

#include "photo/image_engine.h"
#include "photo/photo_batch.h"
#include "support/image_engine_samples.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::MakeSampleJpeg;
using testing::ReadSample;
using testing::TempFolder;

TEST(PhotoSizes, ResizeRoundsEachSideToTheNearestPixel) {
    const struct {
        int width, height, percent;
        int outWidth, outHeight;
    } cases[] = {
        {101, 67, 67, 68, 45},                          // 67.67 x 44.89: both round up
        {101, 67, 33, 33, 22},                          // 33.33 x 22.11: both round down
        {403, 301, 20, 81, 60},                         // shrunk while decoding first
        {403, 301, 7, 28, 21},  {1001, 7, 10, 100, 1},  // 0.7 of a pixel keeps one
        {3, 3, 1, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " +
                     std::to_string(c.percent) + "%");
        TempFolder folder;
        MakeSampleJpeg(folder / "in.jpg", c.width, c.height);
        PhotoOperation resize;
        resize.kind = PhotoOperation::Resize;
        resize.percent = c.percent;
        ASSERT_TRUE(ApplyPhotoOperation(resize, folder / "in.jpg", folder / "out.jpg"));
        const auto out = ReadSample(folder / "out.jpg");
        EXPECT_EQ(out.width, c.outWidth);
        EXPECT_EQ(out.height, c.outHeight);
    }
}

TEST(PhotoSizes, PreviewFitsTheSquareWithoutEnlarging) {
    const struct {
        const char* what;
        int width, height, orientation;
        int previewWidth, previewHeight;
    } cases[] = {
        {"landscape", 400, 300, 0, 100, 75},
        {"portrait", 300, 400, 0, 75, 100},
        {"landscape, uneven", 401, 303, 0, 100, 76},
        {"portrait, uneven", 303, 401, 0, 76, 100},
        {"one pixel over", 101, 80, 0, 100, 79},
        {"exactly the square", 100, 80, 0, 100, 80},
        {"smaller than the square", 60, 41, 0, 60, 41},
        {"stored landscape, shown portrait", 400, 300, 6, 75, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        MakeSampleJpeg(folder / "in.jpg", c.width, c.height, c.orientation);
        const auto preview = MakePhotoPreview(folder / "in.jpg", 100);
        ASSERT_TRUE(preview) << preview.status().message();
        EXPECT_EQ(preview->width, c.previewWidth);
        EXPECT_EQ(preview->height, c.previewHeight);
        EXPECT_EQ(preview->rgb.size(), std::size_t(preview->width) * preview->height * 3);
    }
}

}  // namespace
}  // namespace skyrell
