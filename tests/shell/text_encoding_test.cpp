#include "shell/text_encoding.h"

#include <gtest/gtest.h>

#include "shell/atomic_file.h"
#include "shell/line_reader.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using Lines = std::vector<std::string>;

// "坐标成果" in GBK.
const std::string kGbkResults = "\xD7\xF8\xB1\xEA\xB3\xC9\xB9\xFB";

TEST(TextEncoding, GbkRoundTripWithCrLf) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextLines(folder / "out.txt", {"坐标成果", "a,b"}));
    EXPECT_EQ(ReadBytes(folder / "out.txt"), kGbkResults + "\r\na,b\r\n");
    EXPECT_EQ(*ReadTextLines(folder / "out.txt"), (Lines{"坐标成果", "a,b"}));
}

TEST(TextEncoding, RefusesCharactersGbkCannotHoldAndKeepsTheOldFile) {
    TempFolder folder;
    WriteBytes(folder / "keep.txt", "old\r\n");
    const Status written = WriteTextLines(folder / "keep.txt", {"ok", "pin 📍 here"});
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.message(), EncodingRefusalText("📍"));
    EXPECT_EQ(ReadBytes(folder / "keep.txt"), "old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(TextEncoding, GbkSafeTextShowsWhatGbkCannotHold) {
    const std::pair<std::string, std::string> cases[] = {
        {"P0001_IMG_1.jpg", "P0001_IMG_1.jpg"},
        {"坐标P😀_IMG_1.jpg", "坐标P<U+1F600>_IMG_1.jpg"},
        {"P\xD7\xF8.jpg", "P<0xD7><0xF8>.jpg"},  // GBK bytes from another system
        {"\xE5\x9D", "<0xE5><0x9D>"},            // a cut-off character
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(GbkSafeText(text), shown) << shown;
}

// Files without a byte-order mark are UTF-8 only when every byte of them is
// valid UTF-8 and one is not ASCII; GBK that starts like UTF-8 stays GBK.
TEST(TextEncoding, FilesWithoutAMarkAreUtf8OnlyWhenEntirelyValid) {
    // Lines enough to pass the reader's first buffer of 1 MiB.
    std::string far;
    while (far.size() < (std::size_t{3} << 19)) far += "0123456789\r\n";
    const std::string utf8Results = "坐标成果";
    const struct {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
        std::string lastLine;
    } cases[] = {
        {"ascii", "P0001,a\r\n", TextEncoding::Gbk, "P0001,a"},
        {"utf-8 without a mark", utf8Results + ",1\r\n", TextEncoding::Utf8, utf8Results + ",1"},
        {"gbk", kGbkResults, TextEncoding::Gbk, "坐标成果"},
        {"gbk whose lead C1 only a lax reader takes", "\xC1\xAA\xCD\xA8", TextEncoding::Gbk,
         "联通"},
        {"gbk whose first character is a UTF-8 pair", "\xC4\xA3\xD6\xD0", TextEncoding::Gbk,
         "模中"},
        {"gbk whose three-byte start breaks", "\xE4\xB8\xD6\xD0", TextEncoding::Gbk, "涓中"},
        {"gbk ending in a cut three-byte start", "P1\xE4\xBD", TextEncoding::Gbk, "P1浣"},
        {"utf-8 beyond the first buffer", far + utf8Results, TextEncoding::Utf8, utf8Results},
        {"gbk beyond the first buffer after utf-8", utf8Results + "\r\n" + far + kGbkResults,
         TextEncoding::Gbk, "坐标成果"},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        EXPECT_EQ(DecideTextEncoding(c.bytes), c.encoding) << c.name;
        // Fed byte by byte, every character is cut between pieces.
        TextEncodingDecision pieces;
        for (const char b : c.bytes) pieces.Feed(std::string_view(&b, 1));
        EXPECT_EQ(pieces.Decision(), c.encoding) << c.name;

        WriteBytes(folder / "t.txt", c.bytes);
        const auto lines = ReadTextLines(folder / "t.txt");
        ASSERT_TRUE(lines.ok() && !lines->empty()) << c.name;
        EXPECT_EQ(lines->back(), c.lastLine) << c.name;
    }
}

}  // namespace
}  // namespace skyrell
