// Commands of batch rotation and batch resizing.

#include <cmath>
#include <iostream>

#include "app/cli_common.h"
#include "photo/image_engine.h"
#include "photo/photo_batch.h"
#include "shell/files.h"
#include "shell/text.h"

namespace skyrell::cli {

namespace {

// The batch frame without a window: the folder checks (a missing target is
// created, as if the user had answered Yes), the listing, the run, one line on
// stderr per failed photo, and on stdout the number of data files skipped.
int RunBatch(const Args& args, const PhotoOperation& operation, std::string_view notInstalled) {
    const std::string& source = args.Positional(0, "SRC");
    const std::string& target = args.Positional(1, "DST");
    const FolderCheck check = CheckBatchFolders(source, target);
    if (check == FolderCheck::TargetMissing) {
        if (Status created = CreateFolderIfMissing(PathOf(target)); !created)
            return Fail(created.message());
    } else if (check != FolderCheck::Ok) {
        return Fail(std::string(FolderCheckText(check)));
    }
    PhotoBatch batch;
    batch.source = PathOf(source);
    batch.target = PathOf(target);
    batch.operation = operation;
    batch.names = ListBatchPhotos(batch.source, args.Flag("all-formats"));
    if (batch.names.empty()) return Fail(std::string(kNoPhotosText));
    if (!StartImageEngine()) return Fail(std::string(notInstalled));
    const auto outcome = RunPhotoBatch(batch);
    if (!outcome.refused) return Fail(outcome.refused.message());
    for (const auto& failure : outcome.failures) std::cerr << failure << '\n';
    if (outcome.skipped > 0) std::cout << SkippedFilesText(outcome.skipped) << '\n';
    return outcome.failures.empty() ? kExitOk : kExitFailure;
}

int RunRotate(const Args& args) {
    args.Expect(2, {"angle", "all-formats"});
    const std::string text = args.RequiredOption("angle");
    const auto degrees = ParseNumber(text);
    if (!degrees || !std::isfinite(*degrees) || *degrees == 0)
        throw UsageError{"option --angle takes a non-zero number of degrees, not '" + text + "'"};
    PhotoOperation operation;
    operation.kind = PhotoOperation::Rotate;
    operation.degrees = *degrees;
    operation.quality = 12;
    return RunBatch(args, operation, kRotateNotInstalledText);
}

int RunResize(const Args& args) {
    args.Expect(2, {"percent", "quality", "all-formats"});
    PhotoOperation operation;
    operation.kind = PhotoOperation::Resize;
    const long long percent = args.Integer("percent");
    const long long quality = args.Integer("quality");
    if (percent < 1 || percent > 100) throw UsageError{"option --percent takes 1 to 100"};
    if (quality < 1 || quality > 12) throw UsageError{"option --quality takes 1 to 12"};
    operation.percent = static_cast<int>(percent);
    operation.quality = static_cast<int>(quality);
    return RunBatch(args, operation, kResizeNotInstalledText);
}

}  // namespace

std::vector<Command> PhotoBatchCommands() {
    return {
        {"rotate", "SRC DST --angle DEG [--all-formats]", RunRotate, {"all-formats"}},
        {"resize", "SRC DST --percent P --quality Q [--all-formats]", RunResize, {"all-formats"}},
    };
}

}  // namespace skyrell::cli
