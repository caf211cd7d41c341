#pragma once
// Writing files in full or not at all.
//
// Writers go through AtomicFile: the bytes go to a temporary file in the target
// folder, which is renamed over the target only when everything was written,
// so a failure leaves the old file as it was. Text files are written as GBK
// with CR LF line ends (TextFileWriter); only the KML documents are UTF-8 with
// a byte-order mark.
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
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "shell/status.h"
#include "shell/text_encoding.h"

namespace skyrell {

// Temporary files of unfinished writes; older ones are remnants of a killed
// process and are removed by the next write into their folder.
inline constexpr std::string_view kTemporaryPrefix = ".skyrell-";
inline constexpr std::string_view kTemporarySuffix = ".tmp";
inline constexpr std::chrono::minutes kStaleTemporaryAge{10};
bool IsTemporaryName(std::string_view name);
// A fresh name of that form, for a temporary file beside its target.
std::string NewTemporaryName();
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

}  // namespace skyrell
