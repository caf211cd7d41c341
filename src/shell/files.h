#pragma once
// File-system helpers shared by every tool. Paths are UTF-8 texts inside the
// program; PathOf turns them into file-system paths.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "shell/status.h"

namespace skyrell {

// True exactly when a folder of that path exists (a file does not count).
bool FolderExists(const std::filesystem::path& folder);
bool FileExists(const std::filesystem::path& file);

// Creates the last level of the folder when it does not exist; the parent must
// exist. The failure names the folder.
Status CreateFolderIfMissing(const std::filesystem::path& folder);

// Copies source to target when the source exists and the target does not; an
// existing target is never overwritten. The copy is made under a hidden
// temporary name in the target folder (the program's usual one, see
// IsTemporaryName, whatever the length of the target's name) and renamed when
// complete, so the target name never holds a partial copy. The copy keeps the source's mode
// (whatever the umask) and modification time. `copied`, when given, tells
// whether a copy was made.
Status CopyFileIfAbsent(const std::filesystem::path& source, const std::filesystem::path& target,
                        bool* copied = nullptr);

// The bytes of a whole regular file of at most `mostBytes`; a failure (also a
// folder, FIFO, device or larger file) names the file (ReadFailureText) and
// carries the system's error number as code.
Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::uint64_t mostBytes);

// Replaces the file by the UTF-8 text, with a byte-order mark when asked, in
// one atomic step. An empty text writes nothing. A failure carries the system's
// error description as message and its error number as code.
Status WriteUtf8File(std::string_view text, const std::filesystem::path& path, bool byteOrderMark);

// Names of the ordinary files of a folder (not folders, not hidden ones whose
// name begins with ".") that match the wildcard pattern(s) without regard to
// case, in name order. A missing folder lists nothing.
std::vector<std::string> ListFiles(const std::filesystem::path& folder, std::string_view pattern);

// Opens a file for reading without waiting on it: a folder, a FIFO, a device
// or a socket is refused before a byte is read, and so is a file larger than
// `maxBytes`. A pipe from the shell (standard input) is read: it ends when its
// writer does. The descriptor is closed on exec; the failure's message is the
// cause alone (the caller names the file).
Result<int> OpenInputFile(const std::filesystem::path& file, std::uint64_t maxBytes);
inline constexpr std::string_view kNotAFileToReadText =
    "不是普通文件（管道、设备或套接字），不能读取。";
// "文件太大（超过N MB），不是这种文件。"
std::string FileTooLargeText(std::uint64_t maxBytes);

// Folder path as the path boxes show it: ending with the native separator.
std::string WithTrailingSeparator(std::string_view folder);

// UTF-8 text of a path and the path of a UTF-8 text.
std::string PathText(const std::filesystem::path& path);
std::filesystem::path PathOf(std::string_view utf8);

// Texts of the failure messages that name a file or folder.
std::string ReadFailureText(const std::filesystem::path& path, const Status& cause);
std::string WriteFailureText(const std::filesystem::path& path, const Status& cause);
// The text of the message that names a folder which could not be created.
std::string CreateFolderFailureText(const std::filesystem::path& folder, const Status& cause);

}  // namespace skyrell
