#include "shell/textfile.h"

#include "shell/files.h"
#include "shell/system_errors.h"
#include "shell/text.h"

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <random>

namespace skyrell {

namespace {

Status SystemFailure(int code) { return Status::Fail(SystemErrorText(code), code); }

// One converter per direction and thread: opening a converter costs far more
// than converting a line.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the text; on a sequence that cannot be converted stops and
    // reports its offset through badOffset (returns false).
    bool Convert(std::string_view in, std::string& out, std::size_t& badOffset) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        out.resize(in.size() * 2 + 8);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        std::size_t produced = 0;
        while (inLeft > 0) {
            char* outPtr = out.data() + produced;
            std::size_t outLeft = out.size() - produced;
            const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            produced = out.size() - outLeft;
            if (rc != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            out.resize(produced);
            badOffset = in.size() - inLeft;
            return false;
        }
        out.resize(produced);
        return true;
    }

  private:
    iconv_t cd_;
};

Converter& GbkDecoder() {
    thread_local Converter converter("UTF-8", "GBK");
    return converter;
}

Converter& GbkEncoder() {
    thread_local Converter converter("GBK", "UTF-8");
    return converter;
}

std::size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    if (IsAscii(gbk)) return std::string(gbk);
    std::string out, part;
    while (!gbk.empty()) {
        std::size_t bad = 0;
        if (GbkDecoder().Convert(gbk, part, bad)) {
            out += part;
            break;
        }
        out += part;
        out += "\xEF\xBF\xBD";  // U+FFFD for the byte that is not GBK
        gbk.remove_prefix(bad + 1);
    }
    return out;
}

std::string EncodingRefusalText(std::string_view character) {
    return "字符“" + std::string(character) + "”无法以GBK编码保存，请改用其他字符。";
}

Result<std::string> Utf8ToGbk(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    std::size_t bad = 0;
    if (GbkEncoder().Convert(utf8, out, bad)) return out;
    const auto length =
        std::min(Utf8Length(static_cast<unsigned char>(utf8[bad])), utf8.size() - bad);
    return Status::Fail(EncodingRefusalText(utf8.substr(bad, length)));
}

std::string GbkSafeText(std::string_view utf8) {
    if (IsAscii(utf8) || Utf8ToGbk(utf8)) return std::string(utf8);
    std::string out;
    char mark[16];
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = Utf8Length(lead);
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        bool whole = at + length <= utf8.size() && (lead < 0x80 || length > 1);
        for (std::size_t i = 1; whole && i < length; ++i) {
            const auto next = static_cast<unsigned char>(utf8[at + i]);
            whole = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!whole) {
            std::snprintf(mark, sizeof mark, "<0x%02X>", lead);
            out += mark;
            ++at;
            continue;
        }
        const auto character = utf8.substr(at, length);
        if (Utf8ToGbk(character)) {
            out += character;
        } else {
            std::snprintf(mark, sizeof mark, "<U+%04X>", static_cast<unsigned>(code));
            out += mark;
        }
        at += length;
    }
    return out;
}

// ---------------------------------------------------------------- reading

namespace {

// No line of the program's text files comes near this; a longer one is no
// text, and reading it whole would take the memory.
constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;
// The most a file read whole into lines may hold.
constexpr std::uint64_t kMaxWholeTextBytes = std::uint64_t{64} << 20;

std::string LineTooLongText() {
    return "有一行超过" + std::to_string(kMaxLineBytes >> 20) + " MB，不是文本文件。";
}

}  // namespace

LineReader::~LineReader() {
    if (file_) std::fclose(file_);
}

Status LineReader::Open(const std::filesystem::path& path) {
    path_ = path;
    // Regular files only: a FIFO would wait for ever, a device never end.
    const auto fd = OpenInputFile(path, UINT64_MAX);
    if (fd) file_ = ::fdopen(*fd, "rb");
    if (!file_) {
        const Status cause = fd ? SystemFailure(errno) : fd.status();
        if (fd) ::close(*fd);
        status_ = Status::Fail(ReadFailureText(path, cause), cause.code());
        return status_;
    }
    struct stat info {};
    if (fstat(fileno(file_), &info) == 0) size_ = static_cast<std::uint64_t>(info.st_size);
    // Reads of 1 MiB for large files; a small file gets a buffer near its
    // size, as its readers open many of them.
    buffer_.resize(static_cast<std::size_t>(
        std::clamp<std::uint64_t>(size_ + 1, std::uint64_t{1} << 16, std::uint64_t{1} << 20)));
    if (Fill() && end_ - begin_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) {
        encoding_ = TextEncoding::Utf8;
        begin_ += 3;
        consumed_ += 3;
    }
    return status_;
}

bool LineReader::Fill() {
    if (begin_ < end_) return true;
    if (eof_ || !file_ || !status_.ok()) return false;
    begin_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (end_ == 0) {
        if (std::ferror(file_))
            status_ = Status::Fail(ReadFailureText(path_, SystemFailure(EIO)), EIO);
        eof_ = true;
        return false;
    }
    return true;
}

bool LineReader::Next(std::string& line) {
    if (!NextBytes(raw_)) return false;
    if (encoding_ == TextEncoding::Utf8) {
        line = raw_;
    } else {
        line = GbkToUtf8(raw_);
    }
    return true;
}

bool LineReader::NextBytes(std::string& bytes) {
    bytes.clear();
    bool any = false;
    while (Fill()) {
        if (pendingCr_) {
            pendingCr_ = false;
            if (buffer_[begin_] == '\n') {
                ++begin_;
                ++consumed_;
                continue;
            }
        }
        const char* start = buffer_.data() + begin_;
        const char* stop = buffer_.data() + end_;
        const char* p = start;
        while (p < stop && *p != '\n' && *p != '\r') ++p;
        bytes.append(start, p);
        any = true;
        if (bytes.size() > kMaxLineBytes) {
            status_ = Status::Fail(ReadFailureText(path_, Status::Fail(LineTooLongText())), EFBIG);
            return false;
        }
        if (p < stop) {
            pendingCr_ = *p == '\r';
            const auto used = static_cast<std::size_t>(p - start) + 1;
            begin_ += used;
            consumed_ += used;
            ++lineNumber_;
            return true;
        }
        consumed_ += static_cast<std::size_t>(p - start);
        begin_ = end_;
    }
    if (!any || bytes.empty() || !status_.ok()) return false;
    ++lineNumber_;
    return true;
}

Result<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path) {
    LineReader reader;
    if (auto opened = reader.Open(path); !opened) return opened;
    // Every line is kept: the file must fit in memory several times over.
    if (reader.Size() > kMaxWholeTextBytes)
        return Status::Fail(
            ReadFailureText(path, Status::Fail(FileTooLargeText(kMaxWholeTextBytes))), EFBIG);
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line)) lines.push_back(line);
    if (!reader.status()) return reader.status();
    return lines;
}

// ---------------------------------------------------------------- writing

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
        const std::string tempName =
            std::string(kTemporaryPrefix) + RandomLetters() + std::string(kTemporarySuffix);
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

std::string ReadFailureText(const std::filesystem::path& path, const Status& cause) {
    return "无法读取文件“" + PathText(path) + "”：" + cause.message();
}

std::string WriteFailureText(const std::filesystem::path& path, const Status& cause) {
    return "无法写入文件“" + PathText(path) + "”：" + cause.message();
}

std::string PathText(const std::filesystem::path& path) { return path.string(); }
std::filesystem::path PathOf(std::string_view utf8) { return std::filesystem::path(utf8); }

}  // namespace skyrell
