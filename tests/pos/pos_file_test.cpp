#include "pos/pos_file.h"

#include <gtest/gtest.h>

#include "shell/files.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::DataFile;
using testing::TempFolder;
using testing::WriteBytes;

TEST(PosReader, YieldsOnlyNineFieldLinesWithTheirLineNumbers) {
    PosReader reader;
    ASSERT_TRUE(reader.Open(DataFile("pos/flight.txt")));
    PosRecord record;
    std::vector<std::pair<std::int64_t, std::string>> seen;
    while (reader.Next(record)) {
        ASSERT_EQ(record.fields.size(), 9u);
        seen.emplace_back(record.lineNumber, record.PhotoId());
    }
    EXPECT_TRUE(reader.status());
    // Titles (3 and 10 words), blank lines, the 10-field line and the tab line
    // are skipped.
    const std::vector<std::pair<std::int64_t, std::string>> expected = {
        {4, "0012"}, {5, "0013"}, {9, "像片16"}};
    EXPECT_EQ(seen, expected);
}

TEST(PosReader, KeepsTheFieldTextsUnchanged) {
    const auto records = ReadPosFile(DataFile("pos/flight.txt"));
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 3u);
    const PosRecord& r = (*records)[1];
    EXPECT_EQ(r.Longitude(), "114.5000");
    EXPECT_EQ(r.Latitude(), "30.2");
    EXPECT_EQ(r.Height(), "0.0");
    EXPECT_EQ(r.fields[1], "星期3");
    EXPECT_EQ(r.fields[8], "180.0");
}

TEST(PosReader, LineEndsAllRead) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::int64_t> lines;
    };
    const std::string d1 = "1 a b 114 30 0 0 0 0", d2 = "2 a b 114 30 0 0 0 0";
    const Case cases[] = {
        {"CR LF", "title\r\n" + d1 + "\r\n" + d2 + "\r\n", {2, 3}},
        {"LF only", "title\n" + d1 + "\n" + d2 + "\n", {2, 3}},
        {"CR only", "title\r" + d1 + "\r" + d2, {2, 3}},
        {"no final line end", d1 + "\r\n" + d2, {1, 2}},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + d1 + "\r\n", {1}},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        WriteBytes(folder / "p.txt", c.bytes);
        const auto records = ReadPosFile(folder / "p.txt");
        ASSERT_TRUE(records) << c.name;
        std::vector<std::int64_t> lines;
        for (const auto& r : *records) lines.push_back(r.lineNumber);
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

TEST(PosReader, DecodesEveryGbkFieldEvenWhenFieldsRepeat) {
    TempFolder folder;
    // GBK: 像片 = CF F1 C6 AC, 星期 = D0 C7 C6 DA.
    const std::string photo = "\xCF\xF1\xC6\xAC", week = "\xD0\xC7\xC6\xDA";
    WriteBytes(folder / "p.txt", photo + "1 " + week + "3 t 114 30 0 0 0 0\r\n" + photo + "2 " +
                                     week + "3 t 114 30 0 0 0 0\r\n" + photo + "2 " + week +
                                     "4 t 114 30 0 0 0 " + week + "\r\n" +
                                     "3 x t 114 30 0 0 0 0\r\n");
    const auto records = ReadPosFile(folder / "p.txt");
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 4u);
    const std::pair<const char*, const char*> expected[] = {
        {"像片1", "星期3"}, {"像片2", "星期3"}, {"像片2", "星期4"}, {"3", "x"}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ((*records)[i].PhotoId(), expected[i].first) << i;
        EXPECT_EQ((*records)[i].fields[1], expected[i].second) << i;
    }
    EXPECT_EQ((*records)[2].fields[8], "星期");
}

// The other-data tool writes POS files for these conversions: its lines read
// back with the longitude and latitude in their fields.
TEST(PosReader, ReadsThePosFilesOfTheOtherDataTool) {
    const auto records = ReadPosFile(DataFile("pos/other_data.pos"));
    ASSERT_TRUE(records);
    std::vector<std::int64_t> lines;
    for (const auto& r : *records) lines.push_back(r.lineNumber);
    // Lines 3 and 4 lack a coordinate and have fewer than nine fields.
    EXPECT_EQ(lines, (std::vector<std::int64_t>{1, 2, 5}));
    const PosRecord& second = (*records)[1];
    EXPECT_EQ(second.fields, (std::vector<std::string>{"2", "星期3", "17:40:32", "114.5000000",
                                                       "30.2500000", "0.0", "0.0", "0.0", "0.0"}));
    EXPECT_EQ((*records)[2].Longitude(), "-114.0000000");
    EXPECT_EQ((*records)[2].Latitude(), "30.1234568");
}

TEST(PosReader, ReadsMoreThan32767Records) {
    TempFolder folder;
    std::string bytes;
    for (int i = 0; i < 40000; ++i) bytes += std::to_string(i) + " a b 114.1 30.2 100 0 0 0\r\n";
    WriteBytes(folder / "big.txt", bytes);
    PosReader reader;
    ASSERT_TRUE(reader.Open(folder / "big.txt"));
    int reports = 0;
    const Feedback feedback([&](std::uint64_t, std::uint64_t, std::string_view) { ++reports; });
    reader.SetFeedback(feedback);
    PosRecord record;
    std::int64_t count = 0;
    while (reader.Next(record)) ++count;
    EXPECT_EQ(count, 40000);
    EXPECT_EQ(record.PhotoId(), "39999");
    EXPECT_EQ(reports, 40000 / PosReader::kReportLines);
    EXPECT_TRUE(reader.status());

    // A cancel ends the reading at the next report, as a failure.
    PosReader cancelled;
    ASSERT_TRUE(cancelled.Open(folder / "big.txt"));
    Feedback stop;
    stop.Cancel();
    cancelled.SetFeedback(stop);
    count = 0;
    while (cancelled.Next(record)) ++count;
    EXPECT_EQ(count, PosReader::kReportLines - 1);
    EXPECT_EQ(cancelled.status().message(), kCancelledText);
}

TEST(PosFormatCheck, RefusesFilesWithoutDataLines) {
    TempFolder folder;
    struct Case {
        const char* name;
        std::string bytes;
        bool ok;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"titles only", "a b c\r\n\r\n1 2 3 4 5 6 7 8 9 10\r\n", false},
        {"tabs only", "1\ta\tb\t114\t30\t0\t0\t0\t0\r\n", false},
        {"one data line", "title\r\n1 a b 114 30 0 0 0 0\r\n", true},
    };
    for (const auto& c : cases) {
        const auto path = folder / (std::string(c.name) + ".txt");
        WriteBytes(path, c.bytes);
        const Status status = PosFormatCheck(path);
        EXPECT_EQ(status.ok(), c.ok) << c.name;
        if (!c.ok) {
            EXPECT_EQ(status.message(), "无人机POS文件 " + PathText(path) + " 数据格式错误！");
        }
    }
}

TEST(PosFormatCheck, NamesAFileThatCannotBeRead) {
    TempFolder folder;
    const Status status = PosFormatCheck(folder / "missing.txt");
    ASSERT_FALSE(status);
    EXPECT_NE(status.message().find(PathText(folder / "missing.txt")), std::string::npos);
}

TEST(PosNumber, ReadsWholeNumbersOnlyAndNamesTheLine) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"114.5", 114.5},  {"-0.25", -0.25}, {"+3", 3.0}, {"1.5e2", 150.0},
        {"120.05x18", {}}, {"abc", {}},      {"1,5", {}}, {"inf", {}},
    };
    PosRecord record;
    record.fields = {"7", "a", "b", "114", "30", "0", "0", "0", "0"};
    record.lineNumber = 12;
    for (const auto& c : cases) {
        record.fields[4] = c.text;
        const auto number = PosNumber(record, PosNumberField::Latitude, "/data/pos.txt");
        ASSERT_EQ(number.ok(), c.value.has_value()) << c.text;
        if (c.value) {
            EXPECT_EQ(*number, *c.value) << c.text;
        } else {
            EXPECT_EQ(
                number.status().message(),
                std::string("无人机POS文件 /data/pos.txt 第12行的纬度“") + c.text + "”不是数字！");
        }
    }
}

}  // namespace
}  // namespace skyrell
