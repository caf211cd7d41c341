// The photo division command: the photos of a folder whose numbers lie in a
// range are copied into the folder of their flight line, as the window does.

#include <iostream>

#include "app/cli_common.h"
#include "photo/photo_division.h"
#include "shell/files.h"

namespace skyrell::cli {

namespace {

int RunDivide(const Args& args) {
    args.Expect(2, {"line", "from", "to", "pattern"});
    const auto source = PathOf(args.Positional(0, "SRC"));
    const auto target = PathOf(args.Positional(1, "DST"));
    // The numbers are read before anything is touched: a wrong one is a
    // usage error that leaves the disk as it was.
    args.Integer("line");
    DivideRequest request;
    request.from = args.Integer("from");
    request.to = args.Integer("to");
    request.line = args.RequiredOption("line");
    const std::string pattern = args.Option("pattern").value_or(std::string(kDefaultPhotoPattern));
    if (!FolderExists(source)) return Fail("航片路径“" + PathText(source) + "”不存在。");
    request.photoFolder = source;
    request.saveFolder = target;
    request.photos = ListFiles(source, pattern);
    auto count = DividePhotos(request);
    if (!count) return Fail(count.status().message());
    std::cout << "复制航片 " << count->copied << " 张，已存在 " << count->existing << " 张。\n";
    if (count->unnumbered > 0) std::cerr << UnnumberedPhotosText(count->unnumbered) << '\n';
    return kExitOk;
}

}  // namespace

std::vector<Command> DivideCommands() {
    return {{"divide", "SRC DST --line N --from A --to B [--pattern GLOB]", RunDivide}};
}

}  // namespace skyrell::cli
