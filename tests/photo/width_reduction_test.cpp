#include "photo/width_reduction.h"

#include <gtest/gtest.h>
#include <vips/vips8>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "photo/image_engine.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

// The engine's narrowing against libvips' own Lanczos3 reduction of the same
// noise: the same kernel on the same pixel centres differs only by rounding,
// where a shifted centre or a wrong edge is tens of levels off. Each row is
// also made in two spans, as the pipeline asks for them, and must come out the
// same.
TEST(WidthReduction, MatchesTheLibraryKernelOnNoise) {
    ASSERT_TRUE(StartImageEngine());
    struct Case {
        int in, out, bands;
    } cases[] = {
        {5472, 2736, 3},  // a 20-megapixel photo at 50 %
        {101, 50, 1},     // odd width, factor just over two
        {640, 427, 3},    // factor 1.5
        {97, 31, 4},      // factor over three, alpha
        {13, 5, 2},       // the kernel wider than the row
        {9, 9, 3},        // no reduction
    };
    std::mt19937 random(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.in) + "->" + std::to_string(c.out));
        const int rows = 3;
        std::vector<unsigned char> noise(std::size_t(c.in) * rows * c.bands);
        for (auto& v : noise) v = static_cast<unsigned char>(random() & 255);
        const vips::VImage image = vips::VImage::new_from_memory(noise.data(), noise.size(), c.in,
                                                                 rows, c.bands, VIPS_FORMAT_UCHAR);
        const vips::VImage library =
            image
                .reduceh(double(c.in) / c.out,
                         vips::VImage::option()->set("kernel", VIPS_KERNEL_LANCZOS3))
                .copy_memory();
        ASSERT_EQ(library.width(), c.out);

        const WidthReduction plan(c.in, c.out, c.bands);
        const std::size_t rowBytes = std::size_t(c.out) * c.bands;
        int most = 0;
        for (int y = 0; y < rows; ++y) {
            const unsigned char* row = noise.data() + std::size_t(y) * c.in * c.bands;
            std::vector<unsigned char> whole(rowBytes), spans(rowBytes);
            plan.Reduce(row, 0, whole.data(), 0, c.out);
            const int split = c.out / 2;
            const int left = plan.First(split);
            plan.Reduce(row, 0, spans.data(), 0, split);
            plan.Reduce(row + std::size_t(left) * c.bands, left,
                        spans.data() + std::size_t(split) * c.bands, split, c.out);
            EXPECT_EQ(whole, spans);
            const auto* theirs =
                static_cast<const unsigned char*>(VIPS_IMAGE_ADDR(library.get_image(), 0, y));
            for (std::size_t i = 0; i < rowBytes; ++i)
                most = std::max(most, std::abs(int(whole[i]) - int(theirs[i])));
        }
        EXPECT_LE(most, 2);
    }
}

// A photo resized by the engine (its height by libvips, its width by the
// narrowing) against libvips' own resize of the same picture: a board of
// 8 x 6 pixel squares over a ramp, so a column or row out of place is an edge
// off, some hundred levels, where the same JPEG coding of either differs by
// less than one level on average.
TEST(WidthReduction, ResizedPhotoMatchesTheLibraryResize) {
    ASSERT_TRUE(StartImageEngine());
    testing::TempFolder folder;
    const int width = 403, height = 301;
    std::vector<unsigned char> bars(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int b = 0; b < 3; ++b)
                bars[(std::size_t(y) * width + x) * 3 + b] =
                    static_cast<unsigned char>((x / 8 + y / 6) % 2 ? 200 - y / 3 + b : 40 + y / 4);
    const vips::VImage picture = vips::VImage::new_from_memory(bars.data(), bars.size(), width,
                                                               height, 3, VIPS_FORMAT_UCHAR);
    picture.pngsave((folder / "bars.png").c_str());

    PhotoImage photo;
    ASSERT_TRUE(photo.Open(folder / "bars.png"));
    ASSERT_TRUE(photo.Resize({202, 150}));
    ASSERT_TRUE(photo.SaveJpeg(folder / "half.jpg", 12));
    const vips::VImage ours = vips::VImage::new_from_file((folder / "half.jpg").c_str());
    picture
        .resize(202.0 / width, vips::VImage::option()
                                   ->set("vscale", 150.0 / height)
                                   ->set("kernel", VIPS_KERNEL_LANCZOS3))
        .jpegsave(
            (folder / "theirs.jpg").c_str(),
            vips::VImage::option()->set("Q", 95)->set("subsample_mode", VIPS_FOREIGN_SUBSAMPLE_ON));
    const vips::VImage theirs = vips::VImage::new_from_file((folder / "theirs.jpg").c_str());
    ASSERT_EQ(ours.width(), theirs.width());
    ASSERT_EQ(ours.height(), theirs.height());
    EXPECT_LE((ours.cast(VIPS_FORMAT_INT) - theirs.cast(VIPS_FORMAT_INT)).abs().avg(), 2.0);
}

}  // namespace
}  // namespace skyrell
