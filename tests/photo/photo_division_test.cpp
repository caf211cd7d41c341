#include "photo/photo_division.h"

#include <gtest/gtest.h>

#include <sstream>

#include "shell/files.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

TEST(DividePhotos, CopiesThePhotosOfTheRange) {
    struct Case {
        const char* what;
        std::string photos;  // a name ending in "/" is a folder
        std::int64_t from, to;
        std::string expected;
        DivideCount count;
        std::string already = "";  // copies in the line folder before the run
        std::string pattern = "*.JPG";
        int age = 0;  // minutes since the copies already there were written
    };
    const std::string longName = std::string(243, 'a') + "12.JPG";  // 250 bytes
    const std::string temporary = ".skyrell-0123456789ab.tmp";
    const std::string line = "P11.JPG P12.JPG P20.JPG P25.JPG P26.JPG";
    const Case cases[] = {
        {"reversed range, ends included", line, 25, 12, "P12.JPG P20.JPG P25.JPG", {3, 0, 0}},
        {"From = To", "A7.JPG B7.JPG A8.JPG", 7, 7, "A7.JPG B7.JPG", {2, 0, 0}},
        {"second run", line, 12, 25, "P12.JPG P20.JPG P25.JPG", {2, 1, 0}, "P12.JPG"},
        {"IMG_0007 is 7", "IMG_0007.JPG IMG_0011.JPG", 1, 10, "IMG_0007.JPG", {1, 0, 0}},
        {"no number", "IMG_0001.JPG cover.JPG IMG_.jpg", 0, 5, "IMG_0001.JPG", {1, 0, 2}},
        {"pattern case", "a1.JPG b2.Jpg c3.tif", 1, 3, "a1.JPG b2.Jpg", {2, 0, 0}, "", "*.jpg"},
        {"hidden, sub-folder", ".P3.JPG P4.JPG/ P5.JPG", 1, 9, "P5.JPG", {1, 0, 0}},
        {"beyond 16 bits",
         "P32767.JPG P40000.JPG P99999.JPG",
         40000,
         32767,
         "P32767.JPG P40000.JPG",
         {2, 0, 0}},
        {"250-byte name", longName, 12, 12, longName, {1, 0, 0}},
        {"stale partial copy", line, 12, 12, "P12.JPG", {1, 0, 0}, temporary, "*.JPG", 11},
        {"partial copy in the making",
         line,
         12,
         12,
         temporary + " P12.JPG",
         {1, 0, 0},
         temporary,
         "*.JPG",
         9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const auto photos = folder / "sortie", lineFolder = folder / "save" / "3";
        fs::create_directories(photos);
        for (const auto& name : Words(c.photos)) {
            if (name.ends_with('/'))
                fs::create_directories(photos / name);
            else
                WriteBytes(photos / name, "photo " + name);
        }
        for (const auto& name : Words(c.already)) {
            WriteBytes(lineFolder / name, "old");
            fs::last_write_time(lineFolder / name,
                                fs::file_time_type::clock::now() - std::chrono::minutes(c.age));
        }
        fs::create_directories(folder / "save");

        const DivideRequest request{
            photos, ListFiles(photos, c.pattern), folder / "save", "3", c.from, c.to};
        std::size_t lastProgress = 0;
        const Feedback feedback(
            [&](std::uint64_t done, std::uint64_t, std::string_view) { lastProgress = done; });
        const auto count = DividePhotos(request, feedback);
        ASSERT_TRUE(count) << count.status().message();
        EXPECT_EQ(*count, c.count);
        EXPECT_EQ(lastProgress, request.photos.size());
        // Every entry, hidden ones too: no temporary file may stay behind.
        std::string copied;
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(lineFolder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        for (const auto& name : names) {
            copied += (copied.empty() ? "" : " ") + name;
            const bool old = c.already.find(name) != std::string::npos;
            EXPECT_EQ(ReadBytes(lineFolder / name), old ? "old" : "photo " + name);
        }
        EXPECT_EQ(copied, c.expected);
    }
}

TEST(ParseWholeNumber, TakesWholeNumbersOnly) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"012", 12},  {" 7 ", 7},  {"+3", 3},   {"-4", -4},  {"", {}},
        {"12.5", {}}, {"1e3", {}}, {"12a", {}}, {"+-1", {}}, {"99999999999999999999", {}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseWholeNumber(text), expected) << text;
}

}  // namespace
}  // namespace skyrell
