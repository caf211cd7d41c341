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

// Against libvips' own Lanczos3 on noise: the same kernel on the same pixel
// centres differs by rounding, a shifted centre or a lost edge by tens of
// levels. Each row is also made in two spans, as a pipeline may ask for it.
TEST(WidthReduction, MatchesTheLibraryKernelOnNoise) {
    ASSERT_TRUE(StartImageEngine());
    const struct {
        int in, out, bands;
    } cases[] = {{5472, 2736, 3}, {101, 50, 1}, {640, 427, 3}, {97, 31, 4}, {13, 5, 2}};
    std::mt19937 random(7);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.in) + "->" + std::to_string(c.out));
        std::vector<unsigned char> noise(std::size_t(c.in) * c.bands);
        for (auto& v : noise) v = static_cast<unsigned char>(random() & 255);
        const vips::VImage theirs =
            vips::VImage::new_from_memory(noise.data(), noise.size(), c.in, 1, c.bands,
                                          VIPS_FORMAT_UCHAR)
                .reduceh(double(c.in) / c.out,
                         vips::VImage::option()->set("kernel", VIPS_KERNEL_LANCZOS3))
                .copy_memory();
        ASSERT_EQ(theirs.width(), c.out);
        const WidthReduction plan(c.in, c.out, c.bands);
        std::vector<unsigned char> whole(std::size_t(c.out) * c.bands), spans(whole.size());
        plan.Reduce(noise.data(), 0, whole.data(), 0, c.out);
        const int split = c.out / 2, left = plan.First(split);
        plan.Reduce(noise.data(), 0, spans.data(), 0, split);
        plan.Reduce(noise.data() + std::size_t(left) * c.bands, left,
                    spans.data() + std::size_t(split) * c.bands, split, c.out);
        EXPECT_EQ(whole, spans);
        const auto* library = static_cast<const unsigned char*>(theirs.data());
        int most = 0;
        for (std::size_t i = 0; i < whole.size(); ++i)
            most = std::max(most, std::abs(int(whole[i]) - int(library[i])));
        EXPECT_LE(most, 2);
    }
}

// A photo resized by the engine against libvips' resize of the same picture,
// both coded alike: 8 x 6 squares over a ramp, so a row or column out of
// place is an edge off by some hundred levels; the coding differs by less
// than one on average.
TEST(WidthReduction, ResizedPhotoMatchesTheLibraryResize) {
    ASSERT_TRUE(StartImageEngine());
    testing::TempFolder folder;
    const int width = 403, height = 301;
    std::vector<unsigned char> board(std::size_t(width) * height * 3);
    for (std::size_t i = 0; i < board.size(); ++i) {
        const int x = int(i / 3 % width), y = int(i / 3 / width);
        board[i] = static_cast<unsigned char>((x / 8 + y / 6) % 2 ? 200 - y / 3 : 40 + y / 4);
    }
    const vips::VImage picture = vips::VImage::new_from_memory(board.data(), board.size(), width,
                                                               height, 3, VIPS_FORMAT_UCHAR);
    picture.pngsave((folder / "board.png").c_str());
    PhotoImage photo;
    ASSERT_TRUE(photo.Open(folder / "board.png"));
    ASSERT_TRUE(photo.Resize({202, 150}));
    ASSERT_TRUE(photo.SaveJpeg(folder / "ours.jpg", 12));
    picture
        .resize(202.0 / width, vips::VImage::option()
                                   ->set("vscale", 150.0 / height)
                                   ->set("kernel", VIPS_KERNEL_LANCZOS3))
        .jpegsave(
            (folder / "theirs.jpg").c_str(),
            vips::VImage::option()->set("Q", 95)->set("subsample_mode", VIPS_FOREIGN_SUBSAMPLE_ON));
    const auto ours = vips::VImage::new_from_file((folder / "ours.jpg").c_str());
    const auto theirs = vips::VImage::new_from_file((folder / "theirs.jpg").c_str());
    ASSERT_EQ(ours.width(), theirs.width());
    ASSERT_EQ(ours.height(), theirs.height());
    EXPECT_LE((ours.cast(VIPS_FORMAT_INT) - theirs.cast(VIPS_FORMAT_INT)).abs().avg(), 2.0);
}

}  // namespace
}  // namespace skyrell
