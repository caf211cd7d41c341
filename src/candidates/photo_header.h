#pragma once
// What the camera model needs from a JPEG photo, read from its header and its
// EXIF block only: the pixels are never decoded, so reading a flight's photos
// costs a few kilobytes each.

#include <filesystem>
#include <optional>
#include <string_view>

#include "shell/status.h"

namespace skyrell {

struct GpsPosition {
    double latitude = 0;             // degrees, south negative
    double longitude = 0;            // degrees, west negative
    std::optional<double> altitude;  // metres, below sea level negative
};

struct PhotoHeader {
    int width = 0;  // from the frame header
    int height = 0;
    std::optional<double> focalLengthMm;          // FocalLength
    std::optional<double> focalPlaneXResolution;  // pixels per resolution unit
    std::optional<int> focalPlaneResolutionUnit;  // 2 inch, 3 cm, 4 mm, 5 um
    std::optional<double> focalLength35mm;        // FocalLengthIn35mmFilm
    std::optional<GpsPosition> gps;
};

// The header of a JPEG held in memory (the file's first bytes are enough when
// they hold the frame header). Fails when the bytes are not a JPEG or end
// before the frame header; an EXIF block that cannot be read is ignored.
Result<PhotoHeader> ParsePhotoHeader(std::string_view bytes);

// Reads the header of a JPEG file, segment by segment up to the frame header.
Result<PhotoHeader> ReadPhotoHeader(const std::filesystem::path& file);

}  // namespace skyrell
