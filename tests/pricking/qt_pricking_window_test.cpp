#include "pricking/qt_pricking_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <functional>

#include "app/frmMain.h"
#include "pricking/qt_photo_view.h"
#include "project/frmDataExecute.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::FakeServices;
using testing::RecordedMessage;
using testing::TempFolder;

QString Native(const fs::path& path) { return QString::fromStdString(path.string()); }

// A sortie and two photos that show point P0001, 640 x 480 each.
struct Pricking {
    Pricking() {
        fs::create_directories(sortie / "刺点片");
        fs::create_directories(sortie / "过程数据");
        fs::create_directories(folder / "line");
        QImage photo(640, 480, QImage::Format_RGB888);
        photo.fill(Qt::darkGreen);
        for (const char* name : {"IMG_1.jpg", "IMG_2.jpg"})
            EXPECT_TRUE(photo.save(Native(folder / "line" / name), "JPEG"));
        window.resize(800, 560);
        window.show();
    }
    void Show(std::vector<skyrell::Pricking> record = {}) {
        window.OpenSortie(Native(sortie));
        PointSightings point{ControlPoint{"P0001", 30, 114, 50}, {}};
        for (const char* name : {"IMG_1.jpg", "IMG_2.jpg"})
            point.sightings.push_back({folder / "line" / name, 640, 480, 300.5, 200.5, 40});
        window.ShowSurvey({{point}, {}, {}, std::move(record)});
    }
    template <class W>
    W* Find(const char* name) {
        auto* widget = window.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    PhotoView* View() { return Find<PhotoView>("picPhoto"); }
    void ClickView(QPoint at) {
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, View()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(View(), &event);
        }
    }
    QString PointState() { return Find<QTreeWidget>("lstPoints")->topLevelItem(0)->text(1); }

    TempFolder folder;
    fs::path sortie = folder / "第1架次";
    FakeServices fake;
    PrickingWindow window{fake.services, nullptr};
};

TEST(PrickingWindow, PricksOpensEarlierPrickingsAndSaysWhatStopsIt) {
    const QString caption = QStringLiteral("像控点刺点");
    // A message whose text comes from the logic is checked for the file it names.
    struct Case {
        const char* what;
        std::function<void(Pricking&)> act;
        RecordedMessage expected;
        const char* names = nullptr;
    };
    const Case cases[] = {
        {"not a sortie",
         [](Pricking& p) {
             fs::remove(p.sortie / "过程数据");
             p.window.OpenSortie(Native(p.sortie));
             EXPECT_TRUE(p.Find<QLineEdit>("txtSortie")->text().isEmpty());
         },
         {QStringLiteral("“%1”不是架次文件夹：其中没有“刺点片”和“过程数据”文件夹。"),
          MsgIcon::Exclamation, MsgButtons::Ok, caption}},
        {"save before a click",
         [](Pricking& p) {
             p.Show();
             p.Find<QPushButton>("cmdSave")->click();
         },
         {QStringLiteral("请先在航片上单击像控点的位置。"), MsgIcon::Information, MsgButtons::Ok,
          caption}},
        {"leaving a moved mark, kept",
         [](Pricking& p) {
             p.Show();
             p.ClickView(QPoint(10, 10));
             p.Find<QListWidget>("lstPhotos")->setCurrentRow(1);
             EXPECT_EQ(p.Find<QListWidget>("lstPhotos")->currentRow(), 0);
             EXPECT_TRUE(p.View()->Mark().has_value());
         },
         {QStringLiteral("像控点P0001在航片IMG_1.jpg上的刺点位置尚未保存，是否放弃？"),
          MsgIcon::Question, MsgButtons::YesNo, caption}},
        {"another points kind with a moved mark, kept",
         [](Pricking& p) {
             p.Show();
             p.ClickView(QPoint(10, 10));
             p.Find<QComboBox>("cboPoints")->setCurrentIndex(1);
             EXPECT_EQ(p.Find<QComboBox>("cboPoints")->currentIndex(), 0);
             EXPECT_TRUE(p.View()->Mark().has_value());
         },
         {QStringLiteral("像控点P0001在航片IMG_1.jpg上的刺点位置尚未保存，是否放弃？"),
          MsgIcon::Question, MsgButtons::YesNo, caption}},
        {"a photo gone before saving",
         [](Pricking& p) {
             p.Show();
             p.ClickView(QPoint(10, 10));
             fs::remove(p.folder / "line" / "IMG_1.jpg");
             p.Find<QPushButton>("cmdSave")->click();
             EXPECT_TRUE(fs::is_empty(p.sortie / "刺点片"));
             EXPECT_EQ(p.PointState(), QStringLiteral("未刺"));
         },
         {QString(), MsgIcon::Exclamation, MsgButtons::Ok, caption},
         "IMG_1.jpg"},
        {"a GCP list without prickings",
         [](Pricking& p) {
             p.Show();
             p.fake.dialogs.files.push_back(Native(p.folder / "gcp_list.txt"));
             p.Find<QPushButton>("cmdGcp")->click();
             EXPECT_FALSE(fs::exists(p.folder / "gcp_list.txt"));
         },
         {QStringLiteral("刺点记录中没有带坐标的像控点，无法生成GCP列表。"), MsgIcon::Exclamation,
          MsgButtons::Ok, caption}},
        {"a points file that cannot be read",
         [](Pricking& p) {
             p.window.OpenSortie(Native(p.sortie));
             p.fake.dialogs.folders.push_back(Native(p.folder / "line"));
             p.Find<QPushButton>("cmdPhotos")->click();
             p.fake.dialogs.files.push_back(Native(p.folder / "missing.csv"));
             p.Find<QPushButton>("cmdPoints")->click();
             EXPECT_EQ(p.Find<QTreeWidget>("lstPoints")->topLevelItemCount(), 0);
         },
         {QString(), MsgIcon::Exclamation, MsgButtons::Ok, caption},
         "missing.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Pricking p;
        c.act(p);
        ASSERT_EQ(p.fake.dialogs.messages.size(), 1u);
        const auto& shown = p.fake.dialogs.messages[0];
        if (c.names)
            EXPECT_TRUE(shown.text.contains(QString::fromUtf8(c.names)))
                << shown.text.toStdString();
        else if (c.expected.text.contains(QStringLiteral("%1")))
            EXPECT_EQ(shown.text, c.expected.text.arg(Native(p.sortie)));
        else
            EXPECT_EQ(shown.text, c.expected.text);
        EXPECT_EQ(shown.icon, c.expected.icon);
        EXPECT_EQ(shown.buttons, c.expected.buttons);
        EXPECT_EQ(shown.caption, c.expected.caption);
    }
}

// Photos whose EXIF names no camera stop the search with the logic's message;
// the camera given in the window lets it run (the photos have no position, so
// the point shows without photos).
TEST(PrickingWindow, TheCameraGivenInTheWindowStandsForTheExif) {
    Pricking p;
    testing::WriteBytes(p.folder / "points.csv", "P0001,30,114,50\n");
    p.window.OpenSortie(Native(p.sortie));
    p.Find<QComboBox>("cboPoints")->setCurrentIndex(2);
    p.fake.dialogs.folders.push_back(Native(p.folder / "line"));
    p.Find<QPushButton>("cmdPhotos")->click();
    p.fake.dialogs.files.push_back(Native(p.folder / "points.csv"));
    p.Find<QPushButton>("cmdPoints")->click();
    ASSERT_EQ(p.fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(p.fake.dialogs.messages[0].text.contains(QStringLiteral("IMG_1.jpg")));
    EXPECT_EQ(p.Find<QTreeWidget>("lstPoints")->topLevelItemCount(), 0);

    p.Find<QDoubleSpinBox>("spnFocal")->setValue(8.8);
    auto* sensor = p.Find<QDoubleSpinBox>("spnSensor");
    sensor->setValue(13.2);
    emit sensor->editingFinished();
    EXPECT_EQ(p.fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.Find<QTreeWidget>("lstPoints")->topLevelItemCount(), 1);
}

// The keys step through the photos, not past either end, and press the
// buttons: Ctrl+S before a click asks for the click, as the button does.
TEST(PrickingWindow, KeysStepThroughThePhotosAndSave) {
    Pricking p;
    p.Show();
    const auto press = [&p](const QKeySequence& sequence) {
        for (auto* shortcut : p.window.findChildren<QShortcut*>())
            if (shortcut->key() == sequence) emit shortcut->activated();
    };
    auto* photos = p.Find<QListWidget>("lstPhotos");
    const struct {
        Qt::Key key;
        int row;
    } steps[] = {{Qt::Key_PageDown, 1},
                 {Qt::Key_PageDown, 1},
                 {Qt::Key_PageUp, 0},
                 {Qt::Key_PageUp, 0},
                 {Qt::Key_PageDown, 1}};
    for (const auto& step : steps) {
        press(QKeySequence(step.key));
        EXPECT_EQ(photos->currentRow(), step.row);
    }
    press(QKeySequence(QKeySequence::Save));
    ASSERT_EQ(p.fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(p.fake.dialogs.messages[0].text, QStringLiteral("请先在航片上单击像控点的位置。"));
}

// A second search shows its own photos, whichever row the point list kept,
// and an empty one leaves nothing to save.
TEST(PrickingWindow, ASecondSearchShowsItsOwnPhotos) {
    Pricking p;
    p.Show();
    PointSightings point{ControlPoint{"P0002", 30, 114, 50}, {}};
    point.sightings.push_back({p.folder / "line" / "IMG_2.jpg", 640, 480, 100, 100, 20});
    p.window.ShowSurvey({{point}, {}, {}, {}});
    auto* photos = p.Find<QListWidget>("lstPhotos");
    ASSERT_EQ(photos->count(), 1);
    EXPECT_TRUE(photos->item(0)->text().startsWith(QStringLiteral("IMG_2.jpg")));
    p.window.ShowSurvey({});
    EXPECT_EQ(photos->count(), 0);
    EXPECT_FALSE(p.Find<QPushButton>("cmdSave")->isEnabled());
}

TEST(PrickingWindow, SavesThenReopensThePrickingWhereItWasMade) {
    Pricking p;
    p.Show();
    // The photo opens at 100 % on the predicted pixel, without a mark yet.
    EXPECT_EQ(p.View()->Centre(), QPointF(300.5, 200.5));
    EXPECT_FALSE(p.View()->Mark().has_value());
    p.ClickView(QPoint(p.View()->width() / 2 + 20, p.View()->height() / 2));
    const auto mark = p.View()->Mark();
    ASSERT_TRUE(mark.has_value());
    p.Find<QPushButton>("cmdSave")->click();
    EXPECT_TRUE(p.fake.dialogs.messages.empty());
    EXPECT_TRUE(fs::exists(p.sortie / "刺点片" / "P0001_IMG_1.jpg"));
    EXPECT_TRUE(fs::exists(p.sortie / "过程数据" / "P0001.jpg"));
    EXPECT_EQ(p.PointState(), QStringLiteral("已刺"));
    // The GCP list holds the pricking in longitude and latitude.
    p.fake.dialogs.files.push_back(Native(p.folder / "gcp_list.txt"));
    p.Find<QPushButton>("cmdGcp")->click();
    EXPECT_EQ(testing::ReadBytes(p.folder / "gcp_list.txt").substr(0, 10), "EPSG:4326\n");
    // Another photo may now be chosen without a question.
    p.Find<QListWidget>("lstPhotos")->setCurrentRow(1);
    EXPECT_TRUE(p.fake.dialogs.messages.empty());

    // The sortie opened again shows the pricking on its photo, movable.
    Pricking again;
    again.Show(
        {{"P0001", "IMG_2.jpg", 100.5, 50.5, false}, {"P0001", "IMG_1.jpg", 12.5, 7.5, true}});
    EXPECT_EQ(again.PointState(), QStringLiteral("已刺，观测1"));
    EXPECT_EQ(again.View()->Mark(), QPointF(12.5, 7.5));
    again.Find<QListWidget>("lstPhotos")->setCurrentRow(1);
    EXPECT_EQ(again.View()->Mark(), QPointF(100.5, 50.5));
}

// Step 2 of the data-processing window opens the pricking window on its
// sortie, however often the navigation item was clicked.
TEST(PrickingWindow, OpensFromTheDataProcessingWindowOnItsSortie) {
    FakeServices fake;
    TempFolder root;
    const fs::path sortie = root / "2013-1-5" / "op1" / "第3架次";
    for (const char* sub : {"刺点片", "点之记", "现场照片", "原始数据", "坐标成果", "过程数据"})
        fs::create_directories(sortie / sub);
    frmMain main(fake.services);
    main.ItemClick(3, 0);
    main.ItemClick(3, 0);
    auto* execute = main.findChild<frmDataExecute*>();
    ASSERT_NE(execute, nullptr);
    execute->findChild<QLineEdit*>("txtUser1")->setText(QStringLiteral("op1"));
    fake.dialogs.folders.push_back(Native(root / "2013-1-5"));
    fake.dialogs.inputs.push_back(QStringLiteral("3"));
    execute->findChild<QPushButton*>("cmdOpenFolder")->click();
    execute->findChild<QPushButton*>("cmdPrick")->click();
    const auto windows = main.findChildren<PrickingWindow*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_EQ(windows[0]->findChild<QLineEdit*>("txtSortie")->text(), Native(sortie));
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

}  // namespace
}  // namespace skyrell
