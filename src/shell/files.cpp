#include "shell/files.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "shell/system_errors.h"
#include "shell/text.h"
#include "shell/textfile.h"

namespace skyrell {

namespace fs = std::filesystem;

bool FolderExists(const fs::path& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec);
}

bool FileExists(const fs::path& file) {
    std::error_code ec;
    return !file.empty() && fs::is_regular_file(file, ec);
}

std::string CreateFolderFailureText(const fs::path& folder, const Status& cause) {
    return "无法创建文件夹“" + PathText(folder) + "”：" + cause.message();
}

Status CreateFolderIfMissing(const fs::path& folder) {
    if (FolderExists(folder)) return Status::Ok();
    std::error_code ec;
    fs::create_directory(folder, ec);
    if (ec) {
        const Status cause = Status::Fail(SystemErrorText(ec), ec.value());
        return Status::Fail(CreateFolderFailureText(folder, cause), ec.value());
    }
    return Status::Ok();
}

Status CopyFileIfAbsent(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    if (!FileExists(source) || fs::exists(target, ec)) return Status::Ok();
    fs::copy_file(source, target, fs::copy_options::none, ec);
    if (ec) {
        return Status::Fail(WriteFailureText(target, Status::Fail(SystemErrorText(ec), ec.value())),
                            ec.value());
    }
    return Status::Ok();
}

Status WriteUtf8File(std::string_view text, const fs::path& path, bool byteOrderMark) {
    if (text.empty()) return Status::Ok();
    AtomicFile file;
    if (auto opened = file.Open(path); !opened) return opened;
    if (byteOrderMark)
        if (auto written = file.Write("\xEF\xBB\xBF"); !written) return written;
    if (auto written = file.Write(text); !written) return written;
    return file.Commit();
}

std::vector<std::string> ListFiles(const fs::path& folder, std::string_view pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name = it->path().filename().string();
        // Hidden files (a leading ".") are no ordinary files: neither the
        // temporary files of an unfinished write nor the "._" companions that
        // some systems leave beside every photo on a memory card.
        if (name.starts_with('.')) continue;
        if (MatchesPattern(name, pattern)) names.push_back(std::move(name));
    }
    // Name order as a file list shows it: letters without regard to case,
    // ties broken by the exact bytes so the order is always the same.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& name : names) keyed.emplace_back(AsciiUpper(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) names[i] = std::move(keyed[i].second);
    return names;
}

std::string WithTrailingSeparator(std::string_view folder) {
    std::string out(folder);
    const char separator = static_cast<char>(fs::path::preferred_separator);
    if (out.empty() || out.back() != separator) out += separator;
    return out;
}

}  // namespace skyrell
