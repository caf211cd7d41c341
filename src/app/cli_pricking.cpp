// Commands of pricking: prick a point on a photo, export the GCP list.

#include <iostream>

#include "app/cli_common.h"
#include "candidates/candidates.h"
#include "pricking/gcp_list.h"
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

// gcp-export SORTIE POINTS OUT [--make hi-target|chc] [--datum CODE --zone 3|6]:
// the pricking record with the points' coordinates, as gcp_list.txt. Pricked
// points that POINTS lacks are named on stderr and left out.
int RunGcpExport(const Args& args) {
    args.Expect(3, {"make", "datum", "zone"});
    const std::filesystem::path sortie = PathOf(args.Positional(0, "SORTIE"));
    const std::filesystem::path pointsFile = PathOf(args.Positional(1, "POINTS"));
    const std::filesystem::path out = PathOf(args.Positional(2, "OUT"));
    std::optional<ControllerMake> make;
    if (args.Option("make"))
        make = args.Choice("make", {"hi-target", "chc"}) == "chc" ? ControllerMake::Chc
                                                                  : ControllerMake::HiTarget;
    std::optional<GaussZone> zone;
    if (args.Option("datum") || args.Option("zone"))
        zone = GaussZone{args.Choice("datum", {"1954", "1980", "2000", "1984"}),
                         args.Choice("zone", {"3", "6"})};
    const auto points = ReadControlPoints(pointsFile, make, Feedback::None());
    if (!points) return Fail(points.status().message());
    const auto list = WriteGcpList(sortie, *points, zone, out);
    if (!list) return Fail(list.status().message());
    for (const std::string& point : list->unknownPoints)
        std::cerr << "点" << point << "不在控制点文件中，未写入GCP列表。\n";
    std::cout << "已保存GCP列表：" << PathText(out) << '\n';
    return kExitOk;
}

}  // namespace

std::vector<Command> PrickingCommands() {
    return {{"prick",
             "SORTIE --point NAME --photo PATH --at X,Y [--observation-only] [--sketch-width PX]",
             RunPrick,
             {"observation-only"}},
            {"gcp-export", "SORTIE POINTS OUT [--make hi-target|chc] [--datum CODE --zone 3|6]",
             RunGcpExport}};
}

}  // namespace skyrell::cli
