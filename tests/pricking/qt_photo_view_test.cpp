#include "pricking/qt_photo_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <vector>

#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteBytes;

QString Native(const fs::path& path) { return QString::fromStdString(path.string()); }

// A photo of odd size, larger than the first picture, so that it opens in
// both steps.
fs::path WritePhoto(const TempFolder& folder, int width, int height) {
    QImage photo(width, height, QImage::Format_RGB888);
    photo.fill(Qt::darkGreen);
    const fs::path file = folder / "IMG_0001.JPG";
    EXPECT_TRUE(photo.save(Native(file), "JPEG"));
    return file;
}

void Click(PhotoView& view, QPoint at) {
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    }
}

void Key(PhotoView& view, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

TEST(PhotoView, OpensCentredOnThePredictedPixelAndPricksWhereClicked) {
    TempFolder folder;
    const fs::path file = WritePhoto(folder, 2501, 1601);
    PhotoView view;
    view.resize(401, 301);
    int full = 0;
    QObject::connect(&view, &PhotoView::FullResolutionReady, [&] { ++full; });
    view.Open(Native(file), QPointF(1234.5, 987.5));
    ASSERT_TRUE(view.HasPicture()) << view.Text().toStdString();
    EXPECT_EQ(view.PhotoSize(), QSize(2501, 1601));
    EXPECT_EQ(full, 1);
    EXPECT_TRUE(view.FullResolution());
    EXPECT_DOUBLE_EQ(view.Scale(), 1);
    EXPECT_EQ(view.Centre(), QPointF(1234.5, 987.5));

    // At 100 % the screen pixel (0, 0) shows photo pixel (1034, 837): the
    // view's middle, 200.5 and 150.5, lies on the centre.
    int moved = 0;
    QObject::connect(&view, &PhotoView::MarkMoved, [&] { ++moved; });
    Click(view, QPoint(0, 0));
    ASSERT_EQ(moved, 1);
    EXPECT_EQ(view.Mark(), QPointF(1034.5, 837.5));
    // Arrow keys move it one screen pixel, that is one photo pixel here and
    // an eighth at 800 %, to the tenth.
    Key(view, Qt::Key_Right);
    EXPECT_EQ(view.Mark(), QPointF(1035.5, 837.5));
    view.SetScale(8);
    Key(view, Qt::Key_Up);
    EXPECT_EQ(view.Mark(), QPointF(1035.5, 837.4));
    EXPECT_EQ(moved, 3);

    // A drag pans and sets nothing; a view that may not prick ignores clicks.
    const QPointF centre = view.Centre();
    for (const auto& [type, at] : {std::pair{QEvent::MouseButtonPress, QPoint(100, 100)},
                                   std::pair{QEvent::MouseMove, QPoint(140, 100)},
                                   std::pair{QEvent::MouseButtonRelease, QPoint(140, 100)}}) {
        QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    }
    EXPECT_EQ(view.Centre(), centre - QPointF(40.0 / 8, 0));
    view.SetMarkEditable(false);
    Click(view, QPoint(5, 5));
    EXPECT_EQ(moved, 3);
}

TEST(PhotoView, OpensWholeWithoutACentreAndSaysWhyAFileCannotBeShown) {
    TempFolder folder;
    const fs::path file = WritePhoto(folder, 803, 601);
    PhotoView view;
    view.resize(400, 300);
    view.Open(Native(file));
    ASSERT_TRUE(view.HasPicture());
    EXPECT_DOUBLE_EQ(view.Scale(), 400.0 / 803);
    EXPECT_EQ(view.Centre(), QPointF(401.5, 300.5));
    EXPECT_EQ(view.Mark(), std::nullopt);

    WriteBytes(folder / "bad.jpg", "not a picture");
    std::vector<bool> opened;
    QObject::connect(&view, &PhotoView::Opened, [&](bool shown) { opened.push_back(shown); });
    view.Open(Native(folder / "bad.jpg"));
    EXPECT_EQ(opened, std::vector<bool>{false});
    EXPECT_FALSE(view.HasPicture());
    EXPECT_TRUE(view.Text().startsWith(QStringLiteral("无法打开此文件：")));
    Click(view, QPoint(10, 10));
    EXPECT_EQ(view.Mark(), std::nullopt);
}

}  // namespace
}  // namespace skyrell
