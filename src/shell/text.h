#pragma once
// Field splitting, file-name and number helpers shared by every reader and writer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyrell {

// The fields of one text line, in text order. There is always at least one.
// A reader that uses only the first fields keeps only those (SplitFields'
// `keep`): a line of ten million commas then costs no ten million strings.
struct FieldList {
    std::vector<std::string> items;  // every field, or the first `keep` of them
    std::size_t dropped = 0;         // fields counted but not kept
    std::size_t Count() const { return items.size() + dropped; }
};

// Splits a line into fields. The separator is trimmed of spaces first; an empty
// result means blank mode (fields are runs of non-space characters), anything
// else is separator mode (empty fields stay, leading spaces of a field go,
// trailing spaces stay). Only U+0020 counts as a blank; a tab is an ordinary
// character. Only the first `keep` fields are kept in items; Count() counts all.
FieldList SplitFields(std::string_view text, std::string_view separator,
                      std::size_t keep = static_cast<std::size_t>(-1));

// Removes leading and trailing spaces (U+0020 only).
std::string_view TrimSpaces(std::string_view text);

// Name of a path without its folders and without its last extension:
// "D:\flight\DSC00012.JPG" -> "DSC00012", "a.b.c" -> "a.b", ".jpg" -> "".
// Both "\" and "/" separate folders.
std::string FileTitleOf(std::string_view path);

// The photo number of a file title: the longest suffix that is an optionally
// signed whole decimal number, blanks around it allowed ("DSC01234" -> 1234,
// "IMG_0012" -> 12, "A-12" -> -12). Empty when the title ends in no number or
// the number does not fit 64 bits.
std::optional<std::int64_t> TrailingNumber(std::string_view text);

// ASCII digit and letter tests, the ones used by every parser.
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Whether every byte is ASCII (such text is the same in GBK and UTF-8).
bool IsAscii(std::string_view text);

// Offset of the character after the one that starts at `at` in UTF-8 text
// (continuation bytes belong to the character before them).
std::size_t NextCharacter(std::string_view text, std::size_t at);
// Offset of the character before offset `at` (0 when at is 0).
std::size_t PreviousCharacter(std::string_view text, std::size_t at);
// The first `count` characters of a UTF-8 text (all of it when shorter).
std::string_view LeadingCharacters(std::string_view text, std::size_t count);

// The UTF-8 character that starts at an offset of a text.
struct Utf8Character {
    // Bytes its lead byte announces: 2 to 4 for a lead byte of a longer
    // sequence (0xC0 to 0xF7), else 1 (ASCII, and bytes that lead nothing).
    std::size_t length = 1;
    char32_t code = 0;   // the code point the bytes spell, when whole
    bool whole = false;  // the lead byte and all its continuation bytes are there
    // Whole, in its shortest form, at most U+10FFFF and not a surrogate.
    bool valid = false;
};
// Decodes the character at offset `at`, which must lie inside the text.
Utf8Character DecodeUtf8(std::string_view text, std::size_t at);
// Appends the UTF-8 bytes of a code point.
void AppendUtf8(std::string& out, char32_t code);

// A decimal number exactly as written: its value is
// (negative ? -1 : 1) x digits x 10^exponent. `digits` holds every digit of
// the mantissa without the point, leading zeros kept.
struct WrittenDecimal {
    bool negative = false;
    std::string digits;
    std::int64_t exponent = 0;
};
// The decimal of a field that ParseNumber accepts, empty for anything else
// and for exponents beyond +-10^6 (no caller keeps such a value exactly).
std::optional<WrittenDecimal> ReadWrittenDecimal(std::string_view text);

// Reads a whole field as a number: optional sign, digits with at most one
// point, optional exponent, blanks around it allowed. Anything else (an empty
// field, "120.05x18", "inf", hexadecimal) is not a number.
std::optional<double> ParseNumber(std::string_view text);

// The one text form of a floating-point number: at most 15 significant
// digits, "." as decimal point, no trailing zeros or point, "-" for negatives,
// "0" for zero, never an exponent.
std::string GeneralNumberText(double value);

// Text with the five XML special characters (& < > " ') escaped, so that any
// text can stand in an XML element or attribute.
std::string XmlEscaped(std::string_view text);

// The first thing in a UTF-8 text that an XML 1.0 document cannot hold: a
// control character other than tab, CR and LF, U+FFFE or U+FFFF, or a byte
// that is not valid UTF-8. Empty when the text can stand in XML as it is
// (after XmlEscaped).
struct XmlTextProblem {
    std::size_t offset = 0;   // byte offset in the text
    std::string description;  // "U+0001", or "0xC3" for a byte that is not UTF-8
};
std::optional<XmlTextProblem> FindNonXmlCharacter(std::string_view text);

// ASCII-only case folding, enough for file-name patterns and point names.
std::string AsciiUpper(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Wildcard match ("*" any run, "?" one character) without regard to ASCII
// case. Several patterns may be joined with ";".
bool MatchesPattern(std::string_view name, std::string_view patterns);

}  // namespace skyrell
