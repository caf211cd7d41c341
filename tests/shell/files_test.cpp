#include "shell/files.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(Files, FolderExistsOnlyForFolders) {
    TempFolder folder;
    WriteBytes(folder / "file", "x");
    EXPECT_TRUE(FolderExists(folder.path()));
    EXPECT_FALSE(FolderExists(folder / "file"));
    EXPECT_FALSE(FolderExists(folder / "none"));
    EXPECT_FALSE(FolderExists(""));
}

TEST(Files, CreateFolderIfMissingMakesOneLevel) {
    TempFolder folder;
    EXPECT_TRUE(CreateFolderIfMissing(folder / "a"));
    EXPECT_TRUE(CreateFolderIfMissing(folder / "a"));  // again: harmless
    EXPECT_TRUE(FolderExists(folder / "a"));
    const Status deep = CreateFolderIfMissing(folder / "x" / "y");
    ASSERT_FALSE(deep.ok());
    EXPECT_NE(deep.message().find("y"), std::string::npos);
}

TEST(Files, CopyFileIfAbsentNeverOverwrites) {
    TempFolder folder;
    WriteBytes(folder / "src.jpg", "new");
    WriteBytes(folder / "dst.jpg", "first copy");
    EXPECT_TRUE(CopyFileIfAbsent(folder / "src.jpg", folder / "dst.jpg"));
    EXPECT_EQ(ReadBytes(folder / "dst.jpg"), "first copy");
    EXPECT_TRUE(CopyFileIfAbsent(folder / "src.jpg", folder / "fresh.jpg"));
    EXPECT_EQ(ReadBytes(folder / "fresh.jpg"), "new");
    EXPECT_TRUE(CopyFileIfAbsent(folder / "none.jpg", folder / "other.jpg"));
    EXPECT_FALSE(std::filesystem::exists(folder / "other.jpg"));
}

TEST(Files, WriteUtf8FileReplacesWholeFile) {
    TempFolder folder;
    WriteBytes(folder / "a.kml", std::string(1000, 'z'));
    ASSERT_TRUE(WriteUtf8File("<kml>点</kml>", folder / "a.kml", true));
    EXPECT_EQ(ReadBytes(folder / "a.kml"), "\xEF\xBB\xBF<kml>点</kml>");
    ASSERT_TRUE(WriteUtf8File("x", folder / "b.kml", false));
    EXPECT_EQ(ReadBytes(folder / "b.kml"), "x");
}

TEST(Files, WriteUtf8FileEmptyTextWritesNothing) {
    TempFolder folder;
    EXPECT_TRUE(WriteUtf8File("", folder / "empty.kml", true));
    EXPECT_FALSE(std::filesystem::exists(folder / "empty.kml"));
}

TEST(Files, WriteUtf8FileReportsFailure) {
    TempFolder folder;
    const Status written = WriteUtf8File("x", folder / "no" / "a.kml", true);
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.code(), ENOENT);
    EXPECT_FALSE(written.message().empty());
}

TEST(Files, ListFilesByPatternWithoutCaseInNameOrder) {
    TempFolder folder;
    for (const char* name : {"b.JPG", "a.jpg", "C.Jpg", "d.tif", "e.jpeg", "._a.jpg", ".x.JPG"})
        WriteBytes(folder / name, "x");
    std::filesystem::create_directory(folder / "dir.jpg");
    EXPECT_EQ(ListFiles(folder.path(), "*.JPG"),
              (std::vector<std::string>{"a.jpg", "b.JPG", "C.Jpg"}));
    EXPECT_EQ(ListFiles(folder.path(), "*.jpg;*.TIF"),
              (std::vector<std::string>{"a.jpg", "b.JPG", "C.Jpg", "d.tif"}));
    EXPECT_TRUE(ListFiles(folder / "none", "*.*").empty());
}

TEST(Files, WithTrailingSeparator) {
    EXPECT_EQ(WithTrailingSeparator("/a/b"), "/a/b/");
    EXPECT_EQ(WithTrailingSeparator("/a/b/"), "/a/b/");
}

}  // namespace
}  // namespace skyrell
