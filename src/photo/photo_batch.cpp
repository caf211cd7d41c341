#include "photo/photo_batch.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <tuple>

#include "photo/image_engine.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/text.h"

namespace skyrell {

namespace {

// Memory the photos in flight may take together. At 20 megapixels (4:2:0) a
// lossless turn, half or quarter, holds one set of coefficients, 58 MiB, and a
// resize some 30 MiB, so two or more of those run at a time; at 4:4:4 a turn
// holds 115 MiB and runs alone. With the program itself (some 35 MiB) the
// peak stays under 160 MB.
constexpr std::uint64_t kMemoryBudget = 120ull << 20;
// The most photos in flight, whatever the number of cores.
constexpr unsigned kMostWorkers = 8;
// The most failures the closing warning names.
constexpr std::size_t kMostFailuresShown = 20;

}  // namespace

bool BatchFolderExists(std::string_view folder) {
    if (folder.empty()) return false;
    std::error_code error;
    return std::filesystem::exists(PathOf(folder), error);
}

FolderCheck CheckBatchFolders(std::string_view source, std::string_view target) {
    if (source.empty()) return FolderCheck::NoSource;
    if (!BatchFolderExists(source)) return FolderCheck::SourceMissing;
    if (target.empty()) return FolderCheck::NoTarget;
    if (!BatchFolderExists(target)) return FolderCheck::TargetMissing;
    return FolderCheck::Ok;
}

std::string_view FolderCheckText(FolderCheck check) {
    switch (check) {
        case FolderCheck::NoSource:
            return kNoSourceFolderText;
        case FolderCheck::SourceMissing:
            return kSourceFolderMissingText;
        case FolderCheck::NoTarget:
            return kNoTargetFolderText;
        case FolderCheck::TargetMissing:
            return kCreateTargetFolderText;
        case FolderCheck::Ok:
            break;
    }
    return {};
}

std::vector<std::string> ListBatchPhotos(const std::filesystem::path& folder, bool allFormats) {
    return ListFiles(folder, allFormats ? "*" : "*.jpg");
}

FreeAngle ReadFreeAngle(std::string_view trimmed) {
    if (trimmed.empty()) return {AngleProblem::Empty, 0};
    const auto value = ParseNumber(trimmed);
    if (!value || !std::isfinite(*value)) return {AngleProblem::NotNumber, 0};
    if (!(*value > 0)) return {AngleProblem::NotPositive, *value};
    return {AngleProblem::None, *value};
}

std::string_view AngleProblemText(AngleProblem problem) {
    switch (problem) {
        case AngleProblem::Empty:
            return kNoAngleText;
        case AngleProblem::NotNumber:
            return kAngleNotNumberText;
        case AngleProblem::NotPositive:
            return kAngleNotPositiveText;
        case AngleProblem::None:
            break;
    }
    return {};
}

namespace {

// Records the operation on the opened photo.
Status PlanPhotoOperation(const PhotoOperation& operation, PhotoImage& photo) {
    if (operation.kind == PhotoOperation::Rotate) {
        if (Status turned = photo.Rotate(operation.degrees); !turned) return turned;
    } else {
        const auto size = photo.Size();
        if (!size) return size.status();
        const double scale = std::clamp(operation.percent, 1, 100) / 100.0;
        const ImageSize to{int(std::lround(size->width * scale)),
                           int(std::lround(size->height * scale))};
        if (Status resized = photo.Resize(to); !resized) return resized;
    }
    return Status::Ok();
}

// True when the first bytes of the file are those of a picture format that
// photo editors open.
bool HoldsPicture(const std::filesystem::path& file) {
    std::array<char, 32> bytes{};
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return true;  // the engine names the reason it cannot be read
    ssize_t got = 0;
    do got = ::read(fd, bytes.data(), bytes.size());
    while (got < 0 && errno == EINTR);
    ::close(fd);
    const std::string_view head(bytes.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
    const auto at = [&head](std::size_t offset, std::string_view magic) {
        return head.size() >= offset + magic.size() && head.substr(offset, magic.size()) == magic;
    };
    using namespace std::string_view_literals;
    for (const auto magic :
         {"\xFF\xD8\xFF"sv, "\x89PNG\r\n\x1A\n"sv, "GIF87a"sv, "GIF89a"sv, "II*\0"sv, "MM\0*"sv,
          "II+\0"sv, "MM\0+"sv, "\0\0\0\x0CjP  \r\n\x87\n"sv, "\xFF\x4F\xFF\x51"sv, "\xFF\x0A"sv,
          "\0\0\0\x0CJXL \r\n\x87\n"sv})
        if (at(0, magic)) return true;
    if (at(0, "RIFF") && at(8, "WEBP")) return true;
    if (at(4, "ftyp"))
        for (const auto brand :
             {"heic"sv, "heix"sv, "hevc"sv, "mif1"sv, "msf1"sv, "avif"sv, "avis"sv})
            if (at(8, brand)) return true;
    // A bitmap: "BM", then the size of its info header at byte 14.
    if (at(0, "BM") && head.size() >= 18) {
        const auto size =
            static_cast<unsigned char>(head[14]) | static_cast<unsigned char>(head[15]) << 8 |
            static_cast<unsigned char>(head[16]) << 16 | static_cast<unsigned char>(head[17]) << 24;
        for (const unsigned known : {12u, 40u, 52u, 56u, 64u, 108u, 124u})
            if (static_cast<unsigned>(size) == known) return true;
    }
    return false;
}

// True when the name says "picture": a file so named that holds none is a
// photo that cannot be read, not a data file.
bool NamedLikePicture(std::string_view name) {
    return MatchesPattern(name,
                          "*.jpg;*.jpeg;*.jpe;*.jfif;*.png;*.gif;*.tif;*.tiff;*.bmp;*.dib;*.webp;"
                          "*.heic;*.heif;*.avif;*.jp2;*.j2k;*.jxl");
}

// The lock of a target folder for the length of a run (see kBatchLockFile).
// flock, unlike fcntl's record locks, also keeps out a second run of the same
// process (the rotation and the resizing window at once).
class FolderLock {
  public:
    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock() {
        if (fd_ < 0) return;
        // Removed while still held, so that no later run locks a file that is
        // about to go; a run that opened it meanwhile sees it gone and retries.
        ::unlink(file_.c_str());
        ::close(fd_);
    }

    // False when another run holds the folder.
    bool Take(const std::filesystem::path& folder) {
        file_ = folder / kBatchLockFile;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const int fd =
                ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
            if (fd < 0) return true;  // nothing can be written there: nothing to guard
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
                const bool busy = errno == EWOULDBLOCK;
                ::close(fd);
                return !busy;  // a file system without locks is worked unlocked
            }
            struct stat held {
            }, named{};
            if (::fstat(fd, &held) == 0 && ::lstat(file_.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                fd_ = fd;
                return true;
            }
            ::close(fd);  // the holder before removed it: lock the new one
        }
        return false;
    }

  private:
    std::filesystem::path file_;
    int fd_ = -1;
};

// Device and inode of the file a path leads to, links followed.
using FileId = std::pair<dev_t, ino_t>;
std::optional<FileId> IdentityOf(const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) return std::nullopt;
    return FileId{info.st_dev, info.st_ino};
}

// The folder entry that a write to the path replaces: its folder's identity
// and its name, links followed.
using Entry = std::tuple<dev_t, ino_t, std::string>;
Entry EntryWritten(const std::filesystem::path& target) {
    const auto resolved = ResolvedTarget(target);
    const auto folder = resolved.parent_path();
    const auto id = IdentityOf(folder.empty() ? "." : folder);
    if (!id) return {0, 0, resolved.lexically_normal().string()};
    return {id->first, id->second, resolved.filename().string()};
}

// The names grouped by the file they lead to, each group in list order and
// the groups in the order of their first names.
std::vector<std::vector<std::size_t>> GroupByFile(const PhotoBatch& batch) {
    std::vector<std::vector<std::size_t>> groups;
    std::map<FileId, std::size_t> groupOf;
    for (std::size_t i = 0; i < batch.names.size(); ++i) {
        const auto id = IdentityOf(batch.source / PathOf(batch.names[i]));
        if (id) {
            const auto [found, added] = groupOf.emplace(*id, groups.size());
            if (!added) {
                groups[found->second].push_back(i);
                continue;
            }
        }
        groups.push_back({i});
    }
    return groups;
}

}  // namespace

Status ApplyPhotoOperation(const PhotoOperation& operation, const std::filesystem::path& source,
                           const std::filesystem::path& target) {
    PhotoImage photo;
    if (Status opened = photo.Open(source); !opened) return opened;
    if (Status planned = PlanPhotoOperation(operation, photo); !planned) return planned;
    return photo.SaveJpeg(target, operation.quality);
}

PhotoBatchOutcome RunPhotoBatch(const PhotoBatch& batch, const Feedback& feedback) {
    PhotoBatchOutcome outcome;
    const std::size_t count = batch.names.size();
    if (count == 0) return outcome;
    FolderLock folderLock;
    if (!folderLock.Take(batch.target)) {
        outcome.refused = Status::Fail(std::string(kTargetFolderBusyText));
        return outcome;
    }
    const auto groups = GroupByFile(batch);
    std::vector<std::string> failureOf(count);

    std::mutex mutex;
    std::condition_variable freed;
    std::uint64_t inUse = 0;
    std::size_t running = 0, done = 0, next = 0;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::min<std::size_t>({cores, kMostWorkers, groups.size()});
    // Photos decoded at once share the cores rather than each taking a
    // thread per core: as many threads as cores, and fewer buffers.
    const int threadsEach = workers > 1 ? int(std::max<std::size_t>(1, cores / workers)) : 0;

    // Works one name; false when the run was cancelled before it began.
    auto workOne = [&](std::size_t index) {
        const auto source = batch.source / PathOf(batch.names[index]);
        const auto target = batch.target / PathOf(batch.names[index]);
        const bool picture = HoldsPicture(source);
        const bool skip = !picture && !NamedLikePicture(batch.names[index]);
        // The photo is opened once: its header says what the operation
        // will cost. One photo always runs, however large; more join
        // while they fit.
        PhotoImage photo;
        Status status =
            picture ? photo.Open(source) : Status::Fail(PhotoFailureText(source, kNotAPictureText));
        if (status) status = PlanPhotoOperation(batch.operation, photo);
        const std::uint64_t cost = status ? std::min(photo.MemoryCost(), kMemoryBudget) : 0;
        {
            std::unique_lock lock(mutex);
            freed.wait(lock, [&] { return running == 0 || inUse + cost <= kMemoryBudget; });
            if (feedback.Cancelled()) return false;
            inUse += cost;
            ++running;
        }
        if (status) {
            photo.SetThreads(threadsEach);
            status = photo.SaveJpeg(target, batch.operation.quality);
        }
        photo.Close();
        {
            const std::lock_guard lock(mutex);
            inUse -= cost;
            --running;
            ++done;
            if (skip)
                ++outcome.skipped;
            else if (!status)
                failureOf[index] = status.message();
            feedback.Report(done, count);
        }
        freed.notify_all();
        return true;
    };

    auto work = [&] {
        for (bool going = true; going;) {
            const std::vector<std::size_t>* group;
            {
                const std::lock_guard lock(mutex);
                if (feedback.Cancelled() || next >= groups.size()) break;
                group = &groups[next++];
            }
            std::set<Entry> written;
            for (const std::size_t index : *group) {
                if (written.insert(EntryWritten(batch.target / PathOf(batch.names[index])))
                        .second) {
                    going = workOne(index);
                    if (!going) break;
                } else {
                    // The same file as a name already worked: done with it.
                    const std::lock_guard lock(mutex);
                    feedback.Report(++done, count);
                }
            }
        }
        freed.notify_all();
        EndImageEngineThread();
    };

    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < workers; ++i) threads.emplace_back(work);
    work();
    for (auto& thread : threads) thread.join();

    for (auto& failure : failureOf)
        if (!failure.empty()) outcome.failures.push_back(std::move(failure));
    return outcome;
}

std::string ProgressText(std::size_t done, std::size_t total) {
    const std::size_t percent = total == 0 ? 0 : done * 100 / total;
    return std::to_string(percent) + "%";
}

std::string FailureSummaryText(const std::vector<std::string>& failures) {
    std::string text = std::to_string(failures.size()) + "张航片处理失败：";
    for (std::size_t i = 0; i < failures.size() && i < kMostFailuresShown; ++i)
        text += "\n" + failures[i];
    if (failures.size() > kMostFailuresShown) text += "\n...";
    return text;
}

std::string SkippedFilesText(std::size_t skipped) {
    return "已跳过" + std::to_string(skipped) + "个不是图片的文件。";
}

}  // namespace skyrell
