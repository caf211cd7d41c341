#pragma once
// Coordinate results: a GNSS controller's raw CSV export turned into the
// sortie's table "坐标成果.csv", one row per control point that has a
// pricked-point photo, with the mean of its observations and a remark when an
// observation strays more than 0.05 m from the point's first one.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/feedback.h"
#include "shell/status.h"
#include "shell/text.h"

namespace skyrell {

enum class ControllerMake { HiTarget, Chc };

// How one controller make's export is read. Field indices count from 0 in the
// fields of a line split at ",".
struct RawCsvLayout {
    std::string_view dialogTitle;  // title of the open dialog that asks for the export
    std::size_t fieldCount;        // fields of a data line: exactly, or at least when orMore
    bool orMore;
    std::size_t name, northing, easting, elevation, latitude, longitude, ellipsoidalHeight;
};

const RawCsvLayout& RawCsvLayoutOf(ControllerMake make);

// A decimal value exactly as written, in whole picometres (digits below a
// picometre dropped). The 0.05 m limits are tested on these, so that a
// difference of exactly 0.05 m as written always passes.
__extension__ typedef __int128 Picometres;

// One data line of the export.
struct RawObservation {
    std::string name;  // first five characters of the raw name, upper-cased
    double northing = 0, easting = 0, elevation = 0;
    std::string latitude, longitude;  // as the controller wrote them
    double ellipsoidalHeight = 0;
    std::int64_t line = 0;  // line number in the export, counted from 1
    // The coordinates as written, for the 0.05 m limit tests; empty when a
    // value does not fit, and then the tests use the floating-point values.
    std::optional<Picometres> writtenNorthing, writtenEasting, writtenElevation;
};

// One row of the results table.
struct CoordinateResultRow {
    std::string name;
    double northing = 0, easting = 0, elevation = 0;  // means
    std::string latitude, longitude;                  // of the first observation
    double ellipsoidalHeight = 0;                     // of the first observation
    std::int64_t count = 0;
    std::string remark;
};

inline constexpr std::string_view kCoordinateResultsHeader =
    "点名,北坐标,东坐标,高程,纬度,经度,大地高,观测次数,备注";
inline constexpr std::string_view kPlaneRemark = "平面坐标差值超限";
inline constexpr std::string_view kHeightRemark = "高程差值超限";

// Messages of a run.
inline constexpr std::string_view kNoRawFolderText = "原始数据目录不存在。";
inline constexpr std::string_view kNoResultFolderText = "坐标成果目录不存在。";
inline constexpr std::string_view kNoPrickedPhotosText = "刺点片目录中无刺点片，无法生成坐标成果。";
inline constexpr std::string_view kNoRawDataText = "文件格式错误或无数据。";
inline constexpr std::string_view kCoordinateResultsDoneText = "生成坐标成果数据完毕。";

// A data line: its field count fits the make and its very first character is
// "P" or "p" (a line starting with a blank is not one).
bool IsDataLine(std::string_view line, const FieldList& fields, const RawCsvLayout& layout);

// The observation of a data line; a coordinate or height field that is not a
// number fails with a message naming the line number, the column and the text.
Result<RawObservation> ReadRawObservation(const FieldList& fields, const RawCsvLayout& layout,
                                          std::int64_t lineNumber);

// Groups the observations by point name in the order of each point's first
// observation. Every observation is compared with the point's first one: a
// plane distance or a height difference above 0.05 m (as written) sets the
// remark; the remark is that of the last failing test, the plane test before
// the height test within one observation.
std::vector<CoordinateResultRow> GroupObservations(const std::vector<RawObservation>& observations);

// The rows that have a pricked-point photo among `photoNames`, in their order.
// A photo belongs to the point named by its file name up to the first ".",
// then up to the first "_", compared without regard to case.
std::vector<CoordinateResultRow> RowsWithPhotos(std::vector<CoordinateResultRow> rows,
                                                const std::vector<std::string>& photoNames);

// The whole table as UTF-8 text: header and rows, every line ended by CR LF.
std::string CoordinateResultsText(const std::vector<CoordinateResultRow>& rows);

struct CoordinateRunSummary {
    std::size_t observations = 0;
    std::size_t points = 0;
    std::size_t written = 0;
};

// Every data line of a controller export, in file order, read with the
// layout of its make; an export without any is refused (kNoRawDataText).
Result<std::vector<RawObservation>> ReadRawObservations(const std::filesystem::path& rawFile,
                                                        const RawCsvLayout& layout,
                                                        const Feedback& feedback);

// Reads the export, groups it, keeps the points with a pricked-point photo and
// replaces the results file atomically (GBK, CR LF). Nothing is written when
// the photo list is empty, the results file is the export itself, the export
// holds no data line, a number cannot be read, or the file cannot be read.
// A cancelled run writes nothing.
Result<CoordinateRunSummary> WriteCoordinateResults(const std::filesystem::path& rawFile,
                                                    const RawCsvLayout& layout,
                                                    const std::vector<std::string>& photoNames,
                                                    const std::filesystem::path& resultsFile,
                                                    const Feedback& feedback = Feedback::None());

}  // namespace skyrell
