#include "check/coordinate_table.h"

#include "project/sortie_layout.h"
#include "shell/files.h"
#include "shell/line_reader.h"

namespace skyrell {

namespace fs = std::filesystem;

fs::path CoordinateTablePath(const fs::path& sortieFolder) {
    return sortieFolder / PathOf(kCoordinateResultFolder) / PathOf(kCoordinateResultFile);
}

Result<CoordinateTableScan> ScanCoordinateTable(const fs::path& table, const Feedback& feedback) {
    LineReader reader;
    if (Status opened = reader.Open(table); !opened) return opened;
    CoordinateTableScan scan;
    std::string line;
    while (true) {
        if (feedback.Cancelled()) return Status::Fail(std::string(kCancelledText));
        if (!reader.Next(line)) break;
        feedback.Report(reader.Position(), reader.Size());
        FieldList fields = SplitFields(line, ",", 1);
        if (fields.Count() == 9) ++scan.nineFieldLines;
        scan.firstFields.insert(std::move(fields.items.front()));
    }
    if (!reader.status()) return reader.status();
    return scan;
}

Result<std::optional<FieldList>> FindCoordinateRow(const fs::path& table,
                                                   std::string_view pointName,
                                                   const Feedback& feedback) {
    LineReader reader;
    if (Status opened = reader.Open(table); !opened) return opened;
    std::string line;
    while (true) {
        if (feedback.Cancelled()) return Status::Fail(std::string(kCancelledText));
        if (!reader.Next(line)) break;
        feedback.Report(reader.Position(), reader.Size());
        FieldList fields = SplitFields(line, ",", kRowFields);
        if (fields.items.front() == pointName) return std::optional<FieldList>(std::move(fields));
    }
    if (!reader.status()) return reader.status();
    return std::optional<FieldList>();
}

}  // namespace skyrell
