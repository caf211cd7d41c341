#include "project/coordinate_results.h"

#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "project/control_points.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/line_reader.h"
#include "shell/text_encoding.h"

namespace skyrell {

namespace {

constexpr RawCsvLayout kHiTarget{
    "选择原始数据目录EXCEL_CSV(中海达)文件", 22, false, 0, 1, 2, 3, 4, 5, 6};
constexpr RawCsvLayout kChc{
    "选择原始数据目录EXCEL_CSV(华测)文件", 23, true, 0, 2, 3, 4, 14, 15, 16};

// The limit of both tests: 0.05 m, in picometres and in metres.
constexpr Picometres kLimit = 50'000'000'000;
constexpr double kLimitMetres = 0.05;
// Only when a value does not fit in picometres are the tests made on the
// floating-point values; this margin keeps exactly 0.05 m passing there too.
constexpr double kFloatMargin = 1e-9;
// No value beyond this many picometres (10^24 m) is kept exactly.
constexpr Picometres kLargest = static_cast<Picometres>(1'000'000'000'000'000'000) *
                                static_cast<Picometres>(1'000'000'000'000'000'000);

Picometres Abs(Picometres value) { return value < 0 ? -value : value; }

bool PlaneExceeds(const RawObservation& first, const RawObservation& other) {
    if (first.writtenNorthing && first.writtenEasting && other.writtenNorthing &&
        other.writtenEasting) {
        const Picometres dn = Abs(*first.writtenNorthing - *other.writtenNorthing);
        const Picometres de = Abs(*first.writtenEasting - *other.writtenEasting);
        if (dn > kLimit || de > kLimit) return true;
        return dn * dn + de * de > kLimit * kLimit;
    }
    const double dn = first.northing - other.northing;
    const double de = first.easting - other.easting;
    return std::sqrt(de * de + dn * dn) > kLimitMetres + kFloatMargin;
}

bool HeightExceeds(const RawObservation& first, const RawObservation& other) {
    if (first.writtenElevation && other.writtenElevation)
        return Abs(*first.writtenElevation - *other.writtenElevation) > kLimit;
    return std::fabs(first.elevation - other.elevation) > kLimitMetres + kFloatMargin;
}

std::string NotANumberText(std::int64_t lineNumber, std::string_view column,
                           std::string_view text) {
    return "原始数据第" + std::to_string(lineNumber) + "行的" + std::string(column) + "“" +
           std::string(text) + "”不是数字。";
}

// The decimal value of a number field exactly as written, in picometres;
// empty when it does not fit.
std::optional<Picometres> WrittenPicometres(std::string_view text) {
    const auto decimal = ReadWrittenDecimal(text);
    if (!decimal) return std::nullopt;
    std::string digits = decimal->digits;
    std::int64_t power = decimal->exponent;
    power += 12;  // metres to picometres
    // Digits below a picometre are dropped; what remains must fit.
    if (power < 0) {
        const std::size_t drop = static_cast<std::size_t>(-power);
        digits = drop >= digits.size() ? std::string() : digits.substr(0, digits.size() - drop);
        power = 0;
    }
    Picometres value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > kLargest) return std::nullopt;
    }
    for (; power > 0; --power) {
        if (value == 0) break;
        value *= 10;
        if (value > kLargest) return std::nullopt;
    }
    return decimal->negative ? -value : value;
}

// The sum of one coordinate over a point's observations. The plain sum gives
// the mean; values so large that it overflows are summed once more scaled down
// by 2^64 (exact for a power of two), so their mean stays finite.
class CoordinateSum {
  public:
    explicit CoordinateSum(double first) : plain_(first), scaled_(first * kDown) {}
    void Add(double value) {
        plain_ += value;
        scaled_ += value * kDown;
    }
    double Mean(std::int64_t count) const {
        const double n = static_cast<double>(count);
        const double mean = plain_ / n;
        return std::isfinite(mean) ? mean : scaled_ / n * kUp;
    }

  private:
    static constexpr double kDown = 0x1p-64, kUp = 0x1p64;
    double plain_, scaled_;
};

}  // namespace

const RawCsvLayout& RawCsvLayoutOf(ControllerMake make) {
    return make == ControllerMake::HiTarget ? kHiTarget : kChc;
}

bool IsDataLine(std::string_view line, const FieldList& fields, const RawCsvLayout& layout) {
    const bool countFits =
        layout.orMore ? fields.Count() >= layout.fieldCount : fields.Count() == layout.fieldCount;
    return countFits && !line.empty() && (line.front() == 'P' || line.front() == 'p');
}

Result<RawObservation> ReadRawObservation(const FieldList& fields, const RawCsvLayout& layout,
                                          std::int64_t lineNumber) {
    RawObservation obs;
    obs.line = lineNumber;
    obs.name = AsciiUpper(LeadingCharacters(fields.items[layout.name], 5));
    struct Numeric {
        std::size_t index;
        std::string_view column;
        double* value;
        std::optional<Picometres>* written;
    };
    const Numeric numbers[] = {
        {layout.northing, "北坐标", &obs.northing, &obs.writtenNorthing},
        {layout.easting, "东坐标", &obs.easting, &obs.writtenEasting},
        {layout.elevation, "高程", &obs.elevation, &obs.writtenElevation},
        {layout.ellipsoidalHeight, "大地高", &obs.ellipsoidalHeight, nullptr},
    };
    for (const auto& number : numbers) {
        const std::string& text = fields.items[number.index];
        const auto value = ParseNumber(text);
        if (!value) return Status::Fail(NotANumberText(lineNumber, number.column, text));
        *number.value = *value;
        if (number.written) *number.written = WrittenPicometres(text);
    }
    obs.latitude = fields.items[layout.latitude];
    obs.longitude = fields.items[layout.longitude];
    return obs;
}

std::vector<CoordinateResultRow> GroupObservations(
    const std::vector<RawObservation>& observations) {
    struct Group {
        const RawObservation* first;
        CoordinateSum northing, easting, elevation;
        std::int64_t count;
        std::string_view remark;
    };
    std::vector<Group> groups;
    std::unordered_map<std::string_view, std::size_t> byName;
    for (const RawObservation& obs : observations) {
        const auto [found, added] = byName.try_emplace(obs.name, groups.size());
        if (added) {
            groups.push_back({&obs,
                              CoordinateSum(obs.northing),
                              CoordinateSum(obs.easting),
                              CoordinateSum(obs.elevation),
                              1,
                              {}});
            continue;
        }
        Group& group = groups[found->second];
        ++group.count;
        if (PlaneExceeds(*group.first, obs)) group.remark = kPlaneRemark;
        if (HeightExceeds(*group.first, obs)) group.remark = kHeightRemark;
        group.northing.Add(obs.northing);
        group.easting.Add(obs.easting);
        group.elevation.Add(obs.elevation);
    }
    std::vector<CoordinateResultRow> rows;
    rows.reserve(groups.size());
    for (const Group& group : groups) {
        rows.push_back({group.first->name, group.northing.Mean(group.count),
                        group.easting.Mean(group.count), group.elevation.Mean(group.count),
                        group.first->latitude, group.first->longitude,
                        group.first->ellipsoidalHeight, group.count, std::string(group.remark)});
    }
    return rows;
}

std::vector<CoordinateResultRow> RowsWithPhotos(std::vector<CoordinateResultRow> rows,
                                                const std::vector<std::string>& photoNames) {
    std::unordered_set<std::string> pricked;
    for (const auto& photo : photoNames) pricked.insert(AsciiUpper(PrickedPhotoPointName(photo)));
    std::erase_if(rows, [&](const CoordinateResultRow& row) { return !pricked.count(row.name); });
    return rows;
}

std::string CoordinateResultsText(const std::vector<CoordinateResultRow>& rows) {
    std::string text(kCoordinateResultsHeader);
    text += "\r\n";
    for (const auto& row : rows) {
        text += row.name + ',' + GeneralNumberText(row.northing) + ',' +
                GeneralNumberText(row.easting) + ',' + GeneralNumberText(row.elevation) + ',' +
                row.latitude + ',' + row.longitude + ',' +
                GeneralNumberText(row.ellipsoidalHeight) + ',' + std::to_string(row.count) + ',' +
                row.remark + "\r\n";
    }
    return text;
}

Result<std::vector<RawObservation>> ReadRawObservations(const std::filesystem::path& rawFile,
                                                        const RawCsvLayout& layout,
                                                        const Feedback& feedback) {
    LineReader reader;
    if (auto opened = reader.Open(rawFile); !opened) return opened;
    std::vector<RawObservation> observations;
    std::string line;
    while (reader.Next(line)) {
        if (feedback.Cancelled()) return Status::Fail(std::string(kCancelledText));
        feedback.Report(reader.Position(), reader.Size());
        const FieldList fields = SplitFields(line, ",", layout.fieldCount);
        if (!IsDataLine(line, fields, layout)) continue;
        auto obs = ReadRawObservation(fields, layout, reader.LineNumber());
        if (!obs) return obs.status();
        observations.push_back(std::move(*obs));
    }
    if (!reader.status()) return reader.status();
    if (observations.empty()) return Status::Fail(std::string(kNoRawDataText));
    return observations;
}

Result<CoordinateRunSummary> WriteCoordinateResults(const std::filesystem::path& rawFile,
                                                    const RawCsvLayout& layout,
                                                    const std::vector<std::string>& photoNames,
                                                    const std::filesystem::path& resultsFile,
                                                    const Feedback& feedback) {
    if (photoNames.empty()) return Status::Fail(std::string(kNoPrickedPhotosText));
    if (Status distinct = CheckOutputIsNotInput(resultsFile, {rawFile}); !distinct) return distinct;

    auto read = ReadRawObservations(rawFile, layout, feedback);
    if (!read) return read.status();
    const std::vector<RawObservation>& observations = *read;

    CoordinateRunSummary summary;
    summary.observations = observations.size();
    auto rows = GroupObservations(observations);
    summary.points = rows.size();
    rows = RowsWithPhotos(std::move(rows), photoNames);
    summary.written = rows.size();

    const std::string text = CoordinateResultsText(rows);
    auto gbk = Utf8ToGbk(text);
    if (!gbk) return Status::Fail(WriteFailureText(resultsFile, gbk.status()));
    if (auto written = WriteBytesAtomically(resultsFile, *gbk); !written)
        return Status::Fail(WriteFailureText(resultsFile, written), written.code());
    return summary;
}

}  // namespace skyrell
