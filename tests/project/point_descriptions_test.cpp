#include "project/point_descriptions.h"

#include <gtest/gtest.h>

#include "shell/files.h"
#include "shell/text_encoding.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::DataFile;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::string Golden(std::string_view name) {
    return ReadBytes(DataFile("project/point_descriptions/" + std::string(name)));
}

// A process-data folder holding a description file copied from the test data.
struct Sortie {
    TempFolder folder;
    std::filesystem::path file = PointDescriptionFileOf(PathText(folder.path()) + "/");

    explicit Sortie(std::string_view start = {}) {
        if (!start.empty()) WriteBytes(file, Golden(start));
    }
};

TEST(PointDescriptions, OnlyLinesOfExactlyFiveFieldsAreRecords) {
    struct Case {
        std::string_view line;
        std::optional<PointDescription> record;
    };
    const Case cases[] = {
        {"P0001,路口,地面,c,d", PointDescription{"P0001", "路口", "地面", "c", "d"}},
        {"P0003,a,b,,", PointDescription{"P0003", "a", "b", "", ""}},
        {"  p0004 ,  a, b ,c,d  ", PointDescription{"p0004 ", "a", "b ", "c", "d"}},
        {",,,,", PointDescription{"", "", "", "", ""}},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"P0002,a,b,c", std::nullopt},
        {"P0002,a,b,c,d,e", std::nullopt},
        {"P0002;a;b;c;d", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParsePointDescription(c.line), c.record) << c.line;
}

TEST(PointDescriptions, StoredLineReadsBackAsTheStoredFields) {
    struct Case {
        PointDescription typed;
        std::string_view line;
    };
    const Case cases[] = {
        {{"P0001", "路口", "地面", "", ""}, "P0001,路口,地面,,"},
        {{"P0001", "  路口", " 地面", "   ", "  尾 "}, "P0001,路口,地面,,尾"},
        {{"P0001", "路口 ", "地面  ", "三 ", " "}, "P0001,路口 ,地面  ,三 ,"},
        {{"P0001", "a\tb", "c", "", ""}, "P0001,a\tb,c,,"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordLine(c.typed), c.line);
        EXPECT_EQ(ParsePointDescription(RecordLine(c.typed)), StoredForm(c.typed)) << c.line;
    }
}

TEST(PointDescriptions, FirstSaveCreatesTheFileWithOneLine) {
    Sortie sortie;
    ASSERT_TRUE(SavePointDescription(sortie.file, {"P0001", "道路交叉口东北角", "地面", "", ""}));
    EXPECT_EQ(ReadBytes(sortie.file), Golden("first_save.txt"));
}

TEST(PointDescriptions, SavingAPointTwiceLeavesOneRecordAtTheEnd) {
    Sortie sortie("two_points.txt");
    ASSERT_TRUE(SavePointDescription(sortie.file, {"P0001", "田埂", "地面", "", ""}));
    ASSERT_TRUE(SavePointDescription(sortie.file, {"P0001", "田埂拐角处", "地面", "补测", ""}));
    EXPECT_EQ(ReadBytes(sortie.file), Golden("saved_twice.txt"));
}

TEST(PointDescriptions, NamesMatchWithoutRegardToCase) {
    Sortie sortie("upper_p0002.txt");
    const auto found = FindPointDescription(sortie.file, "p0002");
    ASSERT_TRUE(found.ok());
    EXPECT_EQ(*found, (PointDescription{"P0002", "桥头", "桥面", "", ""}));

    ASSERT_TRUE(SavePointDescription(sortie.file, {"p0002", "桥头西侧", "桥面", "", ""}));
    EXPECT_EQ(ReadBytes(sortie.file), Golden("lower_p0002_saved.txt"));
}

TEST(PointDescriptions, LookupSeesRecordsOnly) {
    Sortie sortie("mixed.txt");
    struct Case {
        std::string_view name;
        std::optional<PointDescription> record;
    };
    const Case cases[] = {
        {"P0001", PointDescription{"P0001", "房角", "地面", "", ""}},
        {"P0002", std::nullopt},  // four fields
        {"P0003", std::nullopt},  // six fields
        {"", std::nullopt},       // the blank lines
        {"p0004", PointDescription{"P0004", "井盖中心", "井盖", "备注 ", ""}},
        {"P0005", PointDescription{"P0005", "a", "b", "c", "d"}},  // LF-ended last line
        {"P0009", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto found = FindPointDescription(sortie.file, c.name);
        ASSERT_TRUE(found.ok());
        EXPECT_EQ(*found, c.record) << c.name;
    }
}

TEST(PointDescriptions, SaveDropsEveryLineThatIsNotARecord) {
    Sortie sortie("mixed.txt");
    ASSERT_TRUE(SavePointDescription(sortie.file, {"P0006", "电杆底部", "地面", "", ""}));
    EXPECT_EQ(ReadBytes(sortie.file), Golden("mixed_saved.txt"));
}

TEST(PointDescriptions, OtherRecordsKeepTheirBytesAndTheFileBecomesGbk) {
    struct Case {
        std::string_view start, expected;
    };
    const Case cases[] = {
        {"stray_byte.txt", "stray_byte_saved.txt"},  // a byte that is not GBK stays as it is
        {"utf8_bom.txt", "utf8_bom_saved.txt"},      // a UTF-8 file is written back as GBK
    };
    for (const auto& c : cases) {
        Sortie sortie(c.start);
        const Status saved = SavePointDescription(sortie.file, {"P0002", "桥头", "桥面", "", ""});
        ASSERT_TRUE(saved) << c.start << ": " << saved.message();
        EXPECT_EQ(ReadBytes(sortie.file), Golden(c.expected)) << c.start;
    }
}

TEST(PointDescriptions, FieldsThatWouldBreakTheLineAreRefusedAndNothingIsWritten) {
    struct Case {
        PointDescription record;
        int field;
        std::string_view message;
    };
    const Case cases[] = {
        {{"P0,1", "a", "b", "", ""}, 1, "点名中不能包含逗号。"},
        {{"P0001", "路口,东", "b", "", ""}, 2, "第一描述中不能包含逗号。"},
        {{"P0001", "a", "，,", "", ""}, 3, "第二描述中不能包含逗号。"},
        {{"P0001", "a", "b", ",", ""}, 4, "第三描述中不能包含逗号。"},
        {{"P0001", "a", "b", "", "x,"}, 5, "第四描述中不能包含逗号。"},
        {{"P0001", "a", "b", "c\r\nP0009", ""}, 4, "第三描述中不能包含换行。"},
        {{"P0001", "a\n", "b", "", ""}, 2, "第一描述中不能包含换行。"},
        {{"P0001", "a", "b", "", "x\ry"},
         5,
         "第四描述中不能包含换行。"},  // a lone CR ends a line too
    };
    for (const auto& c : cases) {
        const auto problem = CheckPointDescription(c.record);
        ASSERT_TRUE(problem.has_value()) << c.message;
        EXPECT_EQ(problem->field, c.field);
        EXPECT_EQ(problem->message, c.message);

        Sortie sortie("two_points.txt");
        const Status saved = SavePointDescription(sortie.file, c.record);
        EXPECT_EQ(saved.message(), c.message);
        EXPECT_EQ(ReadBytes(sortie.file), Golden("two_points.txt"));
    }
    // A full-width comma is an ordinary character.
    EXPECT_FALSE(CheckPointDescription({"P0001", "路口，东", "b", "", ""}).has_value());
}

TEST(PointDescriptions, TextGbkCannotHoldIsRefusedBeforeWriting) {
    Sortie sortie("two_points.txt");
    const Status saved = SavePointDescription(sortie.file, {"P0001", "笑😀", "地面", "", ""});
    EXPECT_EQ(saved.message(), EncodingRefusalText("😀"));
    EXPECT_EQ(ReadBytes(sortie.file), Golden("two_points.txt"));
}

}  // namespace
}  // namespace skyrell
