#include "pos/pos_conversions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "shell/files.h"
#include "shell/line_reader.h"
#include "shell/text.h"
#include "shell/text_encoding.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::DataFile;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

ConversionOptions Options(const char* datum, const char* zone, double scale = 500) {
    ConversionOptions options;
    options.coordinateSystem = datum;
    options.zoneWidth = zone;
    options.textScale = scale;
    return options;
}

std::size_t LineCount(const std::string& bytes) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

struct Golden {
    const char* name;
    PosConversion conversion;
    ConversionOptions options;
    const char* outputName;
    const char* golden;
};

TEST(ConvertPosFile, WritesTheGoldenFiles) {
    const Golden cases[] = {
        {"KML points", PosConversion::KmlPoint, {}, "flight.KML", "pos/flight_point.kml"},
        {"KML polyline", PosConversion::KmlPolyline, {}, "flight.KML", "pos/flight_polyline.kml"},
        {"DXF points", PosConversion::DxfPoint, Options("1954", "3", 2000), "f.DXF",
         "pos/flight_point_1954_3_2000.dxf"},
        {"DXF polyline", PosConversion::DxfPolyline, Options("1980", "6"), "f.DXF",
         "pos/flight_polyline_1980_6.dxf"},
        {"ID,B,L", PosConversion::TxtBl, {}, "f.TXT", "pos/flight_bl.txt"},
        {"ID,X,Y", PosConversion::TxtXy, Options("2000", "3"), "f.TXT", "pos/flight_xy_2000_3.txt"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const auto out = folder / c.outputName;
        const auto result =
            ConvertPosFile(c.conversion, DataFile("pos/flight.txt"), out, c.options);
        ASSERT_TRUE(result.ok()) << c.name << ": " << result.status.message();
        EXPECT_EQ(result.records, 3) << c.name;
        EXPECT_EQ(ReadBytes(out), ReadBytes(DataFile(c.golden))) << c.name;
        // Only the output is left in the folder: no temporary file.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
            << c.name;
    }
}

// The drawings read back as group pairs (code line, value line): the header
// names R12 and code page 936, and every layer, line type and text style an
// entity or a layer names is declared in the tables.
TEST(ConvertPosFile, DxfDrawingsDeclareWhatTheyName) {
    constexpr std::pair<const char*, const char*> kNamingCodes[] = {
        {"8", "LAYER"}, {"7", "STYLE"}, {"6", "LTYPE"}};
    for (auto conversion : {PosConversion::DxfPoint, PosConversion::DxfPolyline}) {
        TempFolder folder;
        ASSERT_TRUE(ConvertPosFile(conversion, DataFile("pos/flight.txt"), folder / "f.dxf",
                                   Options("1954", "3"))
                        .ok());
        const auto lines = *ReadTextLines(folder / "f.dxf");
        std::map<std::string, std::set<std::string>> declared;  // table -> entries
        std::map<std::string, std::string> variables;
        std::string entry;
        for (std::size_t i = 0; i + 3 < lines.size(); i += 2) {
            const std::string code(TrimSpaces(lines[i]));
            if (code == "0") entry = lines[i + 1];
            if (code == "2" && entry != "TABLE" && entry != "SECTION")
                declared[entry].insert(lines[i + 1]);
            if (code == "9") variables[lines[i + 1]] = lines[i + 3];
            for (const auto& [c, table] : kNamingCodes)
                EXPECT_TRUE(code != c || declared[table].count(lines[i + 1]) == 1) << lines[i + 1];
        }
        EXPECT_EQ(variables["$ACADVER"], "AC1009");
        EXPECT_EQ(variables["$DWGCODEPAGE"], "ANSI_936");
        EXPECT_EQ(declared["LAYER"], (std::set<std::string>{"POINT", "POINTID", "POLYLINE"}));
        EXPECT_EQ(lines.back(), "EOF");
    }
}

std::string PosLines(int n) {
    std::string bytes = "photo week time lon lat height\r\n";
    for (int i = 0; i < n; ++i)
        bytes += std::to_string(100 + i) + " w t 114." + std::to_string(i) + " 30.5 " +
                 std::to_string(i * 10) + ".0 0 0 0\r\n";
    return bytes;
}

TEST(ConvertPosFile, LineCountsFollowTheRecordCount) {
    for (int n : {1, 3, 7}) {
        TempFolder folder;
        WriteBytes(folder / "p.txt", PosLines(n));
        struct Row {
            PosConversion conversion;
            std::size_t lines;  // CR LF count
        };
        // KML documents have no final line end: for 3 records the point
        // document's 176 lines hold 175 line ends.
        const Row rows[] = {
            {PosConversion::KmlPoint, static_cast<std::size_t>(5 + 112 + 19 * n + 2 - 1)},
            {PosConversion::KmlPolyline, 51},
            {PosConversion::DxfPoint, static_cast<std::size_t>(108 + 4 + 26 * n + 4)},
            {PosConversion::DxfPolyline, static_cast<std::size_t>(108 + 16 + 10 * n + 8)},
            {PosConversion::TxtBl, static_cast<std::size_t>(1 + n)},
            {PosConversion::TxtXy, static_cast<std::size_t>(1 + n)},
        };
        for (const auto& row : rows) {
            const auto out = folder / "out";
            ASSERT_TRUE(
                ConvertPosFile(row.conversion, folder / "p.txt", out, Options("1954", "3")).ok());
            EXPECT_EQ(LineCount(ReadBytes(out)), row.lines)
                << "conversion " << static_cast<int>(row.conversion) << " n=" << n;
        }
    }
}

TEST(ConvertPosFile, TextScaleSetsLabelHeightAndOffsets) {
    TempFolder folder;
    WriteBytes(folder / "p.txt", "1 a b 114 30 0 0 0 0\r\n");
    ASSERT_TRUE(ConvertPosFile(PosConversion::DxfPoint, folder / "p.txt", folder / "o.dxf",
                               Options("1954", "3", 500))
                    .ok());
    const std::string text = ReadBytes(folder / "o.dxf");
    // On the central meridian: E = 500000, N = 3320172.407 (the meridian arc).
    EXPECT_NE(text.find(" 10\r\n500000\r\n 20\r\n3320172.407\r\n"), std::string::npos);
    EXPECT_NE(text.find(" 10\r\n500000.25\r\n 20\r\n3320172.032\r\n 30\r\n0.000\r\n 40\r\n1\r\n"),
              std::string::npos);
}

TEST(ConvertPosFile, RecordsFarAwayStayOnTheFirstRecordsMeridian) {
    TempFolder folder;
    // 117.9 fixes L0 = 117 (3-degree zones); 118.6 would be in the zone of 120.
    WriteBytes(folder / "p.txt",
               "1 a b 117.9 30 0 0 0 0\r\n2 a b 118.6 30 0 0 0 0\r\n3 a b 117 30 0 0 0 0\r\n");
    ASSERT_TRUE(ConvertPosFile(PosConversion::TxtXy, folder / "p.txt", folder / "o.txt",
                               Options("1954", "3"))
                    .ok());
    const std::string text = ReadBytes(folder / "o.txt");
    EXPECT_NE(text.find("\r\n3,3320172.407,500000\r\n"), std::string::npos);
    // 1.6 degrees east of 117 at 30 degrees: about 154 km east of the meridian.
    const auto row = text.substr(text.find("\r\n2,") + 2);
    const double east = std::stod(row.substr(row.rfind(',', row.find("\r\n")) + 1));
    EXPECT_GT(east, 650000);
}

TEST(ConvertPosFile, FilesWithoutDataLines) {
    TempFolder folder;
    WriteBytes(folder / "p.txt", "title line\r\n1\t2\t3\r\n");
    const auto pos = folder / "p.txt";
    for (auto conversion : {PosConversion::KmlPoint, PosConversion::KmlPolyline,
                            PosConversion::DxfPoint, PosConversion::DxfPolyline}) {
        const auto result = ConvertPosFile(conversion, pos, folder / "o", Options("1954", "3"));
        EXPECT_EQ(result.failure, ConversionFailure::NoDataLines);
        EXPECT_EQ(result.status.message(), "无人机POS文件 " + PathText(pos) + " 数据格式错误！");
        EXPECT_FALSE(std::filesystem::exists(folder / "o"));
        // The file is refused before the output is touched, so an output that
        // could not be written does not hide the format message.
        EXPECT_EQ(
            ConvertPosFile(conversion, pos, folder / "none" / "o", Options("1954", "3")).failure,
            ConversionFailure::NoDataLines);
    }
    ASSERT_TRUE(ConvertPosFile(PosConversion::TxtBl, pos, folder / "bl", {}).ok());
    EXPECT_EQ(ReadBytes(folder / "bl"), "ID,B,L\r\n");
    ASSERT_TRUE(
        ConvertPosFile(PosConversion::TxtXy, pos, folder / "xy", Options("1984", "6")).ok());
    EXPECT_EQ(ReadBytes(folder / "xy"), "ID,X,Y\r\n");
}

TEST(ConvertPosFile, ANonNumericCoordinateStopsAndWritesNothing) {
    TempFolder folder;
    const auto pos = folder / "p.txt";
    WriteBytes(pos, "1 a b 114 30 0 0 0 0\r\ntitle\r\n2 a b 120.05x18 30 0 0 0 0\r\n");
    WriteBytes(folder / "old", "old content");
    for (auto conversion :
         {PosConversion::KmlPoint, PosConversion::KmlPolyline, PosConversion::DxfPoint,
          PosConversion::DxfPolyline, PosConversion::TxtXy}) {
        const auto result = ConvertPosFile(conversion, pos, folder / "old", Options("1954", "3"));
        EXPECT_EQ(result.failure, ConversionFailure::BadCoordinate);
        EXPECT_EQ(result.status.message(),
                  "无人机POS文件 " + PathText(pos) + " 第3行的经度“120.05x18”不是数字！");
        EXPECT_EQ(ReadBytes(folder / "old"), "old content");
    }
    // The copying ID,B,L text does not read the numbers.
    EXPECT_TRUE(ConvertPosFile(PosConversion::TxtBl, pos, folder / "bl", {}).ok());
    // The height counts only for KML points.
    WriteBytes(pos, "1 a b 114 30 high 0 0 0\r\n");
    const auto result = ConvertPosFile(PosConversion::KmlPoint, pos, folder / "k.kml", {});
    EXPECT_EQ(result.status.message(),
              "无人机POS文件 " + PathText(pos) + " 第1行的高程“high”不是数字！");
    EXPECT_TRUE(
        ConvertPosFile(PosConversion::TxtXy, pos, folder / "xy", Options("1954", "3")).ok());
}

TEST(ConvertPosFile, APointTheProjectionCannotReachStopsAndWritesNothing) {
    TempFolder folder;
    const auto pos = folder / "p.txt";
    struct Row {
        const char* line2;
        const char* lon;
        const char* lat;
    };
    // Numbers, but so large that the series overflows to infinity or NaN.
    const Row rows[] = {{"2 a b 1e300 30 0 0 0 0", "1e300", "30"},
                        {"2 a b -1e200 45 0 0 0 0", "-1e200", "45"}};
    for (const auto& row : rows) {
        WriteBytes(pos, std::string("1 a b 114 30 0 0 0 0\r\n") + row.line2 + "\r\n");
        for (auto conversion :
             {PosConversion::DxfPoint, PosConversion::DxfPolyline, PosConversion::TxtXy}) {
            const auto result = ConvertPosFile(conversion, pos, folder / "o", Options("1954", "3"));
            EXPECT_EQ(result.failure, ConversionFailure::BadCoordinate) << row.line2;
            EXPECT_EQ(result.status.message(), "无人机POS文件 " + PathText(pos) + " 第2行的经度“" +
                                                   row.lon + "”、纬度“" + row.lat + "”无法投影！");
            EXPECT_FALSE(std::filesystem::exists(folder / "o"));
        }
    }
}

TEST(ConvertPosFile, UnreadableInputAndUnwritableOutput) {
    TempFolder folder;
    const auto missing =
        ConvertPosFile(PosConversion::TxtBl, folder / "none.txt", folder / "o", {});
    EXPECT_EQ(missing.failure, ConversionFailure::Unreadable);
    EXPECT_NE(missing.status.message().find(PathText(folder / "none.txt")), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "o"));

    const auto out = folder / "no-such-folder" / "o.txt";
    const auto failed = ConvertPosFile(PosConversion::TxtBl, DataFile("pos/flight.txt"), out, {});
    EXPECT_EQ(failed.failure, ConversionFailure::WriteFailed);
    EXPECT_NE(failed.status.code(), 0);
    EXPECT_NE(failed.status.message().find(PathText(out)), std::string::npos);
}

TEST(ConvertPosFile, ProjectingNeedsAKnownDatum) {
    TempFolder folder;
    const auto result = ConvertPosFile(PosConversion::TxtXy, DataFile("pos/flight.txt"),
                                       folder / "o", Options("", "3"));
    EXPECT_EQ(result.failure, ConversionFailure::BadOptions);
    EXPECT_FALSE(std::filesystem::exists(folder / "o"));
}

TEST(ConvertPosFile, IdentifiersThatGbkCannotHoldAreRefused) {
    TempFolder folder;
    WriteBytes(folder / "p.txt",
               "\xEF\xBB\xBF"
               "a\xF0\x9F\x98\x80 w t 114 30 0 0 0 0\r\n");
    const auto result = ConvertPosFile(PosConversion::TxtBl, folder / "p.txt", folder / "o", {});
    EXPECT_EQ(result.failure, ConversionFailure::WriteFailed);
    EXPECT_NE(result.status.message().find(EncodingRefusalText("\xF0\x9F\x98\x80")),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "o"));
    // KML documents are UTF-8 and take it.
    EXPECT_TRUE(
        ConvertPosFile(PosConversion::KmlPoint, folder / "p.txt", folder / "o.kml", {}).ok());
}

TEST(KmlDocumentName, DropsTheLastFourCharacters) {
    struct Row {
        const char* path;
        const char* name;
    };
    const Row rows[] = {{"/out/flight1.KML", "flight1.kml"},
                        {"/out/track.kml", "track.kml"},
                        {"/out/航线一.KML", "航线一.kml"},
                        {"/out/航线一号", ".kml"},
                        {"/out/ab", ".kml"}};
    for (const auto& row : rows) EXPECT_EQ(KmlDocumentName(row.path), row.name) << row.path;
}

}  // namespace
}  // namespace skyrell
