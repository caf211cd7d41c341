// Step 5 of the data-processing window: the batch point records.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "project/frmDataExecute.h"
#include "shell/files.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::DataFile;
using testing::FakeServices;
using testing::TempFolder;
using testing::WriteBytes;

QString Folder(const fs::path& path) {
    return Q(PathText(path)) + QChar(static_cast<char16_t>(fs::path::preferred_separator));
}

// A sortie with one complete point, and the window's boxes filled for it.
struct Step5 {
    FakeServices fake;
    TempFolder sortie;
    frmDataExecute w{fake.services, nullptr};

    Step5() {
        fs::copy_file(fs::path(SKYRELL_RESOURCES) / "点之记模板.doc",
                      fake.programFolder / "点之记模板.doc");
        WriteBytes(sortie / "刺点片" / "P0001_IMG_0286.jpg", "jpeg");
        fs::create_directory(sortie / "点之记");
        WriteBytes(sortie / "过程数据" / "点位描述.txt", "P0001,a,b,,\r\n");
        fs::copy_file(DataFile("documents/sketch.jpg"), sortie / "过程数据" / "P0001.jpg");
        Set("txtCDP", Folder(sortie / "刺点片"));
        Set("txtGCSJ", Folder(sortie / "过程数据"));
        Set("txtDZJ", Folder(sortie / "点之记"));
        for (const char* name : {"txtUser1", "txtUser2", "txtUser3"}) Set(name, "op");
    }
    void Set(const char* box, const QString& text) {
        w.findChild<QLineEdit*>(QString::fromLatin1(box))->setText(text);
    }
    // Clicks cmdWord and waits until the run has ended.
    void Run() {
        auto* button = w.findChild<QPushButton*>(QStringLiteral("cmdWord"));
        button->click();
        QDeadlineTimer deadline(20000);
        while (!button->isEnabled() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_TRUE(button->isEnabled());
    }
};

TEST(frmDataExecute, PointRecordChecksInTheirOrder) {
    const QString info = QStringLiteral("像控点数据处理");
    const struct {
        std::function<void(Step5&)> change;
        QString message;  // empty: the run ends without a message
        MsgIcon icon;
    } cases[] = {
        {[](Step5& s) { s.Set("txtUser2", "   "); }, "点之记信息不完整。", MsgIcon::Information},
        {[](Step5& s) { s.Set("txtDate3", ""); }, "点之记信息不完整。", MsgIcon::Information},
        {[](Step5& s) { s.Set("txtCDP", ""); }, "", MsgIcon::None},
        {[](Step5& s) { fs::remove_all(s.sortie / "刺点片"); }, "刺点片目录“%1”不存在。",
         MsgIcon::Critical},
        {[](Step5& s) { fs::remove(s.sortie / "刺点片" / "P0001_IMG_0286.jpg"); }, "未发现刺点片。",
         MsgIcon::Information},
        {[](Step5& s) { s.Set("txtGCSJ", ""); }, "", MsgIcon::None},
        {[](Step5& s) { fs::remove(s.sortie / "过程数据" / "P0001.jpg"); }, "未发现点之记截图。",
         MsgIcon::Information},
        {[](Step5& s) { fs::remove(s.sortie / "过程数据" / "点位描述.txt"); },
         "未找到点位描述文件。", MsgIcon::Information},
        {[](Step5& s) { s.Set("txtDZJ", ""); }, "", MsgIcon::None},
    };
    for (const auto& c : cases) {
        Step5 s;
        c.change(s);
        s.Run();
        const QString message = c.message.arg(Folder(s.sortie / "刺点片"));
        ASSERT_EQ(s.fake.dialogs.messages.size(), message.isEmpty() ? 0u : 1u) << U(message);
        if (!message.isEmpty()) {
            EXPECT_EQ(s.fake.dialogs.messages[0].text, message);
            EXPECT_EQ(s.fake.dialogs.messages[0].icon, c.icon);
            EXPECT_EQ(s.fake.dialogs.messages[0].buttons, MsgButtons::Ok);
            EXPECT_EQ(s.fake.dialogs.messages[0].caption, info);
        }
        EXPECT_FALSE(fs::exists(s.sortie / "点之记" / "P0001.doc"));
        EXPECT_FALSE(fs::exists(s.sortie / "过程数据" / "批量创建点之记错误记录.txt"));
    }
}

TEST(frmDataExecute, PointRecordRunReportsAndOpensTheLog) {
    Step5 s;  // the description file lacks the point
    WriteBytes(s.sortie / "过程数据" / "点位描述.txt", "P0002,a,b,,\r\n");
    s.Run();
    ASSERT_EQ(s.fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(s.fake.dialogs.messages[0].text,
              QStringLiteral("批量创建点之记完毕，请仔细查看错误记录！"));
    EXPECT_EQ(s.fake.dialogs.messages[0].icon, MsgIcon::Information);
    const QString log = Q(PathText(s.sortie / "过程数据" / "批量创建点之记错误记录.txt"));
    EXPECT_EQ(s.fake.desktop.calls, (std::vector<testing::DesktopCall>{{"text", log}}));
    EXPECT_EQ(s.w.findChild<QGroupBox*>("fme5")->title(), QStringLiteral("第五步：批量创建点之记"));
    EXPECT_TRUE(fs::exists(s.sortie / "点之记" / "P0001.doc"));
    s.fake.desktop.launchSucceeds = false;  // the log is then named, with its folder
    s.Run();
    EXPECT_EQ(s.fake.dialogs.messages.back().text,
              "无法启动文本编辑器打开文件“批量创建点之记错误记录.txt”。\n该文件位于：" +
                  Folder(s.sortie / "过程数据") + "\n请到该位置手动打开。");
}

}  // namespace
}  // namespace skyrell
