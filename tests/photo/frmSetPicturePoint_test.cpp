#include "photo/frmSetPicturePoint.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "photo/qt_photo_preview.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::DesktopCall;
using testing::FakeServices;
using testing::TempFolder;
using testing::WriteBytes;

QString Native(const fs::path& path) { return QString::fromStdString(path.string()); }

struct Window {
    FakeServices fake;
    QWidget owner;
    frmSetPicturePoint* form = new frmSetPicturePoint(fake.services, &owner);
    Window() { form->show(); }
    template <class T>
    T* Find(const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QStringList Entries(const char* list) {
        QStringList out;
        for (auto* item : Find<QListWidget>(list)->findItems("*", Qt::MatchWildcard))
            out << item->text();
        return out;
    }
    void Choose(const char* button, const fs::path& folder) {
        fake.dialogs.folders.push_back(Native(folder));
        Find<QPushButton>(button)->click();
    }
    void Mouse(const char* list, int row, QEvent::Type type) {
        auto* widget = Find<QListWidget>(list);
        const QPointF at = widget->visualItemRect(widget->item(row)).center();
        const auto buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, widget->viewport()->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(widget->viewport(), &event);
    }
    void Click(const char* list, int row, bool twice = false) {
        Mouse(list, row, QEvent::MouseButtonPress);
        Mouse(list, row, QEvent::MouseButtonRelease);
        if (!twice) return;
        Mouse(list, row, QEvent::MouseButtonDblClick);
        Mouse(list, row, QEvent::MouseButtonRelease);
    }
    void KeyDown(const char* list) {
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(Find<QListWidget>(list), &event);
    }
};

// Two line folders, each with a JPEG and a TIFF photo.
struct Lines {
    TempFolder folder;
    Lines() {
        for (const char* line : {"line3", "line4"})
            for (const char* name : {"IMG_0001.JPG", "IMG_0002.tif", "IMG_0003.jpg"})
                WriteBytes(folder / line / name, "x");
    }
    fs::path A() const { return folder / "line3"; }
    fs::path B() const { return folder / "line4"; }
};

TEST(frmSetPicturePoint, FoldersFilterAndRememberedFolder) {
    Lines lines;
    Window w;
    EXPECT_TRUE(w.form->windowFlags() & Qt::WindowStaysOnTopHint);
    w.Choose("cmdA", lines.A());
    EXPECT_EQ(w.fake.dialogs.folderDialogs[0].title, QStringLiteral("选择航线A路径"));
    EXPECT_EQ(w.fake.dialogs.folderDialogs[0].initialFolder, "");
    EXPECT_EQ(w.Find<QLineEdit>("txtA")->text(), Native(lines.A()));
    EXPECT_EQ(w.Entries("fleA"), (QStringList{"IMG_0001.JPG", "IMG_0003.jpg"}));
    EXPECT_TRUE(w.Entries("fleB").isEmpty());

    // Line B starts browsing where line A was chosen and leaves list A alone.
    w.Find<QListWidget>("fleA")->setCurrentRow(1);
    w.Choose("cmdB", lines.B());
    EXPECT_EQ(w.fake.dialogs.folderDialogs[1].title, QStringLiteral("选择航线B路径"));
    EXPECT_EQ(w.fake.dialogs.folderDialogs[1].initialFolder, Native(lines.A()));
    EXPECT_EQ(w.Entries("fleB"), (QStringList{"IMG_0001.JPG", "IMG_0003.jpg"}));
    EXPECT_EQ(w.Find<QListWidget>("fleA")->currentRow(), 1);

    // The filter refills both lists at once.
    w.Find<QComboBox>("cboFormat")->setCurrentIndex(1);
    const QStringList all{"IMG_0001.JPG", "IMG_0002.tif", "IMG_0003.jpg"};
    EXPECT_EQ(w.Entries("fleA"), all);
    EXPECT_EQ(w.Entries("fleB"), all);

    // A cancelled browser changes nothing.
    w.Find<QPushButton>("cmdA")->click();
    EXPECT_EQ(w.Find<QLineEdit>("txtA")->text(), Native(lines.A()));
    EXPECT_EQ(w.Entries("fleA"), all);
}

TEST(frmSetPicturePoint, OpensOnTheGestureOfTheModeOrSaysItCannot) {
    enum Gesture { Click, DoubleClick, Keyboard };
    struct Case {
        const char* mode;
        Gesture gesture;
        int opens;
        bool installed = true;
    };
    const Case cases[] = {
        {"optA", Click, 1},        {"optA", DoubleClick, 1}, {"optA", Keyboard, 1},
        {"optB", Click, 0},        {"optB", DoubleClick, 1}, {"optB", Keyboard, 0},
        {"optA", Click, 1, false},
    };
    Lines lines;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + std::to_string(c.gesture));
        Window w;
        w.fake.viewer.opensSucceed = c.installed;
        w.Choose("cmdB", lines.B());
        w.Find<QRadioButton>(c.mode)->click();
        if (c.gesture == Keyboard)
            w.KeyDown("fleB");
        else
            w.Click("fleB", 0, c.gesture == DoubleClick);
        const DesktopCall open{"view", Native(lines.B() / "IMG_0001.JPG")};
        EXPECT_EQ(w.fake.desktop.calls, std::vector<DesktopCall>(c.opens, open));
        ASSERT_EQ(w.fake.dialogs.messages.size(), c.installed ? 0u : 1u);
        if (c.installed) continue;
        const auto& shown = w.fake.dialogs.messages[0];
        EXPECT_EQ(shown.text, QStringLiteral("系统未安装Photoshop，无法打开航片！"));
        EXPECT_EQ(shown.icon, MsgIcon::Exclamation);
        EXPECT_EQ(shown.buttons, MsgButtons::Ok);
        EXPECT_EQ(shown.caption, QStringLiteral("Photoshop像控选点"));
    }
}

bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(frmSetPicturePoint, PreviewsTheSelectedPhoto) {
    TempFolder folder;
    fs::create_directories(folder / "line");
    QImage photo(300, 200, QImage::Format_RGB888);
    photo.fill(Qt::darkGreen);
    ASSERT_TRUE(photo.save(Native(folder / "line" / "DSC0001.JPG"), "JPEG"));
    WriteBytes(folder / "line" / "DSC0002.JPG", "not a picture");
    Window w;
    w.Find<QRadioButton>("optB")->click();
    w.Choose("cmdA", folder / "line");
    auto* picA = w.Find<PhotoPreview>("picA");
    auto* picB = w.Find<PhotoPreview>("picB");
    EXPECT_EQ(picA->Text(), QStringLiteral("未选择航片"));

    w.Click("fleA", 0);
    ASSERT_TRUE(WaitFor([&] { return picA->HasImage(); })) << picA->Text().toStdString();
    EXPECT_EQ(picA->Photo(), Native(folder / "line" / "DSC0001.JPG"));
    EXPECT_EQ(picB->Text(), QStringLiteral("未选择航片"));
    EXPECT_TRUE(w.fake.desktop.calls.empty());

    // A double click on the preview opens the photo as the list does.
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), picA->mapToGlobal(QPointF(5, 5)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picA, &dbl);
    EXPECT_EQ(w.fake.desktop.calls,
              (std::vector<DesktopCall>{{"view", Native(folder / "line" / "DSC0001.JPG")}}));

    w.Click("fleA", 1);
    EXPECT_TRUE(WaitFor([&] { return picA->Text() == QStringLiteral("无法预览此文件"); }));
    EXPECT_FALSE(picA->HasImage());
}

}  // namespace
}  // namespace skyrell
