// The batch run in same-folder mode against files that are not plain photos,
// and two runs on one target folder.

#include "photo/photo_batch.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

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

PhotoBatch QuarterTurnInPlace(const fs::path& folder, bool allFormats) {
    PhotoBatch batch{folder, folder, ListBatchPhotos(folder, allFormats), {}};
    batch.operation.degrees = 90;
    return batch;
}

TEST(PhotoBatch, EachFileIsTurnedOnceAndDataFilesAreLeftAlone) {
    const std::string pos = "P1,30.1,120.2,50\r\n", numbers = "2 2\n1 2\n3 4\n";
    const struct {
        const char* what;
        const char* links;  // "s" a symbolic link s.jpg -> a.jpg, "h" a hard link h.jpg
        std::vector<const char*> turned;  // 48 pixels wide after the run
    } cases[] = {
        {"symbolic link", "s", {"a.jpg"}},
        {"hard link", "h", {"a.jpg", "h.jpg"}},
        {"both", "sh", {"a.jpg", "h.jpg"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        MakeSampleJpeg(folder / "a.jpg", 64, 48);
        for (const char* link = c.links; *link; ++link)
            *link == 's' ? fs::create_symlink("a.jpg", folder / "s.jpg")
                         : fs::create_hard_link(folder / "a.jpg", folder / "h.jpg");
        WriteBytes(folder / "pos.csv", pos);
        WriteBytes(folder / "n.txt", numbers);
        std::uint64_t reported = 0;
        const PhotoBatch batch = QuarterTurnInPlace(folder.path(), true);
        const auto outcome =
            RunPhotoBatch(batch, Feedback([&](std::uint64_t done, std::uint64_t, std::string_view) {
                              reported = done;
                          }));
        EXPECT_TRUE(outcome.refused.ok());
        EXPECT_EQ(outcome.failures, std::vector<std::string>());
        EXPECT_EQ(outcome.skipped, 2u);  // pos.csv, n.txt
        EXPECT_EQ(reported, batch.names.size());
        for (const char* name : c.turned) EXPECT_EQ(ReadSample(folder / name).width, 48) << name;
        EXPECT_EQ(ReadBytes(folder / "pos.csv"), pos);
        EXPECT_EQ(ReadBytes(folder / "n.txt"), numbers);
        if (*c.links != 'h') {
            EXPECT_TRUE(fs::is_symlink(folder / "s.jpg"));
        }
    }
}

TEST(PhotoBatch, ASecondRunOnTheTargetFolderIsRefusedUntilTheFirstEnds) {
    TempFolder folder;
    MakeSampleJpeg(folder / "a.jpg", 64, 48);
    const fs::path lockFile = folder / kBatchLockFile;
    // The first run: a process that holds the lock until it is killed.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::flock(::open(lockFile.c_str(), O_RDWR | O_CREAT, 0644), LOCK_EX);
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    const auto refused = RunPhotoBatch(QuarterTurnInPlace(folder.path(), false));
    EXPECT_EQ(refused.refused.message(), kTargetFolderBusyText);
    EXPECT_EQ(ReadSample(folder / "a.jpg").width, 64);

    // Killed, it leaves the file but not the lock.
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(RunPhotoBatch(QuarterTurnInPlace(folder.path(), false)).refused.ok());
    EXPECT_EQ(ReadSample(folder / "a.jpg").width, 48);
    EXPECT_FALSE(fs::exists(lockFile));
}

}  // namespace
}  // namespace skyrell
