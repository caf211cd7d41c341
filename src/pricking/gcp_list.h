#pragma once
// The GCP list that aerial-triangulation tools read (gcp_list.txt): the first
// line names the projection of the ground coordinates, then one line per
// pricking:
//
//   geo_x geo_y geo_z im_x im_y image_name gcp_name
//
// separated by single spaces. With "EPSG:4326" geo_x is the longitude, geo_y
// the latitude (degrees) and geo_z the height; with a Gauss-Krueger zone the
// first line is a PROJ "+proj=tmerc ..." string on the datum's ellipsoid and
// geo_x is the easting (false easting 500000, no zone number), geo_y the
// northing, both in metres to the millimetre. The zone's central meridian is
// the one of the first control point, as for the other plane exports.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "candidates/candidates.h"
#include "pricking/pricking.h"
#include "shell/status.h"

namespace skyrell {

inline constexpr std::string_view kGcpListFile = "gcp_list.txt";

// A Gauss-Krueger zone: a datum code ("1954", "1980", "2000", "1984") and the
// zone width ("3" or "6").
struct GaussZone {
    std::string datum;
    std::string zoneWidth;
};

struct GcpList {
    std::vector<std::string> lines;          // the projection first
    std::vector<std::string> unknownPoints;  // pricked points without coordinates, once each
};

// The list of every pricking whose point is among `points` (names compared
// without regard to case), in the record's order. Fails when no pricking has
// coordinates, the datum is unknown or a photo name holds a blank (the list
// is separated by blanks).
Result<GcpList> MakeGcpList(const std::vector<ControlPoint>& points,
                            const std::vector<Pricking>& prickings,
                            const std::optional<GaussZone>& zone);

// Reads the sortie's pricking record, makes the list and writes it to `out`
// atomically. The list is read by tools outside the program, so it is UTF-8
// with LF line ends, not GBK.
Result<GcpList> WriteGcpList(const std::filesystem::path& sortie,
                             const std::vector<ControlPoint>& points,
                             const std::optional<GaussZone>& zone,
                             const std::filesystem::path& out);

}  // namespace skyrell
