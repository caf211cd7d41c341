#pragma once
// Which photos show each control point, and where: every photo's camera (from
// its JPEG header and EXIF), position and heading (from the POS file, else
// from the photo's EXIF GPS; the heading from the direction of flight where
// the POS holds none), and a nadir pinhole camera over level ground at the
// point's own height, in a local east-north-up frame at the photo.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "candidates/photo_header.h"
#include "project/coordinate_results.h"
#include "shell/feedback.h"
#include "shell/status.h"

namespace skyrell {

// A control point in WGS84 decimal degrees (south and west negative) and its
// ellipsoidal height in metres.
struct ControlPoint {
    std::string name;
    double latitude = 0;
    double longitude = 0;
    double height = 0;
};

// A plain CSV points file (no make): "name,latitude,longitude,ellipsoidal
// height" per line, UTF-8 or GBK, a heading line skipped. Or a controller
// export of the given make: one point per name, in the order of its first
// observation, at the mean of its observations.
Result<std::vector<ControlPoint>> ReadControlPoints(const std::filesystem::path& file,
                                                    std::optional<ControllerMake> make,
                                                    const Feedback& feedback);

// The camera a user names for photos whose EXIF does not tell it.
struct ExplicitCamera {
    double focalMm = 0;
    double sensorWidthMm = 0;
};

// The focal length in pixels: from FocalLength and the focal plane
// resolution; else from FocalLength and the 35 mm equivalent focal length
// (over the diagonal, 43.27 mm); else from the camera the user names. Empty
// when none applies.
std::optional<double> FocalLengthPixels(const PhotoHeader& header,
                                        const std::optional<ExplicitCamera>& camera);

struct CandidateOptions {
    std::optional<std::filesystem::path> pos;  // without it, the photos' EXIF GPS
    std::optional<ExplicitCamera> camera;
    // Added to headings taken from the direction of flight (0, 90, 180 or
    // 270), for cameras mounted across it.
    int headingOffset = 0;
};

// One photo that shows a point: the photo's pixel size, the predicted pixel
// (origin top-left, x right, y down) and its distance from the photo centre.
struct Sighting {
    std::filesystem::path photo;
    int width = 0;
    int height = 0;
    double x = 0;
    double y = 0;
    double distance = 0;
};

struct PointSightings {
    ControlPoint point;
    std::vector<Sighting> sightings;  // nearest the centre first
};

struct CandidateReport {
    std::vector<PointSightings> points;                 // in the order given
    std::vector<std::filesystem::path> unplacedPhotos;  // no POS line, no EXIF GPS
    // Placed, but no heading: no usable POS heading and no neighbour on its
    // flight line to take the direction of flight from.
    std::vector<std::filesystem::path> unorientedPhotos;
};

// The JPEG photos directly in each folder; points in the order given. A photo
// without a usable camera fails the whole run with a message naming it.
Result<CandidateReport> FindCandidates(const std::vector<ControlPoint>& points,
                                       const std::vector<std::filesystem::path>& folders,
                                       const CandidateOptions& options, const Feedback& feedback);

}  // namespace skyrell
