#include "project/controller_angles.h"

#include <string>

#include "shell/text.h"

namespace skyrell {

namespace {

bool AllDigits(std::string_view text) {
    for (char c : text)
        if (!IsDigit(c)) return false;
    return true;
}

// The angle text without blanks around it and without a trailing hemisphere
// letter, and whether it began with a minus sign (then removed as well).
struct AngleBody {
    std::string_view text;
    bool negative = false;
};
AngleBody BodyOf(std::string_view text) {
    AngleBody body{TrimSpaces(text)};
    if (!body.text.empty() && IsLetter(body.text.back()))
        body.text = TrimSpaces(body.text.substr(0, body.text.size() - 1));
    if (!body.text.empty() && (body.text.front() == '-' || body.text.front() == '+')) {
        body.negative = body.text.front() == '-';
        body.text.remove_prefix(1);
    }
    return body;
}

// A non-negative number written in plain digits with at most one point.
std::optional<double> PlainNumber(std::string_view text) {
    text = TrimSpaces(text);
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
    const auto point = text.find('.');
    if (!AllDigits(text.substr(0, point))) return std::nullopt;
    if (point != std::string_view::npos && !AllDigits(text.substr(point + 1))) return std::nullopt;
    return ParseNumber(text);
}

std::optional<double> SexagesimalDegrees(std::string_view text) {
    const FieldList parts = SplitFields(text, ":");
    if (parts.Count() != 3) return std::nullopt;
    const auto degrees = PlainNumber(parts.items[0]);
    const auto minutes = PlainNumber(parts.items[1]);
    const auto seconds = PlainNumber(parts.items[2]);
    if (!degrees || !minutes || !seconds) return std::nullopt;
    return *degrees + *minutes / 60 + *seconds / 3600;
}

// "DDD.MMSSsss": the digits after the point are two digits of minutes, then
// the seconds with their decimals; missing digits count as trailing zeros.
std::optional<double> PackedDegrees(std::string_view text) {
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || !AllDigits(whole) || !AllDigits(fraction)) return std::nullopt;
    std::string digits(fraction);
    if (digits.size() < 4) digits.resize(4, '0');
    const std::string secondsText =
        digits.size() > 4 ? digits.substr(2, 2) + "." + digits.substr(4) : digits.substr(2, 2);
    const auto degrees = ParseNumber(whole);
    const auto minutes = ParseNumber(digits.substr(0, 2));
    const auto seconds = ParseNumber(secondsText);
    if (!degrees || !minutes || !seconds) return std::nullopt;
    return *degrees + *minutes / 60 + *seconds / 3600;
}

}  // namespace

AngleForm AngleFormOf(std::string_view latitudeText) {
    return SplitFields(latitudeText, ":").Count() == 3 ? AngleForm::Sexagesimal : AngleForm::Packed;
}

std::optional<double> AngleDegrees(std::string_view text, AngleForm form) {
    const AngleBody body = BodyOf(text);
    const auto value =
        form == AngleForm::Sexagesimal ? SexagesimalDegrees(body.text) : PackedDegrees(body.text);
    if (!value) return std::nullopt;
    // A sign belongs to the whole angle, not only to its degrees.
    return body.negative ? -*value : *value;
}

}  // namespace skyrell
