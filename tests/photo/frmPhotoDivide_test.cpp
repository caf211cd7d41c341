#include "photo/frmPhotoDivide.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

#include "support/fakes.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::FakeServices;
using testing::RecordedMessage;
using testing::TempFolder;
using testing::WriteBytes;

const QString kCaption = QStringLiteral("航片划分(航线)");

struct Window {
    FakeServices fake;
    QWidget owner;
    frmPhotoDivide* form = new frmPhotoDivide(fake.services, &owner);
    template <class T = QLineEdit>
    T* Find(const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString Text(const char* box) { return Find(box)->text(); }
    void Choose(const char* button, const fs::path& folder) {
        fake.dialogs.folders.push_back(QString::fromStdString(folder.string()));
        Find<QToolButton>(button)->click();
    }
    void Divide() {
        Find<QToolButton>("cmdDivide")->click();
        while (form->Dividing()) QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QString Focused() { return form->focusWidget() ? form->focusWidget()->objectName() : ""; }
};

TEST(frmPhotoDivide, LoadValuesAndThePatternRules) {
    TempFolder folder;
    for (const char* name : {"DSC0001.JPG", "DSC0002.jpg", "notes.txt"})
        WriteBytes(folder / "sortie" / name, "x");
    Window w;
    EXPECT_EQ(w.form->windowTitle(), kCaption);
    EXPECT_EQ(w.Text("txtPath"), QDir::toNativeSeparators(QDir::homePath()));
    EXPECT_EQ(w.Text("txtPattern"), "*.JPG");
    EXPECT_EQ(w.Find<QLabel>("lblCount")->text(), QStringLiteral("共计航片 0 张"));
    EXPECT_EQ(w.Text("txtLine") + w.Text("txtFrom") + w.Text("txtTo"), "111");

    w.Choose("cmdPath", folder / "sortie");
    EXPECT_EQ(w.fake.dialogs.folderDialogs.back().title, QStringLiteral("选择航片(架次)路径"));
    EXPECT_EQ(w.fake.dialogs.folderDialogs.back().initialFolder,
              QDir::toNativeSeparators(QDir::homePath()));
    EXPECT_EQ(w.Find<QLabel>("lblCount")->text(), QStringLiteral("共计航片 2 张"));
    w.Find("txtPattern")->setText("");
    EXPECT_EQ(w.Find<QListWidget>("flePhoto")->count(), 0);
    EXPECT_EQ(w.Find<QLabel>("lblCount")->text(), QStringLiteral("共计航片 0 张"));
    w.Choose("cmdPath", folder / "sortie");
    EXPECT_EQ(w.Text("txtPattern"), "*.*");
    EXPECT_EQ(w.Find<QLabel>("lblCount")->text(), QStringLiteral("共计航片 3 张"));

    w.Choose("cmdSave", folder.path());
    EXPECT_EQ(w.fake.dialogs.folderDialogs.back().title, QStringLiteral("选择航线保存路径"));
    EXPECT_EQ(w.Text("txtSave"), QString::fromStdString(folder.path().string()));
}

TEST(frmPhotoDivide, MissingOrWrongInputsMoveTheFocusAndCopyNothing) {
    const RecordedMessage numbers{QStringLiteral("请输入航片文件起止编号。"), MsgIcon::Information,
                                  MsgButtons::Ok, kCaption};
    const RecordedMessage line{QStringLiteral("航线编号必须是整数。"), MsgIcon::Information,
                               MsgButtons::Ok, kCaption};
    struct Case {
        bool photos, save;
        QString line, from, to;
        QString focus;
        std::optional<RecordedMessage> message;
    };
    const Case cases[] = {
        {false, true, "1", "1", "2", "cmdPath", {}},
        {true, false, "1", "1", "2", "cmdSave", {}},
        {true, true, "", "1", "2", "txtLine", {}},
        {true, true, "2a", "1", "2", "txtLine", line},
        {true, true, "1", "", "2", "txtFrom", numbers},
        {true, true, "1", "1", "", "txtFrom", numbers},
        {true, true, "1", "x", "2", "txtFrom", numbers},
        {true, true, "1", "1", "2.5", "txtFrom", numbers},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.focus + " " + c.line + "|" + c.from + "|" + c.to).toStdString());
        TempFolder folder;
        WriteBytes(folder / "sortie" / "DSC0001.JPG", "x");
        fs::create_directories(folder / "save");
        Window w;
        w.Choose("cmdPath", c.photos ? folder / "sortie" : folder / "save");
        if (c.save) w.Choose("cmdSave", folder / "save");
        w.Find("txtLine")->setText(c.line);
        w.Find("txtFrom")->setText(c.from);
        w.Find("txtTo")->setText(c.to);
        w.Divide();
        EXPECT_EQ(w.Focused(), c.focus);
        ASSERT_EQ(w.fake.dialogs.messages.size(), c.message ? 1u : 0u);
        if (c.message) {
            const auto& shown = w.fake.dialogs.messages[0];
            EXPECT_EQ(shown.text, c.message->text);
            EXPECT_EQ(shown.icon, c.message->icon);
            EXPECT_EQ(shown.buttons, c.message->buttons);
            EXPECT_EQ(shown.caption, c.message->caption);
        }
        EXPECT_TRUE(fs::is_empty(folder / "save"));
        EXPECT_EQ(w.Text("txtLine"), c.line);
    }
}

TEST(frmPhotoDivide, DividingAdvancesTheLineAndClearsTheNumbers) {
    TempFolder folder;
    for (const char* name : {"DSC0011.JPG", "DSC0012.JPG", "DSC0013.JPG", "cover.JPG", "x.JPG"})
        WriteBytes(folder / "sortie" / name, name);
    fs::create_directories(folder / "save");
    Window w;
    w.Choose("cmdPath", folder / "sortie");
    w.Choose("cmdSave", folder / "save");
    w.Find("txtLine")->setText("3");
    w.Find("txtFrom")->setText("013");
    w.Find("txtTo")->setText("12");
    w.Divide();
    EXPECT_TRUE(fs::exists(folder / "save" / "3" / "DSC0012.JPG"));
    EXPECT_TRUE(fs::exists(folder / "save" / "3" / "DSC0013.JPG"));
    EXPECT_FALSE(fs::exists(folder / "save" / "3" / "DSC0011.JPG"));
    EXPECT_EQ(w.Text("txtLine"), "4");
    EXPECT_EQ(w.Text("txtFrom") + w.Text("txtTo"), "");
    EXPECT_EQ(w.Focused(), "txtFrom");
    // The two photos without a number are counted once, after the run.
    ASSERT_EQ(w.fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.fake.dialogs.messages[0].text,
              QStringLiteral("有 2 张航片的文件名末尾没有编号，未参与划分。"));
    EXPECT_EQ(w.fake.dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(w.fake.dialogs.messages[0].caption, kCaption);
}

}  // namespace
}  // namespace skyrell
