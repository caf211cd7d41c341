#pragma once
// Latitude and longitude as a GNSS controller writes them in its exports, in
// one of two forms:
//   sexagesimal  "30:15:20.1234N"  degrees:minutes:seconds
//   packed       "30.15201234N"    degrees, "." two digits of minutes, then
//                                  the seconds with their decimals
// A trailing hemisphere letter is dropped and does not change the sign.

#include <optional>
#include <string_view>

namespace skyrell {

// The form both angles are read in.
enum class AngleForm { Sexagesimal, Packed };
AngleForm AngleFormOf(std::string_view latitudeText);

// One angle text in the given form, in decimal degrees; nothing when the text
// is not such an angle. The packed form is taken apart from the digits of the
// text, so "30.15N" is exactly 30°15'.
std::optional<double> AngleDegrees(std::string_view text, AngleForm form);

}  // namespace skyrell
