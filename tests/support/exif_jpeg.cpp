#include "support/exif_jpeg.h"

#include <jpeglib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace skyrell::testing {

namespace {

struct Entry {
    std::uint16_t tag, type;
    std::uint32_t count;
    std::string data;  // the value's bytes, little-endian
};

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8 & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string Rationals(const std::vector<double>& values, std::uint32_t denominator) {
    std::string out;
    for (double v : values) {
        Put32(out, static_cast<std::uint32_t>(std::llround(v * denominator)));
        Put32(out, denominator);
    }
    return out;
}

Entry Rational(std::uint16_t tag, double v) { return {tag, 5, 1, Rationals({v}, 10000)}; }
Entry Short(std::uint16_t tag, int v) {
    std::string data;
    Put16(data, static_cast<std::uint32_t>(v));
    return {tag, 3, 1, data};
}
Entry Ascii(std::uint16_t tag, char c) { return {tag, 2, 2, std::string{c, '\0'}}; }
Entry Angle(std::uint16_t tag, double degrees) {
    const double d = std::floor(degrees), m = std::floor((degrees - d) * 60);
    const double s = (degrees - d - m / 60) * 3600;
    return {tag, 5, 3, Rationals({d, m}, 1) + Rationals({s}, 1000000)};
}

// Appends a directory at the end of `out` (whose offset in the TIFF is its
// size), its values after it; `next` is patched in by the caller.
void PutDirectory(std::string& out, const std::vector<Entry>& entries) {
    const std::size_t start = out.size();
    std::size_t data = start + 2 + entries.size() * 12 + 4;
    std::string values;
    Put16(out, static_cast<std::uint32_t>(entries.size()));
    for (const auto& entry : entries) {
        Put16(out, entry.tag);
        Put16(out, entry.type);
        Put32(out, entry.count);
        if (entry.data.size() <= 4) {
            std::string inline_ = entry.data;
            inline_.resize(4, '\0');
            out += inline_;
        } else {
            Put32(out, static_cast<std::uint32_t>(data + values.size()));
            values += entry.data;
            if (values.size() % 2) values += '\0';
        }
    }
    Put32(out, 0);
    out += values;
}

}  // namespace

std::string ExifTiff(const ExifTags& tags) {
    std::vector<Entry> exif, gps;
    if (tags.focalMm) exif.push_back(Rational(0x920A, *tags.focalMm));
    if (tags.focalPlaneXResolution) exif.push_back(Rational(0xA20E, *tags.focalPlaneXResolution));
    if (tags.focalPlaneUnit) exif.push_back(Short(0xA210, *tags.focalPlaneUnit));
    if (tags.focal35mm) exif.push_back(Short(0xA405, *tags.focal35mm));
    if (tags.latitude && tags.longitude) {
        gps.push_back(Ascii(1, *tags.latitude < 0 ? 'S' : 'N'));
        gps.push_back(Angle(2, std::fabs(*tags.latitude)));
        gps.push_back(Ascii(3, *tags.longitude < 0 ? 'W' : 'E'));
        gps.push_back(Angle(4, std::fabs(*tags.longitude)));
    }
    if (tags.altitude) {
        gps.push_back({5, 1, 1, std::string(1, *tags.altitude < 0 ? '\1' : '\0')});
        gps.push_back({6, 5, 1, Rationals({std::fabs(*tags.altitude)}, 1000)});
    }
    // Header, IFD0 with the two pointers, then the EXIF and GPS directories;
    // the EXIF directory is laid out once beforehand to learn where GPS starts.
    std::string out = "II";
    Put16(out, 42);
    Put32(out, 8);
    const auto exifOffset = static_cast<std::uint32_t>(out.size() + 2 + 2 * 12 + 4);
    std::string layout(exifOffset, '\0');
    PutDirectory(layout, exif);
    std::string pointer;
    Put32(pointer, exifOffset);
    std::vector<Entry> ifd0{{0x8769, 4, 1, pointer}};
    pointer.clear();
    Put32(pointer, static_cast<std::uint32_t>(layout.size()));
    ifd0.push_back({0x8825, 4, 1, pointer});
    PutDirectory(out, ifd0);
    PutDirectory(out, exif);
    PutDirectory(out, gps);
    return out;
}

std::string GreyJpeg(int width, int height, const std::vector<unsigned char>& grey,
                     const std::optional<ExifTags>& exif) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    if (exif) {
        const std::string body = std::string("Exif\0\0", 6) + ExifTiff(*exif);
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(body.data()),
                          static_cast<unsigned>(body.size()));
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<JSAMPLE*>(grey.data() + std::size_t{cinfo.next_scanline} *
                                                           static_cast<std::size_t>(width));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

}  // namespace skyrell::testing
