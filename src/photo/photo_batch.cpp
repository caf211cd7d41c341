#include "photo/photo_batch.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "photo/image_engine.h"
#include "shell/files.h"
#include "shell/text.h"

namespace skyrell {

namespace {

// Memory the photos in flight may take together. At 20 megapixels (4:2:0) a
// lossless quarter turn holds two sets of coefficients, 115 MiB, and runs
// alone; a half turn holds one, 58 MiB, and a resize some 30 MiB, so two or
// more of those run at a time. With the program itself (some 35 MiB) the peak
// stays under 160 MB.
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

}  // namespace

Status ApplyPhotoOperation(const PhotoOperation& operation, const std::filesystem::path& source,
                           const std::filesystem::path& target) {
    PhotoImage photo;
    if (Status opened = photo.Open(source); !opened) return opened;
    if (Status planned = PlanPhotoOperation(operation, photo); !planned) return planned;
    return photo.SaveJpeg(target, operation.quality);
}

std::vector<std::string> RunPhotoBatch(const PhotoBatch& batch, const Feedback& feedback) {
    const std::size_t count = batch.names.size();
    std::vector<std::string> failureOf(count);
    if (count == 0) return {};

    std::mutex mutex;
    std::condition_variable freed;
    std::uint64_t inUse = 0;
    std::size_t running = 0, done = 0, next = 0;

    auto work = [&] {
        for (;;) {
            std::size_t index;
            {
                const std::lock_guard lock(mutex);
                if (feedback.Cancelled() || next >= count) break;
                index = next++;
            }
            const auto source = batch.source / PathOf(batch.names[index]);
            const auto target = batch.target / PathOf(batch.names[index]);
            // The photo is opened once: its header says what the operation
            // will cost. One photo always runs, however large; more join
            // while they fit.
            PhotoImage photo;
            Status status = photo.Open(source);
            if (status) status = PlanPhotoOperation(batch.operation, photo);
            const std::uint64_t cost = status ? std::min(photo.MemoryCost(), kMemoryBudget) : 0;
            {
                std::unique_lock lock(mutex);
                freed.wait(lock, [&] { return running == 0 || inUse + cost <= kMemoryBudget; });
                if (feedback.Cancelled()) break;
                inUse += cost;
                ++running;
            }
            if (status) status = photo.SaveJpeg(target, batch.operation.quality);
            photo.Close();
            {
                const std::lock_guard lock(mutex);
                inUse -= cost;
                --running;
                ++done;
                if (!status) failureOf[index] = status.message();
                feedback.Report(done, count);
            }
            freed.notify_all();
        }
        freed.notify_all();
        EndImageEngineThread();
    };

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::min<std::size_t>({cores, kMostWorkers, count});
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < workers; ++i) threads.emplace_back(work);
    work();
    for (auto& thread : threads) thread.join();

    std::vector<std::string> failures;
    for (auto& failure : failureOf)
        if (!failure.empty()) failures.push_back(std::move(failure));
    return failures;
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

}  // namespace skyrell
