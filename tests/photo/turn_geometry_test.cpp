// Right-angle turns across photo geometries: every sampling the engine turns
// in the DCT domain, planes with odd block counts (a centre block that a half
// turn must turn in place), pictures whose quarter turn takes several bands,
// and partial MCUs, which must be declined and
// re-encoded. Lossless results are compared with TurboJPEG's own lossless
// transform of the same file, plane by plane and exactly.

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "photo/image_engine.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const unsigned char* Bytes(const std::string& jpeg) {
    return reinterpret_cast<const unsigned char*>(jpeg.data());
}

// A picture that differs in every direction and inside every block.
std::vector<unsigned char> Pattern(int width, int height) {
    std::vector<unsigned char> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int v :
                 {20 + x * 150 / width + y * 60 / height, 40 + x * y * 170 / (width * height),
                  230 - y * 140 / height - x * 50 / width})
                rgb.push_back(static_cast<unsigned char>(v));
    return rgb;
}

std::string Compress(const std::vector<unsigned char>& rgb, int width, int height, int sampling) {
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &out, &size, sampling, 90, 0);
    std::string jpeg(reinterpret_cast<const char*>(out), size);
    tjFree(out);
    tjDestroy(handle);
    return jpeg;
}

// The planes as stored (no upsampling), with the size and sampling.
struct Planes {
    int width = 0, height = 0, sampling = -1;
    std::string bytes;
};

Planes DecodePlanes(const std::string& jpeg) {
    Planes planes;
    tjhandle handle = tjInitDecompress();
    int colourspace = 0;
    tjDecompressHeader3(handle, Bytes(jpeg), jpeg.size(), &planes.width, &planes.height,
                        &planes.sampling, &colourspace);
    const int count = planes.sampling == TJSAMP_GRAY ? 1 : 3;
    std::vector<std::vector<unsigned char>> storage(count);
    unsigned char* pointers[3] = {};
    for (int i = 0; i < count; ++i) {
        storage[i].resize(tjPlaneSizeYUV(i, planes.width, 0, planes.height, planes.sampling));
        pointers[i] = storage[i].data();
    }
    tjDecompressToYUVPlanes(handle, Bytes(jpeg), jpeg.size(), pointers, planes.width, nullptr,
                            planes.height, 0);
    tjDestroy(handle);
    for (const auto& plane : storage) planes.bytes.append(plane.begin(), plane.end());
    return planes;
}

std::vector<unsigned char> DecodeRgb(const std::string& jpeg, int width, int height) {
    std::vector<unsigned char> rgb(std::size_t(width) * height * 3);
    tjhandle handle = tjInitDecompress();
    tjDecompress2(handle, Bytes(jpeg), jpeg.size(), rgb.data(), width, 0, height, TJPF_RGB, 0);
    tjDestroy(handle);
    return rgb;
}

// The RGB picture turned clockwise by quarterTurns x 90 degrees.
std::vector<unsigned char> TurnRgb(std::vector<unsigned char> rgb, int width, int height,
                                   int quarterTurns) {
    for (int turn = 0; turn < quarterTurns; ++turn) {
        std::vector<unsigned char> turned(rgb.size());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    turned[(std::size_t(x) * height + (height - 1 - y)) * 3 + c] =
                        rgb[(std::size_t(y) * width + x) * 3 + c];
        rgb.swap(turned);
        std::swap(width, height);
    }
    return rgb;
}

double MeanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    if (a.size() != b.size() || a.empty()) return 255;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

TEST(TurnGeometry, LosslessWhereTheBlocksAllowAndDeclinedElsewhere) {
    struct Case {
        const char* what;
        int width, height, sampling;
        bool whole;  // whole MCUs: turned in the DCT data
    };
    const Case cases[] = {
        {"4:2:0, chroma 3 x 3 blocks", 48, 48, TJSAMP_420, true},
        {"4:2:2, chroma 3 x 4 blocks", 48, 32, TJSAMP_422, true},
        {"4:4:4, 5 x 3 blocks", 40, 24, TJSAMP_444, true},
        {"grey, 7 x 5 blocks", 56, 40, TJSAMP_GRAY, true},
        // A quarter turn makes the turned rows in bands of 8 MCUs.
        {"4:2:0, four bands", 400, 32, TJSAMP_420, true},
        {"4:4:4, five bands, the last of one row", 264, 24, TJSAMP_444, true},
        {"4:2:0, partial last MCU row", 48, 40, TJSAMP_420, false},
        {"4:2:2, partial last MCU column", 40, 32, TJSAMP_422, false},
        {"grey, partial both ways", 44, 30, TJSAMP_GRAY, false},
    };
    const struct {
        double degrees;
        int quarterTurns;
        TJXOP reference;
    } turns[] = {{90, 1, TJXOP_ROT90}, {180, 2, TJXOP_ROT180}, {-90, 3, TJXOP_ROT270}};
    for (const auto& c : cases) {
        TempFolder folder;
        const std::vector<unsigned char> pixels = Pattern(c.width, c.height);
        const std::string source = Compress(pixels, c.width, c.height, c.sampling);
        WriteBytes(folder / "in.jpg", source);
        for (const auto& turn : turns) {
            SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(turn.degrees));
            PhotoImage photo;
            ASSERT_TRUE(photo.Open(folder / "in.jpg"));
            ASSERT_TRUE(photo.Rotate(turn.degrees));
            ASSERT_TRUE(photo.SaveJpeg(folder / "out.jpg", 12));
            EXPECT_EQ(photo.SavedLosslessly(), c.whole);
            const std::string turned = ReadBytes(folder / "out.jpg");
            const bool swaps = turn.quarterTurns % 2 == 1;
            const int width = swaps ? c.height : c.width, height = swaps ? c.width : c.height;
            if (c.whole) {
                tjhandle handle = tjInitTransform();
                unsigned char* out = nullptr;
                unsigned long size = 0;
                tjtransform transform{};
                transform.op = turn.reference;
                transform.options = TJXOPT_PERFECT;
                ASSERT_EQ(tjTransform(handle, Bytes(source), source.size(), 1, &out, &size,
                                      &transform, 0),
                          0);
                const std::string reference(reinterpret_cast<const char*>(out), size);
                tjFree(out);
                tjDestroy(handle);
                const Planes got = DecodePlanes(turned), want = DecodePlanes(reference);
                EXPECT_EQ(got.width, width);
                EXPECT_EQ(got.height, height);
                EXPECT_EQ(got.sampling, want.sampling);
                EXPECT_TRUE(got.bytes == want.bytes);
            } else {
                // Re-encoded from the decoded picture: close to the source
                // turned, where a turn of padded blocks would be shifted.
                const Planes got = DecodePlanes(turned);
                ASSERT_EQ(got.width, width);
                ASSERT_EQ(got.height, height);
                const auto want = TurnRgb(DecodeRgb(source, c.width, c.height), c.width, c.height,
                                          turn.quarterTurns);
                // A picture 4 pixels off is some 6 apart.
                EXPECT_LT(MeanDifference(DecodeRgb(turned, width, height), want), 2.0);
            }
        }
    }
}

}  // namespace
}  // namespace skyrell
