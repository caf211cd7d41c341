#include "shell/line_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "shell/files.h"
#include "shell/system_errors.h"

namespace skyrell {

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

}  // namespace skyrell
