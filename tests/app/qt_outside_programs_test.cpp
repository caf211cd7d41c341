// A window whose file or folder no desktop program opens names it and its place.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <functional>

#include "app/frmMain.h"
#include "check/frmDataCheck.h"
#include "check/sortie_fixture.h"
#include "project/frmDataExecute.h"
#include "project/frmInfo.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

using testing::FakeServices;

QString Folder(const std::filesystem::path& path) { return Q(PathText(path)) + u'/'; }
void Click(QWidget& w, const char* name) {
    w.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
}

struct Expected {
    QString caption, lead, place, where = QStringLiteral("文件");
};

// Each row runs a window in `dir` up to its hand-over to the desktop.
using Row = std::function<Expected(FakeServices&, const std::filesystem::path& dir)>;

TEST(OutsidePrograms, EveryWindowNamesWhatItCouldNotOpenAndWhere) {
    const Row rows[] = {
        [](FakeServices& fake, const auto& dir) {
            frmMain window(fake.services);
            fake.dialogs.files = {Q(PathText(testing::DataFile("pos/flight.txt"))),
                                  Folder(dir) + "a.TXT"};
            fake.dialogs.answers = {MsgAnswer::Yes};
            window.PosTxtBl();
            return Expected{"POS->TXT", "无法启动文本编辑器打开文件“a.TXT”。", Folder(dir)};
        },
        [](FakeServices& fake, const auto& dir) {
            frmDataExecute window(fake.services, nullptr);
            window.findChild<QLineEdit*>("txtCDP")->setText(Folder(dir / "刺点片"));
            Click(window, "cmdCDP");
            return Expected{"像控点数据处理", "无法启动文件管理器打开文件夹“刺点片”。", Folder(dir),
                            "文件夹"};
        },
        [](FakeServices& fake, const auto& dir) {
            testing::WriteBytes(dir / "P0001.jpg", "jpg");
            frmInfo editor(fake.services, nullptr, [&dir] { return Folder(dir); });
            Click(editor, "chkPic");
            return Expected{"创建点位描述文件",
                            "系统中没有能打开文件“P0001.jpg”的程序，或该程序无法启动。",
                            Folder(dir)};
        },
        [](FakeServices& fake, const auto&) {
            testing::SortieFixture sortie;
            frmDataCheck window(fake.services, nullptr);
            fake.dialogs.folders = {Q(PathText(sortie.sortie))};
            Click(window, "cmdPath");
            Click(window, "cmdAutoCheck");
            return Expected{"像控成果数据检查", "无法启动文本编辑器打开文件“自动检查报告.txt”。",
                            Folder(sortie.sortie)};
        },
        [](FakeServices& fake, const auto&) {
            frmMain window(fake.services);
            window.ItemClick(4, 0);
            return Expected{"Skyrell ", "无法启动浏览器打开文件“index.html”。",
                            Folder(fake.programFolder / "help")};
        },
    };
    for (const auto& row : rows) {
        FakeServices fake;
        testing::TempFolder dir;
        fake.desktop.launchSucceeds = false;
        const Expected expected = row(fake, dir.path());
        SCOPED_TRACE(expected.caption.toStdString());
        ASSERT_EQ(fake.desktop.calls.size(), 1u);
        const auto& shown = fake.dialogs.messages.at(fake.dialogs.messages.size() - 1);
        EXPECT_EQ(shown.text, expected.lead + "\n该" + expected.where + "位于：" + expected.place +
                                  "\n请到该位置手动打开。");
        EXPECT_EQ(shown.icon, MsgIcon::Exclamation);
        EXPECT_EQ(shown.buttons, MsgButtons::Ok);
        EXPECT_EQ(shown.caption, expected.caption);
    }
}

}  // namespace
}  // namespace skyrell
