#include "check/rough_position.h"

#include <gtest/gtest.h>

#include "shell/text.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::DataFile;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

struct ConversionCase {
    const char* latitude;
    const char* longitude;
    const char* lat;  // expected, as the document prints it
    const char* lon;
};

TEST(RoughPosition, ConvertsBothForms) {
    for (const ConversionCase& c : {
             ConversionCase{"30:15:36.0000N", "120:30:00.0000E", "30.26", "120.5"},
             ConversionCase{"30.1536N", "120.3000E", "30.26", "120.5"},
             // The digits decide, not floating-point arithmetic on 30.15.
             ConversionCase{"30.15N", "120.45E", "30.25", "120.75"},
             ConversionCase{"30.15201234N", "120.0000E", "30.2555898333333", "120"},
             // Missing digits of minutes or seconds are trailing zeros.
             ConversionCase{"30.1N", "120.153E", "30.1666666666667", "120.258333333333"},
             ConversionCase{"30N", "120E", "30", "120"},
             // Without a hemisphere letter nothing is cut off.
             ConversionCase{"30:15:36", "120:30:00", "30.26", "120.5"},
             ConversionCase{"30.1536", "120.3", "30.26", "120.5"},
             // Southern and western letters keep the value positive; a sign
             // applies to the whole angle.
             ConversionCase{"30:15:36S", "120:30:00W", "30.26", "120.5"},
             ConversionCase{"-30.1536S", "-120.3W", "-30.26", "-120.5"},
             ConversionCase{"-30:15:36", "-120:30:00", "-30.26", "-120.5"},
             // The latitude decides the form for both texts.
             ConversionCase{"30:15:36N", "120.3E", "", ""},
             ConversionCase{"30.1536N", "120:30:00E", "", ""},
             ConversionCase{"30:15N", "120:30E", "", ""},
             ConversionCase{"abc", "120.3E", "", ""},
             ConversionCase{"", "", "", ""},
             ConversionCase{"30.15.36N", "120.3E", "", ""},
             ConversionCase{"30:1x:36N", "120:30:00E", "", ""},
         }) {
        const auto position = ConvertRoughPosition(c.latitude, c.longitude);
        if (*c.lat == '\0') {
            EXPECT_FALSE(position.has_value()) << c.latitude << " " << c.longitude;
            continue;
        }
        ASSERT_TRUE(position.has_value()) << c.latitude << " " << c.longitude;
        EXPECT_EQ(GeneralNumberText(position->latitude), c.lat) << c.latitude;
        EXPECT_EQ(GeneralNumberText(position->longitude), c.lon) << c.longitude;
    }
}

TEST(RoughPosition, PackedThirtyFifteenIsExactlyAQuarter) {
    const auto degrees = AngleDegrees("30.15N", AngleForm::Packed);
    ASSERT_TRUE(degrees.has_value());
    EXPECT_EQ(*degrees, 30.25);
}

TEST(RoughPosition, DocumentMatchesByteForByte) {
    TempFolder folder;
    const auto file = RoughPositionPath(folder.path(), "P0001");
    EXPECT_EQ(file, folder / "P0001.kml");
    WriteBytes(file, std::string(9000, 'x'));  // an earlier, longer document
    ASSERT_TRUE(WriteRoughPosition(file, "P0001", {30.26, 120.5}));
    EXPECT_EQ(ReadBytes(file), ReadBytes(DataFile("check/rough_position_P0001.kml")));
}

TEST(RoughPosition, NameIsEscapedForXml) {
    const std::string kml = RoughPositionKml("P<1>&\"'", {30, 120});
    std::vector<std::string> lines;
    for (std::size_t start = 0;;) {
        const auto end = kml.find("\r\n", start);
        lines.push_back(kml.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 50u);
    EXPECT_EQ(lines[3], " <name>P&lt;1&gt;&amp;&quot;&apos;.kml</name>");
    EXPECT_EQ(lines[33], "     <name>P&lt;1&gt;&amp;&quot;&apos;</name>");
    EXPECT_EQ(lines[45], "         <coordinates>120,30,0</coordinates>");
}

}  // namespace
}  // namespace skyrell
