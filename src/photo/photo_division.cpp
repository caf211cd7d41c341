#include "photo/photo_division.h"

#include <charconv>

#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/text.h"

namespace skyrell {

std::optional<std::int64_t> PhotoNumberOf(std::string_view fileName) {
    return TrailingNumber(FileTitleOf(fileName));
}

bool InPhotoRange(std::int64_t n, std::int64_t from, std::int64_t to) {
    return from <= to ? (from <= n && n <= to) : (to <= n && n <= from);
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view text) {
    std::string_view body = TrimSpaces(text);
    if (!body.empty() && body.front() == '+') {
        body.remove_prefix(1);
        if (!body.empty() && body.front() == '-') return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (body.empty() || ec != std::errc() || end != body.data() + body.size()) return std::nullopt;
    return value;
}

Result<DivideCount> DividePhotos(const DivideRequest& request, const Feedback& feedback) {
    if (!FolderExists(request.saveFolder))
        return Status::Fail("航线保存路径“" + PathText(request.saveFolder) + "”不存在。");
    const auto lineFolder = request.saveFolder / PathOf(request.line);
    if (Status made = CreateFolderIfMissing(lineFolder); !made) return made;
    // Partial copies that a killed division left behind.
    RemoveStaleTemporaries(lineFolder);
    DivideCount count;
    std::size_t done = 0;
    for (const auto& name : request.photos) {
        if (feedback.Cancelled()) break;
        const auto number = PhotoNumberOf(name);
        if (!number) {
            ++count.unnumbered;
        } else if (InPhotoRange(*number, request.from, request.to)) {
            bool copied = false;
            const auto target = lineFolder / PathOf(name);
            if (Status status =
                    CopyFileIfAbsent(request.photoFolder / PathOf(name), target, &copied);
                !status)
                return status;
            if (copied)
                ++count.copied;
            else if (FileExists(target))
                ++count.existing;
        }
        feedback.Report(++done, request.photos.size());
    }
    return count;
}

std::string UnnumberedPhotosText(std::int64_t count) {
    return "有 " + std::to_string(count) + " 张航片的文件名末尾没有编号，未参与划分。";
}

}  // namespace skyrell
