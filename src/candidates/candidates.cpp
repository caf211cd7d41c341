#include "candidates/candidates.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "pos/pos_file.h"
#include "project/controller_angles.h"
#include "shell/files.h"
#include "shell/line_reader.h"
#include "shell/text.h"
#include "shell/text_encoding.h"

namespace skyrell {

namespace {

constexpr double kDegree = std::numbers::pi / 180;
// The diagonal of a 35 mm film frame (36 x 24 mm).
constexpr double kFilmDiagonalMm = 43.266615305567875;
// Below this height above the point the footprint is not trusted: the point
// would be under or beside the camera.
constexpr double kLeastHeightAbovePoint = 1.0;
// Two legs of the flight belong to one line when their courses differ by at
// most this much.
constexpr double kSameLineDegrees = 30;
// Photos closer than this are taken as one position: no course between them.
constexpr double kLeastLeg = 0.01;

// ---- Angles -------------------------------------------------------------

// "30.1234", "-30.1234", "30.1234N", "30:15:20.1234N", "30°15'20.1234\"N":
// decimal degrees or degrees, minutes and seconds, an optional trailing
// hemisphere letter; S and W (or a minus sign) give negative values.
std::optional<double> AngleOf(std::string_view written) {
    // Degree, minute and second signs become the colons of the controller's
    // other notation.
    std::string colons;
    for (std::size_t at = 0; at < written.size();) {
        const std::size_t next = NextCharacter(written, at);
        const std::string_view c = written.substr(at, next - at);
        if (c == "°" || c == "'" || c == "′")
            colons += ':';
        else if (c != "\"" && c != "″")
            colons += c;
        at = next;
    }
    std::string_view text = TrimSpaces(colons);
    bool negative = false;
    if (!text.empty() && IsLetter(text.back())) {
        const char letter = static_cast<char>(AsciiUpper(text.substr(text.size() - 1))[0]);
        if (letter != 'N' && letter != 'S' && letter != 'E' && letter != 'W') return std::nullopt;
        negative = letter == 'S' || letter == 'W';
        text = TrimSpaces(text.substr(0, text.size() - 1));
    }
    if (!text.empty() && text.back() == ':') text.remove_suffix(1);
    if (!text.empty() && text.front() == '-') {
        negative = !negative;
        text.remove_prefix(1);
    }
    double degrees = 0;
    const FieldList parts = SplitFields(text, ":");
    if (parts.Count() == 1) {
        const auto value = ParseNumber(text);
        if (!value || *value < 0) return std::nullopt;
        degrees = *value;
    } else if (parts.Count() == 3) {
        const auto d = ParseNumber(parts.items[0]), m = ParseNumber(parts.items[1]),
                   s = ParseNumber(parts.items[2]);
        if (!d || !m || !s || *d < 0 || *m < 0 || *m >= 60 || *s < 0 || *s >= 60)
            return std::nullopt;
        degrees = *d + *m / 60 + *s / 3600;
    } else {
        return std::nullopt;
    }
    return negative ? -degrees : degrees;
}

// An angle of a controller export. A number followed by a hemisphere letter
// is the controller's packed form ("30.15201234N" is 30°15'20.1234"), read
// as the rough position reads it; every other text as AngleOf reads it. S and
// W give negative values.
std::optional<double> ControllerAngleOf(std::string_view written) {
    const std::string_view text = TrimSpaces(written);
    if (text.empty() || !IsLetter(text.back()) ||
        !ParseNumber(TrimSpaces(text.substr(0, text.size() - 1))))
        return AngleOf(text);
    const char letter = static_cast<char>(AsciiUpper(text.substr(text.size() - 1))[0]);
    if (letter != 'N' && letter != 'S' && letter != 'E' && letter != 'W') return std::nullopt;
    const auto degrees = AngleDegrees(text, AngleForm::Packed);
    if (!degrees) return std::nullopt;
    return letter == 'S' || letter == 'W' ? -*degrees : *degrees;
}

// ---- Control point files ------------------------------------------------

std::string PointLineText(const std::filesystem::path& file, std::int64_t line,
                          std::string_view what) {
    return "控制点文件 " + PathText(file) + " 第" + std::to_string(line) + "行" + std::string(what);
}

Result<std::vector<ControlPoint>> ReadPlainPoints(const std::filesystem::path& file,
                                                  const Feedback& feedback) {
    LineReader reader;
    if (auto opened = reader.Open(file); !opened) return opened;
    struct Line {
        std::int64_t number;
        std::string text;  // UTF-8
    };
    std::vector<Line> lines;
    std::string text;
    while (reader.Next(text)) {
        if (feedback.Cancelled()) return Status::Fail(std::string(kCancelledText));
        if (TrimSpaces(text).empty()) continue;
        lines.push_back({reader.LineNumber(), text});
    }
    if (!reader.status()) return reader.status();

    std::vector<ControlPoint> points;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const FieldList fields = SplitFields(lines[i].text, ",");
        std::optional<double> lat, lon, height;
        if (fields.Count() >= 4) {
            lat = AngleOf(fields.items[1]);
            lon = AngleOf(fields.items[2]);
            height = ParseNumber(fields.items[3]);
        }
        if (!lat || !lon || !height) {
            // The first line may name the columns.
            if (i == 0) continue;
            return Status::Fail(
                PointLineText(file, lines[i].number, "不是“点名,纬度,经度,大地高”（十进制度）。"));
        }
        const std::string name(TrimSpaces(fields.items[0]));
        if (name.empty()) return Status::Fail(PointLineText(file, lines[i].number, "没有点名。"));
        if (std::fabs(*lat) > 90 || std::fabs(*lon) > 180)
            return Status::Fail(PointLineText(file, lines[i].number, "的纬度或经度超出范围。"));
        points.push_back({name, *lat, *lon, *height});
    }
    if (points.empty()) return Status::Fail("控制点文件 " + PathText(file) + " 中没有控制点。");
    return points;
}

Result<std::vector<ControlPoint>> ReadControllerPoints(const std::filesystem::path& file,
                                                       ControllerMake make,
                                                       const Feedback& feedback) {
    auto observations = ReadRawObservations(file, RawCsvLayoutOf(make), feedback);
    if (!observations) return observations.status();
    struct Sum {
        ControlPoint point;
        int count = 0;
    };
    std::vector<Sum> sums;
    std::map<std::string, std::size_t> index;
    for (const RawObservation& obs : *observations) {
        const auto lat = ControllerAngleOf(obs.latitude), lon = ControllerAngleOf(obs.longitude);
        if (!lat || !lon || std::fabs(*lat) > 90 || std::fabs(*lon) > 180)
            return Status::Fail("原始数据第" + std::to_string(obs.line) + "行的纬度或经度“" +
                                obs.latitude + "”“" + obs.longitude + "”无法识别。");
        auto [at, added] = index.emplace(obs.name, sums.size());
        if (added) sums.push_back({{obs.name, 0, 0, 0}, 0});
        Sum& sum = sums[at->second];
        sum.point.latitude += *lat;
        sum.point.longitude += *lon;
        sum.point.height += obs.ellipsoidalHeight;
        ++sum.count;
    }
    std::vector<ControlPoint> points;
    for (auto& sum : sums) {
        sum.point.latitude /= sum.count;
        sum.point.longitude /= sum.count;
        sum.point.height /= sum.count;
        points.push_back(std::move(sum.point));
    }
    return points;
}

// ---- Geometry -----------------------------------------------------------

struct Ecef {
    double x = 0, y = 0, z = 0;
};

Ecef EcefOf(double latitude, double longitude, double height) {
    constexpr double kA = 6378137.0;
    constexpr double kF = 1 / 298.257223563;
    constexpr double kE2 = kF * (2 - kF);
    const double phi = latitude * kDegree, lambda = longitude * kDegree;
    const double n = kA / std::sqrt(1 - kE2 * std::sin(phi) * std::sin(phi));
    return {(n + height) * std::cos(phi) * std::cos(lambda),
            (n + height) * std::cos(phi) * std::sin(lambda),
            (n * (1 - kE2) + height) * std::sin(phi)};
}

// A placed photo: its camera, position and the local east-north-up frame there.
struct Station {
    std::size_t photo = 0;  // index into the photo list
    double latitude = 0, longitude = 0, height = 0;
    Ecef origin;
    double sinLat = 0, cosLat = 1, sinLon = 0, cosLon = 1;
    std::optional<double> heading;  // degrees clockwise from north, of the top edge

    void Frame() {
        origin = EcefOf(latitude, longitude, height);
        sinLat = std::sin(latitude * kDegree);
        cosLat = std::cos(latitude * kDegree);
        sinLon = std::sin(longitude * kDegree);
        cosLon = std::cos(longitude * kDegree);
    }
    // East and north of a point from this station, in metres.
    std::pair<double, double> EastNorth(const Ecef& p) const {
        const double dx = p.x - origin.x, dy = p.y - origin.y, dz = p.z - origin.z;
        return {-sinLon * dx + cosLon * dy,
                -sinLat * cosLon * dx - sinLat * sinLon * dy + cosLat * dz};
    }
};

double CourseDegrees(const Station& from, const Station& to) {
    const auto [e, n] = from.EastNorth(to.origin);
    if (std::hypot(e, n) < kLeastLeg) return std::nan("");
    const double course = std::atan2(e, n) / kDegree;
    return course < 0 ? course + 360 : course;
}

bool SameLine(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return false;
    const double diff = std::fabs(std::remainder(a - b, 360.0));
    return diff <= kSameLineDegrees;
}

// Headings from the direction of flight for one folder's stations, in name
// order: a photo faces the next one, unless the leg to it is the turn onto
// another line (its course agrees with neither neighbouring leg); then, and
// for the last photo of a line, it faces away from the previous one.
void HeadingsFromFlight(std::vector<Station*>& stations, int offset) {
    const std::size_t n = stations.size();
    if (n < 2) return;
    std::vector<double> legs(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i) legs[i] = CourseDegrees(*stations[i], *stations[i + 1]);
    auto inLine = [&](std::size_t k) {
        if (std::isnan(legs[k])) return false;
        if (legs.size() == 1) return true;
        return (k > 0 && SameLine(legs[k], legs[k - 1])) ||
               (k + 1 < legs.size() && SameLine(legs[k], legs[k + 1]));
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (stations[i]->heading) continue;
        std::optional<double> course;
        if (i + 1 < n && inLine(i))
            course = legs[i];
        else if (i > 0 && inLine(i - 1))
            course = legs[i - 1];
        if (course) stations[i]->heading = std::fmod(*course + offset + 360.0, 360.0);
    }
}

}  // namespace

std::optional<double> FocalLengthPixels(const PhotoHeader& header,
                                        const std::optional<ExplicitCamera>& camera) {
    if (header.width <= 0 || header.height <= 0) return std::nullopt;
    if (header.focalLengthMm && header.focalPlaneXResolution && header.focalPlaneResolutionUnit) {
        double unitMm = 0;
        switch (*header.focalPlaneResolutionUnit) {
            case 2:
                unitMm = 25.4;
                break;
            case 3:
                unitMm = 10;
                break;
            case 4:
                unitMm = 1;
                break;
            case 5:
                unitMm = 0.001;
                break;
            default:
                break;
        }
        if (unitMm > 0) return *header.focalLengthMm * *header.focalPlaneXResolution / unitMm;
    }
    if (header.focalLengthMm && header.focalLength35mm)
        return *header.focalLength35mm * std::hypot(header.width, header.height) / kFilmDiagonalMm;
    if (camera && camera->focalMm > 0 && camera->sensorWidthMm > 0)
        return camera->focalMm * header.width / camera->sensorWidthMm;
    return std::nullopt;
}

Result<std::vector<ControlPoint>> ReadControlPoints(const std::filesystem::path& file,
                                                    std::optional<ControllerMake> make,
                                                    const Feedback& feedback) {
    return make ? ReadControllerPoints(file, *make, feedback) : ReadPlainPoints(file, feedback);
}

Result<CandidateReport> FindCandidates(const std::vector<ControlPoint>& points,
                                       const std::vector<std::filesystem::path>& folders,
                                       const CandidateOptions& options, const Feedback& feedback) {
    struct Photo {
        std::filesystem::path path;
        std::size_t folder = 0;
        PhotoHeader header;
        double focalPixels = 0;
    };
    std::vector<Photo> photos;
    for (std::size_t f = 0; f < folders.size(); ++f) {
        if (!FolderExists(folders[f]))
            return Status::Fail("航片文件夹 " + PathText(folders[f]) + " 不存在。");
        for (const auto& name : ListFiles(folders[f], "*.jpg;*.jpeg"))
            photos.push_back({folders[f] / PathOf(name), f, {}, 0});
    }

    // Cameras: every photo must have one, or the run names the first without.
    const std::uint64_t total = photos.size() + points.size();
    for (std::size_t i = 0; i < photos.size(); ++i) {
        if (feedback.Cancelled()) return Status::Fail(std::string(kCancelledText));
        feedback.Report(i, total);
        auto header = ReadPhotoHeader(photos[i].path);
        if (!header) return header.status();
        const auto focal = FocalLengthPixels(*header, options.camera);
        if (!focal)
            return Status::Fail(
                "航片 " + PathText(photos[i].path) +
                " 的EXIF中没有焦距和像元尺寸（或35mm等效焦距），请指定相机的焦距和传感器宽度。");
        photos[i].header = *header;
        photos[i].focalPixels = *focal;
    }

    // Positions: the POS line whose identifier is the photo's file title
    // (without case), else the photo's EXIF GPS.
    std::map<std::string, PosRecord> pos;
    bool posHeadings = false;
    if (options.pos) {
        auto records = ReadPosFile(*options.pos);
        if (!records) return records.status();
        for (auto& record : *records) {
            const auto heading = ParseNumber(record.fields[8]);
            if (heading && *heading != 0 && std::isfinite(*heading)) posHeadings = true;
            pos.emplace(AsciiUpper(record.PhotoId()), std::move(record));
        }
    }
    CandidateReport report;
    std::vector<Station> stations;
    for (std::size_t i = 0; i < photos.size(); ++i) {
        Station station;
        station.photo = i;
        const auto found = pos.find(AsciiUpper(FileTitleOf(PathText(photos[i].path.filename()))));
        if (found != pos.end()) {
            const PosRecord& record = found->second;
            auto lon = PosNumber(record, PosNumberField::Longitude, *options.pos);
            auto lat = PosNumber(record, PosNumberField::Latitude, *options.pos);
            auto height = PosNumber(record, PosNumberField::Height, *options.pos);
            for (const auto* number : {&lon, &lat, &height})
                if (!*number) return number->status();
            station.longitude = *lon;
            station.latitude = *lat;
            station.height = *height;
            if (posHeadings)
                if (const auto heading = ParseNumber(record.fields[8]);
                    heading && std::isfinite(*heading))
                    station.heading = std::fmod(std::fmod(*heading, 360.0) + 360.0, 360.0);
        } else if (const auto& gps = photos[i].header.gps; gps && gps->altitude) {
            station.latitude = gps->latitude;
            station.longitude = gps->longitude;
            station.height = *gps->altitude;
        } else {
            report.unplacedPhotos.push_back(photos[i].path);
            continue;
        }
        station.Frame();
        stations.push_back(station);
    }
    for (std::size_t f = 0; f < folders.size(); ++f) {
        std::vector<Station*> line;
        for (auto& station : stations)
            if (photos[station.photo].folder == f) line.push_back(&station);
        HeadingsFromFlight(line, options.headingOffset);
    }
    for (const auto& station : stations)
        if (!station.heading) report.unorientedPhotos.push_back(photos[station.photo].path);

    for (std::size_t p = 0; p < points.size(); ++p) {
        if (feedback.Cancelled()) return Status::Fail(std::string(kCancelledText));
        feedback.Report(photos.size() + p, total);
        const ControlPoint& point = points[p];
        const Ecef target = EcefOf(point.latitude, point.longitude, point.height);
        PointSightings found{point, {}};
        for (const auto& station : stations) {
            if (!station.heading) continue;
            const double above = station.height - point.height;
            if (!(above >= kLeastHeightAbovePoint)) continue;
            const Photo& photo = photos[station.photo];
            const auto [east, north] = station.EastNorth(target);
            const double h = *station.heading * kDegree;
            const double along = east * std::sin(h) + north * std::cos(h);
            const double across = east * std::cos(h) - north * std::sin(h);
            const double scale = photo.focalPixels / above;
            const int w = photo.header.width, ht = photo.header.height;
            const double x = w / 2.0 + across * scale;
            const double y = ht / 2.0 - along * scale;
            if (!(x >= 0 && x < w && y >= 0 && y < ht)) continue;
            found.sightings.push_back(
                {photo.path, w, ht, x, y, std::hypot(x - w / 2.0, y - ht / 2.0)});
        }
        std::stable_sort(
            found.sightings.begin(), found.sightings.end(),
            [](const Sighting& a, const Sighting& b) { return a.distance < b.distance; });
        report.points.push_back(std::move(found));
    }
    feedback.Report(total, total);
    return report;
}

}  // namespace skyrell
