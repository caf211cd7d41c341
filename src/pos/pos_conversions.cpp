#include "pos/pos_conversions.h"

#include <cmath>
#include <memory>
#include <optional>

#include "geodesy/module_gauss.h"
#include "pos/pos_file.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/kml.h"
#include "shell/text.h"
#include "shell/text_encoding.h"

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
    AppendKmlLine(text, spaces, content);
}

// ---------------------------------------------------------------- KML

void KmlOpening(std::string& text, const std::filesystem::path& output, int nameSpaces) {
    Line(text, 0, kKmlDeclaration);
    Line(text, 0, kKmlRoot);
    Line(text, 0, "<Document>");
    Line(text, nameSpaces, "<name>" + XmlEscaped(KmlDocumentName(output)) + "</name>");
}

void KmlStyle(std::string& text, int indent, std::string_view id, std::string_view scale,
              bool lineStyle) {
    Line(text, indent, std::string(R"(<Style id=")") + std::string(id) + R"(">)");
    constexpr int kStep = 4;
    AppendKmlIconStyle(text, indent + kStep, scale);
    if (lineStyle) {
        Line(text, indent + kStep, "<LineStyle>");
        Line(text, indent + 2 * kStep, "<color>ff0000ff</color>");
        Line(text, indent + 2 * kStep, "<width>2</width>");
        Line(text, indent + kStep, "</LineStyle>");
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

// What comes before the entities: a HEADER that names the drawing format
// (AutoCAD R12, AC1009) and the code page of its texts (GBK, ANSI_936), and
// TABLES that declare what the entities name: the line type of the layers,
// the layers "POINT", "POINTID" and "POLYLINE", and the text style "HZ" of
// the labels (the SHX font "txt" with the Chinese big font "gbcbig"). Both
// drawings declare all of them. Without the code page, readers take the
// labels for Latin-1 text; without the style, they drop it from every label.
constexpr std::string_view kDxfHeader =
    "  0\r\nSECTION\r\n  2\r\nHEADER\r\n"
    "  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n"
    "  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_936\r\n"
    "  0\r\nENDSEC\r\n"
    "  0\r\nSECTION\r\n  2\r\nTABLES\r\n"
    "  0\r\nTABLE\r\n  2\r\nLTYPE\r\n 70\r\n1\r\n"
    "  0\r\nLTYPE\r\n  2\r\nCONTINUOUS\r\n 70\r\n0\r\n  3\r\nSolid line\r\n"
    " 72\r\n65\r\n 73\r\n0\r\n 40\r\n0.0\r\n"
    "  0\r\nENDTAB\r\n"
    "  0\r\nTABLE\r\n  2\r\nLAYER\r\n 70\r\n3\r\n"
    "  0\r\nLAYER\r\n  2\r\nPOINT\r\n 70\r\n0\r\n 62\r\n7\r\n  6\r\nCONTINUOUS\r\n"
    "  0\r\nLAYER\r\n  2\r\nPOINTID\r\n 70\r\n0\r\n 62\r\n7\r\n  6\r\nCONTINUOUS\r\n"
    "  0\r\nLAYER\r\n  2\r\nPOLYLINE\r\n 70\r\n0\r\n 62\r\n7\r\n  6\r\nCONTINUOUS\r\n"
    "  0\r\nENDTAB\r\n"
    "  0\r\nTABLE\r\n  2\r\nSTYLE\r\n 70\r\n1\r\n"
    "  0\r\nSTYLE\r\n  2\r\nHZ\r\n 70\r\n0\r\n 40\r\n0.0\r\n 41\r\n1.0\r\n 50\r\n0.0\r\n"
    " 71\r\n0\r\n 42\r\n2.5\r\n  3\r\ntxt\r\n  4\r\ngbcbig\r\n"
    "  0\r\nENDTAB\r\n"
    "  0\r\nENDSEC\r\n";
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
    return "无人机POS文件 " + PathText(pos) + " 第" + std::to_string(record.lineNumber) +
           "行的经度“" + record.Longitude() + "”、纬度“" + record.Latitude() + "”无法投影！";
}

// Projects records with the options' ellipsoid axes on the central meridian
// of the first record.
class Projector {
  public:
    explicit Projector(const ConversionOptions& options) : options_(options) {}
    // Northing and easting rounded to millimetres.
    Result<module_gauss::PlanePoint> Project(const PosRecord& record,
                                             const std::filesystem::path& pos) {
        const auto lon = PosNumber(record, PosNumberField::Longitude, pos);
        if (!lon) return lon.status();
        const auto lat = PosNumber(record, PosNumberField::Latitude, pos);
        if (!lat) return lat.status();
        if (!centralMeridian_)
            centralMeridian_ = module_gauss::DegreesToRadians(
                module_gauss::CentralMeridian(*lon, options_.zoneWidth));
        const auto plane = module_gauss::GaussForward(
            {module_gauss::DegreesToRadians(*lat), module_gauss::DegreesToRadians(*lon)},
            options_.semiMajorAxis, options_.semiMinorAxis, *centralMeridian_);
        // Coordinates far outside any zone overflow the series; such a point
        // stops the conversion instead of being written as 0.
        if (!std::isfinite(plane.x) || !std::isfinite(plane.y))
            return Status::Fail(UnprojectableText(record, pos));
        return module_gauss::PlanePoint{module_gauss::RoundSurvey3(plane.x),
                                        module_gauss::RoundSurvey3(plane.y)};
    }

  private:
    const ConversionOptions& options_;
    std::optional<double> centralMeridian_;
};

// A text field copied into a KML document must be a text XML 1.0 can hold;
// a control character or a byte that is not UTF-8 would make the whole
// document unreadable, so it stops the conversion.
Status CheckXmlText(const PosRecord& record, const std::string& field,
                    const std::filesystem::path& pos) {
    const auto problem = FindNonXmlCharacter(field);
    if (!problem) return Status::Ok();
    return Status::Fail("无人机POS文件 " + PathText(pos) + " 第" +
                        std::to_string(record.lineNumber) + "行含有KML文件不能保存的字符（" +
                        problem->description + "）！");
}

// What a writer needs besides the records.
struct WriterContext {
    const std::filesystem::path& pos;
    const std::filesystem::path& output;
    const ConversionOptions& options;  // with the axes of its coordinate system
};

// One output format: the text before the first record, the text of each
// record, and the text after the last one.
class PosWriter {
  public:
    virtual ~PosWriter() = default;
    virtual void Begin(std::string& text) = 0;
    // A record that cannot be written (a coordinate that is not a number,
    // a point the projection cannot reach) stops the conversion.
    virtual Status Record(std::string& text, const PosRecord& record) = 0;
    virtual void End(std::string& text) = 0;
};

class KmlPointWriter : public PosWriter {
  public:
    explicit KmlPointWriter(const WriterContext& context) : context_(context) {}
    void Begin(std::string& text) override { KmlPointOpening(text, context_.output); }
    Status Record(std::string& text, const PosRecord& record) override {
        const auto lon = PosNumber(record, PosNumberField::Longitude, context_.pos);
        if (!lon) return lon.status();
        const auto lat = PosNumber(record, PosNumberField::Latitude, context_.pos);
        if (!lat) return lat.status();
        const auto height = PosNumber(record, PosNumberField::Height, context_.pos);
        if (!height) return height.status();
        if (auto checked = CheckXmlText(record, record.PhotoId(), context_.pos); !checked)
            return checked;
        KmlPlacemark(text, XmlEscaped(record.PhotoId()), GeneralNumberText(*lon),
                     GeneralNumberText(*lat), GeneralNumberText(*height));
        return Status::Ok();
    }
    void End(std::string& text) override { text += kKmlClosing; }

  private:
    WriterContext context_;
};

class KmlPolylineWriter : public PosWriter {
  public:
    explicit KmlPolylineWriter(const WriterContext& context) : context_(context) {}
    void Begin(std::string& text) override { KmlPolylineOpening(text, context_.output); }
    Status Record(std::string& text, const PosRecord& record) override {
        // The polyline copies the coordinate texts as written, but KML
        // coordinates must be numbers: a heading line of nine words would
        // otherwise become a point at 0 degrees north, 0 east. A character
        // XML cannot hold is named first, so that the message shows no
        // bytes that are not text.
        for (const std::string* field : {&record.Longitude(), &record.Latitude()})
            if (auto checked = CheckXmlText(record, *field, context_.pos); !checked) return checked;
        for (auto field : {PosNumberField::Longitude, PosNumberField::Latitude})
            if (auto number = PosNumber(record, field, context_.pos); !number)
                return number.status();
        text += XmlEscaped(record.Longitude());
        text += ',';
        text += XmlEscaped(record.Latitude());
        text += ",0 ";
        return Status::Ok();
    }
    void End(std::string& text) override { text += kKmlPolylineClosing; }

  private:
    WriterContext context_;
};

class TxtBlWriter : public PosWriter {
  public:
    explicit TxtBlWriter(const WriterContext&) {}
    void Begin(std::string& text) override { Line(text, 0, "ID,B,L"); }
    Status Record(std::string& text, const PosRecord& record) override {
        text += record.PhotoId();
        text += ',';
        text += record.Latitude();
        text += ',';
        text += record.Longitude();
        text += kEol;
        return Status::Ok();
    }
    void End(std::string&) override {}
};

// The writers of plane coordinates: each record is projected first.
class ProjectingWriter : public PosWriter {
  public:
    explicit ProjectingWriter(const WriterContext& context)
        : context_(context), projector_(context.options) {}
    Status Record(std::string& text, const PosRecord& record) final {
        const auto plane = projector_.Project(record, context_.pos);
        if (!plane) return plane.status();
        Plane(text, record, plane->y, plane->x);
        return Status::Ok();
    }

  protected:
    virtual void Plane(std::string& text, const PosRecord& record, double east, double north) = 0;
    WriterContext context_;

  private:
    Projector projector_;
};

class DxfPointWriter : public ProjectingWriter {
  public:
    explicit DxfPointWriter(const WriterContext& context)
        : ProjectingWriter(context),
          h_(context.options.textScale / 500),
          heightText_(GeneralNumberText(h_)) {}
    void Begin(std::string& text) override {
        text += kDxfHeader;
        text += kDxfEntities;
    }
    void End(std::string& text) override { text += kDxfEnd; }

  private:
    void Plane(std::string& text, const PosRecord& record, double east, double north) override {
        DxfPoint(text, record.PhotoId(), east, north, heightText_, h_);
    }
    double h_;
    std::string heightText_;
};

class DxfPolylineWriter : public ProjectingWriter {
  public:
    using ProjectingWriter::ProjectingWriter;
    void Begin(std::string& text) override {
        text += kDxfHeader;
        text += kDxfEntities;
        text += kDxfPolylineHead;
    }
    void End(std::string& text) override {
        text += kDxfPolylineEnd;
        text += kDxfEnd;
    }

  private:
    void Plane(std::string& text, const PosRecord&, double east, double north) override {
        DxfVertex(text, east, north);
    }
};

class TxtXyWriter : public ProjectingWriter {
  public:
    using ProjectingWriter::ProjectingWriter;
    void Begin(std::string& text) override { Line(text, 0, "ID,X,Y"); }
    void End(std::string&) override {}

  private:
    void Plane(std::string& text, const PosRecord& record, double east, double north) override {
        text += record.PhotoId();
        text += ',';
        text += GeneralNumberText(north);
        text += ',';
        text += GeneralNumberText(east);
        text += kEol;
    }
};

// The six formats.
struct PosFormat {
    PosConversion conversion;
    bool kml;        // UTF-8 with a byte-order mark; the others are GBK
    bool needsData;  // a POS file without data lines is refused
    bool projects;   // needs the coordinate system and zone of the options
    std::unique_ptr<PosWriter> (*make)(const WriterContext&);
};

template <class W>
std::unique_ptr<PosWriter> Make(const WriterContext& context) {
    return std::make_unique<W>(context);
}

constexpr PosFormat kFormats[] = {
    {PosConversion::KmlPoint, true, true, false, Make<KmlPointWriter>},
    {PosConversion::KmlPolyline, true, true, false, Make<KmlPolylineWriter>},
    {PosConversion::DxfPoint, false, true, true, Make<DxfPointWriter>},
    {PosConversion::DxfPolyline, false, true, true, Make<DxfPolylineWriter>},
    {PosConversion::TxtBl, false, false, false, Make<TxtBlWriter>},
    {PosConversion::TxtXy, false, false, true, Make<TxtXyWriter>},
};

const PosFormat& FormatOf(PosConversion conversion) {
    for (const auto& format : kFormats)
        if (format.conversion == conversion) return format;
    return kFormats[0];
}

}  // namespace

bool ProjectsCoordinates(PosConversion conversion) { return FormatOf(conversion).projects; }

std::string KmlDocumentName(const std::filesystem::path& output) {
    std::string name = PathText(output.filename());
    // Drop the last four characters, not bytes.
    for (int i = 0; i < 4 && !name.empty(); ++i) name.erase(PreviousCharacter(name, name.size()));
    return name + ".kml";
}

ConversionResult ConvertPosFile(PosConversion conversion, const std::filesystem::path& pos,
                                const std::filesystem::path& output,
                                const ConversionOptions& options, const Feedback& feedback) {
    const PosFormat& format = FormatOf(conversion);
    // The axes always follow the coordinate system, whatever the caller left
    // in the options.
    ConversionOptions applied = options;
    if (format.projects) {
        if (auto ellipsoid = ApplyEllipsoid(applied); !ellipsoid)
            return Failure(ConversionFailure::BadOptions, ellipsoid);
    }

    // The input is read once, so a pipe converts as a file does. A file
    // without data lines is refused before the output is touched; the output
    // goes to a temporary file that replaces the target only when the whole
    // input converted, so any other failure leaves the target as it was.
    PosReader reader;
    if (auto opened = reader.Open(pos); !opened)
        return Failure(ConversionFailure::Unreadable, opened);
    reader.SetFeedback(feedback);
    PosRecord record;
    bool more = reader.Next(record);
    if (!reader.status()) return Failure(ConversionFailure::Unreadable, reader.status());
    if (format.needsData && !more)
        return Failure(ConversionFailure::NoDataLines, Status::Fail(PosFormatErrorText(pos)));

    ChunkedOutput out;
    if (auto opened =
            out.Open(output, format.kml ? TextEncoding::Utf8 : TextEncoding::Gbk, format.kml);
        !opened)
        return WriteFailure(output, opened);
    std::string& text = out.text();

    const WriterContext context{pos, output, applied};
    const std::unique_ptr<PosWriter> writer = format.make(context);
    writer->Begin(text);
    std::int64_t records = 0;
    for (; more; more = reader.Next(record)) {
        ++records;
        if (auto written = writer->Record(text, record); !written)
            return Failure(ConversionFailure::BadCoordinate, written);
        if (auto flushed = out.FlushIfFull(); !flushed) return WriteFailure(output, flushed);
    }
    if (!reader.status()) return Failure(ConversionFailure::Unreadable, reader.status());
    writer->End(text);

    if (auto finished = out.Finish(); !finished) return WriteFailure(output, finished);
    ConversionResult result;
    result.records = records;
    return result;
}

}  // namespace skyrell
