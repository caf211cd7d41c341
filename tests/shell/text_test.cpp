#include "shell/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace skyrell {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitFields, BothModes) {
    struct Case {
        const char* text;
        const char* separator;
        Fields expected;
    };
    const Case cases[] = {
        // blank mode
        {"  114.5  30.2 ", "", {"114.5", "30.2"}},
        {"a   b c", " ", {"a", "b", "c"}},
        {"x\ty", " ", {"x\ty"}},
        {"", "", {""}},
        {"    ", " ", {""}},
        {"one", "", {"one"}},
        // separator mode
        {"a,,b", ",", {"a", "", "b"}},
        {"", ",", {""}},
        {"a,b,", ",", {"a", "b", ""}},
        {"a ,b", ",", {"a ", "b"}},
        {" a , b ", ",", {"a ", "b"}},
        {"a,   b,  c", " , ", {"a", "b", "c"}},
        {"1::2::::3", "::", {"1", "2", "", "3"}},
        {"x\t,y", ",", {"x\t", "y"}},
        {"no separator", ",", {"no separator"}},
        // the separator appended at the end can complete a match
        {"a,", ",,", {"a"}},
    };
    for (const auto& c : cases) {
        const FieldList fields = SplitFields(c.text, c.separator);
        EXPECT_EQ(fields.items, c.expected)
            << "text «" << c.text << "» sep «" << c.separator << "»";
        EXPECT_EQ(fields.Count(), c.expected.size());
        // Keeping only the first fields counts the same fields.
        const FieldList first = SplitFields(c.text, c.separator, 1);
        EXPECT_EQ(first.items, Fields{c.expected.front()}) << c.text;
        EXPECT_EQ(first.Count(), c.expected.size()) << c.text;
    }
    // A line of ten million commas keeps two strings, not ten million.
    const FieldList commas = SplitFields(std::string(10'000'000, ','), ",", 2);
    EXPECT_EQ(commas.items, (Fields{"", ""}));
    EXPECT_EQ(commas.Count(), 10'000'001u);
}

TEST(FileTitleOf, NamesWithoutFoldersAndLastExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"D:\\flight\\DSC00012.JPG", "DSC00012"},
        {"/data/flight/DSC00012.JPG", "DSC00012"},
        {"DSC01234.JPG", "DSC01234"},
        {"a.b.c", "a.b"},
        {".jpg", ""},
        {"noext", "noext"},
        {"C:\\dir.with.dot\\name", "name"},
    };
    for (const auto& [path, title] : cases) EXPECT_EQ(FileTitleOf(path), title) << path;
}

TEST(TrailingNumber, PhotoNumbers) {
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"DSC01234", 1234},
        {"DSC00012", 12},
        {"IMG_0012", 12},
        {"A-12", -12},
        {"A+7", 7},
        {"P 15", 15},
        {"DSC40000", 40000},
        {"X123456789012", 123456789012LL},
        {"9223372036854775807", INT64_MAX},
        {"n-9223372036854775808", INT64_MIN},
        {"DSC", std::nullopt},
        {"", std::nullopt},
        {"12a", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(TrailingNumber(text), expected) << text;
}

TEST(ParseNumber, WholeFieldMustBeANumber) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"114.5", 114.5},  {"-30.25", -30.25}, {"+7", 7.0},   {" 12.5 ", 12.5}, {"1e3", 1000.0},
        {"2.5E-2", 0.025}, {".5", 0.5},        {"5.", 5.0},   {"0", 0.0},       {"120.05x18", {}},
        {"", {}},          {"  ", {}},         {"abc", {}},   {"1.2.3", {}},    {"inf", {}},
        {"nan", {}},       {"0x10", {}},       {"1e", {}},    {"+-1", {}},      {"--1", {}},
        {"-", {}},         {".", {}},          {"12 34", {}}, {"1,5", {}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseNumber(text), expected) << text;
}

TEST(GeneralNumberText, ShortestFormUpToFifteenDigits) {
    const std::pair<double, const char*> cases[] = {
        {114.12345670, "114.1234567"},
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-30.25, "-30.25"},
        {0.1 + 0.2, "0.3"},
        {1000.0433333333333, "1000.04333333333"},
        {3476543.21, "3476543.21"},
        {500000, "500000"},
        {1e-5, "0.00001"},
        {-2.5e-7, "-0.00000025"},
        {1e20, "100000000000000000000"},
        {123456789012345678.0, "123456789012346000"},
        {0.999999999999999999, "1"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(GeneralNumberText(value), text) << value;
}

// Whatever path GeneralNumberText takes, its text reads back as the value
// rounded to 15 significant digits and carries no exponent.
TEST(GeneralNumberText, ReadsBackAsTheFifteenDigitRounding) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    std::uniform_int_distribution<int> exponent(-7, 13);
    std::uniform_int_distribution<long long> thousandths(0, 9999999999999LL);
    for (int i = 0; i < 200000; ++i) {
        const double value = i % 2 ? mantissa(random) * std::pow(10.0, exponent(random))
                                   : static_cast<double>(thousandths(random)) / 1000;
        const std::string text = GeneralNumberText(value);
        char rounded[40];
        std::snprintf(rounded, sizeof rounded, "%.14e", value);
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), std::strtod(rounded, nullptr))
            << text << " " << rounded;
        ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        if (text.find('.') != std::string::npos) {
            ASSERT_NE(text.back(), '0') << text;
        }
    }
}

TEST(XmlEscaped, EscapesTheFiveSpecialCharacters) {
    EXPECT_EQ(XmlEscaped(R"(a&b<c>d"e'f)"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    EXPECT_EQ(XmlEscaped("像片16"), "像片16");
}

TEST(MatchesPattern, WildcardsWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"a.jpg", "*.JPG", true},
        {"A.JPG", "*.jpg", true},
        {"a.jpeg", "*.JPG", false},
        {"DSC001.JPG", "DSC*.*", true},
        {"x.txt", "?.TXT", true},
        {"xy.txt", "?.TXT", false},
        {"a.tif", "*.jpg;*.tif", true},
        {"a.png", "*.jpg; *.tif", false},
        {"abc", "*", true},
        {"abc", "a*c", true},
        {"abbbc", "a*b*c", true},
        {"ab", "a*c", false},
        // "?" is one character, also when that character takes several bytes
        {"点.txt", "?.TXT", true},
        {"点点.txt", "?.TXT", false},
        {"P点1_IMG.jpg", "P?1*.jpg", true},
        {"航片点.jpg", "*?点.JPG", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.matches) << c.name << " " << c.pattern;
}

}  // namespace
}  // namespace skyrell
