#include "project/sortie_folders.h"

#include <gtest/gtest.h>

#include "project/sortie_layout.h"
#include "shell/files.h"
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

TEST(SortieFolders, NamesThatCannotNameAFolderCreateNothing) {
    const struct {
        const char* operatorName;
        const char* sortie;
        const char* message;
    } cases[] = {
        {"a/b", "3", "刺点员姓名中含有不能用于文件夹名的字符“/”。"},
        {"..", "3", "刺点员姓名“..”不能用作文件夹名。"},
        {"op1", "3/4", "架次号中含有不能用于文件夹名的字符“/”。"},
    };
    for (const auto& c : cases) {
        TempFolder root;
        const auto made = CreateSortieFolders(root.path(), kDay, c.operatorName, c.sortie);
        ASSERT_FALSE(made);
        EXPECT_EQ(made.status().message(), c.message);
        EXPECT_TRUE(fs::is_empty(root.path()));
    }
}

TEST(SortieFolders, AFailedCreationTakesBackTheFoldersItMade) {
    TempFolder root;
    const fs::path sortie = root / "2013-1-5" / "op1" / "第3架次";
    WriteBytes(sortie / "点之记", "not a folder");
    const auto made = CreateSortieFolders(root.path(), kDay, "op1", "3");
    ASSERT_FALSE(made);
    EXPECT_EQ(made.status().message(),
              "无法创建文件夹“" + PathText(sortie / "点之记") + "”：已存在同名的文件或文件夹。");
    EXPECT_FALSE(fs::exists(sortie / "刺点片"));
    EXPECT_EQ(ReadBytes(sortie / "点之记"), "not a folder");
}

}  // namespace
}  // namespace skyrell
