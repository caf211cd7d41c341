#pragma once
// The options of the projecting POS conversions, held in memory for one run.

#include <string>
#include <vector>

#include "shell/status.h"

namespace skyrell {

// Which conversion the options dialog resumes after OK.
struct PendingConversionFlags {
    bool dxfPoint = false;
    bool dxfPolyline = false;
    bool txtXy = false;
};

struct ConversionOptions {
    std::string coordinateSystem;  // "1954", "1980", "2000", "1984"; empty = options not set
    std::string zoneWidth;         // "3" or "6"
    double textScale = 0;          // map scale denominator, e.g. 500
    double semiMajorAxis = 0;      // filled from coordinateSystem before each conversion
    double semiMinorAxis = 0;
    PendingConversionFlags pendingConversion;

    bool IsSet() const { return !coordinateSystem.empty(); }
};

// Copies the axes of coordinateSystem's ellipsoid into the options; fails for
// a code that names no ellipsoid.
Status ApplyEllipsoid(ConversionOptions& options);

// The entries of the options dialog's lists, in order, and the codes they
// stand for.
struct OptionChoice {
    std::string text;
    std::string code;
};
const std::vector<OptionChoice>& CoordinateSystemChoices();
const std::vector<OptionChoice>& ZoneWidthChoices();
const std::vector<std::string>& TextScaleChoices();

}  // namespace skyrell
