#include "project/sortie_folders.h"

#include <gtest/gtest.h>

#include "project/sortie_layout.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const LocalDateTime kDay{2013, 1, 5, 9, 30, 0};

TEST(SortieFolders, DateFolderHasNoLeadingZeros) {
    EXPECT_EQ(DateFolderName(kDay), "2013-1-5");
    EXPECT_EQ(DateFolderName({2012, 11, 18}), "2012-11-18");
    EXPECT_EQ(SortieFolderName("3"), "第3架次");
}

TEST(SortieFolders, CreateMakesTheWholeTreeAndAgainIsHarmless) {
    TempFolder root;
    const auto flight = CreateSortieFolders(root.path(), kDay, "op1", "3");
    ASSERT_TRUE(flight) << flight.status().message();
    const fs::path sortie = root / "2013-1-5" / "op1" / "第3架次";
    EXPECT_EQ(flight->sortie, sortie);
    const char* names[] = {"刺点片", "点之记", "现场照片", "原始数据", "坐标成果", "过程数据"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(flight->subFolders[i], sortie / names[i]);
        EXPECT_TRUE(fs::is_directory(sortie / names[i])) << names[i];
    }
    EXPECT_EQ(flight->PrickedPhotos(), sortie / "刺点片");
    EXPECT_EQ(flight->ProcessData(), sortie / "过程数据");

    WriteBytes(flight->CoordinateResults() / "坐标成果.csv", "kept");
    const auto again = CreateSortieFolders(root.path(), kDay, "op1", "3");
    ASSERT_TRUE(again);
    EXPECT_EQ(ReadBytes(flight->CoordinateResults() / "坐标成果.csv"), "kept");
}

TEST(SortieFolders, OpenRestoresOnlyTheMissingSubFolder) {
    TempFolder root;
    const auto created = CreateSortieFolders(root.path(), kDay, "op1", "3");
    ASSERT_TRUE(created);
    WriteBytes(created->PrickedPhotos() / "P0001_IMG_1.jpg", "x");
    fs::remove(created->CoordinateResults());
    const auto opened = OpenSortieFolders(root / "2013-1-5", "op1", "3");
    ASSERT_TRUE(opened) << opened.status().message();
    EXPECT_TRUE(fs::is_directory(created->CoordinateResults()));
    EXPECT_EQ(ReadBytes(created->PrickedPhotos() / "P0001_IMG_1.jpg"), "x");
    EXPECT_EQ(opened->sortie, created->sortie);
}

TEST(SortieFolders, OpenUnderAnotherOperatorFindsNoSortie) {
    TempFolder root;
    ASSERT_TRUE(CreateSortieFolders(root.path(), kDay, "op1", "3"));
    const auto opened = OpenSortieFolders(root / "2013-1-5", "op2", "3");
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.status().message(), "未找到“第3架次”文件夹。");
    EXPECT_FALSE(fs::exists(root / "2013-1-5" / "op2"));
    EXPECT_FALSE(OpenSortieFolders(root / "2013-1-5", "op1", "4"));
}

TEST(SortieFolders, AFolderThatCannotBeMadeStopsAndNamesIt) {
    struct Case {
        const char* operatorName;
        const char* sortie;
        fs::path failing;  // relative to the root
        fs::path kept;     // made before the failure
    };
    const Case cases[] = {
        {"a/b", "3", fs::path("2013-1-5") / "a/b", "2013-1-5"},
        {"..", "3", fs::path("2013-1-5") / "..", "2013-1-5"},
        {"a\\b", "3", fs::path("2013-1-5") / "a\\b", "2013-1-5"},  // a separator elsewhere
        {"op1", "3/4", fs::path("2013-1-5") / "op1" / "第3/4架次", fs::path("2013-1-5") / "op1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operatorName);
        TempFolder root;
        const auto made = CreateSortieFolders(root.path(), kDay, c.operatorName, c.sortie);
        ASSERT_FALSE(made);
        EXPECT_NE(made.status().message().find((root.path() / c.failing).string()),
                  std::string::npos)
            << made.status().message();
        EXPECT_TRUE(fs::is_directory(root / c.kept.string()));
    }
}

TEST(SortieFolders, AFileInTheWayIsReported) {
    TempFolder root;
    WriteBytes(root / "2013-1-5" / "op1" / "第3架次" / "点之记", "not a folder");
    const auto made = CreateSortieFolders(root.path(), kDay, "op1", "3");
    ASSERT_FALSE(made);
    EXPECT_NE(made.status().message().find("点之记"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(root / "2013-1-5" / "op1" / "第3架次" / "刺点片"));
    EXPECT_FALSE(fs::exists(root / "2013-1-5" / "op1" / "第3架次" / "现场照片"));
}

}  // namespace
}  // namespace skyrell
