#include "photo/image_engine.h"

#include <gtest/gtest.h>
#include <vips/vips8>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

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
// (and a quarter turn's band of turned rows), the picture and the file for a
// decoded one.
TEST(ImageEngine, MemoryCostFollowsHowThePhotoIsWorked) {
    struct Case {
        const char* what;
        int width, height;
        double degrees;
        std::uint64_t cost;  // 0: the decoded turn's cost
    };
    // 64 x 48 at 4:2:0: 48 luma and 2 x 12 chroma blocks of 128 bytes. A
    // quarter turn adds a band of turned rows: the whole turned picture when
    // it is that small; at 640 x 48 (480 luma and 2 x 120 chroma blocks), 16
    // of its 80 luma rows and 8 of its 40 chroma rows (144 blocks).
    constexpr std::uint64_t kBlocks = 72 * 128, kWide = 720 * 128, kWideBand = 144 * 128,
                            kMiB = 1 << 20;
    const Case cases[] = {
        {"half turn", 64, 48, 180, kBlocks + kMiB},
        {"quarter turn", 64, 48, -90, 2 * kBlocks + kMiB},
        {"quarter turn of a wide picture", 640, 48, 90, kWide + kWideBand + kMiB},
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

// A 64 x 48 grey JPEG whose blocks alternate, like a chessboard, between DC
// values `dcLow` and `dcHigh` and between AC values `acLow` and `acHigh` at
// the lowest and highest frequency: written with tables that hold every
// symbol, so that it decodes cleanly whatever the standard tables could code.
void WriteCoefficientJpeg(const std::filesystem::path& file, int dcLow, int dcHigh, int acLow,
                          int acHigh) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    jpeg_stdio_dest(&info, out);
    info.image_width = 64;
    info.image_height = 48;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    JHUFF_TBL* dc = info.dc_huff_tbl_ptrs[0];
    std::memset(dc->bits, 0, sizeof dc->bits);
    dc->bits[5] = 16;  // all 16 sizes
    for (int i = 0; i < 16; ++i) dc->huffval[i] = UINT8(i);
    JHUFF_TBL* acTable = info.ac_huff_tbl_ptrs[0];
    std::memset(acTable->bits, 0, sizeof acTable->bits);
    acTable->bits[9] = acTable->bits[10] = 128;  // all 256 symbols
    for (int i = 0; i < 256; ++i) acTable->huffval[i] = UINT8(i);
    jvirt_barray_ptr blocks[1] = {(*info.mem->request_virt_barray)(
        reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, TRUE, 8, 6, 1)};
    jpeg_write_coefficients(&info, blocks);
    for (JDIMENSION row = 0; row < 6; ++row) {
        JBLOCKROW line = (*info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&info),
                                                         blocks[0], row, 1, TRUE)[0];
        for (JDIMENSION column = 0; column < 8; ++column) {
            const bool odd = (row + column) % 2;
            std::memset(line[column], 0, sizeof(JBLOCK));
            line[column][0] = JCOEF(odd ? dcHigh : dcLow);
            line[column][1] = line[column][63] = JCOEF(odd ? acHigh : acLow);
        }
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}

// True when every pixel of the JPEG is read without a libjpeg warning.
bool DecodesCleanly(const std::filesystem::path& file) {
    try {
        vips::VImage::new_from_file(file.c_str(),
                                    vips::VImage::option()->set("fail_on", VIPS_FAIL_ON_WARNING))
            .avg();
        return true;
    } catch (const vips::VError&) {
        return false;
    }
}

// The magnitudes of every DCT coefficient of a JPEG that decodes cleanly, in
// ascending order: a turn moves coefficients and changes their signs but
// keeps this list.
std::vector<int> CoefficientMagnitudes(const std::filesystem::path& file) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    std::FILE* in = std::fopen(file.c_str(), "rb");
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&info);
    std::vector<int> magnitudes;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        for (JDIMENSION row = 0; row < component.height_in_blocks; ++row) {
            JBLOCKROW line = (*info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&info),
                                                             arrays[c], row, 1, FALSE)[0];
            for (JDIMENSION column = 0; column < component.width_in_blocks; ++column)
                for (int k = 0; k < DCTSIZE2; ++k) magnitudes.push_back(std::abs(line[column][k]));
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(in);
    std::sort(magnitudes.begin(), magnitudes.end());
    return magnitudes;
}

// Offset of the first byte after the marker `code` and its length field.
std::size_t AfterMarker(const std::string& jpeg, char code) {
    return jpeg.find({'\xFF', code}) + 4;
}

// Photos a hostile user may hand over: each is refused with its reason and
// nothing written, or turned into a file that decodes cleanly.
TEST(ImageEngine, HostilePhotosAreRefusedOrMended) {
    TempFolder samples;
    MakeSampleJpeg(samples / "whole.jpg", 64, 48);
    const std::string whole = ReadBytes(samples / "whole.jpg");
    // The scan cut in the middle and the file ended there: the decoder hits
    // the end marker half-way through the picture.
    const std::size_t scan = AfterMarker(whole, '\xDA');
    std::size_t cut = scan + (whole.size() - scan) / 2;
    while (whole[cut - 1] == '\xFF') ++cut;
    const std::string halfScan = whole.substr(0, cut) + "\xFF\xD9";
    // The same photo with a header that claims a huge picture.
    auto bomb = [&](int width, int height) {
        std::string bytes = whole;
        const std::size_t size = AfterMarker(bytes, '\xC0') + 1;
        bytes[size] = char(height >> 8), bytes[size + 1] = char(height & 0xFF);
        bytes[size + 2] = char(width >> 8), bytes[size + 3] = char(width & 0xFF);
        return bytes;
    };
    // Coefficients just inside what the standard Huffman tables code, and
    // just past it in an AC value or a DC difference.
    auto coefficients = [&](int dcLow, int dcHigh, int acLow, int acHigh) {
        WriteCoefficientJpeg(samples / "c.jpg", dcLow, dcHigh, acLow, acHigh);
        EXPECT_TRUE(DecodesCleanly(samples / "c.jpg"));
        return ReadBytes(samples / "c.jpg");
    };
    const std::string large = coefficients(-400, 300, -1300, 1500);
    const std::string widest = coefficients(-1024, 1023, -1023, 1023);
    const std::string acPastTop = coefficients(0, 0, 0, 1024);
    const std::string acPastBottom = coefficients(-1024, 0, -1024, 0);
    const std::string dcPast = coefficients(-1024, 1024, 0, 0);

    constexpr char kDamaged[] = "图片数据不完整或已损坏";
    struct Case {
        const char* what;
        std::string bytes;
        double degrees;      // 0: no turn
        int resizeTo;        // the width of a resize to half the height; 0: none
        const char* reason;  // part of the failure; "" when it succeeds
    };
    const Case cases[] = {
        {"large coefficients, 90", large, 90, 0, ""},
        {"large coefficients, 180", large, 180, 0, ""},
        {"widest standard coefficients, 180", widest, 180, 0, ""},
        {"widest standard coefficients, -90", widest, -90, 0, ""},
        {"AC one past the standard tables, 90", acPastTop, 90, 0, ""},
        {"AC one below them beside DC -1024, 180", acPastBottom, 180, 0, ""},
        {"DC difference one past them, 180", dcPast, 180, 0, ""},
        {"half scan, lossless 180", halfScan, 180, 0, kDamaged},
        {"half scan, lossless -90", halfScan, -90, 0, kDamaged},
        {"half scan, free angle", halfScan, 12.5, 0, kDamaged},
        {"half scan, resized", halfScan, 0, 32, kDamaged},
        {"16000 x 16000, lossless 180", bomb(16000, 16000), 180, 0, "16000×16000像素"},
        {"65500 x 65500, decoded 90", bomb(65500, 65500), 90, 0, "65500×65500像素"},
        {"65500 x 65500, resized", bomb(65500, 65500), 0, 32750, "65500×65500像素"},
        // Streamed in a few lines, so read until the data runs out.
        {"16000 x 16000, resized", bomb(16000, 16000), 0, 8000, kDamaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        WriteBytes(folder / "in.jpg", c.bytes);
        PhotoImage photo;
        ASSERT_TRUE(photo.Open(folder / "in.jpg"));
        if (c.degrees != 0) {
            ASSERT_TRUE(photo.Rotate(c.degrees));
        }
        if (c.resizeTo) {
            const auto size = photo.Size();
            ASSERT_TRUE(size);
            ASSERT_TRUE(photo.Resize({c.resizeTo, size->height / 2}));
        }
        const Status saved = photo.SaveJpeg(folder / "out.jpg", 12);
        if (*c.reason) {
            EXPECT_NE(saved.message().find(c.reason), std::string::npos) << saved.message();
            EXPECT_FALSE(std::filesystem::exists(folder / "out.jpg"));
        } else {
            ASSERT_TRUE(saved) << saved.message();
            ASSERT_TRUE(DecodesCleanly(folder / "out.jpg"));
            if (photo.SavedLosslessly()) {
                EXPECT_TRUE(CoefficientMagnitudes(folder / "out.jpg") ==
                            CoefficientMagnitudes(folder / "in.jpg"));
            }
        }
        const auto files = std::distance(std::filesystem::directory_iterator(folder.path()),
                                         std::filesystem::directory_iterator());
        EXPECT_EQ(files, *c.reason ? 1 : 2);
    }
}

// An APP1 EXIF marker, little-endian, whose first directory and EXIF
// directory give the size as SHORTs and whose second directory points to a
// thumbnail of `thumbnail` bytes.
std::string ExifMarker(int width, int height, const std::string& thumbnail) {
    std::string body("Exif\0\0II\x2A\0\x08\0\0\0", 14);
    auto put = [&](unsigned value, int bytes) {
        for (int k = 0; k < bytes; ++k) body += char((value >> (8 * k)) & 0xFF);
    };
    auto entry = [&](unsigned tag, unsigned type, unsigned value) {
        put(tag, 2), put(type, 2), put(1, 4), put(value, 4);
    };
    // Directories at 8 (3 entries), 50 and 80 (2 entries each), thumbnail at 110.
    put(3, 2), entry(0x0100, 3, width), entry(0x0101, 3, height), entry(0x8769, 4, 50), put(80, 4);
    put(2, 2), entry(0xA002, 3, width), entry(0xA003, 3, height), put(0, 4);
    put(2, 2), entry(0x0201, 4, 110), entry(0x0202, 4, unsigned(thumbnail.size())), put(0, 4);
    body += thumbnail;
    const std::size_t length = body.size() + 2;
    return std::string("\xFF\xE1") + char(length >> 8) + char(length & 0xFF) + body;
}

// After a turn the EXIF block, first or after the JFIF marker, gives the new
// size in every directory that holds it, and holds no thumbnail of the old
// picture.
TEST(ImageEngine, ExifSizesAndThumbnailFollowTheTurn) {
    struct Case {
        const char* what;
        bool exifFirst;
        int width, height;
        double degrees;
        bool lossless;
    };
    const Case cases[] = {
        {"after JFIF, lossless 90", false, 64, 48, 90, true},
        {"after JFIF, lossless 180", false, 64, 48, 180, true},
        {"first, lossless -90", true, 64, 48, -90, true},
        {"after JFIF, decoded 90", false, 50, 30, 90, false},
        {"first, decoded 180", true, 50, 30, 180, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        MakeSampleJpeg(folder / "thumb.jpg", 16, 8);
        MakeSampleJpeg(folder / "plain.jpg", c.width, c.height);
        vips::VImage::new_from_file((folder / "plain.jpg").c_str())
            .jpegsave((folder / "bare.jpg").c_str(), vips::VImage::option()->set("strip", true));
        const std::string bare = ReadBytes(folder / "bare.jpg");
        const std::string jfif("\xFF\xE0\0\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 18);
        const std::string exif = ExifMarker(c.width, c.height, ReadBytes(folder / "thumb.jpg"));
        WriteBytes(folder / "in.jpg",
                   bare.substr(0, 2) + (c.exifFirst ? exif + jfif : jfif + exif) + bare.substr(2));
        ASSERT_EQ(vips::VImage::new_from_file((folder / "in.jpg").c_str())
                      .get_typeof("jpeg-thumbnail-data"),
                  VIPS_TYPE_BLOB);
        PhotoImage photo;
        ASSERT_TRUE(photo.Open(folder / "in.jpg"));
        ASSERT_TRUE(photo.Rotate(c.degrees));
        const Status saved = photo.SaveJpeg(folder / "out.jpg", 12);
        ASSERT_TRUE(saved) << saved.message();
        EXPECT_EQ(photo.SavedLosslessly(), c.lossless);
        const auto out = vips::VImage::new_from_file((folder / "out.jpg").c_str());
        const bool quarter = c.degrees != 180;
        const int width = quarter ? c.height : c.width, height = quarter ? c.width : c.height;
        EXPECT_EQ(out.width(), width);
        for (const auto& [field, value] : {std::pair{"exif-ifd0-ImageWidth", width},
                                           {"exif-ifd0-ImageLength", height},
                                           {"exif-ifd2-PixelXDimension", width},
                                           {"exif-ifd2-PixelYDimension", height}}) {
            SCOPED_TRACE(field);
            ASSERT_NE(out.get_typeof(field), 0u);
            EXPECT_EQ(std::atoi(out.get_string(field)), value);
        }
        EXPECT_EQ(out.get_typeof("jpeg-thumbnail-data"), 0u);
    }
}

}  // namespace
}  // namespace skyrell

namespace skyrell {
namespace {

// Cuts must lie inside the photo: both sides of each edge, and a mask whose
// values do not fill it.
TEST(ImageEngine, MarkedCutsOutsideThePhotoAreRefused) {
    TempFolder folder;
    MakeSampleJpeg(folder / "p.jpg", 64, 48);
    const CoverageMask full{0, 0, 2, 2, std::vector<unsigned char>(4, 255)};
    const CoverageMask short_{0, 0, 2, 2, std::vector<unsigned char>(3, 255)};
    const struct {
        MarkedCut cut;
        bool ok;
    } cases[] = {
        {{48, 36, 16, 12, {full}}, true},  {{49, 36, 16, 12, {}}, false},
        {{48, 37, 16, 12, {}}, false},     {{-1, 0, 16, 12, {}}, false},
        {{0, 0, 16, 12, {short_}}, false},
    };
    for (const auto& c : cases) {
        const auto files = EncodeMarkedCuts(folder / "p.jpg", {c.cut});
        EXPECT_EQ(files.ok(), c.ok) << c.cut.left << "," << c.cut.top;
        if (!files) {
            EXPECT_NE(files.status().message().find("超出图片"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace skyrell
