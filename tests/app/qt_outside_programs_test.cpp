// Every window that hands a file or folder to a program of the desktop says so
// when that program cannot be started: which file or folder, and where it is.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <functional>

#include "app/frmMain.h"
#include "check/frmDataCheck.h"
#include "check/sortie_fixture.h"
#include "pos/frmTxtPos.h"
#include "project/frmDataExecute.h"
#include "project/frmInfo.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::DataFile;
using testing::FakeServices;
using testing::SortieFixture;
using testing::TempFolder;
using testing::WriteBytes;

QString Text(const fs::path& path) { return Q(PathText(path)); }
QString Folder(const fs::path& path) { return Text(path) + u'/'; }

template <class T>
T* Find(QWidget& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

struct Expected {
    QString caption;
    QString text;
};

// Each row runs one window up to the moment it hands something to the
// desktop, and returns the message that must follow.
using Row = std::function<Expected(FakeServices&, TempFolder&)>;

TEST(OutsidePrograms, EveryWindowNamesWhatItCouldNotOpenAndWhere) {
    const std::pair<const char*, Row> rows[] = {
        {"POS -> ID,B,L",
         [](FakeServices& fake, TempFolder& dir) {
             frmMain window(fake.services);
             fake.dialogs.files = {Text(DataFile("pos/flight.txt")), Text(dir / "a.TXT")};
             fake.dialogs.answers = {MsgAnswer::Yes};
             window.PosTxtBl();
             return Expected{"POS->TXT", "无法启动文本编辑器打开文件“a.TXT”。\n该文件位于：" +
                                             Folder(dir.path()) + "\n请到该位置手动打开。"};
         }},
        {"其他数据->POS",
         [](FakeServices& fake, TempFolder& dir) {
             QWidget owner;
             frmTxtPos form(fake.services, &owner);
             fake.dialogs.files = {Text(DataFile("pos/other_data.csv")), Text(dir / "b.TXT")};
             Find<QToolButton>(form, "cmdOpen")->click();
             Find<QComboBox>(form, "cboL")->setCurrentIndex(1);
             fake.dialogs.answers = {MsgAnswer::Yes};
             Find<QToolButton>(form, "cmdSave")->click();
             return Expected{"其他数据->POS", "无法启动文本编辑器打开文件“b.TXT”。\n该文件位于：" +
                                                  Folder(dir.path()) + "\n请到该位置手动打开。"};
         }},
        {"sub-folder in the file manager",
         [](FakeServices& fake, TempFolder& dir) {
             frmDataExecute window(fake.services, nullptr);
             Find<QLineEdit>(window, "txtCDP")->setText(Folder(dir / "刺点片"));
             Find<QPushButton>(window, "cmdCDP")->click();
             return Expected{"像控点数据处理",
                             "无法启动文件管理器打开文件夹“刺点片”。\n"
                             "该文件夹位于：" +
                                 Folder(dir.path()) + "\n请到该位置手动打开。"};
         }},
        {"point-record error log",
         [](FakeServices& fake, TempFolder& dir) {
             fs::copy_file(fs::path(SKYRELL_RESOURCES) / "点之记模板.doc",
                           fake.programFolder / "点之记模板.doc");
             WriteBytes(dir / "刺点片" / "P0001_IMG_0286.jpg", "jpeg");
             fs::create_directory(dir / "点之记");
             // The description file lacks the point: the run logs it.
             WriteBytes(dir / "过程数据" / "点位描述.txt", "P0002,a,b,,\r\n");
             fs::copy_file(DataFile("documents/sketch.jpg"), dir / "过程数据" / "P0001.jpg");
             frmDataExecute window(fake.services, nullptr);
             const std::pair<const char*, QString> boxes[] = {{"txtCDP", Folder(dir / "刺点片")},
                                                              {"txtGCSJ", Folder(dir / "过程数据")},
                                                              {"txtDZJ", Folder(dir / "点之记")},
                                                              {"txtUser1", "op"},
                                                              {"txtUser2", "op"},
                                                              {"txtUser3", "op"}};
             for (const auto& [box, text] : boxes) Find<QLineEdit>(window, box)->setText(text);
             auto* button = Find<QPushButton>(window, "cmdWord");
             button->click();
             QDeadlineTimer deadline(20000);
             while (!button->isEnabled() && !deadline.hasExpired())
                 QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
             return Expected{"像控点数据处理",
                             "无法启动文本编辑器打开文件“批量创建点之记错误记录.txt”。\n"
                             "该文件位于：" +
                                 Folder(dir / "过程数据") + "\n请到该位置手动打开。"};
         }},
        {"point screenshot",
         [](FakeServices& fake, TempFolder& dir) {
             WriteBytes(dir / "P0001.jpg", "jpg");
             frmInfo editor(fake.services, nullptr, [&dir] { return Folder(dir.path()); });
             Find<QCheckBox>(editor, "chkPic")->setChecked(true);
             return Expected{"创建点位描述文件",
                             "系统中没有能打开文件“P0001.jpg”的程序，或该程序无法启动。\n"
                             "该文件位于：" +
                                 Folder(dir.path()) + "\n请到该位置手动打开。"};
         }},
        {"automatic check report",
         [](FakeServices& fake, TempFolder&) {
             SortieFixture sortie;
             frmDataCheck window(fake.services, nullptr);
             fake.dialogs.folders = {Text(sortie.sortie)};
             Find<QToolButton>(window, "cmdPath")->click();
             Find<QPushButton>(window, "cmdAutoCheck")->click();
             return Expected{"像控成果数据检查",
                             "无法启动文本编辑器打开文件“自动检查报告.txt”。\n该文件位于：" +
                                 Folder(sortie.sortie) + "\n请到该位置手动打开。"};
         }},
        {"help page",
         [](FakeServices& fake, TempFolder&) {
             frmMain window(fake.services);
             window.ItemClick(4, 0);
             return Expected{"Skyrell ", "无法启动浏览器打开文件“index.html”。\n该文件位于：" +
                                             Folder(fake.programFolder / "help") +
                                             "\n请到该位置手动打开。"};
         }},
    };
    for (const auto& [name, row] : rows) {
        SCOPED_TRACE(name);
        FakeServices fake;
        TempFolder dir;
        fake.desktop.launchSucceeds = false;
        const Expected expected = row(fake, dir);
        ASSERT_EQ(fake.desktop.calls.size(), 1u);
        ASSERT_FALSE(fake.dialogs.messages.empty());
        const auto& shown = fake.dialogs.messages.back();
        EXPECT_EQ(shown.text, expected.text);
        EXPECT_EQ(shown.icon, MsgIcon::Exclamation);
        EXPECT_EQ(shown.buttons, MsgButtons::Ok);
        EXPECT_EQ(shown.caption, expected.caption);
    }
}

}  // namespace
}  // namespace skyrell
