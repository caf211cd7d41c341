#include "shell/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <random>

#include "shell/files.h"
#include "shell/system_errors.h"

namespace skyrell {

namespace {

constexpr std::size_t kTemporaryLetters = 12;
constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";

std::string RandomLetters() {
    thread_local std::mt19937_64 engine([] {
        std::random_device device;
        std::seed_seq seed{device(), device(), static_cast<unsigned>(::getpid()),
                           static_cast<unsigned>(std::time(nullptr))};
        return std::mt19937_64(seed);
    }());
    std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
    std::string letters(kTemporaryLetters, ' ');
    for (char& c : letters) c = kLetters[pick(engine)];
    return letters;
}

// A symbolic link still in the way after this many hops is a loop.
constexpr int kMaxLinkHops = 40;

}  // namespace

std::string NewTemporaryName() {
    return std::string(kTemporaryPrefix) + RandomLetters() + std::string(kTemporarySuffix);
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() != kTemporaryPrefix.size() + kTemporaryLetters + kTemporarySuffix.size() ||
        !name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix))
        return false;
    const auto letters = name.substr(kTemporaryPrefix.size(), kTemporaryLetters);
    return letters.find_first_not_of(kLetters) == std::string_view::npos;
}

void RemoveStaleTemporaries(const std::filesystem::path& folder) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const auto staleBefore =
        std::time(nullptr) -
        std::chrono::duration_cast<std::chrono::seconds>(kStaleTemporaryAge).count();
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name)) continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        // A write still running keeps touching its file; only a file left
        // alone for longer than the limit belongs to a write that died.
        if (S_ISREG(info.st_mode) && info.st_mtime < staleBefore)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

std::filesystem::path ResolvedTarget(const std::filesystem::path& path) {
    std::filesystem::path current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::string link(static_cast<std::size_t>(info.st_size) + 1, '\0');
        const auto length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0 || static_cast<std::size_t>(length) >= link.size()) return current;
        link.resize(static_cast<std::size_t>(length));
        const std::filesystem::path next(link);
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current;
}

bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string SameFileText(const std::filesystem::path& output) {
    return "输出文件“" + PathText(output) + "”就是输入文件，请另选输出文件。";
}

Status CheckOutputIsNotInput(const std::filesystem::path& output,
                             std::initializer_list<std::filesystem::path> inputs) {
    for (const auto& input : inputs)
        if (IsSameFile(output, input)) return Status::Fail(SameFileText(output));
    return Status::Ok();
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    buffer_.clear();
}

Status AtomicFile::Open(const std::filesystem::path& target) {
    Discard();
    written_ = 0;
    failure_ = Status::Ok();
    replaces_ = false;
    target_ = ResolvedTarget(target);
    struct stat info {};
    if (::lstat(target_.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return SystemFailure(EISDIR);
        if (S_ISLNK(info.st_mode)) return SystemFailure(ELOOP);
        // Renaming over a FIFO, a device or a socket would put a regular file
        // in its place (for /dev/null, for everyone on the machine).
        if (!S_ISREG(info.st_mode)) return Status::Fail(std::string(kNotRegularFileText), EINVAL);
        if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
            return SystemFailure(errno);
        replaces_ = true;
        mode_ = info.st_mode & 07777;
        owner_ = info.st_uid;
        group_ = info.st_gid;
    } else if (errno != ENOENT) {
        return SystemFailure(errno);
    }
    const auto folder = target_.parent_path();
    RemoveStaleTemporaries(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string tempName = NewTemporaryName();
        temp_ = folder.empty() ? std::filesystem::path(tempName) : folder / tempName;
        // A new file gets the usual mode (0666 less the umask); a replaced one
        // stays private until Commit gives it the old file's mode.
        fd_ =
            ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replaces_ ? 0600 : 0666);
        if (fd_ >= 0) return Status::Ok();
        if (errno != EEXIST) break;
    }
    const int code = errno;
    temp_.clear();
    return SystemFailure(code);
}

Status AtomicFile::Flush() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const auto n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            failure_ = SystemFailure(errno);
            return failure_;
        }
        done += static_cast<std::size_t>(n);
    }
#ifdef __linux__
    // Start writing the bytes to disk now, without waiting, so that the sync
    // of Commit has little left to do and a large file does not stall at its end.
    ::sync_file_range(fd_, static_cast<off_t>(written_), static_cast<off_t>(done),
                      SYNC_FILE_RANGE_WRITE);
#endif
    written_ += done;
    buffer_.clear();
    return Status::Ok();
}

Status AtomicFile::Write(std::string_view bytes) {
    if (fd_ < 0) return failure_.ok() ? SystemFailure(EBADF) : failure_;
    if (!failure_.ok()) return failure_;
    buffer_.append(bytes);
    if (buffer_.size() >= (1u << 20)) return Flush();
    return Status::Ok();
}

Status AtomicFile::Commit() {
    if (fd_ < 0) return failure_.ok() ? SystemFailure(EBADF) : failure_;
    Status result = failure_.ok() ? Flush() : failure_;
    if (result && replaces_) {
        // The owner first: a change of owner clears the set-ID bits that the
        // mode then restores. Another user's file cannot be given away; it is
        // then the writer's, still with the old mode.
        if (::fchown(fd_, owner_, group_) != 0) (void)::fchown(fd_, static_cast<uid_t>(-1), group_);
        if (::fchmod(fd_, static_cast<mode_t>(mode_)) != 0) result = SystemFailure(errno);
    }
    if (result && ::fsync(fd_) != 0) result = SystemFailure(errno);
    if (::close(fd_) != 0 && result) result = SystemFailure(errno);
    fd_ = -1;
    if (result && ::rename(temp_.c_str(), target_.c_str()) != 0) result = SystemFailure(errno);
    if (result) temp_.clear();
    Discard();
    return result;
}

Status TextFileWriter::Open(const std::filesystem::path& target, TextEncoding encoding,
                            bool byteOrderMark) {
    encoding_ = encoding;
    if (auto opened = file_.Open(target); !opened) return opened;
    return byteOrderMark ? file_.Write("\xEF\xBB\xBF") : Status::Ok();
}

Status TextFileWriter::Write(std::string_view utf8) {
    if (encoding_ == TextEncoding::Utf8) return file_.Write(utf8);
    auto encoded = Utf8ToGbk(utf8);
    if (!encoded) return encoded.status();
    return file_.Write(*encoded);
}

Status TextFileWriter::WriteLine(std::string_view utf8) {
    if (auto written = Write(utf8); !written) return written;
    return file_.Write("\r\n");
}

Status WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                      TextEncoding encoding) {
    TextFileWriter writer;
    if (auto opened = writer.Open(path, encoding); !opened) return opened;
    for (const auto& line : lines)
        if (auto written = writer.WriteLine(line); !written) return written;
    return writer.Commit();
}

Status WriteBytesAtomically(const std::filesystem::path& path, std::string_view bytes) {
    AtomicFile file;
    if (auto opened = file.Open(path); !opened) return opened;
    if (auto written = file.Write(bytes); !written) return written;
    return file.Commit();
}

}  // namespace skyrell
