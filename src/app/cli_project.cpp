// Commands of the sortie folder and its files.

#include <charconv>
#include <iostream>

#include "app/cli_common.h"
#include "project/coordinate_results.h"
#include "project/point_descriptions.h"
#include "project/sortie_folders.h"
#include "project/sortie_layout.h"
#include "shell/files.h"
#include "shell/ports.h"
#include "shell/text.h"

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

// The day of --date: year-month-day, leading zeros allowed ("2013-1-5",
// "2013-01-05"); a text that is no calendar day is a usage error.
LocalDateTime DateOption(const std::string& text) {
    int parts[3] = {0, 0, 0};
    std::size_t at = 0;
    bool valid = true;
    for (std::size_t i = 0; i < 3 && valid; ++i) {
        if (i > 0) valid = at < text.size() && text[at++] == '-';
        if (!valid) break;
        const char* const from = text.data() + at;
        const auto [next, ec] = std::from_chars(from, text.data() + text.size(), parts[i]);
        valid = ec == std::errc();
        at += static_cast<std::size_t>(next - from);
    }
    constexpr int kDaysInMonth[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const auto [year, month, day] = parts;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    valid = valid && at == text.size() && year >= 1 && year <= 9999 && month >= 1 && month <= 12 &&
            day >= 1 && day <= kDaysInMonth[month - 1] && (month != 2 || day < 29 || leap);
    if (!valid) throw UsageError{"option --date takes a date YYYY-M-D, not '" + text + "'"};
    LocalDateTime date;
    date.year = year;
    date.month = month;
    date.day = day;
    return date;
}

// sortie ROOT --sortie N --operator NAME [--date YYYY-M-D]: creates
// ROOT/date/operator/第N架次 and its six sub-folders (the date of today when
// none is given), with the names trimmed and refused as the data-processing
// window refuses them, and prints the sortie folder.
int CreateSortie(const Args& args) {
    args.Expect(1, {"sortie", "operator", "date"});
    const auto root = PathOf(args.Positional(0, "ROOT"));
    const std::string number(TrimSpaces(args.RequiredOption("sortie")));
    const std::string operatorName(TrimSpaces(args.RequiredOption("operator")));
    const auto dateText = args.Option("date");
    const LocalDateTime date = dateText ? DateOption(*dateText) : SystemClock().Now();
    if (number.empty()) return Fail("未输入架次号。");
    if (operatorName.empty()) return Fail("未输入刺点员。");
    const auto flight = CreateSortieFolders(root, date, operatorName, number);
    if (!flight) return Fail(flight.status().message());
    std::cout << PathText(flight->sortie) << '\n';
    return kExitOk;
}

// describe SORTIE POINT D1 D2 D3 D4: stores the four descriptions of a point
// in SORTIE/过程数据/点位描述.txt, with the description editor's refusals.
int Describe(const Args& args) {
    args.Expect(6, {});
    const FlightFolder flight = FlightFolderAt(PathOf(args.Positional(0, "SORTIE")));
    const PointDescription record{args.Positional(1, "POINT"), args.Positional(2, "D1"),
                                  args.Positional(3, "D2"), args.Positional(4, "D3"),
                                  args.Positional(5, "D4")};
    if (!FolderExists(flight.PrickedPhotos())) return Fail(std::string(kNoPrickedPhotoFolderText));
    if (!FolderExists(flight.ProcessData())) return Fail(std::string(kNoProcessDataFolderText));
    if (const auto problem = CheckNewPointDescription(record)) return Fail(problem->message);
    const Status saved =
        SavePointDescription(flight.ProcessData() / PathOf(kPointDescriptionFile), record);
    if (!saved) return Fail(saved.message());
    return kExitOk;
}

}  // namespace

std::vector<Command> ProjectCommands() {
    return {{"sortie", "ROOT --sortie N --operator NAME [--date YYYY-M-D]", CreateSortie},
            {"describe", "SORTIE POINT D1 D2 D3 D4", Describe},
            {"coordinate-results", "--make hi-target|chc RAW SORTIE", CoordinateResults}};
}

}  // namespace skyrell::cli
