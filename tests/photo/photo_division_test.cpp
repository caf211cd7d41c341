#include "photo/photo_division.h"

#include <gtest/gtest.h>

#include "shell/files.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// Every entry of a folder, hidden ones included, so a temporary file left
// behind by a copy would show.
std::vector<std::string> Everything(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DividePhotos, CopiesThePhotosOfTheRange) {
    struct Case {
        const char* what;
        std::vector<std::string> photos;
        std::string pattern;
        std::int64_t from, to;
        std::vector<std::string> already;  // copies in the line folder before the run
        std::vector<std::string> expected;
        DivideCount count;
    };
    const std::vector<std::string> line = {"DSC00011.JPG", "DSC00012.JPG", "DSC00020.JPG",
                                           "DSC00025.JPG", "DSC00026.JPG"};
    const Case cases[] = {
        {"reversed range, both ends included",
         line,
         "*.JPG",
         25,
         12,
         {},
         {"DSC00012.JPG", "DSC00020.JPG", "DSC00025.JPG"},
         {3, 0, 0}},
        {"From = To",
         {"A7.JPG", "B7.JPG", "A8.JPG"},
         "*.JPG",
         7,
         7,
         {},
         {"A7.JPG", "B7.JPG"},
         {2, 0, 0}},
        {"second run copies what is missing",
         line,
         "*.JPG",
         12,
         25,
         {"DSC00012.JPG"},
         {"DSC00012.JPG", "DSC00020.JPG", "DSC00025.JPG"},
         {2, 1, 0}},
        {"IMG_0007 is 7",
         {"IMG_0007.JPG", "IMG_0011.JPG"},
         "*.JPG",
         1,
         10,
         {},
         {"IMG_0007.JPG"},
         {1, 0, 0}},
        {"titles without number are skipped",
         {"IMG_0001.JPG", "cover.JPG", "IMG_.jpg"},
         "*.JPG",
         0,
         5,
         {},
         {"IMG_0001.JPG"},
         {1, 0, 2}},
        {"pattern without case",
         {"a1.JPG", "b2.Jpg", "c3.tif"},
         "*.jpg",
         1,
         3,
         {},
         {"a1.JPG", "b2.Jpg"},
         {2, 0, 0}},
        {"hidden files and sub-folders ignored",
         {".DSC0003.JPG", "DSC0004.JPG/", "DSC0005.JPG"},
         "*.JPG",
         1,
         9,
         {},
         {"DSC0005.JPG"},
         {1, 0, 0}},
        {"numbers beyond 16 bits",
         {"DSC32767.JPG", "DSC40000.JPG", "DSC99999.JPG"},
         "*.JPG",
         40000,
         32767,
         {},
         {"DSC32767.JPG", "DSC40000.JPG"},
         {2, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const auto photos = folder / "sortie";
        fs::create_directories(photos);
        for (const auto& name : c.photos) {
            if (name.ends_with('/'))
                fs::create_directories(photos / name);
            else
                WriteBytes(photos / name, "photo " + name);
        }
        for (const auto& name : c.already) WriteBytes(folder / "save" / "3" / name, "old");
        fs::create_directories(folder / "save");

        DivideRequest request{photos, ListFiles(photos, c.pattern), folder / "save", "3", c.from,
                              c.to};
        std::size_t lastProgress = 0;
        const auto count = DividePhotos(request, [&](std::size_t done) { lastProgress = done; });
        ASSERT_TRUE(count) << count.status().message();
        EXPECT_EQ(*count, c.count);
        EXPECT_EQ(lastProgress, request.photos.size());
        EXPECT_EQ(Everything(folder / "save" / "3"), c.expected);
        for (const auto& name : c.expected) {
            const bool old = std::find(c.already.begin(), c.already.end(), name) != c.already.end();
            EXPECT_EQ(ReadBytes(folder / "save" / "3" / name), old ? "old" : "photo " + name);
        }
    }
}

TEST(DividePhotos, MissingSaveFolderMakesNothing) {
    TempFolder folder;
    WriteBytes(folder / "sortie" / "DSC0001.JPG", "x");
    const DivideRequest request{folder / "sortie", {"DSC0001.JPG"}, folder / "gone", "1", 1, 1};
    const auto count = DividePhotos(request);
    ASSERT_FALSE(count);
    EXPECT_EQ(count.status().message(), "航线保存路径“" + (folder / "gone").string() + "”不存在。");
    EXPECT_FALSE(fs::exists(folder / "gone"));
}

TEST(ParseWholeNumber, TakesWholeNumbersOnly) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"012", 12},
        {" 7 ", 7},
        {"+3", 3},
        {"-4", -4},
        {"40000", 40000},
        {"", std::nullopt},
        {"12.5", std::nullopt},
        {"1e3", std::nullopt},
        {"12a", std::nullopt},
        {"+-1", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseWholeNumber(text), expected) << text;
}

}  // namespace
}  // namespace skyrell
