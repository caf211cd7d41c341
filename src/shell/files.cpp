#include "shell/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/magic.h>
#include <sys/sendfile.h>
#include <sys/vfs.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

#include "shell/atomic_file.h"
#include "shell/system_errors.h"
#include "shell/text.h"

namespace skyrell {

namespace fs = std::filesystem;

bool FolderExists(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec);
}

bool FileExists(const fs::path& file) {
    std::error_code ec;
    return !file.empty() && fs::is_regular_file(file, ec);
}

std::string ReadFailureText(const std::filesystem::path& path, const Status& cause) {
    return "无法读取文件“" + PathText(path) + "”：" + cause.message();
}

std::string WriteFailureText(const std::filesystem::path& path, const Status& cause) {
    return "无法写入文件“" + PathText(path) + "”：" + cause.message();
}

std::string PathText(const std::filesystem::path& path) { return path.string(); }
std::filesystem::path PathOf(std::string_view utf8) { return std::filesystem::path(utf8); }

Result<std::string> ReadWholeFile(const fs::path& path, std::uint64_t mostBytes) {
    // Regular files only: a FIFO would wait for ever, a device never end.
    const auto fd = OpenInputFile(path, mostBytes);
    if (!fd) return Status::Fail(ReadFailureText(path, fd.status()), fd.status().code());
    std::FILE* file = ::fdopen(*fd, "rb");
    if (!file) {
        const int code = errno;
        ::close(*fd);
        return Status::Fail(ReadFailureText(path, SystemFailure(code)), code);
    }
    std::string bytes;
    std::array<char, 1 << 16> buffer;
    std::size_t n = 0;
    bool grown = false;  // since it was measured
    while (!grown && (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        grown = bytes.size() + n > mostBytes;
        if (!grown) bytes.append(buffer.data(), n);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (grown)
        return Status::Fail(ReadFailureText(path, Status::Fail(FileTooLargeText(mostBytes))),
                            EFBIG);
    if (failed) return Status::Fail(ReadFailureText(path, SystemFailure(EIO)), EIO);
    return bytes;
}

std::string CreateFolderFailureText(const fs::path& folder, const Status& cause) {
    return "无法创建文件夹“" + PathText(folder) + "”：" + cause.message();
}

Status CreateFolderIfMissing(const fs::path& folder) {
    if (FolderExists(folder)) return Status::Ok();
    std::error_code ec;
    fs::create_directory(folder, ec);
    if (ec) {
        const Status cause = Status::Fail(SystemErrorText(ec), ec.value());
        return Status::Fail(CreateFolderFailureText(folder, cause), ec.value());
    }
    return Status::Ok();
}

namespace {

Status CopyFailure(const fs::path& target, int code) {
    return Status::Fail(WriteFailureText(target, SystemFailure(code)), code);
}

// Copies every byte of `in` to `out` inside the kernel: copy_file_range shares
// the blocks on file systems that can (a reflink) and copies without a trip
// through user memory elsewhere; sendfile and a plain read/write loop are the
// fallbacks for kernels and file systems that refuse it. 0 or an errno value.
int CopyContents(int in, int out, std::uint64_t size) {
    std::uint64_t done = 0;
#ifdef __linux__
    bool kernelCopy = true;
    while (done < size && kernelCopy) {
        const auto n = ::copy_file_range(in, nullptr, out, nullptr, size - done, 0);
        if (n > 0) {
            done += static_cast<std::uint64_t>(n);
        } else if (n == 0) {
            break;  // the source became shorter; the read loop below finds its end
        } else if (errno == EINTR) {
            continue;
        } else if (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL) {
            kernelCopy = false;
        } else {
            return errno;
        }
    }
    while (done < size && !kernelCopy) {
        off_t offset = static_cast<off_t>(done);
        const auto n = ::sendfile(out, in, &offset, size - done);
        if (n > 0) {
            done += static_cast<std::uint64_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n == 0 || errno == EINVAL || errno == ENOSYS) {
            break;  // the source became shorter, or no sendfile here: the read loop does the rest
        } else {
            return errno;
        }
    }
#endif
    // Whatever is left (or everything, where the kernel calls are missing),
    // including bytes appended to the source since it was measured.
    if (::lseek(in, static_cast<off_t>(done), SEEK_SET) < 0 ||
        ::lseek(out, static_cast<off_t>(done), SEEK_SET) < 0)
        return errno;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const auto n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) return 0;
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        for (ssize_t written = 0; written < n;) {
            const auto w =
                ::write(out, buffer.data() + written, static_cast<std::size_t>(n - written));
            if (w < 0) {
                if (errno == EINTR) continue;
                return errno;
            }
            written += w;
        }
    }
}

// Gives the finished temporary file the target's name unless a file of that
// name has appeared meanwhile. 0, EEXIST or another errno value.
int PublishWithoutReplacing(const fs::path& temp, const fs::path& target) {
#ifdef __linux__
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
    // File systems without the no-replace rename: a hard link fails on an
    // existing name; where links are refused too, test and rename.
    if (::link(temp.c_str(), target.c_str()) == 0) {
        ::unlink(temp.c_str());
        return 0;
    }
    if (errno == EEXIST) return EEXIST;
    std::error_code ec;
    if (fs::exists(target, ec)) return EEXIST;
    return ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
}

}  // namespace

Status CopyFileIfAbsent(const fs::path& source, const fs::path& target, bool* copied) {
    if (copied) *copied = false;
    std::error_code ec;
    if (!FileExists(source) || fs::exists(target, ec)) return Status::Ok();
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return CopyFailure(target, errno);
    struct stat info {};
    if (::fstat(in, &info) != 0) {
        const int code = errno;
        ::close(in);
        return CopyFailure(target, code);
    }
    // The bytes go to a hidden temporary file beside the target, which takes
    // the target's name only when it is complete: a run that is interrupted
    // never leaves a half-copied file under a real name.
    fs::path temp;
    int out = -1;
    for (int attempt = 0; attempt < 100 && out < 0; ++attempt) {
        temp = target.parent_path() / NewTemporaryName();
        out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 0777);
        if (out < 0 && errno != EEXIST) break;
    }
    if (out < 0) {
        const int code = errno;
        ::close(in);
        return CopyFailure(target, code);
    }
    int code = CopyContents(in, out, static_cast<std::uint64_t>(info.st_size));
    // The copy keeps the photo's mode, whatever the umask, and its modification
    // time, as the desktop's own copy does. A file system without modes (a
    // memory card) refuses the mode; the copy is good all the same.
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    if (code == 0) (void)::fchmod(out, info.st_mode & 0777);
    if (code == 0) ::futimens(out, times);
    if (::close(out) != 0 && code == 0) code = errno;
    ::close(in);
    if (code == 0) code = PublishWithoutReplacing(temp, target);
    if (code != 0) ::unlink(temp.c_str());
    if (code == EEXIST) return Status::Ok();  // another copy got there first: keep it
    if (code != 0) return CopyFailure(target, code);
    if (copied) *copied = true;
    return Status::Ok();
}

Status WriteUtf8File(std::string_view text, const fs::path& path, bool byteOrderMark) {
    if (text.empty()) return Status::Ok();
    AtomicFile file;
    if (auto opened = file.Open(path); !opened) return opened;
    if (byteOrderMark)
        if (auto written = file.Write("\xEF\xBB\xBF"); !written) return written;
    if (auto written = file.Write(text); !written) return written;
    return file.Commit();
}

std::vector<std::string> ListFiles(const fs::path& folder, std::string_view pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name = it->path().filename().string();
        // Hidden files (a leading ".") are no ordinary files: neither the
        // temporary files of an unfinished write nor the "._" companions that
        // some systems leave beside every photo on a memory card.
        if (name.starts_with('.')) continue;
        if (MatchesPattern(name, pattern)) names.push_back(std::move(name));
    }
    // Name order as a file list shows it: letters without regard to case,
    // ties broken by the exact bytes so the order is always the same.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& name : names) keyed.emplace_back(AsciiUpper(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) names[i] = std::move(keyed[i].second);
    return names;
}

std::string FileTooLargeText(std::uint64_t maxBytes) {
    return "文件太大（超过" + std::to_string(maxBytes >> 20) + " MB），不是这种文件。";
}

namespace {

// A pipe the shell hands over ("cat pos.txt | skyrell-cli ... /dev/stdin"),
// which ends when its writer does, unlike a FIFO named in a folder, which
// waits for a writer that may never come.
bool IsAnonymousPipe([[maybe_unused]] int fd, const struct stat& info) {
#ifdef __linux__
    struct statfs system {};
    return S_ISFIFO(info.st_mode) && ::fstatfs(fd, &system) == 0 && system.f_type == PIPEFS_MAGIC;
#else
    (void)info;
    return false;
#endif
}

}  // namespace

Result<int> OpenInputFile(const fs::path& file, std::uint64_t maxBytes) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Status::Fail(SystemErrorText(errno), errno);
    struct stat info {};
    Status refused;
    if (::fstat(fd, &info) != 0)
        refused = Status::Fail(SystemErrorText(errno), errno);
    else if (S_ISDIR(info.st_mode))
        refused = Status::Fail(SystemErrorText(EISDIR), EISDIR);
    else if (!S_ISREG(info.st_mode) && !IsAnonymousPipe(fd, info))
        refused = Status::Fail(std::string(kNotAFileToReadText), EINVAL);
    else if (static_cast<std::uint64_t>(info.st_size) > maxBytes)
        refused = Status::Fail(FileTooLargeText(maxBytes), EFBIG);
    if (!refused) {
        ::close(fd);
        return refused;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string WithTrailingSeparator(std::string_view folder) {
    std::string out(folder);
    const char separator = static_cast<char>(fs::path::preferred_separator);
    if (out.empty() || out.back() != separator) out += separator;
    return out;
}

}  // namespace skyrell
