#include "shell/line_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "shell/files.h"
#include "shell/system_errors.h"

namespace skyrell {

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
    if (!Fill()) return status_;
    if (end_ - begin_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) {
        encoding_ = TextEncoding::Utf8;
        begin_ += 3;
        consumed_ += 3;
        return status_;
    }
    encoding_ = DecideEncoding();
    return status_;
}

TextEncoding LineReader::DecideEncoding() {
    TextEncodingDecision decision;
    decision.Feed(std::string_view(buffer_.data() + begin_, end_ - begin_));
    // The rest of the file is read beside the line reading, at its own
    // offsets, up to the first byte that is not UTF-8.
    std::vector<char> piece;
    auto offset = static_cast<off_t>(end_);
    while (decision.StillUtf8()) {
        if (piece.empty()) piece.resize(std::size_t{1} << 16);
        const ssize_t n = ::pread(fileno(file_), piece.data(), piece.size(), offset);
        if (n == 0) break;
        // A pipe cannot be read twice: its first buffer decides, whole when
        // the input ended within it. A failing read is reported by the
        // reading itself.
        if (n < 0) return decision.Decision(end_ < buffer_.size());
        decision.Feed(std::string_view(piece.data(), static_cast<std::size_t>(n)));
        offset += n;
    }
    return decision.Decision();
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

}  // namespace skyrell
