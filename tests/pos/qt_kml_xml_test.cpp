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

}  // namespace
}  // namespace skyrell
