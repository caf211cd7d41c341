// The GCP list for aerial triangulation, from the pricking record and the
// control points' coordinates.

#include "pricking/gcp_list.h"

#include <algorithm>
#include <cmath>

#include "geodesy/module_gauss.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/text.h"

namespace skyrell {

namespace {

// The PROJ definition of a zone: transverse Mercator on the datum's
// ellipsoid, scale 1 on the central meridian, false easting 500 km.
std::string TransverseMercator(double centralMeridian, const module_gauss::Ellipsoid& ellipsoid) {
    return "+proj=tmerc +lat_0=0 +lon_0=" + GeneralNumberText(centralMeridian) +
           " +k=1 +x_0=500000 +y_0=0 +a=" + GeneralNumberText(ellipsoid.a) +
           " +b=" + GeneralNumberText(ellipsoid.b) + " +units=m +no_defs";
}

const ControlPoint* FindPoint(const std::vector<ControlPoint>& points, std::string_view name) {
    const auto found = std::find_if(points.begin(), points.end(), [&](const ControlPoint& p) {
        return EqualsNoCase(TrimSpaces(p.name), name);
    });
    return found == points.end() ? nullptr : &*found;
}

}  // namespace

Result<GcpList> MakeGcpList(const std::vector<ControlPoint>& points,
                            const std::vector<Pricking>& prickings,
                            const std::optional<GaussZone>& zone) {
    std::optional<module_gauss::Ellipsoid> ellipsoid;
    if (zone) {
        ellipsoid = module_gauss::EllipsoidOf(zone->datum);
        if (!ellipsoid) return Status::Fail("未知的坐标系“" + zone->datum + "”。");
    }
    GcpList list;
    std::optional<double> centralMeridian;  // degrees, of the first control point written
    std::vector<std::string> rows;
    for (const Pricking& pricking : prickings) {
        if (pricking.photo.find_first_of(" \t") != std::string::npos)
            return Status::Fail("航片文件名“" + pricking.photo +
                                "”含有空格，无法写入以空格分隔的GCP列表。");
        if (pricking.point.find_first_of(" \t") != std::string::npos)
            return Status::Fail("点名“" + pricking.point +
                                "”含有空格，无法写入以空格分隔的GCP列表。");
        const ControlPoint* point = FindPoint(points, pricking.point);
        if (!point) {
            if (std::none_of(
                    list.unknownPoints.begin(), list.unknownPoints.end(),
                    [&](const std::string& known) { return EqualsNoCase(known, pricking.point); }))
                list.unknownPoints.push_back(pricking.point);
            continue;
        }
        std::string ground;
        if (ellipsoid) {
            if (!centralMeridian)
                centralMeridian = module_gauss::CentralMeridian(point->longitude, zone->zoneWidth);
            const auto plane = module_gauss::GaussForward(
                {module_gauss::DegreesToRadians(point->latitude),
                 module_gauss::DegreesToRadians(point->longitude)},
                ellipsoid->a, ellipsoid->b, module_gauss::DegreesToRadians(*centralMeridian));
            if (!std::isfinite(plane.x) || !std::isfinite(plane.y))
                return Status::Fail("点" + pricking.point + "的坐标无法投影。");
            ground = GeneralNumberText(module_gauss::RoundSurvey3(plane.y)) + " " +
                     GeneralNumberText(module_gauss::RoundSurvey3(plane.x));
        } else {
            ground = GeneralNumberText(point->longitude) + " " + GeneralNumberText(point->latitude);
        }
        rows.push_back(ground + " " + GeneralNumberText(point->height) + " " +
                       GeneralNumberText(pricking.x) + " " + GeneralNumberText(pricking.y) + " " +
                       pricking.photo + " " + pricking.point);
    }
    if (rows.empty()) return Status::Fail("刺点记录中没有带坐标的像控点，无法生成GCP列表。");
    list.lines.push_back(ellipsoid ? TransverseMercator(*centralMeridian, *ellipsoid)
                                   : std::string("EPSG:4326"));
    list.lines.insert(list.lines.end(), rows.begin(), rows.end());
    return list;
}

Result<GcpList> WriteGcpList(const std::filesystem::path& sortie,
                             const std::vector<ControlPoint>& points,
                             const std::optional<GaussZone>& zone,
                             const std::filesystem::path& out) {
    const auto prickings = ReadPrickingRecord(sortie);
    if (!prickings) return prickings.status();
    auto list = MakeGcpList(points, *prickings, zone);
    if (!list) return list;
    std::string text;
    for (const std::string& line : list->lines) text += line + "\n";
    if (Status written = WriteBytesAtomically(out, text); !written)
        return Status::Fail(WriteFailureText(out, written), written.code());
    return list;
}

}  // namespace skyrell
