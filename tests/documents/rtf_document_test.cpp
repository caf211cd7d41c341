#include "documents/rtf_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "shell/files.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::DataFile;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using Table = std::vector<std::vector<RtfCellContent>>;

const fs::path kTemplate = fs::path(SKYRELL_RESOURCES) / "点之记模板.doc";

Table ReadTable(const fs::path& file) {
    auto table = ReadRtfTable(ReadBytes(file), file);
    EXPECT_TRUE(table) << table.status().message();
    return table ? *table : Table{};
}

TEST(RtfDocument, ShippedTemplateFilledReadsBackCellByCell) {
    TempFolder dir;
    const std::string before = ReadBytes(kTemplate);
    RtfDocumentEngine engine;
    ASSERT_TRUE(engine.Open(kTemplate));
    EXPECT_TRUE(engine.SetCellText(1, 2, "P0001"));
    EXPECT_TRUE(engine.SetCellText(1, 6, "0286"));
    EXPECT_TRUE(engine.SetCellText(3, 2, "本点刺在路口，\r\n高程测至地面。"));
    EXPECT_TRUE(engine.AddPicture(2, 2, DataFile("documents/sketch.jpg")));
    EXPECT_TRUE(engine.SetCellText(5, 6, "2013/1/5"));
    ASSERT_TRUE(engine.SaveAs(dir / "P0001.doc"));
    engine.Close();

    const Table expected = {
        {{"点名"}, {"P0001"}, {"架次"}, {""}, {"像片号"}, {"0286"}},
        {{"点位略图"}, {"", 1}},
        {{"点位说明"}, {"本点刺在路口，\r\n高程测至地面。"}},
        {{"刺点员"}, {""}, {"测量员"}, {""}, {"检查员"}, {""}},
        {{"刺点日期"}, {""}, {"测量日期"}, {""}, {"检查日期"}, {"2013/1/5"}},
    };
    EXPECT_EQ(ReadTable(dir / "P0001.doc"), expected);
    // 600 x 400 pixels are 9000 twips wide: scaled down to the sketch cell
    // (9638 - 1400 less two gaps of 108), aspect kept.
    const std::string made = ReadBytes(dir / "P0001.doc");
    EXPECT_NE(made.find("\\pict\\jpegblip\\picw600\\pich400\\picwgoal8022\\pichgoal5348"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(kTemplate), before);
}

TEST(RtfDocument, TextIsEscapedAndReadsBack) {
    const struct {
        const char* text;
        const char* rtf;
        const char* readBack;
    } cases[] = {
        {"a\\b{c}", "a\\\\b\\{c\\}", "a\\b{c}"},
        // GBK bytes after each character, for readers without Unicode.
        {"点名P1", "\\u28857\\'b5\\'e3\\u21517\\'c3\\'fbP1", "点名P1"},
        {"\xEE\x80\x80", "\\u-8192??", "\xEE\x80\x80"},                     // U+E000: one GBK byte
        {"\xF0\x9F\x98\x80", "\\u-10179??\\u-8704??", "\xF0\x9F\x98\x80"},  // U+1F600
        {"a\r\nb\nc\rd", "a\\par b\\par c\\par d", "a\r\nb\r\nc\r\nd"},
        {"\xFF"
         "1",
         "\\u-3??1",
         "\xEF\xBF\xBD"
         "1"},                     // not UTF-8: U+FFFD
        {"0286", "0286", "0286"},  // digits right after the cell's formatting
    };
    TempFolder dir;
    for (const auto& c : cases) {
        EXPECT_EQ(RtfEscaped(c.text), c.rtf) << c.text;
        RtfDocumentEngine engine;
        ASSERT_TRUE(engine.Open(kTemplate));
        ASSERT_TRUE(engine.SetCellText(1, 4, c.text));
        ASSERT_TRUE(engine.SaveAs(dir / "out.doc"));
        const Table table = ReadTable(dir / "out.doc");
        ASSERT_EQ(table.size(), 5u);
        EXPECT_EQ(table[0][3].text, c.readBack) << c.text;
    }
}

TEST(RtfDocument, MergedCellsAreCountedOnce) {
    TempFolder dir;
    // Row 1: B spans two columns (\clmgf, \clmrg); row 3 starts with the
    // continuation of a vertical merge; G sits in a group of its own.
    WriteBytes(dir / "merged.rtf",
               "{\\rtf1\\ansi\r\n"
               "\\trowd\\cellx1000\\clmgf\\cellx2000\\clmrg\\cellx3000\\cellx4000\r\n"
               "\\pard\\intbl A\\cell B\\cell \\cell D\\cell\\row\r\n"
               "\\trowd\\clvmgf\\cellx1000\\cellx2000\\cellx3000\r\n"
               "\\pard\\intbl E\\cell F\\cell {\\b G}\\cell\\row\r\n"
               "\\trowd\\clvmrg\\cellx1000\\cellx2000\\cellx3000\r\n"
               "\\pard\\intbl \\cell H\\cell I\\cell\\row\r\n"
               "\\pard\\par after}");
    RtfDocumentEngine engine;
    ASSERT_TRUE(engine.Open(dir / "merged.rtf"));
    const struct {
        int row, column;
        const char* text;
    } writes[] = {{1, 3, "x"}, {2, 3, "z"}, {3, 1, "y"}};
    for (const auto& w : writes) EXPECT_TRUE(engine.SetCellText(w.row, w.column, w.text));
    const Status missing = engine.SetCellText(1, 4, "never");
    EXPECT_EQ(missing.message(),
              "“" + PathText(dir / "merged.rtf") + "”的表格中没有第1行第4个单元格。");
    ASSERT_TRUE(engine.SaveAs(dir / "out.rtf"));
    const Table expected = {{{"A"}, {"B"}, {"x"}}, {{"E"}, {"F"}, {"z"}}, {{"y"}, {"I"}}};
    EXPECT_EQ(ReadTable(dir / "out.rtf"), expected);

    const auto layout = ParseRtfTable(ReadBytes(dir / "merged.rtf"), "merged.rtf");
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->rows[0][1].widthTwips, 2000);  // the merged span
}

TEST(RtfDocument, ControlWordsThatChangeHowTheTableReads) {
    // Each template: a table after "{\rtf1 " and, for a write, the text put
    // into cell (1, 1) before reading back.
    const struct {
        const char* name;
        std::string body;
        const char* write;
        Table expected;
    } cases[] = {
        {"rows continue while in the table",
         "\\trowd\\cellx900\\pard\\intbl A\\cell\\row\\trowd\\cellx900\\intbl B\\cell\\row\\pard}",
         nullptr,
         {{{"A"}}, {{"B"}}}},
        {"a paragraph after a row ends the table",
         "\\trowd\\cellx900\\pard\\intbl A\\cell\\row\\pard after\\par"
         "\\trowd\\cellx900\\pard\\intbl B\\cell\\row\\pard}",
         nullptr,
         {{{"A"}}}},
        {"itap marks table text and itap0 ends it",
         "\\trowd\\cellx900\\pard\\itap1 A\\cell\\row\\itap0 after"
         "\\trowd\\cellx900\\itap1 B\\cell\\row\\pard}",
         nullptr,
         {{{"A"}}}},
        {"bin bytes may hold braces",
         "\\trowd\\cellx900\\pard\\intbl A{\\pict\\bin2 }}}B\\bin1 {\\cell\\row\\pard}",
         nullptr,
         {{{"AB", 1}}}},
        {"uc2 skips two fallback bytes",
         "\\trowd\\cellx900\\pard\\intbl \\uc2\\u28857\\'d7\\'f8X\\cell\\row\\pard}",
         nullptr,
         {{{"点X"}}}},
        {"uc ends with its group",
         "\\trowd\\cellx900\\pard\\intbl A{\\uc0\\u28857}\\u21517?\\cell\\row\\pard}",
         nullptr,
         {{{"A点名"}}}},
        {"text written under uc2 reads back whole",
         "\\uc2\\trowd\\cellx900\\pard\\intbl \\u28857\\'d7\\'f8\\cell\\row\\pard}",
         "名A",
         {{{"名A"}}}},
    };
    TempFolder dir;
    for (const auto& c : cases) {
        const std::string rtf = "{\\rtf1 " + c.body;
        if (!c.write) {
            auto table = ReadRtfTable(rtf, c.name);
            ASSERT_TRUE(table) << c.name << ": " << table.status().message();
            EXPECT_EQ(*table, c.expected) << c.name;
            continue;
        }
        WriteBytes(dir / "t.rtf", rtf);
        RtfDocumentEngine engine;
        ASSERT_TRUE(engine.Open(dir / "t.rtf")) << c.name;
        ASSERT_TRUE(engine.SetCellText(1, 1, c.write)) << c.name;
        ASSERT_TRUE(engine.SaveAs(dir / "out.rtf")) << c.name;
        EXPECT_EQ(ReadTable(dir / "out.rtf"), c.expected) << c.name;
    }
}

TEST(RtfDocument, UnusableTemplatesNameTheFile) {
    TempFolder dir;
    const fs::path file = dir / "点之记模板.doc";
    const std::string name = PathText(file);
    const struct {
        const char* bytes;  // nullptr: no file
        std::string message;
    } cases[] = {
        {nullptr, "无法读取文件“" + name + "”：文件或文件夹不存在。"},
        {"PK\x03\x04 a zip file", "“" + name + "”不是可读的RTF文档。"},
        {"{\\rtf1 {\\b unclosed}", "“" + name + "”不是可读的RTF文档。"},
        {"{\\rtf1 a letter\\par no table\\par}", "“" + name + "”中没有表格。"},
        {"folder", "无法读取文件“" + name + "”：这是一个文件夹，不是文件。"},
        {"fifo", "无法读取文件“" + name + "”：不是普通文件（管道、设备或套接字），不能读取。"},
    };
    for (const auto& c : cases) {
        fs::remove(file);
        const std::string_view kind = c.bytes ? c.bytes : "";
        if (kind == "folder")
            fs::create_directory(file);
        else if (kind == "fifo")
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else if (c.bytes)
            WriteBytes(file, c.bytes);
        RtfDocumentEngine engine;
        EXPECT_EQ(engine.Open(file).message(), c.message);
        EXPECT_FALSE(engine.SetCellText(1, 1, "x"));
    }
}

}  // namespace
}  // namespace skyrell
