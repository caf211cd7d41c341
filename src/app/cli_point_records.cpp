// point-records: the batch point records of the data-processing window.

#include <iostream>

#include "app/cli_common.h"
#include "documents/rtf_document.h"
#include "project/point_records.h"
#include "project/sortie_folders.h"
#include "shell/files.h"
#include "shell/ports.h"

namespace skyrell::cli {

namespace {

constexpr int kExitLogHasLines = 3;

// The three comma-separated values of an option, in the order pricking
// operator, surveyor, checker.
std::array<std::string, 3> Three(const Args& args, const std::string& name) {
    const std::string value = args.RequiredOption(name);
    std::array<std::string, 3> parts;
    std::size_t from = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t comma = value.find(',', from);
        if ((comma == std::string::npos) != (i == parts.size() - 1))
            throw UsageError{"option --" + name + " takes three values separated by commas"};
        parts[i] =
            value.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        from = comma + 1;
    }
    return parts;
}

// point-records SORTIE --sortie N --people A,B,C --dates D1,D2,D3 [--template FILE]:
// one document per pricked-point photo in SORTIE/点之记 and the error log in
// SORTIE/过程数据. Exit 0 when the log is empty, 3 when it holds lines.
int PointRecords(const Args& args) {
    args.Expect(1, {"sortie", "people", "dates", "template"});
    const FlightFolder flight = FlightFolderAt(PathOf(args.Positional(0, "SORTIE")));
    PointRecordForm form;
    form.prickedPhotos = WithTrailingSeparator(PathText(flight.PrickedPhotos()));
    form.processData = WithTrailingSeparator(PathText(flight.ProcessData()));
    form.pointRecords = WithTrailingSeparator(PathText(flight.PointRecords()));
    form.sortie = args.RequiredOption("sortie");
    form.people = Three(args, "people");
    form.dates = Three(args, "dates");
    const auto templateOption = args.Option("template");
    const std::filesystem::path templateFile =
        templateOption ? PathOf(*templateOption)
                       : InstalledAppFolder(ExecutableFolder()).ProgramFolder() /
                             PathOf(kPointRecordTemplateFile);

    const PointRecordCheck check = CheckPointRecords(form);
    if (check.end != RecordCheckEnd::Go) return Fail(check.message);
    RtfDocumentEngine engine;
    const auto run = MakePointRecords(form, check, templateFile, engine);
    if (!run) return Fail(run.status().message());
    std::cout << PointRecordDoneText(*run) << '\n';
    if (run->log.empty()) return kExitOk;
    std::cout << PathText(run->logFile) << '\n';
    return kExitLogHasLines;
}

}  // namespace

std::vector<Command> PointRecordCommands() {
    return {{"point-records", "SORTIE --sortie N --people A,B,C --dates D1,D2,D3 [--template FILE]",
             PointRecords}};
}

}  // namespace skyrell::cli
