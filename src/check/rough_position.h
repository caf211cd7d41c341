#pragma once
// The rough position of one control point for the globe viewer: its latitude
// and longitude texts from the coordinate results turned into decimal degrees,
// and a one-point KML document in the sortie folder.
//
// The angles are read in the controller's notation (project/controller_angles.h),
// the form decided on the latitude text and used for both.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "project/controller_angles.h"
#include "shell/status.h"

namespace skyrell {

struct RoughPosition {
    double latitude = 0;   // decimal degrees
    double longitude = 0;  // decimal degrees
};

// Latitude and longitude texts in decimal degrees.
std::optional<RoughPosition> ConvertRoughPosition(std::string_view latitudeText,
                                                  std::string_view longitudeText);

// The 50-line KML document (lines joined by CR LF, no line end after the
// last), without the byte-order mark. The point name is escaped for XML.
std::string RoughPositionKml(std::string_view pointName, const RoughPosition& position);

// Where the document of a point goes: the sortie folder, point name + ".kml".
std::filesystem::path RoughPositionPath(const std::filesystem::path& sortieFolder,
                                        std::string_view pointName);

// Writes the document, UTF-8 with a byte-order mark, replacing an earlier one.
// A failure carries the system's description and error number.
Status WriteRoughPosition(const std::filesystem::path& file, std::string_view pointName,
                          const RoughPosition& position);

}  // namespace skyrell
