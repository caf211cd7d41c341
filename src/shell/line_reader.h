#pragma once
// Reading text files line by line.
//
// Text files are GBK, or UTF-8 when they start with a UTF-8 byte-order mark
// or are entirely valid UTF-8 with a non-ASCII character in them
// (TextEncodingDecision); lines come out as UTF-8. A line ends at CR LF, CR
// or LF.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/status.h"
#include "shell/text_encoding.h"

namespace skyrell {

// Reads a text file line by line with constant memory.
class LineReader {
  public:
    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens the file; a failure names the file (ReadFailureText).
    Status Open(const std::filesystem::path& path);
    // The next line as UTF-8, without its line end. False at the end of the
    // file or after a read error (see status()).
    bool Next(std::string& line);
    // The next line as the bytes of the file (Encoding()), without its line
    // end, for readers that decode only what they use.
    bool NextBytes(std::string& bytes);
    // Number of the line last returned, counted from 1.
    std::int64_t LineNumber() const { return lineNumber_; }
    // Bytes consumed so far and the size of the file, for progress.
    std::uint64_t Position() const { return consumed_; }
    std::uint64_t Size() const { return size_; }
    const Status& status() const { return status_; }
    TextEncoding Encoding() const { return encoding_; }

  private:
    bool Fill();
    // The encoding of a file without a byte-order mark, from the whole file
    // (the first buffer for a pipe).
    TextEncoding DecideEncoding();

    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    bool eof_ = false;
    bool pendingCr_ = false;
    std::int64_t lineNumber_ = 0;
    std::uint64_t consumed_ = 0, size_ = 0;
    TextEncoding encoding_ = TextEncoding::Gbk;
    Status status_;
    std::string raw_;
};

// All lines of a text file.
Result<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path);

}  // namespace skyrell
