#include "shell/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace skyrell {

std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

FieldList SplitFields(std::string_view text, std::string_view separator, std::size_t keep) {
    FieldList result;
    const auto add = [&](std::string_view field) {
        if (result.items.size() < keep)
            result.items.emplace_back(field);
        else
            ++result.dropped;
    };
    const std::string_view sep = TrimSpaces(separator);
    std::string_view rest = TrimSpaces(text);
    if (sep.empty()) {
        // Blank mode: maximal runs of non-space characters.
        std::size_t pos = 0;
        while (true) {
            const auto end = rest.find(' ', pos);
            add(rest.substr(pos, end - pos));
            if (end == std::string_view::npos) break;
            pos = rest.find_first_not_of(' ', end);
        }
        return result;
    }
    // Separator mode: one separator is appended to the trimmed text; the
    // number of (non-overlapping) separators is the number of fields, and each
    // field is cut off in front of the next separator, the rest trimmed again.
    std::string work(rest);
    work += sep;
    std::size_t count = 0;
    for (auto at = work.find(sep); at != std::string::npos; at = work.find(sep, at + sep.size()))
        ++count;
    result.items.reserve(std::min(count, keep));
    std::string_view remaining = work;
    for (std::size_t i = 0; i < count; ++i) {
        const auto at = remaining.find(sep);
        if (at == std::string_view::npos) {
            add(remaining);
            remaining = {};
            continue;
        }
        add(remaining.substr(0, at));
        remaining = TrimSpaces(remaining.substr(at + sep.size()));
    }
    return result;
}

std::string FileTitleOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return std::string(name);
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

namespace {
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::size_t NextCharacter(std::string_view text, std::size_t at) {
    ++at;
    while (at < text.size() && IsContinuation(text[at])) ++at;
    return at;
}

std::size_t PreviousCharacter(std::string_view text, std::size_t at) {
    if (at == 0) return 0;
    --at;
    while (at > 0 && IsContinuation(text[at])) --at;
    return at;
}

std::string_view LeadingCharacters(std::string_view text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size() && seen < count; ++seen)
        end = NextCharacter(text, end);
    return text.substr(0, end);
}

Utf8Character DecodeUtf8(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    Utf8Character c;
    if (lead < 0x80) {
        c.code = lead;
        c.whole = c.valid = true;
        return c;
    }
    if ((lead & 0xE0) == 0xC0)
        c.length = 2;
    else if ((lead & 0xF0) == 0xE0)
        c.length = 3;
    else if ((lead & 0xF8) == 0xF0)
        c.length = 4;
    else
        return c;
    if (c.length > text.size() - at) return c;
    c.code = lead & (0x7F >> c.length);
    for (std::size_t i = 1; i < c.length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return c;
        c.code = (c.code << 6) | (next & 0x3F);
    }
    c.whole = true;
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    c.valid =
        c.code >= kSmallest[c.length] && c.code <= 0x10FFFF && (c.code < 0xD800 || c.code > 0xDFFF);
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::optional<std::int64_t> TrailingNumber(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    std::size_t begin = end;
    while (begin > 0 && IsDigit(text[begin - 1])) --begin;
    if (begin == end) return std::nullopt;
    bool negative = false;
    if (begin > 0 && (text[begin - 1] == '-' || text[begin - 1] == '+')) {
        negative = text[begin - 1] == '-';
    }
    std::uint64_t magnitude = 0;
    constexpr std::uint64_t kMaxPositive = std::numeric_limits<std::int64_t>::max();
    const std::uint64_t limit = negative ? kMaxPositive + 1 : kMaxPositive;
    for (std::size_t i = begin; i < end; ++i) {
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude > (limit - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (negative) {
        return magnitude == kMaxPositive + 1 ? std::numeric_limits<std::int64_t>::min()
                                             : -static_cast<std::int64_t>(magnitude);
    }
    return static_cast<std::int64_t>(magnitude);
}

namespace {

// The parts of a number field as written: sign, mantissa digits before and
// after the point, exponent digits. Empty unless the whole field (blanks
// around it allowed) has the shape [+|-]digits[.digits][(e|E)[+|-]digits]
// with at least one mantissa digit; "inf", "nan" and hexadecimal are not.
struct NumberShape {
    std::string_view body;  // the field without blanks and without a leading "+"
    bool negative = false;
    std::string_view whole, fraction;
    bool exponentNegative = false;
    std::string_view exponent;
};

std::optional<NumberShape> ShapeOf(std::string_view text) {
    NumberShape shape;
    std::string_view body = TrimSpaces(text);
    if (!body.empty() && body.front() == '+') {
        body.remove_prefix(1);
        if (!body.empty() && body.front() == '-') return std::nullopt;
    }
    shape.body = body;
    std::size_t i = 0;
    if (!body.empty() && body.front() == '-') shape.negative = true, ++i;
    auto digitsFrom = [&body](std::size_t& at) {
        const std::size_t start = at;
        while (at < body.size() && IsDigit(body[at])) ++at;
        return body.substr(start, at - start);
    };
    shape.whole = digitsFrom(i);
    if (i < body.size() && body[i] == '.') shape.fraction = digitsFrom(++i);
    if (shape.whole.empty() && shape.fraction.empty()) return std::nullopt;
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '+' || body[i] == '-'))
            shape.exponentNegative = body[i++] == '-';
        shape.exponent = digitsFrom(i);
        if (shape.exponent.empty()) return std::nullopt;
    }
    if (i != body.size()) return std::nullopt;
    return shape;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    // Check the shape first: std::from_chars alone would also take "inf",
    // "nan" and stop silently at the first character that does not fit.
    const auto shape = ShapeOf(text);
    if (!shape) return std::nullopt;
    double value = 0;
    const std::string_view body = shape->body;
    const auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec != std::errc() || ptr != body.data() + body.size()) return std::nullopt;
    return value;
}

std::optional<WrittenDecimal> ReadWrittenDecimal(std::string_view text) {
    if (!ParseNumber(text)) return std::nullopt;
    const auto shape = ShapeOf(text);
    constexpr std::int64_t kLargestExponent = 1'000'000;
    std::int64_t exponent = 0;
    for (char c : shape->exponent) {
        exponent = exponent * 10 + (c - '0');
        if (exponent > kLargestExponent) return std::nullopt;
    }
    WrittenDecimal decimal;
    decimal.negative = shape->negative;
    decimal.digits.reserve(shape->whole.size() + shape->fraction.size());
    decimal.digits += shape->whole;
    decimal.digits += shape->fraction;
    decimal.exponent = (shape->exponentNegative ? -exponent : exponent) -
                       static_cast<std::int64_t>(shape->fraction.size());
    return decimal;
}

std::string GeneralNumberText(double value) {
    if (value == 0 || value != value) return "0";
    // Fast path: the shortest text that reads back as the value is, when it
    // has at most 15 significant digits, also its rounding to 15 digits (the
    // value lies within half a unit of its last place of that text, far
    // closer than any other 15-digit decimal).
    if (std::abs(value) < 1e300) {
        char shortest[400];
        const auto [end, ec] =
            std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::fixed);
        if (ec == std::errc()) {
            int first = -1, last = -1, position = 0;
            for (const char* p = shortest; p < end; ++p) {
                if (!IsDigit(*p)) continue;
                if (*p != '0') {
                    if (first < 0) first = position;
                    last = position;
                }
                ++position;
            }
            if (first >= 0 && last - first < 15) return std::string(shortest, end);
        }
    }
    // Round to 15 significant digits, then lay the digits out without exponent.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    std::string_view scientific(buffer);
    const bool negative = scientific.front() == '-';
    if (negative) scientific.remove_prefix(1);
    const auto ePos = scientific.find('e');
    std::string digits;
    for (char c : scientific.substr(0, ePos))
        if (IsDigit(c)) digits += c;
    const int exponent = std::atoi(std::string(scientific.substr(ePos + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    const int intDigits = exponent + 1;  // digits before the point
    if (intDigits <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-intDigits), '0');
        out += digits;
    } else if (static_cast<std::size_t>(intDigits) >= digits.size()) {
        out += digits;
        out.append(static_cast<std::size_t>(intDigits) - digits.size(), '0');
    } else {
        out += digits.substr(0, static_cast<std::size_t>(intDigits));
        out += '.';
        out += digits.substr(static_cast<std::size_t>(intDigits));
    }
    return out;
}

std::string XmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<XmlTextProblem> FindNonXmlCharacter(std::string_view text) {
    auto problem = [](std::size_t at, const char* format, unsigned value) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, format, value);
        return XmlTextProblem{at, buffer};
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if (lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r')
                return problem(i, "U+%04X", lead);
            ++i;
            continue;
        }
        const Utf8Character c = DecodeUtf8(text, i);
        if (!c.valid) return problem(i, "0x%02X", lead);
        if (c.code == 0xFFFE || c.code == 0xFFFF)
            return problem(i, "U+%04X", static_cast<unsigned>(c.code));
        i += c.length;
    }
    return std::nullopt;
}

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

namespace {
char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Literal characters compare byte by byte (UTF-8 keeps a whole character
// matching a whole character); "?" and the retries of "*" step over whole
// characters, so "?" stands for one character, not one byte of it.
bool MatchOne(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '?') {
            n = NextCharacter(name, n);
            ++p;
        } else if (p < pattern.size() && pattern[p] != '*' && Fold(pattern[p]) == Fold(name[n])) {
            ++n, ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = starN = NextCharacter(name, starN);
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}
}  // namespace

bool MatchesPattern(std::string_view name, std::string_view patterns) {
    std::size_t start = 0;
    while (start <= patterns.size()) {
        auto end = patterns.find(';', start);
        if (end == std::string_view::npos) end = patterns.size();
        const auto one = TrimSpaces(patterns.substr(start, end - start));
        if (!one.empty() && MatchOne(name, one)) return true;
        start = end + 1;
    }
    return false;
}

}  // namespace skyrell
