#pragma once
// The angle calculator's numbers: an angle in radians, or in degrees, minutes
// and seconds, as decimal degrees for the rotation dialog.

#include <string>
#include <string_view>

namespace skyrell {

// The lenient reading of an input box: the longest leading part of the text
// that forms a decimal number ("." as decimal point, optional sign, optional
// exponent; blanks anywhere are skipped) is the value. A text without such a
// part, or one too large to hold, counts as 0. Never fails.
double LenientNumber(std::string_view text);

// |radians| x 180 / pi, with pi taken as 3.14159265358979.
double DegreesOfRadians(double radians);
// |degrees| + |minutes| / 60 + |seconds| / 3600.
double DegreesOfDms(double degrees, double minutes, double seconds);

}  // namespace skyrell
