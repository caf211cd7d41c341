#include "support/exif_jpeg.h"

#include <vips/vips8>

#include <cmath>
#include <stdexcept>

namespace skyrell::testing {

namespace {

// An EXIF rational as libvips takes it: "numerator/denominator".
std::string Rational(double v, long long denominator = 10000) {
    return std::to_string(std::llround(v * double(denominator))) + "/" +
           std::to_string(denominator);
}

// Degrees as the three rationals of a GPS angle.
std::string Angle(double degrees) {
    const double d = std::floor(degrees), m = std::floor((degrees - d) * 60);
    return Rational(d, 1) + " " + Rational(m, 1) + " " +
           Rational((degrees - d - m / 60) * 3600, 1000000);
}

}  // namespace

std::string GreyJpeg(int width, int height, const std::vector<unsigned char>& grey,
                     const std::optional<ExifTags>& exif) {
    if (VIPS_INIT("skyrell-tests") != 0) throw std::runtime_error("libvips did not start");
    const std::vector<unsigned char> pixels =
        grey.empty() ? std::vector<unsigned char>(std::size_t(width) * height, 128) : grey;
    vips::VImage image =
        vips::VImage::new_from_memory(const_cast<unsigned char*>(pixels.data()), pixels.size(),
                                      width, height, 1, VIPS_FORMAT_UCHAR);
    const ExifTags tags = exif.value_or(ExifTags{});
    const auto set = [&](const char* name, const std::string& value) {
        image.set(name, value.c_str());
    };
    if (tags.focalMm) set("exif-ifd2-FocalLength", Rational(*tags.focalMm));
    if (tags.focalPlaneXResolution)
        set("exif-ifd2-FocalPlaneXResolution", Rational(*tags.focalPlaneXResolution));
    if (tags.focalPlaneUnit)
        set("exif-ifd2-FocalPlaneResolutionUnit", std::to_string(*tags.focalPlaneUnit));
    if (tags.focal35mm) set("exif-ifd2-FocalLengthIn35mmFilm", std::to_string(*tags.focal35mm));
    if (tags.latitude && tags.longitude) {
        set("exif-ifd3-GPSLatitudeRef", *tags.latitude < 0 ? "S" : "N");
        set("exif-ifd3-GPSLatitude", Angle(std::fabs(*tags.latitude)));
        set("exif-ifd3-GPSLongitudeRef", *tags.longitude < 0 ? "W" : "E");
        set("exif-ifd3-GPSLongitude", Angle(std::fabs(*tags.longitude)));
    }
    if (tags.altitude) set("exif-ifd3-GPSAltitude", Rational(*tags.altitude, 1000));
    // Without tags the photo carries no EXIF block at all.
    void* buffer = nullptr;
    std::size_t size = 0;
    image.write_to_buffer(".jpg", &buffer, &size,
                          vips::VImage::option()->set("Q", 90)->set("strip", !exif));
    std::string bytes(static_cast<const char*>(buffer), size);
    g_free(buffer);
    return bytes;
}

}  // namespace skyrell::testing
