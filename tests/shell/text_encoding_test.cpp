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

}  // namespace
}  // namespace skyrell
