#pragma once
// The one place where text files are read and written.
//
// Text files are GBK with CR LF line ends; only the KML documents are UTF-8
// with a byte-order mark. Inside the program every text is UTF-8. Readers end a
// line at CR LF, CR or LF and read a file that starts with a UTF-8 BOM as UTF-8.
// Writers go through AtomicFile: the bytes go to a temporary file in the target
// folder, which is renamed over the target only when everything was written,
// so a failure leaves the old file as it was.
//
// What a write replaces: a symbolic link is followed and the file it points to
// is replaced in that file's own folder (the link stays a link); a target that
// is not a regular file (a folder, FIFO, device or socket) is refused, and so
// is a file the user may not write. The replaced file keeps its mode and,
// where the system allows, its owner and group. Temporary files are named
// ".skyrell-" + 12 random letters or digits + ".tmp", whatever the length of
// the target's name; every write removes the ones in its folder that a killed
// write left behind (older than kStaleTemporaryAge).

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
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
// The text with every character GBK cannot hold shown as its code point
// ("P😀" -> "P<U+1F600>") and every byte that is not UTF-8 as its value
// ("<0xD7>"), for texts such as file names that must reach a GBK file even
// when they cannot be held in it.
std::string GbkSafeText(std::string_view utf8);

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

// Temporary files of unfinished writes; older ones are remnants of a killed
// process and are removed by the next write into their folder.
inline constexpr std::string_view kTemporaryPrefix = ".skyrell-";
inline constexpr std::string_view kTemporarySuffix = ".tmp";
inline constexpr std::chrono::minutes kStaleTemporaryAge{10};
bool IsTemporaryName(std::string_view name);
// Removes the stale temporary files of this program from a folder.
void RemoveStaleTemporaries(const std::filesystem::path& folder);

// The file that writing to `path` replaces: the path with every symbolic link
// followed (the last link's target need not exist yet).
std::filesystem::path ResolvedTarget(const std::filesystem::path& path);
// True when both paths name the same existing file (after links).
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);
// The refusal of an output that is the input file itself.
std::string SameFileText(const std::filesystem::path& output);
// Ok, or the SameFileText refusal when `output` is one of `inputs`.
Status CheckOutputIsNotInput(const std::filesystem::path& output,
                             std::initializer_list<std::filesystem::path> inputs);

// The cause of a refused write to something that is not a regular file.
inline constexpr std::string_view kNotRegularFileText = "不是普通文件，不能替换";

// A file written in full or not at all.
class AtomicFile {
  public:
    AtomicFile() = default;
    ~AtomicFile();  // discards the temporary file when Commit was not reached
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Refuses targets that are not regular files (EISDIR for a folder,
    // EINVAL with kNotRegularFileText for the rest) and files the user may
    // not write (EACCES), before anything is created.
    Status Open(const std::filesystem::path& target);
    Status Write(std::string_view bytes);
    // Flushes, syncs and renames the temporary file over the target.
    Status Commit();
    void Discard();

  private:
    Status Flush();
    int fd_ = -1;
    std::filesystem::path target_, temp_;  // target_ with links followed
    bool replaces_ = false;                // target_ exists: keep its mode and owner
    unsigned mode_ = 0, owner_ = 0, group_ = 0;
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
