#include "check/frmDataCheck.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "app/frmMain.h"
#include "check/sortie_fixture.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

namespace fs = std::filesystem;
using testing::DesktopCall;
using testing::FakeServices;
using testing::ReadBytes;
using testing::ResultsRow;
using testing::SortieFixture;

const QString kCaption = QStringLiteral("像控成果数据检查");

QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
}

class DataCheckWindow : public ::testing::Test {
  protected:
    template <class T>
    T* Find(const char* name) {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString SortieText() const { return Q(PathText(sortie.sortie)); }
    QString InSortie(const QString& relative) const { return SortieText() + "/" + relative; }

    // Chooses the sortie folder in the browser and runs the automatic check.
    void ChooseAndCheck() {
        fake.dialogs.folders.push_back(SortieText());
        Find<QToolButton>("cmdPath")->click();
        Find<QPushButton>("cmdAutoCheck")->click();
    }
    // A passing check of these points, with the recorded calls cleared.
    void PassCheck(std::initializer_list<std::string> points) {
        sortie.CompletePoints(points);
        ChooseAndCheck();
        ASSERT_TRUE(Find<QGroupBox>("fmeCheckByHand")->isEnabled());
        fake.desktop.calls.clear();
        fake.dialogs.messages.clear();
    }
    void DoubleClick(int row) {
        QListWidget* list = Find<QListWidget>("lstXKD");
        list->setCurrentRow(row);
        emit list->itemDoubleClicked(list->item(row));
    }
    void Tick(std::initializer_list<const char*> ticked) {
        for (const char* box : {"chkCDP", "chkXCZP", "chkDZJ", "chkZBCG"})
            Find<QCheckBox>(box)->setChecked(
                std::find_if(ticked.begin(), ticked.end(),
                             [&](auto t) { return std::string_view(t) == box; }) != ticked.end());
    }
    void ExpectMessages(const std::vector<testing::RecordedMessage>& expected) {
        const auto& got = fake.dialogs.messages;
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].text, expected[i].text) << i;
            EXPECT_EQ(got[i].icon, expected[i].icon) << got[i].text.toStdString();
            EXPECT_EQ(got[i].buttons, expected[i].buttons) << got[i].text.toStdString();
            EXPECT_EQ(got[i].caption, expected[i].caption) << got[i].text.toStdString();
        }
    }

    FakeServices fake;
    SortieFixture sortie;
    frmDataCheck window{fake.services, nullptr};
};

TEST_F(DataCheckWindow, OpensWithManualCheckDisabledAndEveryBoxTicked) {
    EXPECT_EQ(window.windowTitle(), kCaption);
    EXPECT_FALSE(Find<QGroupBox>("fmeCheckByHand")->isEnabled());
    EXPECT_EQ(Find<QGroupBox>("fmeCheckByHand")->title(), QStringLiteral("第二步：手工检查"));
    EXPECT_EQ(Find<QListWidget>("lstXKD")->count(), 0);
    EXPECT_TRUE(Find<QLineEdit>("txtPath")->isReadOnly());
    EXPECT_EQ(Find<QPushButton>("cmdAutoCheck")->text(), QStringLiteral("自动检查"));
    const std::pair<const char*, const char*> boxes[] = {{"chkCDP", "刺点片"},
                                                         {"chkXCZP", "现场照片"},
                                                         {"chkDZJ", "点之记"},
                                                         {"chkZBCG", "Google Earth 概略位置"}};
    for (const auto& [name, caption] : boxes) {
        EXPECT_TRUE(Find<QCheckBox>(name)->isChecked()) << name;
        EXPECT_EQ(Find<QCheckBox>(name)->text(), QString::fromUtf8(caption)) << name;
    }
}

TEST_F(DataCheckWindow, FolderMustBeASortieFolder) {
    QLineEdit* path = Find<QLineEdit>("txtPath");
    fake.dialogs.folders = {SortieText(), Q(PathText(sortie.root / "2012-11-18"))};
    Find<QToolButton>("cmdPath")->click();
    EXPECT_EQ(path->text(), SortieText() + "/");
    Find<QToolButton>("cmdPath")->click();  // a date folder is refused
    ExpectMessages({{QStringLiteral("项目路径未选择至“架次”文件夹，请重新选择。"), MsgIcon::None,
                     MsgButtons::Ok, kAppTitle}});
    EXPECT_EQ(path->text(), SortieText() + "/");
    Find<QToolButton>("cmdPath")->click();  // cancelled: nothing changes
    EXPECT_EQ(path->text(), SortieText() + "/");
    EXPECT_EQ(fake.dialogs.messages.size(), 1u);

    // The browser always starts at the folder chosen last, refused or not.
    ASSERT_EQ(fake.dialogs.folderDialogs.size(), 3u);
    const QString title = QStringLiteral("选择项目路径[至“架次”文件夹]");
    EXPECT_EQ(fake.dialogs.folderDialogs[0].title, title);
    EXPECT_EQ(fake.dialogs.folderDialogs[0].initialFolder, QString());
    EXPECT_EQ(fake.dialogs.folderDialogs[1].initialFolder, SortieText());
    EXPECT_EQ(fake.dialogs.folderDialogs[2].initialFolder, Q(PathText(sortie.root / "2012-11-18")));
}

TEST_F(DataCheckWindow, PassingCheckEnablesTheManualCheckUntilTheNextFolderChoice) {
    sortie.CompletePoints({"P0002", "P0001"});
    ChooseAndCheck();
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_EQ(fake.desktop.calls,
              (std::vector<DesktopCall>{{"text", InSortie(QStringLiteral("自动检查报告.txt"))}}));
    EXPECT_TRUE(fs::exists(sortie.sortie / "自动检查报告.txt"));
    EXPECT_TRUE(Find<QGroupBox>("fmeCheckByHand")->isEnabled());
    EXPECT_EQ(Texts(Find<QListWidget>("lstXKD")), (QStringList{"P0001", "P0002"}));

    fake.dialogs.folders.push_back(SortieText());
    Find<QToolButton>("cmdPath")->click();
    EXPECT_FALSE(Find<QGroupBox>("fmeCheckByHand")->isEnabled());
    EXPECT_EQ(Find<QListWidget>("lstXKD")->count(), 0);
}

TEST_F(DataCheckWindow, FailingCheckShowsTheReportOnly) {
    sortie.CompletePoints({"P0001"});
    ChooseAndCheck();
    ASSERT_TRUE(Find<QGroupBox>("fmeCheckByHand")->isEnabled());
    sortie.Remove(kSitePhotoFolder);
    Find<QPushButton>("cmdAutoCheck")->click();
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_EQ(fake.desktop.calls.size(), 2u);
    EXPECT_EQ(ReadBytes(sortie.sortie / "自动检查报告.txt"),
              ReadBytes(testing::DataFile("check/report_no_site_photo_folder.txt")));
    EXPECT_FALSE(Find<QGroupBox>("fmeCheckByHand")->isEnabled());
    EXPECT_EQ(Find<QListWidget>("lstXKD")->count(), 0);
}

TEST_F(DataCheckWindow, FolderThatHasGoneIsReportedWithoutAReport) {
    Find<QPushButton>("cmdAutoCheck")->click();  // no folder chosen yet: nothing happens
    EXPECT_TRUE(fake.dialogs.messages.empty());
    sortie.CompletePoints({"P0001"});
    fake.dialogs.folders.push_back(SortieText());
    Find<QToolButton>("cmdPath")->click();
    fs::remove_all(sortie.sortie);
    Find<QPushButton>("cmdAutoCheck")->click();
    ExpectMessages({{QStringLiteral("项目文件夹不存在，无法进行检查。"), MsgIcon::Information,
                     MsgButtons::Ok, kCaption}});
    EXPECT_TRUE(fake.desktop.calls.empty());
    EXPECT_FALSE(fs::exists(sortie.sortie));
}

TEST_F(DataCheckWindow, ReportThatCannotBeWrittenIsReportedAndNothingPasses) {
    sortie.CompletePoints({"P0001"});
    fs::create_directories(sortie.sortie / "自动检查报告.txt");
    ChooseAndCheck();
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(fake.dialogs.messages[0].text.contains(InSortie("自动检查报告.txt")));
    EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(fake.dialogs.messages[0].caption, kCaption);
    EXPECT_TRUE(fake.desktop.calls.empty());
    EXPECT_FALSE(Find<QGroupBox>("fmeCheckByHand")->isEnabled());
}

TEST_F(DataCheckWindow, ResultsThatCannotBeReadAreReportedAndNothingPasses) {
    const QString table = InSortie(QStringLiteral("坐标成果/坐标成果.csv"));
    sortie.CompletePoints({"P0001"});
    testing::MakeUnreadable(PathOf(U(table)));
    ChooseAndCheck();
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(fake.dialogs.messages[0].text.contains(table));
    EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(fake.dialogs.messages[0].caption, kCaption);
    EXPECT_TRUE(fake.desktop.calls.empty());
    EXPECT_FALSE(fs::exists(sortie.sortie / "自动检查报告.txt"));
    EXPECT_FALSE(Find<QGroupBox>("fmeCheckByHand")->isEnabled());

    // The rough position of a point reports the same, and opens nothing.
    PassCheck({"P0001"});
    Tick({"chkZBCG"});
    testing::MakeUnreadable(PathOf(U(table)));
    DoubleClick(0);
    ASSERT_EQ(fake.dialogs.messages.size(), 1u);
    EXPECT_TRUE(fake.dialogs.messages[0].text.contains(table));
    EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(fake.desktop.calls.empty());
    EXPECT_FALSE(fs::exists(sortie.sortie / "P0001.kml"));
}

TEST_F(DataCheckWindow, DoubleClickOpensEveryTickedKindInOrder) {
    PassCheck({"P0001", "P0002"});
    DoubleClick(1);
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_EQ(fake.desktop.calls,
              (std::vector<DesktopCall>{{"view", InSortie("刺点片/P0002_IMG_0287.jpg")},
                                        {"view", InSortie("现场照片/P0002.jpg")},
                                        {"open", InSortie("点之记/P0002.doc")},
                                        {"open", InSortie("P0002.kml")}}));
    EXPECT_NE(ReadBytes(sortie.sortie / "P0002.kml")
                  .find("         <coordinates>120.5,30.26,0</coordinates>\r\n"),
              std::string::npos);
}

TEST_F(DataCheckWindow, OnlyTickedKindsOpen) {
    PassCheck({"P0001"});
    Tick({"chkDZJ"});
    DoubleClick(0);
    EXPECT_EQ(fake.desktop.calls,
              (std::vector<DesktopCall>{{"open", InSortie("点之记/P0001.doc")}}));
    EXPECT_FALSE(fs::exists(sortie.sortie / "P0001.kml"));

    fake.desktop.calls.clear();
    Tick({});  // all boxes cleared: nothing at all
    fs::remove_all(sortie.Sub(kSitePhotoFolder));
    DoubleClick(0);
    EXPECT_TRUE(fake.desktop.calls.empty());
    EXPECT_TRUE(fake.dialogs.messages.empty());
}

TEST_F(DataCheckWindow, MissingFilesAreReportedStepByStep) {
    PassCheck({"P0001"});
    fs::remove(sortie.Sub(kSitePhotoFolder) / "P0001.jpg");
    fs::remove(sortie.Sub(kPointRecordFolder) / "P0001.doc");
    fs::remove(sortie.Sub(kCoordinateResultFolder) / "坐标成果.csv");
    DoubleClick(0);
    ExpectMessages({
        {QStringLiteral("未找到像控点P0001的现场照片。"), MsgIcon::None, MsgButtons::Ok, kAppTitle},
        {QStringLiteral("未找到像控点P0001的点之记。"), MsgIcon::None, MsgButtons::Ok, kAppTitle},
        {QStringLiteral("未找到像控点P0001的坐标成果文件。"), MsgIcon::Exclamation, MsgButtons::Ok,
         kCaption},
    });
    // The pricked-point photo still opens: each step stands on its own.
    EXPECT_EQ(fake.desktop.calls,
              (std::vector<DesktopCall>{{"view", InSortie("刺点片/P0001_IMG_0286.jpg")}}));
}

TEST_F(DataCheckWindow, PrickedPhotoOfAShortPointNameIsNotFound) {
    PassCheck({"P012"});
    Tick({"chkCDP"});
    DoubleClick(0);
    ExpectMessages({{QStringLiteral("未找到像控点P012的刺点片。"), MsgIcon::Exclamation,
                     MsgButtons::Ok, kCaption}});
    EXPECT_TRUE(fake.desktop.calls.empty());
}

TEST_F(DataCheckWindow, PointWithoutUsableCoordinatesIsReported) {
    PassCheck({"P0001", "P0002"});
    Tick({"chkZBCG"});
    const std::vector<std::vector<std::string>> tables = {
        {testing::kResultsHeader, ResultsRow("P0002")},           // no row of P0001
        {testing::kResultsHeader, "P0001,1,2,3,30.1536N"},        // fewer than six fields
        {testing::kResultsHeader, ResultsRow("P0001", "x", "y")}  // not an angle
    };
    for (const auto& table : tables) {
        fake.dialogs.messages.clear();
        sortie.Results(table);
        DoubleClick(0);
        ExpectMessages({{QStringLiteral("未找到P0001的坐标。"), MsgIcon::Exclamation,
                         MsgButtons::Ok, kCaption}});
    }
    EXPECT_TRUE(fake.desktop.calls.empty());
    EXPECT_FALSE(fs::exists(sortie.sortie / "P0001.kml"));
}

TEST_F(DataCheckWindow, MissingProgramsAreReportedAsNotInstalled) {
    PassCheck({"P0003"});
    fake.desktop.launchSucceeds = false;
    fake.viewer.opensSucceed = false;
    DoubleClick(0);
    ExpectMessages({
        {QStringLiteral("系统未安装Photoshop，无法打开刺点片！"), MsgIcon::Exclamation,
         MsgButtons::Ok, kCaption},
        {QStringLiteral("系统未安装Photoshop，无法打开现场照片！"), MsgIcon::Exclamation,
         MsgButtons::Ok, kCaption},
        {QStringLiteral("系统未安装Word，无法打开点之记文件！"), MsgIcon::Exclamation,
         MsgButtons::Ok, kCaption},
        {QStringLiteral("系统未安装Google Earth，无法执行Google Earth定位操作！"),
         MsgIcon::Exclamation, MsgButtons::Ok, kCaption},
    });
    // The document is written before the viewer is asked for.
    EXPECT_TRUE(fs::exists(sortie.sortie / "P0003.kml"));
}

TEST(DataCheckDispatch, NavigationItemShowsTheWindowOnce) {
    FakeServices fake;
    frmMain main(fake.services);
    main.ItemClick(3, 1);
    main.ItemClick(3, 1);
    auto* tool = qobject_cast<frmDataCheck*>(main.Tool(QStringLiteral("skyrell::frmDataCheck")));
    ASSERT_NE(tool, nullptr);
    EXPECT_TRUE(tool->isVisible());
    EXPECT_EQ(main.findChildren<frmDataCheck*>().size(), 1);
}

}  // namespace
}  // namespace skyrell
