// Both sides of the sortie name rules, and what a failed creation takes back:
// only the folders it made itself, never one that was there before.

#include <gtest/gtest.h>

#include "project/sortie_folders.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

const LocalDateTime kDay{2013, 1, 5};

std::size_t Entries(const fs::path& folder) {
    return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(SortieNames, DotsAndBackslashesOnBothSidesOfTheRule) {
    const struct {
        const char *operatorName, *sortie;
        const char* refusal;  // null: the sortie is made
    } cases[] = {
        {".", "3", "刺点员姓名“.”不能用作文件夹名。"},
        {"...", "3", "刺点员姓名“...”不能用作文件夹名。"},
        {"..a", "3", nullptr},
        {"a.", "3", nullptr},
        {"a\\b", "3", "刺点员姓名中含有不能用于文件夹名的字符“\\”。"},
        {"op", ".", nullptr},
        {"op", "...", nullptr},
        {"op", "3\\4", "架次号中含有不能用于文件夹名的字符“\\”。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.operatorName) + " / " + c.sortie);
        TempFolder root;
        const auto made = CreateSortieFolders(root.path(), kDay, c.operatorName, c.sortie);
        if (c.refusal) {
            ASSERT_FALSE(made);
            EXPECT_EQ(made.status().message(), c.refusal);
            EXPECT_EQ(Entries(root.path()), 0u);
        } else {
            ASSERT_TRUE(made) << made.status().message();
            const fs::path sortie =
                root / "2013-1-5" / c.operatorName / ("第" + std::string(c.sortie) + "架次");
            EXPECT_EQ(made->sortie, sortie);
            EXPECT_EQ(Entries(sortie), 6u);
        }
    }
}

TEST(SortieNames, AFailedCreationKeepsTheFoldersThatWereThere) {
    // A sortie name longer than a folder name may be fails below the
    // operator folder, after the levels above it were found or made.
    const std::string tooLong(250, 'x');
    const struct {
        const char* what;
        const char* before;  // folders under the root before the run
        std::size_t rootEntries, dateEntries;
    } cases[] = {
        {"nothing there", "", 0, 0},
        {"empty date folder", "2013-1-5", 1, 0},
        {"empty operator folder", "2013-1-5/op", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder root;
        if (*c.before) fs::create_directories(root / c.before);
        const auto made = CreateSortieFolders(root.path(), kDay, "op", tooLong);
        ASSERT_FALSE(made);
        EXPECT_EQ(made.status().message().rfind("无法创建文件夹“", 0), 0u)
            << made.status().message();
        EXPECT_EQ(Entries(root.path()), c.rootEntries);
        if (c.rootEntries) {
            EXPECT_EQ(Entries(root / "2013-1-5"), c.dateEntries);
        }
        if (c.dateEntries) {
            EXPECT_EQ(Entries(root / "2013-1-5/op"), 0u);
        }
    }
}

}  // namespace
}  // namespace skyrell
