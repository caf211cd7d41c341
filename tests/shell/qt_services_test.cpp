#include "shell/qt_services.h"

#include <gtest/gtest.h>

#include <QUrl>

#include "support/fakes.h"

namespace skyrell {
namespace {

using testing::FakeServices;

TEST(ShowFileDialog, ModeWithoutCaseAndFilterPairs) {
    FakeServices fake;
    const QString filter = QStringLiteral("POS文件(*.TXT)") + QChar(u'\0') +
                           QStringLiteral("*.TXT") + QChar(u'\0') + QStringLiteral("所有文件") +
                           QChar(u'\0') + QStringLiteral("*.*") + QChar(u'\0');
    fake.dialogs.files = {QStringLiteral("/a/b.txt")};
    EXPECT_EQ(ShowFileDialog(fake.services, "open", nullptr, "打开", filter), "/a/b.txt");
    EXPECT_EQ(ShowFileDialog(fake.services, "SAVE", nullptr, "保存", filter, "x.kml"), "");
    ASSERT_EQ(fake.dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(fake.dialogs.fileDialogs[0].mode, FileDialogMode::Open);
    EXPECT_EQ(fake.dialogs.fileDialogs[1].mode, FileDialogMode::Save);
    EXPECT_EQ(fake.dialogs.fileDialogs[1].initialName, "x.kml");
    const std::vector<FileFilter> expected{{"POS文件(*.TXT)", "*.TXT"}, {"所有文件", "*.*"}};
    EXPECT_EQ(fake.dialogs.fileDialogs[0].filters, expected);
}

TEST(BrowseForFolder, CancelKeepsThePath) {
    FakeServices fake;
    QString path = QStringLiteral("/old");
    EXPECT_EQ(BrowseForFolder(fake.services, nullptr, path, "选择"), "");
    EXPECT_EQ(path, "/old");
    fake.dialogs.folders = {QStringLiteral("/new")};
    EXPECT_EQ(BrowseForFolder(fake.services, nullptr, path, "选择"), "/new");
    EXPECT_EQ(path, "/new");
    EXPECT_EQ(fake.dialogs.folderDialogs[0].initialFolder, "/old");
}

TEST(QtDialogs, PatternsMatchWithoutCaseAndGiveTheirExtension) {
    EXPECT_EQ(CaseFreePattern("*.TXT"), "*.[tT][xX][tT]");
    EXPECT_EQ(CaseFreePattern("*.*"), "*.*");
    EXPECT_EQ(PatternExtension("*.KML"), "KML");
    EXPECT_EQ(PatternExtension("*.dxf;*.DWG"), "dxf");
    EXPECT_EQ(PatternExtension("*.*"), "");
    EXPECT_EQ(PatternExtension("*"), "");
}

TEST(ShowWriteFailure, CaptionCarriesTheErrorNumber) {
    FakeServices fake;
    ShowWriteFailure(fake.services, nullptr, 13, "Permission denied");
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_EQ(fake.dialogs.messages[0].text, "Permission denied");
    EXPECT_EQ(fake.dialogs.messages[0].caption, "错误 - 13");
    EXPECT_EQ(fake.dialogs.messages[0].buttons, MsgButtons::Ok);
}

TEST(QtDesktop, AnOpenerThatEndsInFailureDidNotOpen) {
    const std::pair<OpenerEnd, bool> cases[] = {{OpenerEnd::NotStarted, false},
                                                {OpenerEnd::Failed, false},
                                                {OpenerEnd::Succeeded, true},
                                                {OpenerEnd::StillRunning, true}};
    for (const auto& [end, opened] : cases) {
        QStringList handed;  // the opener, then the target as one encoded address
        QtDesktop desktop(QStringLiteral("opener"),
                          [&](const QString& program, const QStringList& arguments) {
                              handed << program << arguments;
                              return end;
                          });
        EXPECT_EQ(desktop.OpenFolder(QStringLiteral("/项目/第3架次 a/")), opened);
        EXPECT_EQ(desktop.OpenUrl(QStringLiteral("https://example.org/")), opened);
        EXPECT_EQ(QUrl::fromEncoded(handed.value(1).toLatin1()).toLocalFile(), "/项目/第3架次 a/");
    }
}

}  // namespace
}  // namespace skyrell
