#include "pos/other_to_pos.h"

#include <gtest/gtest.h>

#include "pos/pos_conversions.h"
#include "pos/pos_file.h"
#include "shell/line_reader.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::DataFile;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kTail = "    0.0     0.0         0.0           0.0";

TEST(OtherToPos, FixedSevenDecimals) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"114.5", "114.5000000"},
        {"30.25", "30.2500000"},
        {"30.12345675", "30.1234568"},  // half rounds away from zero on the text
        {"30.12345674999", "30.1234567"},
        {"-30.12345675", "-30.1234568"},
        {"0.99999995", "1.0000000"},
        {"99.999999951", "100.0000000"},
        {".5", "0.5000000"},
        {"+7", "7.0000000"},
        {"-0.00000001", "0.0000000"},  // rounds to zero: no minus sign
        {"1.5e1", "15.0000000"},
        {"12345e-4", "1.2345000"},
        {"2E-8", "0.0000000"},
        {"6e-8", "0.0000001"},
        {" 31.5 ", "31.5000000"},
        {"lat", std::nullopt},
        {"", std::nullopt},
        {"30.1.2", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(FixedSevenDecimals(text), expected) << text;
}

TEST(OtherToPos, LineLayout) {
    struct Case {
        std::int64_t record;
        const char* longitude;
        const char* latitude;
        std::string expected;
    };
    const Case cases[] = {
        {1, "114.5", "30.25", " 1            星期3 17:40:32   114.5000000    30.2500000" + kTail},
        {10, "1", "2", " 10           星期3 17:40:32   1.0000000    2.0000000" + kTail},
        {100, "1", "2", " 100          星期3 17:40:32   1.0000000    2.0000000" + kTail},
        {100000, "1", "2", " 100000       星期3 17:40:32   1.0000000    2.0000000" + kTail},
        {12345678901234, "1", "2",
         " 12345678901234星期3 17:40:32   1.0000000    2.0000000" + kTail},
        {2, "-0.5", "30.12345675",
         " 2            星期3 17:40:32   -0.5000000    30.1234568" + kTail},
        {3, "经度", "纬度", " 3            星期3 17:40:32   经度    纬度" + kTail},
        {4, "", "31.5", " 4            星期3 17:40:32       31.5000000" + kTail},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PosLineOf(c.record, c.longitude, c.latitude), c.expected) << c.record;
}

TEST(OtherToPos, ColumnsKeepEveryLineInStep) {
    const std::vector<std::string> lines = {"a,b,c,d,e", "1,2,3,4,5,6", "", "9", "  7 ,8"};
    EXPECT_EQ(ColumnCountOf(lines, ","), 5u);
    EXPECT_EQ(ColumnOf(lines, ",", 0), (std::vector<std::string>{"a", "1", "", "9", "7 "}));
    EXPECT_EQ(ColumnOf(lines, ",", 1), (std::vector<std::string>{"b", "2", "", "", "8"}));
    EXPECT_EQ(ColumnOf(lines, ",", 5), (std::vector<std::string>{"", "6", "", "", ""}));
    EXPECT_EQ(ColumnCountOf({"  30.1   114.2  5"}, " "), 3u);
    EXPECT_EQ(ColumnCountOf({}, ","), 1u);
}

TEST(OtherToPos, WritesTheDocumentedFile) {
    TempFolder folder;
    const auto lines = ReadTextLines(DataFile("pos/other_data.csv"));
    ASSERT_TRUE(lines.ok());
    const auto target = folder / "out.txt";
    ASSERT_TRUE(WriteOtherDataPos(target, ColumnOf(*lines, ",", 0), ColumnOf(*lines, ",", 1)));
    EXPECT_EQ(ReadBytes(target), ReadBytes(DataFile("pos/other_data.pos")));
}

TEST(OtherToPos, UnequalListsFollowTheLatitudes) {
    TempFolder folder;
    ASSERT_TRUE(WriteOtherDataPos(folder / "a.txt", {"1", "2"}, {"3"}));
    EXPECT_EQ(*ReadTextLines(folder / "a.txt"),
              (std::vector<std::string>{PosLineOf(1, "3", "1"), PosLineOf(2, "", "2")}));
    // Entries past the short-string buffer (a heading, a long text column)
    // are copied whole.
    const std::string heading = "longitude in decimal degrees, WGS 84";
    ASSERT_TRUE(WriteOtherDataPos(folder / "c.txt", {"latitude", "1"}, {heading, "114.123456789"}));
    EXPECT_EQ(*ReadTextLines(folder / "c.txt"),
              (std::vector<std::string>{PosLineOf(1, heading, "latitude"),
                                        PosLineOf(2, "114.123456789", "1")}));
    ASSERT_TRUE(WriteOtherDataPos(folder / "b.txt", {"1"}, {"3", "4", "5"}));
    EXPECT_EQ(ReadTextLines(folder / "b.txt")->size(), 1u);
}

TEST(OtherToPos, WrittenFileReadsBackAndConvertsToKml) {
    TempFolder folder;
    std::vector<std::string> latitudes, longitudes;
    for (int i = 0; i < 40000; ++i) {  // past the old limit of 32767 records
        latitudes.push_back(std::to_string(30 + i % 7) + ".125");
        longitudes.push_back(std::to_string(110 + i % 5) + ".5");
    }
    latitudes.push_back("30.5");  // the longitude list is one short: the line is skipped
    ASSERT_TRUE(WriteOtherDataPos(folder / "p.txt", latitudes, longitudes));
    const auto records = ReadPosFile(folder / "p.txt");
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 40000u);
    EXPECT_EQ(records->back().PhotoId(), "40000");
    EXPECT_EQ(records->back().Longitude(), "114.5000000");
    const auto converted = ConvertPosFile(PosConversion::KmlPoint, folder / "p.txt",
                                          folder / "p.kml", ConversionOptions{});
    ASSERT_TRUE(converted.ok()) << converted.status.message();
    EXPECT_EQ(converted.records, 40000);
}

TEST(OtherToPos, RefusesEmptyListsAndReportsFailedWrites) {
    TempFolder folder;
    WriteBytes(folder / "keep.txt", "old");
    const Status empty = WriteOtherDataPos(folder / "keep.txt", {}, {"1"});
    EXPECT_EQ(empty.message(), kOtherToPosIncomplete);
    EXPECT_EQ(ReadBytes(folder / "keep.txt"), "old");
    const Status failed = WriteOtherDataPos(folder / "none" / "x.txt", {"1"}, {"2"});
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.message().find("x.txt"), std::string::npos);
}

}  // namespace
}  // namespace skyrell
