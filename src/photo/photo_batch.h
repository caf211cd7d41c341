#pragma once
// The batch frame shared by photo rotation and photo resizing: the folder
// checks, the listing of the photos, the progress text, and the run that
// turns or resizes every listed photo of the source folder into a JPEG of the
// same name in the target folder.
//
// The run works on several photos at once, as many as there are cores but no
// more than fit a fixed memory budget, so a batch of 20-megapixel photos stays
// well under 160 MB. Every photo is written to a temporary file in the target
// folder and renamed over its target, so a source folder that is also the
// target holds, at any moment, each photo either as it was or as it became.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "shell/feedback.h"
#include "shell/status.h"

namespace skyrell {

// Texts of the batch frame's messages.
inline constexpr std::string_view kNoSourceFolderText = "未选择原始航片目录！";
inline constexpr std::string_view kSourceFolderMissingText = "原始航片目录不存在！";
inline constexpr std::string_view kNoTargetFolderText = "未选择目标航片目录！";
inline constexpr std::string_view kCreateTargetFolderText = "目标航片目录不存在，是否创建该目录？";
inline constexpr std::string_view kNoPhotosText = "原始航片目录中无航片！";
inline constexpr std::string_view kRotateNotInstalledText =
    "系统未安装Photoshop，无法执行旋转图片操作！";
inline constexpr std::string_view kResizeNotInstalledText =
    "系统未安装Photoshop，无法执行缩放图片操作！";
// Texts of the rotation angle's messages.
inline constexpr std::string_view kNoAngleText = "请输入旋转角度！";
inline constexpr std::string_view kAngleNotNumberText = "旋转角度类型必须是数字！";
inline constexpr std::string_view kAngleNotPositiveText = "旋转角度必须大于0°！";
// The refusal of a run on a target folder that another run is writing.
inline constexpr std::string_view kTargetFolderBusyText =
    "目标航片目录正在被另一个旋转或缩放任务写入，请等它完成后再试！";

// The hidden file of the target folder whose kernel lock (flock) a run holds
// while it writes there; the run removes it when it ends, and the kernel
// drops the lock of a run that was killed.
inline constexpr std::string_view kBatchLockFile = ".skyrell-batch.lock";

// The folder checks, in the order they are made.
enum class FolderCheck { Ok, NoSource, SourceMissing, NoTarget, TargetMissing };

// A folder box "exists" when it is not empty and names anything the file
// system knows: a folder or a file.
bool BatchFolderExists(std::string_view folder);
FolderCheck CheckBatchFolders(std::string_view source, std::string_view target);
// The message of a failed check; TargetMissing is the question whether to
// create the folder.
std::string_view FolderCheckText(FolderCheck check);

// The photos of a folder: "*.jpg" or, with `allFormats`, every file; letter
// case ignored, ordinary files directly in the folder, in name order.
std::vector<std::string> ListBatchPhotos(const std::filesystem::path& folder, bool allFormats);

// The free rotation angle of the rotation dialog, already trimmed.
enum class AngleProblem { None, Empty, NotNumber, NotPositive };
struct FreeAngle {
    AngleProblem problem = AngleProblem::None;
    double degrees = 0;
};
FreeAngle ReadFreeAngle(std::string_view trimmed);
std::string_view AngleProblemText(AngleProblem problem);

// What a batch does to every photo.
struct PhotoOperation {
    enum Kind { Rotate, Resize } kind = Rotate;
    double degrees = 180;  // Rotate: positive clockwise
    int percent = 100;     // Resize: 1..100
    int quality = 12;      // 1..12, 12 best; rotation always uses 12
};

// Turns or resizes one photo; the failure names the photo and the reason,
// and nothing is written for it.
Status ApplyPhotoOperation(const PhotoOperation& operation, const std::filesystem::path& source,
                           const std::filesystem::path& target);

struct PhotoBatch {
    std::filesystem::path source;
    std::filesystem::path target;
    std::vector<std::string> names;  // in list order
    PhotoOperation operation;
};

struct PhotoBatchOutcome {
    // Not ok when the run did not start: another run holds the target folder
    // (kTargetFolderBusyText).
    Status refused;
    std::vector<std::string> failures;  // texts of the photos that failed, in list order
    std::size_t skipped = 0;            // data files left alone
};

// Runs the batch, holding the target folder's lock (kBatchLockFile) for its
// length; a folder where the lock file cannot be made (one the user may not
// write) is worked unlocked, since nothing can be written there anyway.
//
// Only pictures are worked, told by their first bytes (JPEG, PNG, TIFF, GIF,
// BMP, WebP, HEIF/AVIF, JPEG 2000, JPEG XL), never by their names: another
// file named like a picture fails as one that cannot be read, and any other
// file is a data file (a POS file, a text), skipped and counted, never
// written.
//
// Each file is worked once by one worker: names that lead to the same file
// (device and inode, links followed) are worked one after another, and a name
// whose write would replace a file another name of that group has already
// written (a symbolic link to a photo of the target folder) is skipped.
//
// The feedback hears the number of finished names (done, failed or skipped)
// of all after each one, one report at a time, from a worker thread. Once it
// is cancelled no further photo is begun; those in flight are finished.
PhotoBatchOutcome RunPhotoBatch(const PhotoBatch& batch,
                                const Feedback& feedback = Feedback::None());

// "k%" for k photos of n finished: the whole part of k / n x 100.
std::string ProgressText(std::size_t done, std::size_t total);

// The warning that ends a run in which photos failed: their count and at most
// 20 of their failure texts, then "..." when there are more.
std::string FailureSummaryText(const std::vector<std::string>& failures);
// The note of the data files a run skipped: "已跳过n个不是图片的文件。".
std::string SkippedFilesText(std::size_t skipped);

}  // namespace skyrell
