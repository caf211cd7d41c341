#include "support/image_engine_samples.h"

#include <turbojpeg.h>
#include <vips/vips8>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <vector>

#include "support/temp_folder.h"

namespace skyrell::testing {

void MakeSampleJpeg(const std::filesystem::path& file, int width, int height, int orientation) {
    if (VIPS_INIT("skyrell-tests") != 0) throw std::runtime_error("libvips did not start");
    std::filesystem::create_directories(file.parent_path());
    const vips::VImage xy = vips::VImage::xyz(width, height);
    const vips::VImage x = xy[0], y = xy[1];
    vips::VImage rgb = ((x * 7) % 256).bandjoin((y * 5) % 256).bandjoin(((x * y) / 3) % 256);
    rgb = rgb.cast(VIPS_FORMAT_UCHAR)
              .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    rgb.set("exif-ifd3-GPSLatitudeRef", "N");
    if (orientation) rgb.set(VIPS_META_ORIENTATION, orientation);
    rgb.jpegsave(file.c_str(), vips::VImage::option()->set("Q", 90)->set(
                                   "subsample_mode", VIPS_FOREIGN_SUBSAMPLE_ON));
}

SampleInfo ReadSample(const std::filesystem::path& file) {
    const vips::VImage image = vips::VImage::new_from_file(file.c_str());
    SampleInfo info;
    info.width = image.width();
    info.height = image.height();
    VipsImage* raw = image.get_image();
    if (vips_image_get_typeof(raw, VIPS_META_ORIENTATION))
        info.orientation = vips_image_get_orientation(raw);
    const char* ref = nullptr;
    if (vips_image_get_typeof(raw, "exif-ifd3-GPSLatitudeRef") &&
        vips_image_get_string(raw, "exif-ifd3-GPSLatitudeRef", &ref) == 0 && ref)
        info.gpsRef = std::string(ref).substr(0, 1);
    info.cornerWhite = WhiteAt(file, 0, 0);
    // libvips gives EXIF values as text that starts with the number.
    for (auto [name, value] : {std::pair{"exif-ifd2-PixelXDimension", &info.exifWidth},
                               std::pair{"exif-ifd2-PixelYDimension", &info.exifHeight}}) {
        const char* text = nullptr;
        if (vips_image_get_typeof(raw, name) && vips_image_get_string(raw, name, &text) == 0 &&
            text)
            *value = std::atoi(text);
    }
    return info;
}

bool WhiteAt(const std::filesystem::path& file, int x, int y) {
    const auto pixel = vips::VImage::new_from_file(file.c_str()).getpoint(x, y);
    return std::all_of(pixel.begin(), pixel.end(), [](double v) { return v > 245; });
}

std::string SamplePlanes(const std::filesystem::path& file, int quarterTurns) {
    const std::string jpeg = ReadBytes(file);
    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(jpeg.data());
    tjDecompressHeader3(handle, data, jpeg.size(), &width, &height, &subsampling, &colourspace);
    std::string out;
    std::vector<std::vector<unsigned char>> planes(3);
    unsigned char* pointers[3];
    for (int i = 0; i < 3; ++i) {
        planes[i].resize(tjPlaneSizeYUV(i, width, 0, height, subsampling));
        pointers[i] = planes[i].data();
    }
    tjDecompressToYUVPlanes(handle, data, jpeg.size(), pointers, width, nullptr, height, 0);
    tjDestroy(handle);
    for (int i = 0; i < 3; ++i) {
        int w = tjPlaneWidth(i, width, subsampling), h = tjPlaneHeight(i, height, subsampling);
        std::vector<unsigned char> plane = planes[i];
        for (int turn = 0; turn < ((quarterTurns % 4) + 4) % 4; ++turn) {
            std::vector<unsigned char> turned(plane.size());
            for (int row = 0; row < h; ++row)
                for (int col = 0; col < w; ++col)
                    turned[std::size_t(col) * h + (h - 1 - row)] =
                        plane[std::size_t(row) * w + col];
            plane.swap(turned);
            std::swap(w, h);
        }
        out.append(plane.begin(), plane.end());
    }
    return out;
}

}  // namespace skyrell::testing
