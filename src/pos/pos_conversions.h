#pragma once
// The six conversions of a POS file: KML points and polyline (UTF-8 with a
// byte-order mark, no final line end), DXF points and polyline and the ID,B,L
// and ID,X,Y tables (GBK, CR LF after every line). Each streams its output
// into a temporary file beside the target and renames it over the target only
// when the whole input converted, so a failure leaves no file and memory stays
// constant whatever the size of the POS file. The windows and the
// command-line program call the same functions and so write the same bytes.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "pos/conversion_options.h"
#include "shell/feedback.h"
#include "shell/status.h"

namespace skyrell {

enum class PosConversion { KmlPoint, KmlPolyline, DxfPoint, DxfPolyline, TxtBl, TxtXy };

// Whether the conversion projects (and therefore needs the options set).
bool ProjectsCoordinates(PosConversion conversion);

enum class ConversionFailure {
    None,
    NoDataLines,    // the KML and DXF conversions refuse a POS file without data lines
    Unreadable,     // the POS file could not be opened or read
    BadCoordinate,  // a coordinate field that is not a number, or a point the projection
                    // cannot reach (the series overflows)
    BadOptions,     // options without a known coordinate system
    WriteFailed,    // the output could not be written; status().code() is the system error
};

struct ConversionResult {
    ConversionFailure failure = ConversionFailure::None;
    Status status;             // the message of the failure
    std::int64_t records = 0;  // data lines converted
    bool ok() const { return failure == ConversionFailure::None; }
};

// Converts the POS file into the output file. The projecting conversions use
// the options' coordinateSystem (its ellipsoid), zoneWidth and, for DXF
// points, textScale; the others ignore the options. The feedback hears the
// bytes read now and then; a cancel ends the conversion with nothing written.
ConversionResult ConvertPosFile(PosConversion conversion, const std::filesystem::path& pos,
                                const std::filesystem::path& output,
                                const ConversionOptions& options,
                                const Feedback& feedback = Feedback::None());

// The name a KML document gives itself: the output file's name without its
// last four characters, followed by ".kml".
std::string KmlDocumentName(const std::filesystem::path& output);

}  // namespace skyrell
