#include "shell/line_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "shell/files.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::TempFolder;
using testing::WriteBytes;
using Lines = std::vector<std::string>;

// "坐标成果" in GBK.
const std::string kGbkResults = "\xD7\xF8\xB1\xEA\xB3\xC9\xB9\xFB";

TEST(LineReader, LineEndsAndEncodings) {
    struct Case {
        const char* name;
        std::string bytes;
        Lines expected;
    };
    const Case cases[] = {
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"lf only", "a\nb\n", {"a", "b"}},
        {"cr only", "a\rb\r", {"a", "b"}},
        {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"no final end", "a\r\nb", {"a", "b"}},
        {"blank lines kept", "a\r\n\r\n\nb\r\n", {"a", "", "", "b"}},
        {"empty file", "", {}},
        {"gbk", kGbkResults + ",1\r\n", {"坐标成果,1"}},
        {"utf-8 with bom",
         "\xEF\xBB\xBF"
         "坐标\r\nx",
         {"坐标", "x"}},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        const auto file = folder / c.name;
        WriteBytes(file, c.bytes);
        const auto lines = ReadTextLines(file);
        ASSERT_TRUE(lines.ok()) << c.name;
        EXPECT_EQ(*lines, c.expected) << c.name;
    }
}

TEST(LineReader, LongLinesAcrossReadBuffers) {
    TempFolder folder;
    const std::string longLine(3 << 20, 'x');
    WriteBytes(folder / "long.txt", longLine + "\r" + "\n" + "tail");
    const auto lines = ReadTextLines(folder / "long.txt");
    ASSERT_TRUE(lines.ok());
    ASSERT_EQ(lines->size(), 2u);
    EXPECT_EQ((*lines)[0], longLine);
    EXPECT_EQ((*lines)[1], "tail");
}

TEST(LineReader, LineNumbersCountEveryLine) {
    TempFolder folder;
    WriteBytes(folder / "n.txt", "a\n\nc\r\n");
    LineReader reader;
    ASSERT_TRUE(reader.Open(folder / "n.txt"));
    std::string line;
    std::vector<std::int64_t> numbers;
    while (reader.Next(line)) numbers.push_back(reader.LineNumber());
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{1, 2, 3}));
}

TEST(LineReader, ReadersRefuseWhatIsNoRegularTextFile) {
    TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    WriteBytes(folder / "line", std::string((16 << 20) + 1, 'x'));
    WriteBytes(folder / "big", "");
    std::filesystem::resize_file(folder / "big", (64 << 20) + 1);
    const struct {
        std::filesystem::path file;
        std::string cause;
    } cases[] = {
        {folder / "fifo", "不是普通文件（管道、设备或套接字），不能读取。"},
        {"/dev/zero", "不是普通文件（管道、设备或套接字），不能读取。"},
        {folder.path(), "这是一个文件夹，不是文件。"},
        {folder / "line", "有一行超过16 MB，不是文本文件。"},
        {folder / "big", "文件太大（超过64 MB），不是这种文件。"},
    };
    for (const auto& c : cases) {
        const auto lines = ReadTextLines(c.file);
        ASSERT_FALSE(lines.ok());
        EXPECT_EQ(lines.status().message(), "无法读取文件“" + PathText(c.file) + "”：" + c.cause);
    }
}

TEST(LineReader, MissingFileNamesIt) {
    TempFolder folder;
    const auto lines = ReadTextLines(folder / "absent.txt");
    ASSERT_FALSE(lines.ok());
    EXPECT_NE(lines.status().message().find("absent.txt"), std::string::npos);
}

}  // namespace
}  // namespace skyrell
