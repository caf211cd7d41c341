#pragma once
// The one place where text files are read and written.
//
// Text files are GBK with CR LF line ends; only the KML documents are UTF-8
// with a byte-order mark. Inside the program every text is UTF-8. Readers end a
// line at CR LF, CR or LF and read a file that starts with a UTF-8 BOM as UTF-8.
// Writers go through AtomicFile: the bytes go to a temporary file in the target
// folder, which is renamed over the target only when everything was written,
// so a failure leaves the old file as it was.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "shell/status.h"

namespace skyrell {

enum class TextEncoding { Gbk, Utf8 };

// GBK bytes to UTF-8. A byte sequence that is not GBK becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
// UTF-8 to GBK. A character GBK cannot hold is refused with a message that
// names it (EncodingRefusalText); nothing is ever written as "?".
Result<std::string> Utf8ToGbk(std::string_view utf8);
std::string EncodingRefusalText(std::string_view character);

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

// A file written in full or not at all.
class AtomicFile {
  public:
    AtomicFile() = default;
    ~AtomicFile();  // discards the temporary file when Commit was not reached
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    Status Open(const std::filesystem::path& target);
    Status Write(std::string_view bytes);
    // Flushes, syncs and renames the temporary file over the target.
    Status Commit();
    void Discard();

  private:
    Status Flush();
    int fd_ = -1;
    std::filesystem::path target_, temp_;
    std::string buffer_;
    std::uint64_t written_ = 0;  // bytes handed to the file so far
    Status failure_;
};

// Writes UTF-8 text lines through an AtomicFile in the chosen encoding, each
// ended by CR LF.
class TextFileWriter {
  public:
    Status Open(const std::filesystem::path& target, TextEncoding encoding = TextEncoding::Gbk,
                bool byteOrderMark = false);
    Status WriteLine(std::string_view utf8);
    // Text without a line end added.
    Status Write(std::string_view utf8);
    Status Commit() { return file_.Commit(); }
    void Discard() { file_.Discard(); }

  private:
    AtomicFile file_;
    TextEncoding encoding_ = TextEncoding::Gbk;
};

// Replaces a file by these lines, each ended by CR LF.
Status WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                      TextEncoding encoding = TextEncoding::Gbk);
// Replaces a file by exactly these bytes.
Status WriteBytesAtomically(const std::filesystem::path& path, std::string_view bytes);

// Texts of the failure messages that name a file.
std::string ReadFailureText(const std::filesystem::path& path, const Status& cause);
std::string WriteFailureText(const std::filesystem::path& path, const Status& cause);

// UTF-8 text of a path and the path of a UTF-8 text.
std::string PathText(const std::filesystem::path& path);
std::filesystem::path PathOf(std::string_view utf8);

}  // namespace skyrell
