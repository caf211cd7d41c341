// Commands of the sortie folder and its files.

#include <iostream>

#include "app/cli_common.h"
#include "project/coordinate_results.h"
#include "project/sortie_folders.h"
#include "project/sortie_layout.h"
#include "shell/files.h"

namespace skyrell::cli {

namespace {

// coordinate-results --make hi-target|chc RAW SORTIE: writes
// SORTIE/坐标成果/坐标成果.csv from RAW and the photos of SORTIE/刺点片, with
// the checks and messages of the data-processing window.
int CoordinateResults(const Args& args) {
    args.Expect(2, {"make"});
    const std::string make = args.Choice("make", {"hi-target", "chc"});
    const std::filesystem::path raw = PathOf(args.Positional(0, "RAW"));
    const FlightFolder flight = FlightFolderAt(PathOf(args.Positional(1, "SORTIE")));

    if (!FolderExists(flight.CoordinateResults())) return Fail(std::string(kNoResultFolderText));
    const auto photos = ListFiles(flight.PrickedPhotos(), kPointPhotoPattern);
    const auto written = WriteCoordinateResults(
        raw, RawCsvLayoutOf(make == "chc" ? ControllerMake::Chc : ControllerMake::HiTarget), photos,
        flight.CoordinateResults() / PathOf(kCoordinateResultFile));
    if (!written) return Fail(written.status().message());
    std::cout << kCoordinateResultsDoneText << '\n';
    return kExitOk;
}

}  // namespace

std::vector<Command> ProjectCommands() {
    return {{"coordinate-results", "--make hi-target|chc RAW SORTIE", CoordinateResults}};
}

}  // namespace skyrell::cli
