#include "check/sortie_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "check/sortie_fixture.h"
#include "shell/files.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::DataFile;
using testing::ReadBytes;
using testing::ResultsRow;
using testing::SortieFixture;

const FixedClock kClock{LocalDateTime{2013, 1, 5, 9, 30, 0}};

struct ReportCase {
    const char* name;
    std::function<void(SortieFixture&)> prepare;
    const char* expected;  // file under tests/data/check
    bool passed;
};

class ReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportTest, WritesTheExpectedReport) {
    const ReportCase& c = GetParam();
    SortieFixture fixture;
    c.prepare(fixture);
    auto check = CheckSortieFolder(fixture.sortie, kClock);
    ASSERT_TRUE(check.ok()) << check.status().message();
    EXPECT_EQ(check->passed, c.passed);
    ASSERT_TRUE(WriteCheckReport(fixture.sortie, check->report));
    EXPECT_EQ(ReadBytes(fixture.sortie / "自动检查报告.txt"),
              ReadBytes(DataFile(std::string("check/") + c.expected)));
    if (!c.passed) {
        EXPECT_TRUE(check->pointNames.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Check, ReportTest,
    ::testing::Values(ReportCase{"AllPassed",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001", "P0002"});
                                 },
                                 "report_all_passed.txt", true},
                      ReportCase{"NoSitePhotoFolder",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001"});
                                     f.Remove(kSitePhotoFolder);
                                 },
                                 "report_no_site_photo_folder.txt", false},
                      ReportCase{"AllFoldersMissing",
                                 [](SortieFixture& f) {
                                     for (auto sub : kSortieSubFolders) f.Remove(sub);
                                 },
                                 "report_all_folders_missing.txt", false},
                      ReportCase{"NoPrickedPhotos",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001"});
                                     fs::remove(f.Sub(kPrickedPhotoFolder) / "P0001_IMG_0286.jpg");
                                     // Neither hidden files nor other types count as photos.
                                     f.File(kPrickedPhotoFolder, ".P0001_IMG_0286.jpg");
                                     f.File(kPrickedPhotoFolder, "P0001_IMG_0286.png");
                                 },
                                 "report_no_pricked_photos.txt", false},
                      ReportCase{"HeaderOnlyResults",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001", "P0002", "P0003"});
                                     f.Results({testing::kResultsHeader});
                                 },
                                 "report_header_only_results.txt", false},
                      ReportCase{"EightFieldResults",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001"});
                                     f.Results(
                                         {"点名,北坐标,东坐标,高程,纬度,经度,大地高,观测次数",
                                          "P0001,3456789.12,512345.6,45.3,30.1536N,120.3E,52.1,1"});
                                 },
                                 "report_results_bad_format.txt", false},
                      ReportCase{"TenFieldResults",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001"});
                                     f.Results({std::string(testing::kResultsHeader) + ",x",
                                                ResultsRow("P0001") + ",x"});
                                 },
                                 "report_results_bad_format.txt", false},
                      ReportCase{"TwoResultsFiles",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001", "P0002"});
                                     f.File(kCoordinateResultFolder, "坐标成果 - 副本.CSV");
                                 },
                                 "report_two_results_files.txt", false},
                      ReportCase{"EveryCountWrong",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001", "P0002", "P0003"});
                                     fs::remove(f.Sub(kPointRecordFolder) / "P0003.doc");
                                     f.File(kSitePhotoFolder, "P0004.JPG");
                                     fs::remove(f.Sub(kRawDataFolder) / "2013-1-5.csv");
                                     f.File(kRawDataFolder, "2013-1-5.txt");
                                     fs::remove(f.Sub(kCoordinateResultFolder) / "坐标成果.csv");
                                 },
                                 "report_every_count_wrong.txt", false},
                      ReportCase{"RecordNameCase",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001", "P0002", "P0003"});
                                     fs::rename(f.Sub(kPointRecordFolder) / "P0003.doc",
                                                f.Sub(kPointRecordFolder) / "p0003.doc");
                                 },
                                 "report_record_name_case.txt", false},
                      ReportCase{"TwoPointsMissingEverything",
                                 [](SortieFixture& f) {
                                     // The counts agree: P0008 and P0009 stand in for the
                                     // records, site photos and results of P0001 and P0002.
                                     f.CompletePoints({"P0003", "P0004"});
                                     for (const std::string name : {"P0001", "P0002"})
                                         f.File(kPrickedPhotoFolder, name + "_IMG_0001.jpg");
                                     for (const std::string name : {"P0008", "P0009"}) {
                                         f.File(kPointRecordFolder, name + ".doc");
                                         f.File(kSitePhotoFolder, name + ".jpg");
                                     }
                                     f.Results({testing::kResultsHeader, ResultsRow("P0003"),
                                                ResultsRow("P0004"), ResultsRow("P0008"),
                                                ResultsRow("P0009")});
                                 },
                                 "report_two_points_missing.txt", false},
                      ReportCase{"UnencodablePhotoName",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001", "P0002"});
                                     fs::rename(f.Sub(kPrickedPhotoFolder) / "P0002_IMG_0287.jpg",
                                                f.Sub(kPrickedPhotoFolder) / "P😀_IMG_1.jpg");
                                 },
                                 "report_unencodable_photo_name.txt", false},
                      ReportCase{"CoordinatesMatchedOnFirstFieldOnly",
                                 [](SortieFixture& f) {
                                     f.CompletePoints({"P0001", "P0002"});
                                     f.Results({testing::kResultsHeader, ResultsRow("P0001"),
                                                ResultsRow("P0002"), "P0002,short row"});
                                 },
                                 "report_all_passed.txt", true}),
    [](const ::testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

TEST(Check, PassingCheckListsOnePointNamePerPhotoInNameOrder) {
    SortieFixture fixture;
    fixture.CompletePoints({"P0012", "P0003", "P0100"});
    auto check = CheckSortieFolder(fixture.sortie, kClock);
    ASSERT_TRUE(check.ok());
    ASSERT_TRUE(check->passed);
    EXPECT_EQ(check->pointNames, (std::vector<std::string>{"P0003", "P0012", "P0100"}));
    EXPECT_EQ(check->prickedPhotos,
              (std::vector<std::string>{"P0003_IMG_0287.jpg", "P0012_IMG_0286.jpg",
                                        "P0100_IMG_0288.jpg"}));
}

TEST(Check, MissingSortieFolderMakesNoReport) {
    SortieFixture fixture;
    auto check = CheckSortieFolder(fixture.root / "第2架次", kClock);
    ASSERT_FALSE(check.ok());
    EXPECT_EQ(check.status().message(), "项目文件夹不存在，无法进行检查。");
}

TEST(Check, UnreadableResultsFailWithTheFileName) {
    SortieFixture fixture;
    fixture.CompletePoints({"P0001"});
    const fs::path table = fixture.Sub(kCoordinateResultFolder) / "坐标成果.csv";
    testing::MakeUnreadable(table);
    auto check = CheckSortieFolder(fixture.sortie, kClock);
    ASSERT_FALSE(check.ok());
    EXPECT_NE(check.status().message().find(PathText(table)), std::string::npos);
}

TEST(Check, ReportThatCannotBeWrittenNamesTheFile) {
    SortieFixture fixture;
    fs::create_directories(fixture.sortie / "自动检查报告.txt");
    const Status written = WriteCheckReport(fixture.sortie, {"自动检查报告"});
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.message().find(PathText(fixture.sortie / "自动检查报告.txt")),
              std::string::npos);
}

TEST(Check, PointNamesOfFiles) {
    struct Case {
        const char* file;
        const char* pricked;  // as a pricked-point photo
        const char* plain;    // as a record or site photo
    };
    for (const Case& c : {
             Case{"P0001_IMG_0286.jpg", "P0001", "P0001_IMG_0286"},
             Case{"P0001.jpg", "P0001", "P0001"},
             Case{"P0001.IMG_0286.jpg", "P0001", "P0001"},
             Case{"P0001_a_b.x.jpg", "P0001", "P0001_a_b"},
             Case{"_IMG.jpg", "", "_IMG"},
         }) {
        EXPECT_EQ(PrickedPhotoPointName(c.file), c.pricked) << c.file;
        EXPECT_EQ(PointNameOfFile(c.file), c.plain) << c.file;
    }
}

}  // namespace
}  // namespace skyrell
