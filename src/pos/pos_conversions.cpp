#include "pos/pos_conversions.h"

#include <cmath>
#include <optional>

#include "geodesy/module_gauss.h"
#include "pos/pos_file.h"
#include "shell/text.h"
#include "shell/textfile.h"

namespace skyrell {

namespace {

constexpr std::size_t kChunkBytes = 1 << 16;
constexpr std::string_view kEol = "\r\n";

// Output collected in chunks and handed to the atomic writer; the first
// failure is kept and ends the conversion.
class ChunkedOutput {
  public:
    Status Open(const std::filesystem::path& target, TextEncoding encoding, bool byteOrderMark) {
        chunk_.reserve(kChunkBytes + 4096);
        return writer_.Open(target, encoding, byteOrderMark);
    }
    std::string& text() { return chunk_; }
    Status FlushIfFull() { return chunk_.size() >= kChunkBytes ? Flush() : Status::Ok(); }
    Status Finish() {
        if (auto flushed = Flush(); !flushed) return flushed;
        return writer_.Commit();
    }

  private:
    Status Flush() {
        Status written = writer_.Write(chunk_);
        chunk_.clear();
        return written;
    }
    TextFileWriter writer_;
    std::string chunk_;
};

ConversionResult Failure(ConversionFailure kind, Status status) {
    ConversionResult result;
    result.failure = kind;
    result.status = std::move(status);
    return result;
}

ConversionResult WriteFailure(const std::filesystem::path& output, const Status& cause) {
    return Failure(ConversionFailure::WriteFailed,
                   Status::Fail(WriteFailureText(output, cause), cause.code()));
}

void Line(std::string& text, int spaces, std::string_view content) {
    text.append(static_cast<std::size_t>(spaces), ' ');
    text += content;
    text += kEol;
}

// ---------------------------------------------------------------- KML

constexpr std::string_view kIconHref =
    "<href>http://maps.google.com/mapfiles/kml/pushpin/ylw-pushpin.png</href>";
constexpr std::string_view kHotSpot = R"(<hotSpot x="20" y="2" xunits="pixels" yunits="pixels"/>)";

void KmlOpening(std::string& text, const std::filesystem::path& output, int nameSpaces) {
    Line(text, 0, R"(<?xml version="1.0" encoding="UTF-8"?>)");
    Line(
        text, 0,
        R"(<kml xmlns="http://www.opengis.net/kml/2.2" xmlns:gx="http://www.google.com/kml/ext/2.2" xmlns:kml="http://www.opengis.net/kml/2.2" xmlns:atom="http://www.w3.org/2005/Atom">)");
    Line(text, 0, "<Document>");
    Line(text, nameSpaces, "<name>" + XmlEscaped(KmlDocumentName(output)) + "</name>");
}

void KmlStyle(std::string& text, int indent, std::string_view id, std::string_view scale,
              bool lineStyle) {
    Line(text, indent, std::string(R"(<Style id=")") + std::string(id) + R"(">)");
    constexpr int step = 4;
    Line(text, indent + step, "<IconStyle>");
    Line(text, indent + 2 * step, "<scale>" + std::string(scale) + "</scale>");
    Line(text, indent + 2 * step, "<Icon>");
    Line(text, indent + 3 * step, kIconHref);
    Line(text, indent + 2 * step, "</Icon>");
    Line(text, indent + 2 * step, kHotSpot);
    Line(text, indent + step, "</IconStyle>");
    if (lineStyle) {
        Line(text, indent + step, "<LineStyle>");
        Line(text, indent + 2 * step, "<color>ff0000ff</color>");
        Line(text, indent + 2 * step, "<width>2</width>");
        Line(text, indent + step, "</LineStyle>");
    }
    Line(text, indent, "</Style>");
}

void KmlStyleMap(std::string& text, int indent, std::string_view id, std::string_view normal,
                 std::string_view highlight) {
    Line(text, indent, std::string(R"(<StyleMap id=")") + std::string(id) + R"(">)");
    Line(text, indent + 4, "<Pair>");
    Line(text, indent + 8, "<key>normal</key>");
    Line(text, indent + 8, "<styleUrl>#" + std::string(normal) + "</styleUrl>");
    Line(text, indent + 4, "</Pair>");
    Line(text, indent + 4, "<Pair>");
    Line(text, indent + 8, "<key>highlight</key>");
    Line(text, indent + 8, "<styleUrl>#" + std::string(highlight) + "</styleUrl>");
    Line(text, indent + 4, "</Pair>");
    Line(text, indent, "</StyleMap>");
}

void KmlPointOpening(std::string& text, const std::filesystem::path& output) {
    KmlOpening(text, output, 2);
    Line(text, 2, "<open>1</open>");
    KmlStyle(text, 2, "sh_ylw-pushpin", "1.3", false);
    KmlStyle(text, 2, "sn_ylw-pushpin", "1.1", false);
    KmlStyleMap(text, 2, "msn_ylw-pushpin", "sn_ylw-pushpin1", "sh_ylw-pushpin00");
    KmlStyleMap(text, 2, "msn_ylw-pushpin0", "sn_ylw-pushpin00", "sh_ylw-pushpin0");
    KmlStyle(text, 2, "sh_ylw-pushpin0", "1.3", false);
    KmlStyleMap(text, 2, "msn_ylw-pushpin1", "sn_ylw-pushpin", "sh_ylw-pushpin1");
    KmlStyle(text, 2, "sh_ylw-pushpin00", "1.3", false);
    KmlStyle(text, 2, "sn_ylw-pushpin0", "1.1", false);
    KmlStyle(text, 2, "sn_ylw-pushpin1", "1.1", false);
    KmlStyle(text, 2, "sn_ylw-pushpin00", "1.1", false);
    KmlStyle(text, 2, "sh_ylw-pushpin1", "1.3", false);
    KmlStyleMap(text, 2, "msn_ylw-pushpin2", "sn_ylw-pushpin0", "sh_ylw-pushpin");
}

void KmlPlacemark(std::string& text, const std::string& name, const std::string& lon,
                  const std::string& lat, const std::string& height) {
    Line(text, 1, "<Placemark>");
    text += "     <name>";
    text += name;
    text += "</name>\r\n     <LookAt>\r\n         <longitude>";
    text += lon;
    text += "</longitude>\r\n         <latitude>";
    text += lat;
    text += "</latitude>\r\n         <altitude>";
    text += height;
    text +=
        "</altitude>\r\n"
        "         <heading>-6.19333510347983e-011</heading>\r\n"
        "         <tilt>0</tilt>\r\n"
        "         <range>3641.115123732</range>\r\n"
        "         <altitudeMode>relativeToGround</altitudeMode>\r\n"
        "         <gx:altitudeMode>relativeToSeaFloor</gx:altitudeMode>\r\n"
        "     </LookAt>\r\n"
        "     <styleUrl>#msn_ylw-pushpin2</styleUrl>\r\n"
        "     <Point>\r\n"
        "         <altitudeMode>clampToGround</altitudeMode>\r\n"
        "         <gx:altitudeMode>clampToSeaFloor</gx:altitudeMode>\r\n"
        "         <coordinates>";
    text += lon;
    text += ',';
    text += lat;
    text += ',';
    text += height;
    text += "</coordinates>\r\n     </Point>\r\n";
    Line(text, 1, "</Placemark>");
}

void KmlPolylineOpening(std::string& text, const std::filesystem::path& output) {
    KmlOpening(text, output, 4);
    KmlStyleMap(text, 4, "msn_ylw-pushpin", "sn_ylw-pushpin", "sh_ylw-pushpin");
    KmlStyle(text, 4, "sh_ylw-pushpin", "1.3", true);
    KmlStyle(text, 4, "sn_ylw-pushpin", "1.1", true);
    Line(text, 4, "<Placemark>");
    Line(text, 8, "<name></name>");
    Line(text, 8, "<styleUrl>#msn_ylw-pushpin</styleUrl>");
    Line(text, 8, "<LineString>");
    Line(text, 12, "<tessellate>1</tessellate>");
    Line(text, 0, "<coordinates>");
    text.append(16, ' ');
}

constexpr std::string_view kKmlPolylineClosing =
    "\r\n            </coordinates>\r\n        </LineString>\r\n    </Placemark>\r\n"
    "</Document>\r\n</kml>";
constexpr std::string_view kKmlClosing = "</Document>\r\n</kml>";

// ---------------------------------------------------------------- DXF

constexpr std::string_view kDxfEntities = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
constexpr std::string_view kDxfPolylineHead =
    "  0\r\nPOLYLINE\r\n  8\r\nPOLYLINE\r\n 66\r\n1\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n 30\r\n0.0\r\n";
constexpr std::string_view kDxfPolylineEnd = "  0\r\nSEQEND\r\n  8\r\nPOLYLINE\r\n";
constexpr std::string_view kDxfEnd = "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";

void DxfPoint(std::string& text, const std::string& photoId, double east, double north,
              const std::string& height, double h) {
    text += "  0\r\nPOINT\r\n  8\r\nPOINT\r\n 10\r\n";
    text += GeneralNumberText(east);
    text += "\r\n 20\r\n";
    text += GeneralNumberText(north);
    text += "\r\n 30\r\n0\r\n  0\r\nTEXT\r\n  8\r\nPOINTID\r\n 10\r\n";
    text += GeneralNumberText(east + 0.25 * h);
    text += "\r\n 20\r\n";
    text += GeneralNumberText(north - 0.375 * h);
    text += "\r\n 30\r\n0.000\r\n 40\r\n";
    text += height;
    text += "\r\n  1\r\n";
    text += photoId;
    text += "\r\n  7\r\nHZ\r\n";
}

void DxfVertex(std::string& text, double east, double north) {
    text += "  0\r\nVERTEX\r\n  8\r\nPOLYLINE\r\n 10\r\n";
    text += GeneralNumberText(east);
    text += "\r\n 20\r\n";
    text += GeneralNumberText(north);
    text += "\r\n 30\r\n0.0\r\n";
}

std::string UnprojectableText(const PosRecord& record, const std::filesystem::path& pos) {
    return "无人机POS文件 " + PathText(pos) + " 第" + std::to_string(record.LineNumber) +
           "行的经度“" + record.Longitude() + "”、纬度“" + record.Latitude() + "”无法投影！";
}

// Projects records with the options' ellipsoid axes on the central meridian
// of the first record.
class Projector {
  public:
    explicit Projector(const ConversionOptions& options) : options_(options) {}
    // Northing and easting rounded to millimetres.
    Result<ModuleGauss::PlanePoint> Project(const PosRecord& record,
                                            const std::filesystem::path& pos) {
        const auto lon = PosNumber(record, PosNumberField::Longitude, pos);
        if (!lon) return lon.status();
        const auto lat = PosNumber(record, PosNumberField::Latitude, pos);
        if (!lat) return lat.status();
        if (!L0_)
            L0_ = ModuleGauss::DegreesToRadians(
                ModuleGauss::CentralMeridian(*lon, options_.ZoneWidth));
        const auto plane = ModuleGauss::GaussForward(
            {ModuleGauss::DegreesToRadians(*lat), ModuleGauss::DegreesToRadians(*lon)},
            options_.SemiMajorAxis, options_.SemiMinorAxis, *L0_);
        // Coordinates far outside any zone overflow the series; such a point
        // stops the conversion instead of being written as 0.
        if (!std::isfinite(plane.x) || !std::isfinite(plane.y))
            return Status::Fail(UnprojectableText(record, pos));
        return ModuleGauss::PlanePoint{ModuleGauss::RoundSurvey3(plane.x),
                                       ModuleGauss::RoundSurvey3(plane.y)};
    }

  private:
    const ConversionOptions& options_;
    std::optional<double> L0_;
};

}  // namespace

bool ProjectsCoordinates(PosConversion conversion) {
    return conversion == PosConversion::DxfPoint || conversion == PosConversion::DxfPolyline ||
           conversion == PosConversion::TxtXy;
}

std::string KmlDocumentName(const std::filesystem::path& output) {
    std::string name = PathText(output.filename());
    // Drop the last four characters, not bytes.
    for (int i = 0; i < 4 && !name.empty(); ++i) name.erase(PreviousCharacter(name, name.size()));
    return name + ".kml";
}

ConversionResult ConvertPosFile(PosConversion conversion, const std::filesystem::path& pos,
                                const std::filesystem::path& output,
                                const ConversionOptions& options,
                                const std::function<void()>& yield) {
    const bool projects = ProjectsCoordinates(conversion);
    // The axes always follow the coordinate system, whatever the caller left
    // in the options.
    ConversionOptions applied = options;
    if (projects) {
        if (auto ellipsoid = ApplyEllipsoid(applied); !ellipsoid)
            return Failure(ConversionFailure::BadOptions, ellipsoid);
    }
    const bool kml =
        conversion == PosConversion::KmlPoint || conversion == PosConversion::KmlPolyline;
    const bool needsData = conversion != PosConversion::TxtBl && conversion != PosConversion::TxtXy;

    // The KML and DXF conversions refuse a file without data lines before
    // they touch the output; the check stops at the first data line.
    if (needsData) {
        if (auto checked = PosFormatCheck(pos); !checked)
            return Failure(checked.code() != 0 ? ConversionFailure::Unreadable
                                               : ConversionFailure::NoDataLines,
                           checked);
    }

    PosReader reader;
    if (auto opened = reader.Open(pos); !opened)
        return Failure(ConversionFailure::Unreadable, opened);
    if (yield) reader.SetYieldHook(yield);

    ChunkedOutput out;
    if (auto opened = out.Open(output, kml ? TextEncoding::Utf8 : TextEncoding::Gbk, kml); !opened)
        return WriteFailure(output, opened);
    std::string& text = out.text();

    switch (conversion) {
        case PosConversion::KmlPoint:
            KmlPointOpening(text, output);
            break;
        case PosConversion::KmlPolyline:
            KmlPolylineOpening(text, output);
            break;
        case PosConversion::DxfPoint:
            text += kDxfEntities;
            break;
        case PosConversion::DxfPolyline:
            text += kDxfEntities;
            text += kDxfPolylineHead;
            break;
        case PosConversion::TxtBl:
            Line(text, 0, "ID,B,L");
            break;
        case PosConversion::TxtXy:
            Line(text, 0, "ID,X,Y");
            break;
    }

    Projector projector(applied);
    const double h = applied.TextScale / 500;
    const std::string heightText = GeneralNumberText(h);
    PosRecord record;
    std::int64_t records = 0;
    while (reader.Next(record)) {
        ++records;
        switch (conversion) {
            case PosConversion::KmlPoint: {
                const auto lon = PosNumber(record, PosNumberField::Longitude, pos);
                if (!lon) return Failure(ConversionFailure::BadCoordinate, lon.status());
                const auto lat = PosNumber(record, PosNumberField::Latitude, pos);
                if (!lat) return Failure(ConversionFailure::BadCoordinate, lat.status());
                const auto height = PosNumber(record, PosNumberField::Height, pos);
                if (!height) return Failure(ConversionFailure::BadCoordinate, height.status());
                KmlPlacemark(text, XmlEscaped(record.PhotoId()), GeneralNumberText(*lon),
                             GeneralNumberText(*lat), GeneralNumberText(*height));
                break;
            }
            case PosConversion::KmlPolyline:
                text += XmlEscaped(record.Longitude());
                text += ',';
                text += XmlEscaped(record.Latitude());
                text += ",0 ";
                break;
            case PosConversion::TxtBl:
                text += record.PhotoId();
                text += ',';
                text += record.Latitude();
                text += ',';
                text += record.Longitude();
                text += kEol;
                break;
            case PosConversion::DxfPoint:
            case PosConversion::DxfPolyline:
            case PosConversion::TxtXy: {
                const auto plane = projector.Project(record, pos);
                if (!plane) return Failure(ConversionFailure::BadCoordinate, plane.status());
                const double north = plane->x, east = plane->y;
                if (conversion == PosConversion::DxfPoint) {
                    DxfPoint(text, record.PhotoId(), east, north, heightText, h);
                } else if (conversion == PosConversion::DxfPolyline) {
                    DxfVertex(text, east, north);
                } else {
                    text += record.PhotoId();
                    text += ',';
                    text += GeneralNumberText(north);
                    text += ',';
                    text += GeneralNumberText(east);
                    text += kEol;
                }
                break;
            }
        }
        if (auto flushed = out.FlushIfFull(); !flushed) return WriteFailure(output, flushed);
    }
    if (!reader.status()) return Failure(ConversionFailure::Unreadable, reader.status());
    if (needsData && records == 0)
        return Failure(ConversionFailure::NoDataLines, Status::Fail(PosFormatErrorText(pos)));

    switch (conversion) {
        case PosConversion::KmlPoint:
            text += kKmlClosing;
            break;
        case PosConversion::KmlPolyline:
            text += kKmlPolylineClosing;
            break;
        case PosConversion::DxfPoint:
            text += kDxfEnd;
            break;
        case PosConversion::DxfPolyline:
            text += kDxfPolylineEnd;
            text += kDxfEnd;
            break;
        case PosConversion::TxtBl:
        case PosConversion::TxtXy:
            break;
    }
    if (auto finished = out.Finish(); !finished) return WriteFailure(output, finished);
    ConversionResult result;
    result.records = records;
    return result;
}

}  // namespace skyrell
