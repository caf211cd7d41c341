// The candidate photos of control points: which photos show each point, and
// at which pixel.

#include <charconv>
#include <iostream>

#include "app/cli_common.h"
#include "candidates/candidates.h"
#include "shell/files.h"
#include "shell/text.h"

namespace skyrell::cli {

namespace {

// A pixel coordinate with one decimal, "." as decimal point whatever the locale.
std::string OneDecimal(double value) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    return std::string(text, end.ptr);
}

// candidates POINTS FOLDER... [--pos POS] [--make hi-target|chc]
//   [--camera FOCAL_MM:SENSOR_WIDTH_MM] [--heading-offset DEG]
// prints "point,photo,x,y,distance" per sighting, grouped by point in the
// order of POINTS, nearest the photo centre first; every point no photo
// shows, and every photo that could not be placed, gets one line on stderr.
int Candidates(const Args& args) {
    args.Expect(static_cast<std::size_t>(-1), {"pos", "make", "camera", "heading-offset"});
    const auto pointsFile = PathOf(args.Positional(0, "POINTS"));
    args.Positional(1, "FOLDER");
    std::vector<std::filesystem::path> folders;
    for (std::size_t i = 1; i < args.PositionalCount(); ++i)
        folders.push_back(PathOf(args.Positional(i, "FOLDER")));

    CandidateOptions options;
    if (const auto pos = args.Option("pos")) options.pos = PathOf(*pos);
    std::optional<ControllerMake> make;
    if (args.Option("make"))
        make = args.Choice("make", {"hi-target", "chc"}) == "chc" ? ControllerMake::Chc
                                                                  : ControllerMake::HiTarget;
    if (const auto camera = args.Option("camera")) {
        const FieldList parts = SplitFields(*camera, ":");
        const auto focal = parts.Count() == 2 ? ParseNumber(parts.items[0]) : std::nullopt;
        const auto width = parts.Count() == 2 ? ParseNumber(parts.items[1]) : std::nullopt;
        if (!focal || !width || *focal <= 0 || *width <= 0)
            throw UsageError{"option --camera takes FOCAL_MM:SENSOR_WIDTH_MM, not '" + *camera +
                             "'"};
        options.camera = ExplicitCamera{*focal, *width};
    }
    const long long offset = args.Integer("heading-offset", 0);
    if (offset != 0 && offset != 90 && offset != 180 && offset != 270)
        throw UsageError{"option --heading-offset takes 0, 90, 180 or 270"};
    options.headingOffset = static_cast<int>(offset);

    const auto points = ReadControlPoints(pointsFile, make, Feedback::None());
    if (!points) return Fail(points.status().message());
    const auto report = FindCandidates(*points, folders, options, Feedback::None());
    if (!report) return Fail(report.status().message());

    for (const auto& photo : report->unplacedPhotos)
        std::cerr << "航片 " << PathText(photo) << " 既无POS记录也无EXIF GPS位置，未参与计算。\n";
    for (const auto& photo : report->unorientedPhotos)
        std::cerr << "航片 " << PathText(photo) << " 无法确定航向，未参与计算。\n";
    for (const auto& found : report->points) {
        if (found.sightings.empty())
            std::cerr << "控制点 " << found.point.name << " 不在任何航片上。\n";
        for (const auto& s : found.sightings) {
            std::cout << found.point.name << ',' << PathText(s.photo.filename()) << ','
                      << OneDecimal(s.x) << ',' << OneDecimal(s.y) << ',' << OneDecimal(s.distance)
                      << '\n';
        }
    }
    return kExitOk;
}

}  // namespace

std::vector<Command> CandidateCommands() {
    return {{"candidates",
             "POINTS FOLDER... [--pos POS] [--make hi-target|chc] [--camera F:W] "
             "[--heading-offset DEG]",
             Candidates}};
}

}  // namespace skyrell::cli
