#pragma once
// Small JPEG photos with the EXIF a survey camera writes (focal length, focal
// plane resolution, 35 mm equivalent, GPS), for the tests and the benchmark
// of the candidate photo search.

#include <optional>
#include <string>
#include <vector>

namespace skyrell::testing {

struct ExifTags {
    std::optional<double> focalMm;
    std::optional<double> focalPlaneXResolution;
    std::optional<int> focalPlaneUnit;  // 2 inch, 3 cm, 4 mm, 5 um
    std::optional<int> focal35mm;
    std::optional<double> latitude, longitude;  // degrees, south and west negative
    std::optional<double> altitude;             // metres
};

// The body of an APP1 "Exif" marker (without the "Exif\0\0" prefix): a
// little-endian TIFF structure holding the given tags.
std::string ExifTiff(const ExifTags& tags);

// A baseline JPEG of a grey image (width x height bytes, row by row) with an
// EXIF block holding the tags (none when `exif` is empty).
std::string GreyJpeg(int width, int height, const std::vector<unsigned char>& grey,
                     const std::optional<ExifTags>& exif);

}  // namespace skyrell::testing
