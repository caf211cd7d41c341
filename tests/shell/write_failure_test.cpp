// Writers whose write really fails, and the properties of the files they make.
//
// A failure is made real by a file-size limit in a child process (the signal
// that would end it at the limit ignored, so the write sees EFBIG): each
// writer must report it, leave the old file as it was and no temporary file
// behind. Photo saves run in skyrell-cli, a fresh process, because the image
// library's threads do not survive a fork.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <optional>

#include "documents/rtf_document.h"
#include "photo/image_engine.h"
#include "photo/photo_division.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/line_reader.h"
#include "shell/system_errors.h"
#include "support/image_engine_samples.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::MakeSampleJpeg;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr rlim_t kSizeLimit = 2048;
const fs::path kTemplate = fs::path(SKYRELL_RESOURCES) / "点之记模板.doc";

// What a writer does in the child: a Status, or (Cli) the program's exit.
struct Write {
    std::function<Status(const fs::path& folder)> call;
    std::vector<std::string> cli;  // arguments; "@" stands for the folder
};

// Runs the write in a child process under the size limit. Its message goes
// to folder/err; the child's exit is the failure's error number (0 for
// success), or skyrell-cli's exit status.
int WriteUnderSizeLimit(const Write& write, const fs::path& folder) {
    const std::string err = (folder / "err").string();
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kSizeLimit, kSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        if (write.call) {
            const Status status = write.call(folder);
            WriteBytes(err, status.message());
            ::_exit(status.code());
        }
        std::vector<std::string> words{SKYRELL_CLI};
        for (const auto& arg : write.cli)
            words.push_back(arg.starts_with('@') ? folder.string() + arg.substr(1) : arg);
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const int fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> HiddenFiles(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.path().filename().string().starts_with('.'))
            names.push_back(entry.path().filename().string());
    return names;
}

TEST(WriteFailure, EveryWriterReportsItKeepsTheOldFileAndLeavesNoTemporary) {
    struct Case {
        const char* what;
        const char* target;  // under folder/out
        bool old;            // an old file is there to be replaced
        Write write;
    };
    const Case cases[] = {
        {"text lines",
         "a.txt",
         true,
         {[](const fs::path& f) {
              return WriteTextLines(f / "out/a.txt", std::vector<std::string>(400, "点位描述"));
          },
          {}}},
        {"UTF-8 file",
         "a.kml",
         true,
         {[](const fs::path& f) {
              return WriteUtf8File(std::string(5000, 'k'), f / "out/a.kml", true);
          },
          {}}},
        {"point-record document",
         "P0001.doc",
         true,
         {[](const fs::path& f) {
              RtfDocumentEngine engine;
              if (Status opened = engine.Open(kTemplate); !opened) return opened;
              if (Status set = engine.SetCellText(1, 2, "P0001"); !set) return set;
              return engine.SaveAs(f / "out/P0001.doc");
          },
          {}}},
        {"copy of the division",
         "1/IMG_0001.JPG",
         false,
         {[](const fs::path& f) {
              const DivideRequest request{f / "src", {"IMG_0001.JPG"}, f / "out", "1", 1, 1};
              const auto count = DividePhotos(request);
              return count ? Status::Ok() : count.status();
          },
          {}}},
        {"lossless quarter turn",
         "a.jpg",
         true,
         {{}, {"rotate", "@/src", "@/out", "--angle", "90"}}},
        // Written past the file's 1 MiB buffer while the coefficients are coded.
        {"lossless half turn of a large photo",
         "c.jpg",
         true,
         {{}, {"rotate", "@/large", "@/out", "--angle", "180"}}},
        {"re-encoded turn", "b.jpg", true, {{}, {"rotate", "@/odd", "@/out", "--angle", "90"}}},
        {"resize",
         "a.jpg",
         true,
         {{}, {"resize", "@/src", "@/out", "--percent", "67", "--quality", "12"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        MakeSampleJpeg(folder / "src/a.jpg", 256, 192);  // whole MCUs
        MakeSampleJpeg(folder / "odd/b.jpg", 250, 190);  // partial MCUs
        MakeSampleJpeg(folder / "large/c.jpg", 1600, 1600);
        ASSERT_GT(fs::file_size(folder / "large/c.jpg"), 1u << 20);
        WriteBytes(folder / "src/IMG_0001.JPG", std::string(8000, 'p'));
        ASSERT_GT(fs::file_size(folder / "src/a.jpg"), 2 * kSizeLimit);
        const fs::path target = folder / "out" / c.target;
        fs::create_directories(target.parent_path());
        if (c.old) WriteBytes(target, "old");

        // A call exits with the failure's error number, skyrell-cli with 1.
        EXPECT_EQ(WriteUnderSizeLimit(c.write, folder.path()), c.write.call ? EFBIG : 1);
        const std::string err = ReadBytes(folder / "err");
        EXPECT_NE(err.find(SystemErrorText(EFBIG)), std::string::npos) << err;
        EXPECT_EQ(fs::exists(target), c.old);
        if (c.old) {
            EXPECT_EQ(ReadBytes(target), "old");
        }
        EXPECT_EQ(HiddenFiles(target.parent_path()), std::vector<std::string>{});
    }
}

struct FileState {
    unsigned mode = 0;
    timespec modified{};
};

FileState StateOf(const fs::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return {};
    return {info.st_mode & 07777u, info.st_mtim};
}

TEST(FileProperties, CopiesKeepModeAndTimeNewFilesFollowTheUmask) {
    struct Case {
        const char* what;
        mode_t umask;
        enum { Copy, Replace, New } kind;
        unsigned oldMode;  // of the copied or the replaced file
        std::function<Status(const fs::path& in, const fs::path& out)> write;
        unsigned mode;
    };
    const auto copy = [](const fs::path& in, const fs::path& out) {
        return CopyFileIfAbsent(in, out);
    };
    const auto text = [](const fs::path&, const fs::path& out) {
        return WriteTextLines(out, {"a"});
    };
    const auto turn = [](double degrees) {
        return [degrees](const fs::path& in, const fs::path& out) {
            PhotoImage photo;
            if (Status opened = photo.Open(in); !opened) return opened;
            if (Status turned = photo.Rotate(degrees); !turned) return turned;
            return photo.SaveJpeg(out, 12);
        };
    };
    const Case cases[] = {
        {"copy of a 0664 file under umask 022", 022, Case::Copy, 0664, copy, 0664},
        {"copy of a 0600 file", 022, Case::Copy, 0600, copy, 0600},
        {"copy of a 0755 file under umask 077", 077, Case::Copy, 0755, copy, 0755},
        {"new text file under umask 022", 022, Case::New, 0, text, 0644},
        {"new text file under umask 027", 027, Case::New, 0, text, 0640},
        {"replaced text file keeps 0664 under umask 077", 077, Case::Replace, 0664, text, 0664},
        {"new document under umask 002", 002, Case::New, 0,
         [](const fs::path&, const fs::path& out) {
             RtfDocumentEngine engine;
             if (Status opened = engine.Open(kTemplate); !opened) return opened;
             return engine.SaveAs(out);
         },
         0664},
        {"new photo, lossless turn, umask 022", 022, Case::New, 0, turn(90), 0644},
        {"new photo, re-encoded, umask 022", 022, Case::New, 0, turn(45), 0644},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const fs::path in = folder / "in.jpg", out = folder / "out.jpg";
        MakeSampleJpeg(in, 64, 48);
        const timespec times[2] = {{1000000000, 0}, {1000000000, 123456789}};
        ASSERT_EQ(::utimensat(AT_FDCWD, in.c_str(), times, 0), 0);
        if (c.kind == Case::Copy) ::chmod(in.c_str(), c.oldMode);
        if (c.kind == Case::Replace) {
            WriteBytes(out, "old");
            ::chmod(out.c_str(), c.oldMode);
        }
        const mode_t before = ::umask(c.umask);
        const Status written = c.write(in, out);
        ::umask(before);
        ASSERT_TRUE(written) << written.message();
        const FileState state = StateOf(out);
        EXPECT_EQ(state.mode, c.mode) << std::oct << state.mode;
        if (c.kind == Case::Copy) {
            EXPECT_EQ(state.modified.tv_sec, 1000000000);
            EXPECT_EQ(state.modified.tv_nsec, 123456789);
        }
    }
}

}  // namespace
}  // namespace skyrell
