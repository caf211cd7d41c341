#include "geodesy/angle_calculator.h"

#include <charconv>
#include <cmath>

#include "shell/text.h"

namespace skyrell {

namespace {
// The 15-digit value of pi used wherever degrees and radians are converted.
constexpr double kPi = 3.14159265358979;
}  // namespace

double LenientNumber(std::string_view text) {
    std::string compact;
    for (char c : text)
        if (c != ' ' && c != '\t') compact += c;
    // Longest leading number: sign, digits with at most one point, then an
    // exponent only when at least one of its digits follows.
    std::size_t end = 0, i = 0, digits = 0;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) ++i;
    while (i < compact.size() && IsDigit(compact[i])) ++i, ++digits;
    if (i < compact.size() && compact[i] == '.') {
        ++i;
        while (i < compact.size() && IsDigit(compact[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    end = i;
    if (i < compact.size() && (compact[i] == 'e' || compact[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) ++j;
        const std::size_t first = j;
        while (j < compact.size() && IsDigit(compact[j])) ++j;
        if (j > first) end = j;
    }
    std::size_t begin = compact[0] == '+' ? 1 : 0;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(compact.data() + begin, compact.data() + end, value);
    if (ec != std::errc() || !std::isfinite(value)) return 0;
    (void)ptr;
    return value;
}

double DegreesOfRadians(double radians) { return std::fabs(radians) * 180 / kPi; }

double DegreesOfDms(double degrees, double minutes, double seconds) {
    return std::fabs(degrees) + std::fabs(minutes) / 60 + std::fabs(seconds) / 3600;
}

}  // namespace skyrell
