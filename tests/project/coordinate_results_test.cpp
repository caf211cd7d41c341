#include "project/coordinate_results.h"

#include <gtest/gtest.h>

#include "check/coordinate_table.h"
#include "project/sortie_layout.h"
#include "shell/atomic_file.h"
#include "shell/text_encoding.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::DataFile;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::vector<std::string> kPhotos = {
    "P0001_IMG_0286.jpg", "p0002_IMG_0300.JPG", "P0003_IMG_0301.jpg", "P0004.jpg",
    "P0005_IMG_1.jpg",    "P0006_IMG_2.jpg",    "P0008_IMG_3.jpg",    "P0009_IMG_4.jpg",
    "P0010_IMG_5.jpg",    "P0011_a.jpg",        "P0012_b.jpg",        "P0013_c.jpg",
    "P0014_d.jpg"};

struct GoldenCase {
    ControllerMake make;
    const char* raw;
    const char* expected;
    std::size_t observations, points, written;
};

TEST(CoordinateResults, WholeFileMatchesTheHandWrittenTable) {
    const GoldenCase cases[] = {
        {ControllerMake::HiTarget, "project/hitarget_raw.csv", "project/hitarget_expected.csv", 24,
         12, 11},
        {ControllerMake::Chc, "project/chc_raw.csv", "project/chc_expected.csv", 4, 3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        TempFolder temp;
        const auto out = temp / "坐标成果.csv";
        const auto summary =
            WriteCoordinateResults(DataFile(c.raw), RawCsvLayoutOf(c.make), kPhotos, out);
        ASSERT_TRUE(summary) << summary.status().message();
        EXPECT_EQ(ReadBytes(out), ReadBytes(DataFile(c.expected)));
        EXPECT_EQ(summary->observations, c.observations);
        EXPECT_EQ(summary->points, c.points);
        EXPECT_EQ(summary->written, c.written);
    }
}

TEST(CoordinateResults, TheDataCheckReadsTheTableAsWritten) {
    TempFolder sortie;
    const auto table = CoordinateTablePath(sortie.path());
    std::filesystem::create_directories(table.parent_path());
    ASSERT_TRUE(WriteCoordinateResults(DataFile("project/hitarget_raw.csv"),
                                       RawCsvLayoutOf(ControllerMake::HiTarget), kPhotos, table));
    const auto scan = ScanCoordinateTable(table);
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->nineFieldLines, 12);
    const auto row = FindCoordinateRow(table, "P0001");
    ASSERT_TRUE(row && *row);
    EXPECT_EQ((*row)->items[7], "3");
    EXPECT_EQ((*row)->items[8], kPlaneRemark);
}

TEST(CoordinateResults, DataLineNeedsTheMakesFieldCountAndALeadingP) {
    const std::string base = "P0001,1,2,3,4,5,6";  // 7 fields
    auto withFields = [&](std::size_t count) {
        std::string line = base;
        for (std::size_t i = 7; i < count; ++i) line += ",x";
        return line;
    };
    struct Case {
        ControllerMake make;
        std::string line;
        bool data;
    };
    const Case cases[] = {
        {ControllerMake::HiTarget, withFields(22), true},
        {ControllerMake::HiTarget, withFields(21), false},
        {ControllerMake::HiTarget, withFields(23), false},
        {ControllerMake::HiTarget, "p" + withFields(22).substr(1), true},
        {ControllerMake::HiTarget, " " + withFields(22), false},
        {ControllerMake::HiTarget, "Q" + withFields(22).substr(1), false},
        {ControllerMake::Chc, withFields(22), false},
        {ControllerMake::Chc, withFields(23), true},
        {ControllerMake::Chc, withFields(40), true},
        {ControllerMake::Chc, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto& layout = RawCsvLayoutOf(c.make);
        EXPECT_EQ(IsDataLine(c.line, SplitFields(c.line, ","), layout), c.data);
    }
}

// An observation of point `name` from the texts of its coordinates.
RawObservation Observation(const std::string& name, const std::string& north,
                           const std::string& east, const std::string& height) {
    std::string line = name + "," + north + "," + east + "," + height + ",B,L,0";
    for (int i = 7; i < 22; ++i) line += ",";
    auto obs =
        ReadRawObservation(SplitFields(line, ","), RawCsvLayoutOf(ControllerMake::HiTarget), 1);
    EXPECT_TRUE(obs) << obs.status().message();
    return *obs;
}

TEST(CoordinateResults, LimitsAreTestedOnTheValuesAsWritten) {
    struct Case {
        const char *n1, *e1, *h1, *n2, *e2, *h2;
        std::string_view remark;
    };
    const Case cases[] = {
        {"12.34", "0", "0", "12.39", "0", "0", ""},  // 0.05 in binary is a bit more
        {"0", "12.34", "0", "0", "12.39", "0", ""},
        {"0", "0", "12.34", "0", "0", "12.39", ""},
        {"100.00", "100.00", "0", "100.03", "100.04", "0", ""},  // 3-4-5: exactly 0.05
        {"4500000.12", "38500000.00", "0", "4500000.17", "38500000.00", "0", ""},
        {"1000.0000", "0", "0", "1000.0501", "0", "0", kPlaneRemark},
        {"0", "0", "1.000", "0", "0", "1.0501", kHeightRemark},
        {"0", "0", "1.000", "0", "0", "0.9499", kHeightRemark},
        {"100.00", "100.00", "0", "100.03", "100.0401", "0", kPlaneRemark},
        {"0", "0", "0", "0.05000000001", "0", "0", kPlaneRemark},
        {"1e3", "0", "0", "1000.05", "0", "0", ""},
        // Past 10^24 m the values are not kept exactly; the tests fall back
        // to the floating-point values, still with the 0.05 m limit.
        {"1e25", "100.00", "0", "1e25", "100.05", "0", ""},
        {"1e25", "0", "0", "0", "0", "0", kPlaneRemark},
        {"0", "0", "2e24", "0", "0", "2e24", ""},
        {"0", "0", "1e25", "0", "0", "0", kHeightRemark},
        {"0", "100.00", "1e25", "0", "100.00", "1e25", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.n1) + " " + c.e1 + " " + c.h1 + " / " + c.n2 + " " + c.e2 + " " +
                     c.h2);
        const auto rows = GroupObservations(
            {Observation("P0001", c.n1, c.e1, c.h1), Observation("P0001_2", c.n2, c.e2, c.h2)});
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].count, 2);
        EXPECT_EQ(rows[0].remark, c.remark);
    }
}

TEST(CoordinateResults, RemarkIsThatOfTheLastFailingTest) {
    struct Case {
        std::vector<std::array<const char*, 3>> later;  // observations after the first (0,0,0)
        std::string_view remark;
    };
    const Case cases[] = {
        {{{"0", "0", "0.1"}, {"0.1", "0", "0"}}, kPlaneRemark},
        {{{"0.1", "0", "0"}, {"0", "0", "0.1"}}, kHeightRemark},
        {{{"0.1", "0", "0.1"}}, kHeightRemark},
        {{{"0.1", "0", "0"}, {"0", "0", "0"}}, kPlaneRemark},         // never cleared
        {{{"0.04", "0", "0"}, {"0.08", "0", "0.04"}}, kPlaneRemark},  // against the first only
    };
    for (const auto& c : cases) {
        std::vector<RawObservation> observations = {Observation("P0002", "0", "0", "0")};
        for (const auto& o : c.later)
            observations.push_back(Observation("P0002-9", o[0], o[1], o[2]));
        const auto rows = GroupObservations(observations);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].remark, c.remark);
    }
}

TEST(CoordinateResults, PointNamesKeepFiveCharactersUpperCased) {
    const auto rows = GroupObservations(
        {Observation("p0012_2", "1", "1", "1"), Observation("P0001-1", "2", "2", "2"),
         Observation("P12", "3", "3", "3"), Observation("P0012X", "5", "5", "5")});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "P0012");
    EXPECT_EQ(rows[0].count, 2);
    EXPECT_EQ(rows[0].northing, 3);
    EXPECT_EQ(rows[1].name, "P0001");
    EXPECT_EQ(rows[2].name, "P12");
}

TEST(CoordinateResults, MeansOfValuesNearTheDoubleLimitStayFinite) {
    const auto rows = GroupObservations({Observation("P0001", "1e308", "-1.5e308", "1"),
                                         Observation("P0001", "1.5e308", "-1e308", "1"),
                                         Observation("P0001", "1.3e308", "-1e308", "1")});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_DOUBLE_EQ(rows[0].northing, 1.2666666666666667e308);
    EXPECT_DOUBLE_EQ(rows[0].easting, -1.1666666666666667e308);
    EXPECT_EQ(rows[0].elevation, 1);
}

TEST(CoordinateResults, NumbersThatAreNotNumbersStopTheRunAndKeepTheOldFile) {
    struct Case {
        std::string line;
        std::string message;
    };
    const std::string tail = ",B,L,6,,,,,,,,,,,,,,,";
    const Case cases[] = {
        {"P0001,1x,2,3" + tail, "原始数据第2行的北坐标“1x”不是数字。"},
        {"P0001,1,,3" + tail, "原始数据第2行的东坐标“”不是数字。"},
        {"P0001,1,2,abc" + tail, "原始数据第2行的高程“abc”不是数字。"},
        {"P0001,1,2,3,B,L,inf,,,,,,,,,,,,,,,", "原始数据第2行的大地高“inf”不是数字。"},
    };
    for (const auto& c : cases) {
        TempFolder temp;
        WriteBytes(temp / "raw.csv", "header\r\n" + c.line + "\r\n");
        WriteBytes(temp / "out.csv", "old");
        const auto result =
            WriteCoordinateResults(temp / "raw.csv", RawCsvLayoutOf(ControllerMake::HiTarget),
                                   {"P0001_1.jpg"}, temp / "out.csv");
        ASSERT_FALSE(result);
        EXPECT_EQ(result.status().message(), c.message);
        EXPECT_EQ(ReadBytes(temp / "out.csv"), "old");
    }
}

TEST(CoordinateResults, NothingIsWrittenWithoutDataOrPhotos) {
    TempFolder temp;
    WriteBytes(temp / "header.csv", "点名,北坐标\r\n\r\n P0001,1,2,3,B,L,6,,,,,,,,,,,,,,,\r\n");
    const auto& layout = RawCsvLayoutOf(ControllerMake::HiTarget);
    const auto noData =
        WriteCoordinateResults(temp / "header.csv", layout, {"P0001_1.jpg"}, temp / "a.csv");
    ASSERT_FALSE(noData);
    EXPECT_EQ(noData.status().message(), kNoRawDataText);
    const auto noPhotos =
        WriteCoordinateResults(DataFile("project/hitarget_raw.csv"), layout, {}, temp / "b.csv");
    ASSERT_FALSE(noPhotos);
    EXPECT_EQ(noPhotos.status().message(), kNoPrickedPhotosText);
    EXPECT_FALSE(std::filesystem::exists(temp / "a.csv"));
    EXPECT_FALSE(std::filesystem::exists(temp / "b.csv"));
    // The export itself is never the results file.
    const auto onto =
        WriteCoordinateResults(temp / "header.csv", layout, {"P0001_1.jpg"}, temp / "header.csv");
    EXPECT_EQ(onto.status().message(), SameFileText(temp / "header.csv"));
}

TEST(CoordinateResults, PhotosOfOtherPointsGiveAHeaderOnlyFile) {
    TempFolder temp;
    const auto result =
        WriteCoordinateResults(DataFile("project/chc_raw.csv"), RawCsvLayoutOf(ControllerMake::Chc),
                               {"P0099_IMG_1.jpg"}, temp / "out.csv");
    ASSERT_TRUE(result);
    EXPECT_EQ(ReadBytes(temp / "out.csv"),
              *Utf8ToGbk(std::string(kCoordinateResultsHeader)) + "\r\n");
}

TEST(CoordinateResults, ManyObservationsGroupByNameInFileOrder) {
    std::vector<RawObservation> observations;
    RawObservation obs;
    for (int i = 0; i < 100000; ++i) {
        obs.name = "P" + std::to_string(10000 + i % 5000).substr(1);
        obs.northing = obs.easting = obs.elevation = i % 5000;
        obs.writtenNorthing = obs.writtenEasting = obs.writtenElevation =
            Picometres(i % 5000) * 1'000'000'000'000;
        observations.push_back(obs);
    }
    const auto rows = GroupObservations(observations);
    ASSERT_EQ(rows.size(), 5000u);
    EXPECT_EQ(rows[0].name, "P0000");
    EXPECT_EQ(rows[4999].name, "P4999");
    EXPECT_EQ(rows[1234].count, 20);
    EXPECT_EQ(rows[1234].remark, "");
}

}  // namespace
}  // namespace skyrell
