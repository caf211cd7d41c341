// Writes the seeds of the JPEG fuzz target into the folder it is given: small
// baseline and progressive JPEGs of several samplings and sizes (whole MCUs
// and ragged), with an EXIF block that holds the pixel size, first or after
// the JFIF header, in both byte orders.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

// An EXIF block: IFD0 with a pointer to the EXIF directory, which holds the
// pixel width and height as SHORTs.
std::vector<unsigned char> ExifBlock(bool bigEndian, int width, int height) {
    std::vector<unsigned char> b = {'E', 'x', 'i', 'f', 0, 0};
    auto put = [&](unsigned value, int bytes) {
        for (int k = 0; k < bytes; ++k)
            b.push_back((value >> (8 * (bigEndian ? bytes - 1 - k : k))) & 0xFF);
    };
    b.push_back(bigEndian ? 'M' : 'I');
    b.push_back(bigEndian ? 'M' : 'I');
    put(42, 2);
    put(8, 4);                                         // IFD0 at 8
    put(1, 2);                                         // one entry
    put(0x8769, 2), put(4, 2), put(1, 4), put(26, 4);  // EXIF directory at 26
    put(0, 4);                                         // no next IFD
    put(2, 2);                                         // two entries
    put(0xA002, 2), put(3, 2), put(1, 2), put(width, 2), put(0, 2);
    put(0xA003, 2), put(3, 2), put(1, 2), put(height, 2), put(0, 2);
    put(0, 4);
    return b;
}

void Write(const std::string& file, int width, int height, int components, int hSample, int vSample,
           bool progressive, int exif) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) std::exit(1);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 75, TRUE);
    info.comp_info[0].h_samp_factor = hSample;
    info.comp_info[0].v_samp_factor = vSample;
    if (progressive) jpeg_simple_progression(&info);
    // exif: 0 none, 1 first (no JFIF), 2 after the JFIF header, big-endian.
    if (exif == 1) info.write_JFIF_header = FALSE;
    jpeg_start_compress(&info, TRUE);
    if (exif) {
        const auto block = ExifBlock(exif == 2, width, height);
        jpeg_write_marker(&info, JPEG_APP0 + 1, block.data(), unsigned(block.size()));
    }
    std::vector<JSAMPLE> row(std::size_t(width) * components);
    for (int y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < row.size(); ++x) row[x] = JSAMPLE((x * 7 + y * 5) & 0xFF);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    Write(folder + "/grey8x8.jpg", 8, 8, 1, 1, 1, false, 0);
    Write(folder + "/s420-32x16-exif.jpg", 32, 16, 3, 2, 2, false, 1);
    Write(folder + "/s422-32x8-jfif-exif.jpg", 32, 8, 3, 2, 1, false, 2);
    Write(folder + "/s444-17x9-ragged.jpg", 17, 9, 3, 1, 1, false, 1);
    Write(folder + "/s420-48x32-progressive.jpg", 48, 32, 3, 2, 2, true, 1);
    return 0;
}
