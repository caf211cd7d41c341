// What the atomic writer replaces, and what a write that fails or is killed
// half-way leaves behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include "shell/atomic_file.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::vector<std::string> Temporaries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (IsTemporaryName(entry.path().filename().string()))
            names.push_back(entry.path().filename().string());
    return names;
}

unsigned ModeOf(const fs::path& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void MakeOld(const fs::path& file) {
    const auto old =
        fs::file_time_type::clock::now() - kStaleTemporaryAge - std::chrono::minutes(1);
    fs::last_write_time(file, old);
}

TEST(AtomicFile, WhatAWriteReplaces) {
    struct Case {
        const char* name;
        std::function<fs::path(const TempFolder&)> setUp;  // returns the path written to
        int code;                                          // 0: the write succeeds
        const char* replaced;                              // the file that holds "new"
    };
    const std::string longName(255 - 4, 'n');  // every legal name, however long
    const Case cases[] = {
        {"private file keeps its mode",
         [](const TempFolder& f) {
             WriteBytes(f / "a.txt", "old");
             fs::permissions(f / "a.txt", fs::perms(0600));
             return f / "a.txt";
         },
         0, "a.txt"},
        {"link to a file in another folder",
         [](const TempFolder& f) {
             WriteBytes(f / "real" / "b.txt", "old");
             fs::create_symlink("real/b.txt", f / "b.txt");
             return f / "b.txt";
         },
         0, "real/b.txt"},
        {"dangling link creates its target",
         [](const TempFolder& f) {
             fs::create_symlink("c.txt", f / "link");
             return f / "link";
         },
         0, "c.txt"},
        {"name of 255 bytes", [&](const TempFolder& f) { return f / (longName + ".txt"); }, 0, ""},
        {"fifo",
         [](const TempFolder& f) {
             ::mkfifo((f / "fifo").c_str(), 0600);
             return f / "fifo";
         },
         EINVAL, nullptr},
        {"link to a fifo",
         [](const TempFolder& f) {
             ::mkfifo((f / "fifo").c_str(), 0600);
             fs::create_symlink("fifo", f / "out");
             return f / "out";
         },
         EINVAL, nullptr},
        {"device", [](const TempFolder&) { return fs::path("/dev/null"); }, EINVAL, nullptr},
        {"folder",
         [](const TempFolder& f) {
             fs::create_directory(f / "d");
             return f / "d";
         },
         EISDIR, nullptr},
        {"link loop",
         [](const TempFolder& f) {
             fs::create_symlink("loop2", f / "loop1");
             fs::create_symlink("loop1", f / "loop2");
             return f / "loop1";
         },
         ELOOP, nullptr},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        const fs::path target = c.setUp(folder);
        const auto linkBefore = fs::is_symlink(target);
        const unsigned modeBefore = ModeOf(target);
        const Status written = WriteBytesAtomically(target, "new");
        EXPECT_EQ(written.code(), c.code) << c.name << ": " << written.message();
        EXPECT_EQ(fs::is_symlink(target), linkBefore) << c.name;
        if (c.code == 0) {
            const auto replaced = *c.replaced ? folder / c.replaced : target;
            EXPECT_EQ(ReadBytes(replaced), "new") << c.name;
            if (modeBefore) {
                EXPECT_EQ(ModeOf(replaced), modeBefore) << c.name;
            }
        } else if (c.code == EINVAL) {
            EXPECT_EQ(written.message(), kNotRegularFileText) << c.name;
        }
        EXPECT_TRUE(Temporaries(folder.path()).empty()) << c.name;
    }
}

TEST(AtomicFile, RefusesAFileTheUserMayNotWrite) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write every file";
    TempFolder folder;
    WriteBytes(folder / "ro.txt", "old");
    fs::permissions(folder / "ro.txt", fs::perms(0444));
    EXPECT_EQ(WriteBytesAtomically(folder / "ro.txt", "new").code(), EACCES);
    EXPECT_EQ(ReadBytes(folder / "ro.txt"), "old");
}

TEST(AtomicFile, SameFileThroughLinks) {
    TempFolder folder;
    WriteBytes(folder / "in.txt", "x");
    fs::create_symlink("in.txt", folder / "sym.txt");
    fs::create_hard_link(folder / "in.txt", folder / "hard.txt");
    WriteBytes(folder / "other.txt", "x");
    for (const char* same : {"in.txt", "sym.txt", "hard.txt"})
        EXPECT_EQ(CheckOutputIsNotInput(folder / same, {folder / "other.txt", folder / "in.txt"})
                      .message(),
                  SameFileText(folder / same));
    EXPECT_TRUE(CheckOutputIsNotInput(folder / "other.txt", {folder / "in.txt"}));
    EXPECT_TRUE(CheckOutputIsNotInput(folder / "absent.txt", {folder / "in.txt"}));
}

// Runs `body` in a child process and returns its wait status.
int InChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(body());
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(AtomicFile, WriteOverTheFileSizeLimitFailsCleanly) {
    TempFolder folder;
    WriteBytes(folder / "big.txt", "old");
    const int status = InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 16, 1 << 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return WriteBytesAtomically(folder / "big.txt", std::string(4 << 20, 'x')).code();
    });
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), EFBIG);
    EXPECT_EQ(ReadBytes(folder / "big.txt"), "old");
    EXPECT_TRUE(Temporaries(folder.path()).empty());
}

TEST(AtomicFile, FailedRenameRemovesTheTemporary) {
    TempFolder folder;
    AtomicFile file;
    ASSERT_TRUE(file.Open(folder / "t"));
    ASSERT_TRUE(file.Write("new"));
    fs::create_directories(folder / "t" / "in the way");
    EXPECT_FALSE(file.Commit().ok());
    EXPECT_TRUE(fs::is_directory(folder / "t"));
    EXPECT_TRUE(Temporaries(folder.path()).empty());
}

TEST(AtomicFile, KilledWriteLeavesTheOldFileAndTheNextWriteCleansUp) {
    TempFolder folder;
    WriteBytes(folder / "k.txt", "old");
    const pid_t child = ::fork();
    if (child == 0) {
        AtomicFile file;
        if (!file.Open(folder / "k.txt")) ::_exit(1);
        const std::string chunk(1 << 20, 'x');
        while (file.Write(chunk)) {
        }
        ::_exit(1);
    }
    // Kill it once several megabytes are in its temporary file.
    for (int i = 0; i < 2000; ++i) {
        const auto temps = Temporaries(folder.path());
        if (!temps.empty() && fs::file_size(folder / temps.front()) > (4u << 20)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(ReadBytes(folder / "k.txt"), "old");
    const auto left = Temporaries(folder.path());
    ASSERT_EQ(left.size(), 1u);

    // A fresh temporary may belong to a write still running; a file that only
    // looks alike is not this program's.
    MakeOld(folder / left.front());
    WriteBytes(folder / ".skyrell-RUNNING12345.tmp", "");
    WriteBytes(folder / ".skyrell-abc.tmp", "");
    MakeOld(folder / ".skyrell-abc.tmp");
    WriteBytes(folder / ".skyrell-running12345.tmp", "");
    ASSERT_TRUE(WriteBytesAtomically(folder / "other.txt", "x"));
    EXPECT_FALSE(fs::exists(folder / left.front()));
    EXPECT_TRUE(fs::exists(folder / ".skyrell-abc.tmp"));
    EXPECT_TRUE(fs::exists(folder / ".skyrell-RUNNING12345.tmp"));
    EXPECT_TRUE(fs::exists(folder / ".skyrell-running12345.tmp"));
}

TEST(AtomicFile, FailedWriteLeavesNothingBehind) {
    TempFolder folder;
    const auto target = folder / "missing-folder" / "out.txt";
    const Status written = WriteTextLines(target, {"a"});
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.code(), ENOENT);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(AtomicFile, ReplacedFileKeepsAReadableMode) {
    TempFolder folder;
    ASSERT_TRUE(WriteBytesAtomically(folder / "m.txt", "x"));
    struct stat info {};
    ASSERT_EQ(::stat((folder / "m.txt").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IRUSR);
    EXPECT_TRUE(info.st_mode & S_IWUSR);
}

}  // namespace
}  // namespace skyrell
