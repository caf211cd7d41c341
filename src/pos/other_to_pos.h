#pragma once
// Other data to POS: turns a delimited text file with a latitude and a
// longitude column into a POS file that the POS conversions read.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/status.h"

namespace skyrell {

// The caption of this tool's message boxes and its messages.
inline constexpr std::string_view kOtherToPosCaption = "其他数据->POS";
inline constexpr std::string_view kOtherToPosIncomplete = "纬度或经度数据不完整，无法转换POS数据。";
inline constexpr std::string_view kOtherToPosFinished =
    "其他数据转换完毕，是否打开转换后的POS文件？";

// A number in the form "0.0000000": at least one integer digit, exactly seven
// decimals, rounded half away from zero on the decimal text as written (so
// "30.12345675" gives "30.1234568"), "-" for negatives. Empty when the text
// is not a number.
std::optional<std::string> FixedSevenDecimals(std::string_view text);

// One POS line without its line end: a space, the record number left-aligned
// in 13 characters, "星期3", a space, "17:40:32", three spaces, the longitude,
// four spaces, the latitude and the fixed 41-character tail. An entry that is
// not a number is written unchanged; an empty one writes nothing.
std::string PosLineOf(std::int64_t recordNumber, std::string_view longitude,
                      std::string_view latitude);

// The separator text of the two choices of the tool.
inline constexpr std::string_view kCommaSeparator = ",";
inline constexpr std::string_view kSpaceSeparator = " ";

// The number of columns the tool offers: the fields of the first line.
std::size_t ColumnCountOf(const std::vector<std::string>& lines, std::string_view separator);

// Field `column` (counted from 0) of every line, each line trimmed first.
// Every line gives exactly one entry, an empty one where the line lacks the
// column, so the latitude and longitude lists never slip out of step.
std::vector<std::string> ColumnOf(const std::vector<std::string>& lines, std::string_view separator,
                                  std::size_t column);

// Writes the POS file atomically: one line per latitude entry, the longitude
// of the same index beside it (nothing where the longitude list is shorter).
// Fails with kOtherToPosIncomplete when either list is empty, with a message
// naming the file when it cannot be written.
Status WriteOtherDataPos(const std::filesystem::path& target,
                         const std::vector<std::string>& latitudes,
                         const std::vector<std::string>& longitudes);

}  // namespace skyrell
