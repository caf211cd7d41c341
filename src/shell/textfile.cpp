#include "shell/textfile.h"

#include "shell/system_errors.h"
#include "shell/text.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

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

// ---------------------------------------------------------------- reading

LineReader::~LineReader() {
    if (file_) std::fclose(file_);
}

Status LineReader::Open(const std::filesystem::path& path) {
    path_ = path;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) {
        status_ = Status::Fail(ReadFailureText(path, SystemFailure(errno)), errno);
        return status_;
    }
    struct stat info {};
    if (fstat(fileno(file_), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            status_ = Status::Fail(ReadFailureText(path, SystemFailure(EISDIR)), EISDIR);
            return status_;
        }
        size_ = static_cast<std::uint64_t>(info.st_size);
    }
    buffer_.resize(1 << 20);
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
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line)) lines.push_back(line);
    if (!reader.status()) return reader.status();
    return lines;
}

// ---------------------------------------------------------------- writing

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
    static std::atomic<unsigned> counter{0};
    Discard();
    written_ = 0;
    failure_ = Status::Ok();
    target_ = target;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return SystemFailure(EISDIR);
    const auto folder = target.parent_path();
    const std::string name = target.filename().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string tempName =
            "." + name + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        temp_ = folder.empty() ? std::filesystem::path(tempName) : folder / tempName;
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
