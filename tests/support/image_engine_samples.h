#pragma once
// Small generated photos for the image engine and the batch dialogs: a
// pattern that differs in every direction, so a turn or a mirror shows, with an
// EXIF block holding a GPS latitude reference and, when asked, an orientation.

#include <filesystem>
#include <string>

namespace skyrell::testing {

// Writes a 4:2:0 JPEG of that size; orientation 0 writes none.
void MakeSampleJpeg(const std::filesystem::path& file, int width, int height, int orientation = 0);

struct SampleInfo {
    int width = 0, height = 0;
    int orientation = 0;                // 0 when the file has none
    std::string gpsRef;                 // the GPS latitude reference, empty when lost
    bool cornerWhite = false;           // the top-left pixel is white
    int exifWidth = 0, exifHeight = 0;  // the EXIF pixel size, 0 when absent
};
// What a test needs to know of a written JPEG.
SampleInfo ReadSample(const std::filesystem::path& file);

// True when the pixel at (x, y) is white.
bool WhiteAt(const std::filesystem::path& file, int x, int y);

// The Y, Cb and Cr planes as stored in the JPEG, without upsampling, turned
// clockwise by `quarterTurns` x 90 degrees: two JPEGs with equal planes hold
// the same DCT data.
std::string SamplePlanes(const std::filesystem::path& file, int quarterTurns = 0);

}  // namespace skyrell::testing
