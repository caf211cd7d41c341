#include <gtest/gtest.h>
#include <vips/vips8>

#include <vector>

#include "photo/image_engine.h"
#include "support/image_engine_samples.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

void WriteSolidJpeg(const std::filesystem::path& file, int width, int height) {
    ASSERT_TRUE(StartImageEngine());
    (vips::VImage::black(width, height, vips::VImage::option()->set("bands", 3)) +
     std::vector<double>{230, 20, 40})
        .cast(VIPS_FORMAT_UCHAR)
        .jpegsave(file.c_str(), vips::VImage::option()->set("Q", 95));
}

// The whole photo arrives as blue, green, red, 255 in rows the caller gives,
// at every size, partial JPEG blocks included.
TEST(DecodePhotoBgrx, FillsTheCallersRowsOrSaysWhyNot) {
    testing::TempFolder folder;
    struct Case {
        int width, height;
    };
    for (const Case c : {Case{1, 1}, Case{17, 9}, Case{301, 203}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const auto photo = folder / "red.jpg";
        WriteSolidJpeg(photo, c.width, c.height);
        std::vector<unsigned char> pixels;
        int width = 0, height = 0;
        const Status decoded = DecodePhotoBgrx(photo, [&](int w, int h) {
            width = w;
            height = h;
            pixels.assign(static_cast<std::size_t>(w) * h * 4, 0);
            return pixels.data();
        });
        ASSERT_TRUE(decoded) << decoded.message();
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        const auto last = pixels.size() - 4;
        for (const std::size_t at : {std::size_t{0}, last}) {
            EXPECT_NEAR(pixels[at], 40, 6);
            EXPECT_NEAR(pixels[at + 1], 20, 6);
            EXPECT_NEAR(pixels[at + 2], 230, 6);
            EXPECT_EQ(pixels[at + 3], 255);
        }
    }
    // A photo stored on its side arrives upright.
    testing::MakeSampleJpeg(folder / "turned.jpg", 40, 24, 6);
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
    ASSERT_TRUE(DecodePhotoBgrx(folder / "turned.jpg", [&](int w, int h) {
        width = w;
        height = h;
        pixels.resize(static_cast<std::size_t>(w) * h * 4);
        return pixels.data();
    }));
    EXPECT_EQ(width, 24);
    EXPECT_EQ(height, 40);

    // Refused rows and files that are no picture fail, and nothing is written.
    const auto refuse = [](int, int) -> unsigned char* { return nullptr; };
    EXPECT_FALSE(DecodePhotoBgrx(folder / "red.jpg", refuse));
    testing::WriteBytes(folder / "text.jpg", "not a picture");
    bool asked = false;
    const Status text = DecodePhotoBgrx(folder / "text.jpg", [&](int, int) -> unsigned char* {
        asked = true;
        return nullptr;
    });
    EXPECT_EQ(text.message(), kNotAPictureText);
    EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace skyrell
