#include "project/point_records.h"

#include <gtest/gtest.h>

#include <map>

#include "documents/rtf_document.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/text_encoding.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::DataFile;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const fs::path kTemplate = fs::path(SKYRELL_RESOURCES) / "点之记模板.doc";

// A sortie's three folders in a temporary folder, and the form that names them.
struct Sortie {
    TempFolder dir;
    PointRecordForm form;
    Sortie() {
        for (const char* sub : {"刺点片", "过程数据", "点之记"}) fs::create_directory(dir / sub);
        form.prickedPhotos = WithTrailingSeparator(PathText(dir / "刺点片"));
        form.processData = WithTrailingSeparator(PathText(dir / "过程数据"));
        form.pointRecords = WithTrailingSeparator(PathText(dir / "点之记"));
        form.sortie = "3";
        form.people = {" 张三 ", "李四", "王五 "};
        form.dates = {"2013/1/5", " 2013/1/6", "2013/1/7"};
    }
};

// The cells the run fills: (1,2), (1,6), pictures in (2,2), (3,2); (1,4) and
// rows 4 and 5 are the same in every document.
using Filled = std::vector<std::string>;
const Filled kCommon = {"3", "张三", "李四", "王五", "2013/1/5", "2013/1/6", "2013/1/7"};

Filled FilledCells(const fs::path& doc) {
    const auto t = ReadRtfTable(ReadBytes(doc), doc);
    if (!t) return {t.status().message()};
    const auto& r = *t;
    return {r[0][1].text, r[0][5].text, std::to_string(r[1][1].pictures),
            r[2][1].text, r[0][3].text, r[3][1].text,
            r[3][3].text, r[3][5].text, r[4][1].text,
            r[4][3].text, r[4][5].text};
}

TEST(PointRecords, RunsAsTheSortieAsks) {
    const struct {
        std::vector<const char*> photos, screenshots, descriptions;
        std::string log;  // GBK bytes
        std::vector<Filled> records;
    } cases[] = {
        // Missing screenshot and description, a lower-case screenshot, a
        // lookup without case past a four- and a six-field line, a name
        // without photo number.
        {{"P0001_IMG_0286.jpg", "p0002_IMG_0300.JPG", "P0003.jpg"},
         {"P0001.jpg", "p0002.jpg"},
         {"P0001,路口东北角,地面,,", "p0002,a,b,c", "P0002,a,b,c,d,e", "p0002,桥头,桥面,第三,第四"},
         Utf8ToGbk("未找到 P0003 截图文件。\r\n未找到 P0003 点位描述信息。\r\n").value(),
         {{"P0001", "0286", "1", "本点刺在路口东北角，\r\n高程测至地面。"},
          {"P0002", "0300", "1", "本点刺在桥头，\r\n高程测至桥面，\r\n第三，\r\n第四。"},
          {"P0003", "", "0", ""}}},
        // A clean run leaves a log of one empty line.
        {{"P0005_DSC_0001.jpg"},
         {"P0005.jpg"},
         {"P0005,a,b,,c"},
         "\r\n",
         {{"P0005", "0001", "1", "本点刺在a，\r\n高程测至b，\r\nc。"}}},
    };
    for (const auto& c : cases) {
        Sortie sortie;
        for (const char* photo : c.photos) WriteBytes(sortie.dir / "刺点片" / photo, "jpeg");
        for (const char* shot : c.screenshots)
            fs::copy_file(DataFile("documents/sketch.jpg"), sortie.dir / "过程数据" / shot);
        ASSERT_TRUE(WriteTextLines(sortie.dir / "过程数据" / "点位描述.txt",
                                   {c.descriptions.begin(), c.descriptions.end()}));

        const PointRecordCheck check = CheckPointRecords(sortie.form);
        ASSERT_EQ(check.end, RecordCheckEnd::Go) << check.message;
        RtfDocumentEngine engine;
        std::vector<std::string> captions;
        const Feedback feedback([&](std::uint64_t, std::uint64_t, std::string_view text) {
            captions.emplace_back(text);
        });
        const auto run = MakePointRecords(sortie.form, check, kTemplate, engine, feedback);
        ASSERT_TRUE(run) << run.status().message();

        EXPECT_EQ(ReadBytes(sortie.dir / "过程数据" / "批量创建点之记错误记录.txt"), c.log);
        EXPECT_EQ(PointRecordDoneText(*run), c.log == "\r\n"
                                                 ? "批量创建点之记完毕！"
                                                 : "批量创建点之记完毕，请仔细查看错误记录！");
        std::vector<std::string> sequence;  // one caption after each document
        const std::string n = std::to_string(c.photos.size());
        for (std::size_t k = 1; k <= c.photos.size(); ++k)
            sequence.push_back("第五步：批量创建点之记[" + std::to_string(k) + "/" + n + "]");
        EXPECT_EQ(captions, sequence);
        for (Filled expected : c.records) {
            const fs::path doc = sortie.dir / "点之记" / (expected[0] + ".doc");
            expected.insert(expected.end(), kCommon.begin(), kCommon.end());
            EXPECT_EQ(FilledCells(doc), expected);
        }
    }
}

TEST(PointRecords, FailuresStopAndWriteNoLog) {
    // A record that fails keeps the complete one an earlier run saved.
    const std::string kOldRecord = "{\\rtf1 the earlier complete record}";
    const std::string kSmallTable =
        "{\\rtf1\\trowd\\cellx1000\\cellx2000\\cellx3000\r\n"
        "\\pard\\intbl a\\cell b\\cell c\\cell\\row}";
    const struct {
        const char* templateBytes;  // nullptr: the shipped template; "": no file
        const char* screenshot;     // nullptr: a real JPEG
        bool recordFolderMissing;
        std::string message;  // "@" stands for the sortie folder
    } cases[] = {
        {"", nullptr, false, "无法读取文件“@t.doc”：文件或文件夹不存在。"},
        {nullptr, nullptr, true, "无法写入文件“@点之记/P0001.doc”：文件或文件夹不存在。"},
        {nullptr, "GIF89a not a jpeg", false, "“@过程数据/P0001.jpg”不是JPEG图片。"},
        {kSmallTable.c_str(), nullptr, false, "“@t.doc”的表格中没有第1行第4个单元格。"},
    };
    for (const auto& c : cases) {
        Sortie sortie;
        WriteBytes(sortie.dir / "刺点片" / "P0001_IMG_1.jpg", "jpeg");
        if (c.screenshot)
            WriteBytes(sortie.dir / "过程数据" / "P0001.jpg", c.screenshot);
        else
            fs::copy_file(DataFile("documents/sketch.jpg"), sortie.dir / "过程数据" / "P0001.jpg");
        WriteBytes(sortie.dir / "过程数据" / "点位描述.txt", "P0001,a,b,,\r\n");
        const fs::path record = sortie.dir / "点之记" / "P0001.doc";
        if (c.recordFolderMissing)
            fs::remove(sortie.dir / "点之记");
        else
            WriteBytes(record, kOldRecord);
        fs::path templateFile = kTemplate;
        if (c.templateBytes) {
            templateFile = sortie.dir / "t.doc";
            if (*c.templateBytes) WriteBytes(templateFile, c.templateBytes);
        }
        RtfDocumentEngine engine;
        const auto run =
            MakePointRecords(sortie.form, CheckPointRecords(sortie.form), templateFile, engine);
        ASSERT_FALSE(run);
        std::string message = c.message;
        message.replace(message.find('@'), 1, PathText(sortie.dir.path()) + "/");
        EXPECT_EQ(run.status().message(), message);
        EXPECT_FALSE(fs::exists(sortie.dir / "过程数据" / "批量创建点之记错误记录.txt"));
        if (!c.recordFolderMissing) {
            EXPECT_EQ(ReadBytes(record), kOldRecord);
        }
    }
}

}  // namespace
}  // namespace skyrell
