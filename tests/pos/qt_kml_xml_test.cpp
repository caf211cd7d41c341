// KML documents stay well-formed XML whatever the photo identifiers hold.

#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>

#include "pos/pos_conversions.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

TEST(KmlDocument, SpecialCharactersInIdentifiersParseAsXml) {
    TempFolder folder;
    WriteBytes(folder / "p.txt",
               "a&b w t 114.1 30.1 10 0 0 0\r\n<x> w t 114.2 30.2 10 0 0 0\r\n"
               "q\"'1 w t 114.3 30.3 10 0 0 0\r\n");
    for (auto conversion : {PosConversion::KmlPoint, PosConversion::KmlPolyline}) {
        const auto out = folder / "R&D <1>.kml";
        ASSERT_TRUE(ConvertPosFile(conversion, folder / "p.txt", out, {}).ok());
        QFile file(QString::fromStdString(out.string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QStringList names;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement &&
                xml.name() == QStringLiteral("name"))
                names << xml.readElementText();
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        if (conversion == PosConversion::KmlPoint) {
            EXPECT_EQ(names, (QStringList{"R&D <1>.kml", "a&b", "<x>", "q\"'1"}));
        } else {
            EXPECT_EQ(names, (QStringList{"R&D <1>.kml", ""}));
        }
    }
}

// The polyline copies only coordinates that are numbers; characters XML
// cannot hold stop either conversion with the line named, and nothing is
// written.
TEST(KmlDocument, PolylineWordsAndUnholdableCharactersAreRefused) {
    struct Row {
        PosConversion conversion;
        std::string pos;
        std::string problem;
    } rows[] = {
        {PosConversion::KmlPolyline, "a w t 114.1&< 30<&1 10 0 0 0\r\nb w t 1 2 3 0 0 0\r\n",
         "第1行的经度“114.1&<”不是数字！"},
        {PosConversion::KmlPoint, "t\r\na\x01 w t 114.1 30.1 10 0 0 0\r\n",
         "第2行含有KML文件不能保存的字符（U+0001）！"},
        {PosConversion::KmlPolyline,
         "\xEF\xBB\xBF"
         "a w t 114 30\xC3( 10 0 0 0\r\n",
         "第1行含有KML文件不能保存的字符（0xC3）！"},
        {PosConversion::KmlPoint,
         "\xEF\xBB\xBF"
         "a\xEF\xBF\xBF w t 114 30 10 0 0 0\r\n",
         "第1行含有KML文件不能保存的字符（U+FFFF）！"},
    };
    for (const auto& row : rows) {
        TempFolder folder;
        WriteBytes(folder / "p.txt", row.pos);
        const auto out = folder / "o.kml";
        const auto result = ConvertPosFile(row.conversion, folder / "p.txt", out, {});
        EXPECT_EQ(result.status.message(),
                  "无人机POS文件 " + (folder / "p.txt").string() + " " + row.problem);
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

}  // namespace
}  // namespace skyrell
