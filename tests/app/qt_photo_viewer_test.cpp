#include "app/qt_photo_viewer.h"

#include <gtest/gtest.h>

#include <QImage>

#include "pricking/qt_photo_view.h"
#include "support/temp_folder.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;

QString Native(const fs::path& path) { return QString::fromStdString(path.string()); }

TEST(BuiltInPhotoViewer, OpensPhotosInOneWindowOfItsOwnerAndRefusesOtherFiles) {
    testing::TempFolder folder;
    QImage photo(320, 240, QImage::Format_RGB888);
    photo.fill(Qt::gray);
    ASSERT_TRUE(photo.save(Native(folder / "a.jpg"), "JPEG"));
    ASSERT_TRUE(photo.save(Native(folder / "b.jpg"), "JPEG"));
    testing::WriteBytes(folder / "c.jpg", "not a picture");
    QWidget owner;
    BuiltInPhotoViewer viewer;

    EXPECT_FALSE(viewer.Open(&owner, Native(folder / "c.jpg"), std::nullopt));
    EXPECT_FALSE(viewer.Open(&owner, Native(folder / "missing.jpg"), std::nullopt));
    EXPECT_EQ(viewer.Window(), nullptr);

    ASSERT_TRUE(viewer.Open(&owner, Native(folder / "a.jpg"), std::nullopt));
    PhotoViewerWindow* window = viewer.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), &owner);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(viewer.Open(&owner, Native(folder / "b.jpg"), QPointF(100.5, 50.5)));
    EXPECT_EQ(viewer.Window(), window);
    EXPECT_EQ(window->View()->Photo(), Native(folder / "b.jpg"));
    EXPECT_EQ(window->View()->Mark(), QPointF(100.5, 50.5));
}

}  // namespace
}  // namespace skyrell
