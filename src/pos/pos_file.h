#pragma once
// The POS file of a UAV flight: one text line per photo. A line is a data line
// exactly when SplitFields in blank mode gives it 9 fields (photo identifier,
// two texts the converters do not read, longitude, latitude, height, three
// attitude angles); every other line (titles, blanks, 8 or 10 fields, lines
// joined by tabs) is skipped without a message.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/feedback.h"
#include "shell/line_reader.h"
#include "shell/status.h"

namespace skyrell {

// One data line of a POS file.
struct PosRecord {
    static constexpr std::size_t kFieldCount = 9;
    static constexpr std::size_t kPhotoIdField = 0;
    static constexpr std::size_t kLongitudeField = 3;
    static constexpr std::size_t kLatitudeField = 4;
    static constexpr std::size_t kHeightField = 5;

    std::vector<std::string> fields;  // the 9 fields as split, unchanged
    std::int64_t lineNumber = 0;      // line of the file, counted from 1

    const std::string& PhotoId() const { return fields[kPhotoIdField]; }
    const std::string& Longitude() const { return fields[kLongitudeField]; }
    const std::string& Latitude() const { return fields[kLatitudeField]; }
    const std::string& Height() const { return fields[kHeightField]; }
};

// Reads the data lines of a POS file one by one, in constant memory.
class PosReader {
  public:
    // Opens the file; a failure names it.
    Status Open(const std::filesystem::path& path);
    // Told the bytes read of the file's size once every kReportLines lines
    // (data or not); its cancel ends the reading as a failure.
    static constexpr std::int64_t kReportLines = 1024;
    void SetFeedback(const Feedback& feedback) { feedback_ = &feedback; }
    // The next data line; false at the end of the file or after a read
    // failure (see status()).
    bool Next(PosRecord& record);
    const Status& status() const { return cancelled_.ok() ? lines_.status() : cancelled_; }
    const std::filesystem::path& path() const { return path_; }
    // Bytes read so far and the size of the file, for progress.
    std::uint64_t Position() const { return lines_.Position(); }
    std::uint64_t Size() const { return lines_.Size(); }
    // Lines read so far, data or not.
    std::int64_t LinesRead() const { return lines_.LineNumber(); }

  private:
    LineReader lines_;
    std::filesystem::path path_;
    std::string bytes_;
    std::string lastBytes_[PosRecord::kFieldCount];
    std::string lastText_[PosRecord::kFieldCount];
    const Feedback* feedback_ = &Feedback::None();
    Status cancelled_;
};

// Every data line of a POS file, for files known to be small.
Result<std::vector<PosRecord>> ReadPosFile(const std::filesystem::path& path);

// The message for a POS file without any data line.
std::string PosFormatErrorText(const std::filesystem::path& path);

// Ok when the file holds at least one data line; otherwise the format message
// (code 0) or the message that the file cannot be read (the system error code).
Status PosFormatCheck(const std::filesystem::path& path);

// The coordinate fields the converters read as numbers.
enum class PosNumberField { Longitude, Latitude, Height };

// A field of the record read as a number. A field that is not wholly a number
// fails with a message naming the file, the line number and the text.
Result<double> PosNumber(const PosRecord& record, PosNumberField field,
                         const std::filesystem::path& path);

}  // namespace skyrell
