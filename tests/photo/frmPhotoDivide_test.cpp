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

TEST(frmPhotoDivide, CountAndPatternRules) {
    TempFolder folder;
    for (const char* name : {"DSC0001.JPG", "DSC0002.jpg", "notes.txt"})
        WriteBytes(folder / "sortie" / name, "x");
    Window w;
    EXPECT_EQ(w.Text("txtPath"), QDir::toNativeSeparators(QDir::homePath()));
    w.Choose("cmdPath", folder / "sortie");
    EXPECT_EQ(w.fake.dialogs.folderDialogs.back().initialFolder,
              QDir::toNativeSeparators(QDir::homePath()));
    EXPECT_EQ(w.Find<QLabel>("lblCount")->text(), QStringLiteral("共计航片 2 张"));
    w.Find("txtPattern")->setText("");
    EXPECT_EQ(w.Find<QListWidget>("flePhoto")->count(), 0);
    w.Choose("cmdPath", folder / "sortie");
    EXPECT_EQ(w.Text("txtPattern"), "*.*");
    EXPECT_EQ(w.Find<QLabel>("lblCount")->text(), QStringLiteral("共计航片 3 张"));
}

// Every message of the dialog, the focus after each step, and a run that
// copies, advances the line and clears the numbers.
TEST(frmPhotoDivide, DivideStepsFocusAndMessages) {
    const QString numbers = QStringLiteral("请输入航片文件起止编号。");
    const QString unnumbered = QStringLiteral("有 2 张航片的文件名末尾没有编号，未参与划分。");
    struct Case {
        bool photos, save;
        QString line, from, to;
        QString focus;
        QString message;  // information icon, OK, the dialog caption; "" for none
        QString lineAfter, copied;
    };
    const Case cases[] = {
        {false, true, "1", "1", "2", "cmdPath", "", "1", ""},
        {true, false, "1", "1", "2", "cmdSave", "", "1", ""},
        {true, true, "", "1", "2", "txtLine", "", "", ""},
        {true, true, "2a", "1", "2", "txtLine", QStringLiteral("航线编号必须是整数。"), "2a", ""},
        {true, true, "1", "", "2", "txtFrom", numbers, "1", ""},
        {true, true, "1", "1", "", "txtFrom", numbers, "1", ""},
        {true, true, "1", "x", "2", "txtFrom", numbers, "1", ""},
        {true, true, "1", "1", "2.5", "txtFrom", numbers, "1", ""},
        {true, true, "3", "013", "12", "txtFrom", unnumbered, "4", "DSC0012.JPG DSC0013.JPG"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.focus + " " + c.line + "|" + c.from + "|" + c.to).toStdString());
        TempFolder folder;
        for (const char* name : {"DSC0011.JPG", "DSC0012.JPG", "DSC0013.JPG", "cover.JPG", "x.JPG"})
            WriteBytes(folder / "sortie" / name, name);
        fs::create_directories(folder / "save");
        Window w;
        w.Choose("cmdPath", c.photos ? folder / "sortie" : folder / "save");
        if (c.save) w.Choose("cmdSave", folder / "save");
        w.Find("txtLine")->setText(c.line);
        w.Find("txtFrom")->setText(c.from);
        w.Find("txtTo")->setText(c.to);
        w.Divide();
        EXPECT_EQ(w.Focused(), c.focus);
        ASSERT_EQ(w.fake.dialogs.messages.size(), c.message.isEmpty() ? 0u : 1u);
        if (!c.message.isEmpty()) {
            const auto& shown = w.fake.dialogs.messages[0];
            EXPECT_EQ(std::tuple(shown.text, shown.icon, shown.buttons, shown.caption),
                      std::tuple(c.message, MsgIcon::Information, MsgButtons::Ok, kCaption));
        }
        EXPECT_EQ(w.Text("txtLine"), c.lineAfter);
        QStringList copied;
        if (fs::exists(folder / "save" / "3"))
            for (const auto& entry : fs::directory_iterator(folder / "save" / "3"))
                copied << QString::fromStdString(entry.path().filename().string());
        copied.sort();
        EXPECT_EQ(copied.join(' '), c.copied);
        if (!c.copied.isEmpty()) {
            EXPECT_EQ(w.Text("txtFrom") + w.Text("txtTo"), "");
        }
    }
}

}  // namespace
}  // namespace skyrell
