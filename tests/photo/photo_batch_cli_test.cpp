// skyrell-cli rotate and resize: the same batch as the dialogs, exit status
// and one stderr line per failed photo.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "support/image_engine_samples.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::MakeSampleJpeg;
using testing::ReadBytes;
using testing::ReadSample;
using testing::TempFolder;
using testing::WriteBytes;

TEST(PhotoBatchCommandLine, ExitStatusOutputAndMessages) {
    struct Case {
        std::string arguments;  // after the program; SRC and DST are the folders below
        int exit;
        std::string stderrText;  // expected stderr; "usage" for a usage error
        int width = 0;           // of DST/a.jpg when written
    };
    const Case cases[] = {
        {"rotate SRC DST --angle 90", 1, "b.txt.jpg：不是可以读取的图片\n", 48},
        {"rotate SRC DST --angle -90 --all-formats", 1, "b.txt.jpg：不是可以读取的图片\n", 48},
        {"resize SRC DST --percent 50 --quality 7", 1, "b.txt.jpg：不是可以读取的图片\n", 32},
        {"rotate GONE DST --angle 90", 1, "原始航片目录不存在！\n"},
        {"rotate EMPTY DST --angle 90", 1, "原始航片目录中无航片！\n"},
        {"rotate SRC DST --angle 0", 2, "usage"},
        {"rotate SRC DST --angle abc", 2, "usage"},
        {"resize SRC DST --percent 0 --quality 12", 2, "usage"},
        {"resize SRC DST --percent 101 --quality 12", 2, "usage"},
        {"resize SRC DST --percent 50 --quality 13", 2, "usage"},
        {"resize SRC DST --percent 5.5 --quality 12", 2, "usage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        TempFolder folder;
        MakeSampleJpeg(folder / "src" / "a.jpg", 64, 48);
        WriteBytes(folder / "src" / "b.txt.jpg", "text");
        fs::create_directory(folder / "empty");
        const std::map<std::string, fs::path> folders = {{"SRC", folder / "src"},
                                                         {"DST", folder / "dst"},
                                                         {"GONE", folder / "gone"},
                                                         {"EMPTY", folder / "empty"}};
        std::string command = SKYRELL_CLI;
        std::istringstream words(c.arguments);
        for (std::string word; words >> word;) {
            const auto found = folders.find(word);
            command += " " + (found == folders.end() ? word : found->second.string());
        }
        const int status = std::system((command + " 2> " + (folder / "err").string()).c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.exit);
        const std::string err = ReadBytes(folder / "err");
        if (c.stderrText == "usage") {
            EXPECT_NE(err.find("usage: skyrell-cli"), std::string::npos) << err;
        } else {
            EXPECT_EQ(err, c.stderrText);
        }
        EXPECT_EQ(fs::exists(folder / "dst" / "a.jpg"), c.width != 0);
        if (c.width) {
            EXPECT_EQ(ReadSample(folder / "dst" / "a.jpg").width, c.width);
        }
        EXPECT_FALSE(fs::exists(folder / "dst" / "b.txt.jpg"));
    }
}

}  // namespace
}  // namespace skyrell
