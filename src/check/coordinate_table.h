#pragma once
// What the data check reads of a sortie's coordinate results table
// "坐标成果/坐标成果.csv": GBK text, one header line and one line per control
// point, nine comma-separated fields (point name, northing, easting, elevation,
// latitude text, longitude text, ellipsoidal height, observation count, remark).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>

#include "shell/feedback.h"
#include "shell/status.h"
#include "shell/text.h"

namespace skyrell {

// The path of the table inside a sortie folder.
std::filesystem::path CoordinateTablePath(const std::filesystem::path& sortieFolder);

struct CoordinateTableScan {
    // Lines that split at "," into exactly nine fields; the header is one of them.
    std::int64_t nineFieldLines = 0;
    // The first field of every line, whatever its number of fields.
    std::unordered_set<std::string> firstFields;
};

// Reads the whole table once. A file that cannot be read fails with a message
// naming it.
Result<CoordinateTableScan> ScanCoordinateTable(const std::filesystem::path& table,
                                                const Feedback& feedback = Feedback::None());

// The fields of the first line whose first field equals `pointName` exactly
// (case-sensitive), or nothing when no line does. `items` holds at most the
// first kRowFields fields; Count() counts them all.
inline constexpr std::size_t kRowFields = 9;
Result<std::optional<FieldList>> FindCoordinateRow(const std::filesystem::path& table,
                                                   std::string_view pointName,
                                                   const Feedback& feedback = Feedback::None());

}  // namespace skyrell
