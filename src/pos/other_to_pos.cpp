#include "pos/other_to_pos.h"

#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/text.h"

namespace skyrell {

namespace {

constexpr std::string_view kTail = "    0.0     0.0         0.0           0.0";
constexpr std::size_t kDecimals = 7;

// Adds one unit in the last place of a string of decimal digits.
void IncrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

}  // namespace

std::optional<std::string> FixedSevenDecimals(std::string_view text) {
    const auto decimal = ReadWrittenDecimal(text);
    // Exponents far beyond any coordinate would only make huge texts.
    constexpr std::int64_t kLargestShift = 400;
    if (!decimal || decimal->exponent > kLargestShift ||
        decimal->exponent < -kLargestShift - static_cast<std::int64_t>(decimal->digits.size()))
        return std::nullopt;
    const bool negative = decimal->negative;
    const std::string& digits = decimal->digits;
    // How many of the digits stand before the point.
    const long long pointAt = static_cast<long long>(digits.size()) + decimal->exponent;
    const auto length = static_cast<long long>(digits.size());
    std::string integer =
        pointAt > 0 ? digits.substr(0, static_cast<std::size_t>(std::min(pointAt, length)))
                    : std::string();
    if (pointAt > length) integer.append(static_cast<std::size_t>(pointAt - length), '0');
    std::string fraction =
        pointAt >= 0 ? (pointAt < length ? digits.substr(static_cast<std::size_t>(pointAt)) : "")
                     : std::string(static_cast<std::size_t>(-pointAt), '0') + digits;
    const bool roundUp = fraction.size() > kDecimals && fraction[kDecimals] >= '5';
    fraction.resize(kDecimals, '0');

    std::string all = integer + fraction;
    if (roundUp) IncrementDigits(all);
    std::string whole = all.substr(0, all.size() - kDecimals);
    const auto firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
    const std::string decimals = all.substr(all.size() - kDecimals);
    const bool zero = whole == "0" && decimals.find_first_not_of('0') == std::string::npos;
    return (negative && !zero ? "-" : "") + whole + "." + decimals;
}

std::string PosLineOf(std::int64_t recordNumber, std::string_view longitude,
                      std::string_view latitude) {
    std::string number = std::to_string(recordNumber);
    if (number.size() < 13) number.append(13 - number.size(), ' ');
    auto formatted = [](std::string_view entry) {
        auto fixed = FixedSevenDecimals(entry);
        return fixed ? *fixed : std::string(entry);
    };
    std::string line = " ";
    line += number;
    line += "星期3 17:40:32   ";
    line += formatted(longitude);
    line += "    ";
    line += formatted(latitude);
    line += kTail;
    return line;
}

std::size_t ColumnCountOf(const std::vector<std::string>& lines, std::string_view separator) {
    return SplitFields(lines.empty() ? std::string_view() : std::string_view(lines.front()),
                       separator, 0)
        .Count();
}

std::vector<std::string> ColumnOf(const std::vector<std::string>& lines, std::string_view separator,
                                  std::size_t column) {
    std::vector<std::string> entries;
    entries.reserve(lines.size());
    for (const auto& line : lines) {
        FieldList fields = SplitFields(TrimSpaces(line), separator, column + 1);
        entries.push_back(column < fields.Count() ? std::move(fields.items[column])
                                                  : std::string());
    }
    return entries;
}

Status WriteOtherDataPos(const std::filesystem::path& target,
                         const std::vector<std::string>& latitudes,
                         const std::vector<std::string>& longitudes) {
    if (latitudes.empty() || longitudes.empty())
        return Status::Fail(std::string(kOtherToPosIncomplete));
    TextFileWriter writer;
    Status status = writer.Open(target);
    for (std::size_t i = 0; status && i < latitudes.size(); ++i) {
        // Both branches are views: a "" branch would make the conditional a
        // temporary std::string that dies before the view is read.
        const std::string_view longitude =
            i < longitudes.size() ? std::string_view(longitudes[i]) : std::string_view();
        status =
            writer.WriteLine(PosLineOf(static_cast<std::int64_t>(i) + 1, longitude, latitudes[i]));
    }
    if (status) status = writer.Commit();
    if (!status) return Status::Fail(WriteFailureText(target, status), status.code());
    return status;
}

}  // namespace skyrell
