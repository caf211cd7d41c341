// Commands of pricking: prick a point on a photo.

#include <iostream>

#include "app/cli_common.h"
#include "pricking/pricking.h"
#include "shell/files.h"
#include "shell/text.h"

namespace skyrell::cli {

namespace {

// "X,Y": two numbers, the pixel position in the photo.
std::pair<double, double> Position(const Args& args) {
    const std::string value = args.RequiredOption("at");
    const std::size_t comma = value.find(',');
    const auto x = comma == std::string::npos ? std::nullopt : ParseNumber(value.substr(0, comma));
    const auto y = comma == std::string::npos ? std::nullopt : ParseNumber(value.substr(comma + 1));
    if (!x || !y) throw UsageError{"option --at takes X,Y, not '" + value + "'"};
    return {*x, *y};
}

// prick SORTIE --point NAME --photo PATH --at X,Y [--observation-only]
// [--sketch-width PX]: the hand-in photo, the sketch and the record line.
int RunPrick(const Args& args) {
    args.Expect(1, {"point", "photo", "at", "observation-only", "sketch-width"});
    PrickRequest request;
    request.sortie = PathOf(args.Positional(0, "SORTIE"));
    request.point = args.RequiredOption("point");
    request.photo = PathOf(args.RequiredOption("photo"));
    std::tie(request.x, request.y) = Position(args);
    request.observationOnly = args.Flag("observation-only");
    const long long width = args.Integer("sketch-width", 0);
    if (width < 0 || width > 1000000 || (args.Option("sketch-width") && width == 0))
        throw UsageError{"option --sketch-width takes a width in pixels above 0"};
    request.sketchWidth = static_cast<int>(width);
    const auto pricked = Prick(request, Feedback::None());
    if (!pricked) return Fail(pricked.status().message());
    if (request.observationOnly) {
        std::cout << "已记录观测：" << AsciiUpper(TrimSpaces(request.point)) << " "
                  << PathText(request.photo.filename()) << '\n';
    } else {
        std::cout << "已保存刺点片：" << PathText(pricked->handInPhoto) << '\n'
                  << "已保存点位略图：" << PathText(pricked->sketch) << '\n';
    }
    return kExitOk;
}

}  // namespace

std::vector<Command> PrickingCommands() {
    return {{"prick",
             "SORTIE --point NAME --photo PATH --at X,Y [--observation-only] [--sketch-width PX]",
             RunPrick,
             {"observation-only"}}};
}

}  // namespace skyrell::cli
