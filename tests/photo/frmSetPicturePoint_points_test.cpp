// The control-point list of the photo-pair window: choosing a point selects
// the photo of each line that shows it nearest its centre and marks the
// point's pixel in the previews.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <tuple>

#include "photo/frmSetPicturePoint.h"
#include "photo/qt_photo_preview.h"
#include "support/exif_jpeg.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::ExifTags;
using testing::FakeServices;
using testing::TempFolder;
using testing::WriteBytes;

QString Native(const fs::path& path) { return QString::fromStdString(path.string()); }

// "latitude,longitude" of a ground point east and north of a fixed origin.
std::string LatLon(double east, double north) {
    const auto [lat, lon] = testing::GroundOffset(30.5, 114.25, east, north);
    char text[64];
    std::snprintf(text, sizeof text, "%.10f,%.10f", lat, lon);
    return text;
}

// A 400 x 300 photo, 1000 px focal length, 110 m up: 10 px per metre of
// ground at 10 m. Without a position when `gps` is false.
void Photo(const fs::path& file, double east, double north, bool gps = true) {
    ExifTags tags{.focalMm = 10, .focalPlaneXResolution = 100, .focalPlaneUnit = 4};
    if (gps) {
        std::tie(tags.latitude, tags.longitude) = testing::GroundOffset(30.5, 114.25, east, north);
        tags.altitude = 110;
    }
    WriteBytes(file, testing::GreyJpeg(400, 300, {}, tags));
}

struct Window {
    TempFolder temp;
    FakeServices fake;
    QWidget owner;
    frmSetPicturePoint* form = new frmSetPicturePoint(fake.services, &owner);
    template <class T>
    T* Find(const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Line A flies east along north 0, line B west along north 20; photos 20 m apart.
    Window() {
        for (int i = 0; i < 3; ++i) {
            Photo(temp / "A" / ("IMG_000" + std::to_string(i + 1) + ".JPG"), -20 + 20 * i, 0);
            Photo(temp / "B" / ("IMG_001" + std::to_string(i + 1) + ".JPG"), 20 - 20 * i, 20);
        }
        Photo(temp / "A" / "IMG_0009.JPG", 0, 0, false);
        for (const char* line : {"A", "B"}) {
            fake.dialogs.folders.push_back(Native(temp / line));
            Find<QPushButton>(line[0] == 'A' ? "cmdA" : "cmdB")->click();
        }
        form->show();
    }
    void Points(const std::string& csv) {
        WriteBytes(temp / "points.csv", csv);
        fake.dialogs.files.push_back(Native(temp / "points.csv"));
        Find<QPushButton>("cmdPoints")->click();
    }
};

TEST(frmSetPicturePointPoints, ChoosingAPointSelectsEachLinesNearestPhotoAndMarksThePixel) {
    Window w;
    w.Points("G1," + LatLon(3, 4) + ",10\nG2," + LatLon(500, 0) + ",10\n");
    auto* points = w.Find<QListWidget>("lstPoints");
    ASSERT_EQ(points->count(), 2);
    EXPECT_EQ(points->item(0)->text(), QStringLiteral("G1（2张）"));
    EXPECT_EQ(points->item(1)->text(), QStringLiteral("G2（0张）"));
    EXPECT_TRUE(w.Find<QLabel>("lblCandidates")->text().contains("IMG_0009.JPG"));

    points->setCurrentRow(0);
    // Line A (heading east): 3 m east is up, 4 m north is left of the centre.
    // Line B (heading west): 16 m south of its middle photo is to its left.
    struct Expected {
        const char* list;
        const char* preview;
        const char* photo;
        double x, y;
    };
    for (const Expected& e : {Expected{"fleA", "picA", "IMG_0002.JPG", 160, 120},
                              Expected{"fleB", "picB", "IMG_0012.JPG", 40, 180}}) {
        SCOPED_TRACE(e.list);
        auto* list = w.Find<QListWidget>(e.list);
        ASSERT_NE(list->currentItem(), nullptr);
        EXPECT_EQ(list->currentItem()->text(), QString::fromLatin1(e.photo));
        const auto mark = w.Find<PhotoPreview>(e.preview)->Mark();
        ASSERT_TRUE(mark.has_value());
        EXPECT_NEAR(mark->x() * 400, e.x, 0.5);
        EXPECT_NEAR(mark->y() * 300, e.y, 0.5);
    }
    // A jump is no click: nothing was opened. Opening the marked photo
    // centres the photo view on the point.
    EXPECT_TRUE(w.fake.desktop.calls.empty());
    auto* picB = w.Find<PhotoPreview>("picB");
    QMouseEvent open(QEvent::MouseButtonDblClick, QPointF(5, 5), picB->mapToGlobal(QPointF(5, 5)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picB, &open);
    ASSERT_EQ(w.fake.viewer.centres.size(), 1u);
    ASSERT_TRUE(w.fake.viewer.centres[0].has_value());
    EXPECT_NEAR(w.fake.viewer.centres[0]->x(), 40, 0.5);
    EXPECT_NEAR(w.fake.viewer.centres[0]->y(), 180, 0.5);

    // A point no photo shows leaves no photo selected and no mark.
    points->setCurrentRow(1);
    for (const char* list : {"fleA", "fleB"})
        EXPECT_EQ(w.Find<QListWidget>(list)->currentRow(), -1);
    EXPECT_FALSE(w.Find<PhotoPreview>("picA")->Mark().has_value());

    // A camera mounted the other way round: on line A east is down, north right.
    w.Find<QComboBox>("cboHeading")->setCurrentIndex(2);
    points->setCurrentRow(0);
    const auto turned = w.Find<PhotoPreview>("picA")->Mark();
    ASSERT_TRUE(turned.has_value());
    EXPECT_NEAR(turned->x() * 400, 240, 0.5);
    EXPECT_NEAR(turned->y() * 300, 180, 0.5);

    // A file that cannot be read is reported and empties the list.
    w.Points("G1,30.5,114.25,10\nG2,north,114.25,10\n");
    EXPECT_EQ(points->count(), 0);
    ASSERT_EQ(w.fake.dialogs.messages.size(), 1u);
    const auto& m = w.fake.dialogs.messages[0];
    EXPECT_EQ(m.text, QStringLiteral("控制点文件 %1 第2行不是“点名,纬度,经度,大地高”（十进制度）。")
                          .arg(Native(w.temp / "points.csv")));
    EXPECT_EQ(m.icon, MsgIcon::Exclamation);
    EXPECT_EQ(m.caption, QStringLiteral("Photoshop像控选点"));
}

}  // namespace
}  // namespace skyrell
