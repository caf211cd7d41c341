#include "app/frmMain.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QThread>
#include <QToolButton>
#include <QWindow>

#include "app/qt_navigation_bar.h"
#include "photo/frmPhotoRotate.h"
#include "shell/files.h"
#include "support/fakes.h"
#include "support/image_engine_samples.h"

namespace skyrell {
namespace {

using testing::FakeServices;

struct Expected {
    QString header;
    QStringList items;
};

TEST(frmMain, NavigationContentInOrder) {
    FakeServices fake;
    frmMain window(fake.services);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Skyrell "));
    NavigationBar* bar = window.findChild<NavigationBar*>(QStringLiteral("ebMain"));
    ASSERT_NE(bar, nullptr);
    const Expected groups[] = {
        {"POS数据转换",
         {"POS -> KML.Point", "POS -> KML.Polyline", "POS -> DXF.Point", "POS -> DXF.Polyline",
          "POS -> ID,B,L", "POS -> ID,X,Y", "POS -> 选项", "其他 -> POS"}},
        {"航片处理", {"航片划分(航线)", "航片旋转", "航片缩放"}},
        {"像控点布设", {"Photoshop像控选点"}},
        {"像控数据处理", {"像控数据处理", "像控数据检查", "像控点刺点"}},
        {"帮助与支持", {"技术支持"}},
    };
    ASSERT_EQ(bar->GroupCount(), 6);
    for (int g = 0; g < 5; ++g) {
        EXPECT_EQ(bar->GroupCaption(g), groups[g].header);
        EXPECT_EQ(bar->GroupState(g), NavigationBar::Closed);
        ASSERT_EQ(bar->ItemCount(g), groups[g].items.size());
        for (int i = 0; i < bar->ItemCount(g); ++i)
            EXPECT_EQ(bar->ItemCaption(g, i), groups[g].items[i]);
    }
    EXPECT_EQ(bar->GroupCaption(5), QStringLiteral("关于我"));
    EXPECT_TRUE(bar->IsDetailGroup(5));
    EXPECT_EQ(bar->GroupState(5), NavigationBar::Open);
    EXPECT_EQ(bar->ItemCount(5), 0);
    EXPECT_TRUE(bar->DetailText(5).startsWith(QStringLiteral("Skyrell Professional v1.0\n")));
    EXPECT_TRUE(bar->DetailText(5).contains(QStringLiteral("软件研发：")));
    EXPECT_TRUE(bar->DetailText(5).endsWith(QStringLiteral("技术支持：帮助文档")));
}

TEST(frmMain, GroupHeaderTogglesAndReportsOnlyTheNavigationState) {
    FakeServices fake;
    frmMain window(fake.services);
    NavigationBar* bar = window.Navigation();
    std::vector<std::pair<int, int>> clicks;
    QObject::connect(bar, &NavigationBar::GroupClick,
                     [&](int group, int state) { clicks.emplace_back(group, state); });
    bar->ClickGroupHeader(1);
    bar->HeaderButton(1)->click();
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{1, 0}, {1, 1}}));
    EXPECT_TRUE(fake.dialogs.messages.empty());
    EXPECT_TRUE(fake.desktop.calls.empty());
}

TEST(NavigationBar, HeaderClicksFollowTheGroupState) {
    // state at start, state after one header click, whether GroupClick is raised
    struct Case {
        int state, after;
        bool raised;
    };
    const Case cases[] = {{NavigationBar::Open, NavigationBar::Closed, true},
                          {NavigationBar::Closed, NavigationBar::Open, true},
                          {NavigationBar::FixedOpen, NavigationBar::FixedOpen, false}};
    for (const auto& c : cases) {
        NavigationBar bar;
        const int group = bar.AddNormalGroup("g", {}, c.state, {});
        bar.AddItem(group, "i", {}, {}, true, {});
        int groupClicks = 0;
        std::vector<std::pair<int, int>> items;
        QObject::connect(&bar, &NavigationBar::GroupClick, [&](int, int) { ++groupClicks; });
        QObject::connect(&bar, &NavigationBar::ItemClick,
                         [&](int g, int i) { items.emplace_back(g, i); });
        bar.ClickGroupHeader(group);
        EXPECT_EQ(bar.GroupState(group), c.after) << c.state;
        EXPECT_EQ(groupClicks, c.raised ? 1 : 0) << c.state;
        bar.ClickItem(group, 0);
        EXPECT_EQ(items.size(), c.after == NavigationBar::Closed ? 0u : 1u) << c.state;
    }
}

TEST(frmMain, ItemsOfClosedGroupsAreNotClickable) {
    FakeServices fake;
    frmMain window(fake.services);
    window.Navigation()->ClickItem(4, 0);  // group 4 starts closed
    EXPECT_TRUE(fake.desktop.calls.empty());
    window.Navigation()->ClickGroupHeader(4);
    window.Navigation()->ItemButton(4, 0)->click();
    ASSERT_EQ(fake.desktop.calls.size(), 1u);
    EXPECT_EQ(fake.desktop.calls[0].kind, QStringLiteral("url"));
    EXPECT_EQ(fake.desktop.calls[0].target, window.SupportAddress());
    EXPECT_TRUE(window.SupportAddress().endsWith(QStringLiteral("/help/index.html")));
}

TEST(frmMain, EveryItemDispatchesToItsAction) {
    // What a click on each item shows first: a tool window (by object name), a
    // dialog (by title), a question (by text), or the support page. The user
    // cancels every dialog and answers No, so nothing goes further.
    const QString askOptions =
        QStringLiteral("未设置转换选项，无法进行转换操作。\r\n是否设置转换选项？");
    const QString choosePos = QStringLiteral("选择无人机POS文件");
    struct Case {
        int group, item;
        QString tool, fileDialog, question;
        bool supportPage = false;
    };
    const Case cases[] = {
        {0, 0, {}, choosePos, {}},
        {0, 1, {}, choosePos, {}},
        {0, 2, {}, {}, askOptions},
        {0, 3, {}, {}, askOptions},
        {0, 4, {}, choosePos, {}},
        {0, 5, {}, {}, askOptions},
        {0, 6, "frmPosOptions", {}, {}},
        {0, 7, "frmTxtPos", {}, {}},
        {1, 0, "frmPhotoDivide", {}, {}},
        {1, 1, "frmPhotoRotate", {}, {}},
        {1, 2, "frmPhotoZoom", {}, {}},
        {2, 0, "frmSetPicturePoint", {}, {}},
        {3, 0, "frmDataExecute", {}, {}},
        {3, 1, "frmDataCheck", {}, {}},
        {3, 2, "PrickingWindow", {}, {}},
        {4, 0, {}, {}, {}, true},
        {9, 9, {}, {}, {}},
        {-1, 0, {}, {}, {}},
    };
    for (const auto& c : cases) {
        FakeServices fake;
        frmMain window(fake.services);
        window.ItemClick(c.group, c.item);
        QStringList shown;
        for (QWidget* child : window.findChildren<QWidget*>())
            if (child->isWindow() && child->isVisible()) shown << child->objectName();
        EXPECT_EQ(shown, c.tool.isEmpty() ? QStringList() : QStringList{c.tool})
            << c.group << c.item;
        EXPECT_EQ(fake.dialogs.fileDialogs.empty() ? QString() : fake.dialogs.fileDialogs[0].title,
                  c.fileDialog)
            << c.group << c.item;
        EXPECT_EQ(fake.dialogs.messages.empty() ? QString() : fake.dialogs.messages[0].text,
                  c.question)
            << c.group << c.item;
        EXPECT_EQ(fake.desktop.calls.size(), c.supportPage ? 1u : 0u) << c.group << c.item;
    }
}

TEST(frmMain, ToolWindowsAreSingleInstances) {
    FakeServices fake;
    frmMain window(fake.services);
    int made = 0;
    auto factory = [&made](Services&, QWidget* owner) -> QWidget* {
        ++made;
        return new QWidget(owner);
    };
    QWidget* first = window.ShowTool("probe", factory);
    QWidget* again = window.ShowTool("probe", factory);
    EXPECT_EQ(first, again);
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->isWindow());
    EXPECT_EQ(first->parentWidget(), &window);
    EXPECT_EQ(fake.desktop.broughtForward, (std::vector<QWidget*>{first, first}));

    first->close();  // the user closes it: the next click makes a new one
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.Tool("probe"), nullptr);
    QWidget* fresh = window.ShowTool("probe", factory);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(window.Tool("probe"), fresh);
}

TEST(frmMain, ClosingTheMainWindowClosesItsTools) {
    FakeServices fake;
    frmMain window(fake.services);
    window.show();
    QWidget* tool = window.ShowTool(
        "probe", [](Services&, QWidget* owner) -> QWidget* { return new QWidget(owner); });
    ASSERT_TRUE(tool->isVisible());
    window.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window.Tool("probe"), nullptr);
}

// A tool the user keeps open (an unsaved change kept) keeps the program
// open, also after the user closes that tool alone.
TEST(frmMain, AToolTheUserKeepsOpenKeepsTheProgramOpen) {
    struct Keeping : QWidget {
        using QWidget::QWidget;
        bool keep = true;
        void closeEvent(QCloseEvent* event) override { event->setAccepted(!keep); }
    };
    FakeServices fake;
    frmMain window(fake.services);
    window.show();
    auto* tool = static_cast<Keeping*>(window.ShowTool(
        "keeping", [](Services&, QWidget* owner) -> QWidget* { return new Keeping(owner); }));
    EXPECT_FALSE(window.close());
    tool->keep = false;
    EXPECT_TRUE(tool->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
}

TEST(frmMain, CentredWithToolsInFrontAndItsCloseEndsTheirRunsFirst) {
    JobRunner::SetInline(false);
    testing::TempFolder folder;
    for (int i = 0; i < 9; ++i)
        testing::MakeSampleJpeg(folder / (std::to_string(i) + ".jpg"), 800, 600);
    FakeServices fake;
    frmMain window(fake.services);
    EXPECT_NEAR(window.geometry().center().x(), window.screen()->availableGeometry().center().x(),
                1);
    window.show();
    QPointer<frmPhotoRotate> rotate = window.ShowTool<frmPhotoRotate>();
    emit rotate->findChild<QLabel*>("lblAngleCalculator")->linkActivated(QStringLiteral("#"));
    for (const auto& [tool, owner] :
         {std::pair<QWidget*, QWidget*>(rotate, &window), {rotate->AngleCalculator(), rotate}}) {
        EXPECT_EQ(tool->windowType(), Qt::Dialog);  // what window managers keep in front
        EXPECT_EQ(tool->windowHandle()->transientParent(), owner->windowHandle());
        EXPECT_TRUE(tool->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_LE(
            (tool->frameGeometry().center() - owner->frameGeometry().center()).manhattanLength(),
            2);
    }
    for (const char* box : {"txtRaw", "txtResult"})
        rotate->findChild<QLineEdit*>(box)->setText(Q(PathText(folder.path())));
    rotate->findChild<QRadioButton*>("opt90")->click();
    rotate->findChild<QPushButton*>("cmdRotatePictures")->click();
    EXPECT_FALSE(window.close());  // the photo in hand is finished first
    for (QDeadlineTimer minute(60000); window.isVisible() && !minute.hasExpired();) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    JobRunner::SetInline(true);
    EXPECT_TRUE(!window.isVisible() && rotate.isNull());
    for (const auto& photo : std::filesystem::directory_iterator(folder.path())) {
        const testing::SampleInfo info = testing::ReadSample(photo.path());
        EXPECT_EQ(info.width + info.height, 1400);  // old or turned, never half written
    }
}

TEST(frmMain, NavigationBarIsSixteenPixelsNarrower) {
    FakeServices fake;
    frmMain window(fake.services);
    window.show();
    for (const int width : {200, 280, 333, 640}) {
        window.resize(width, 500);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.Navigation()->width(), window.frameGeometry().width() - 16) << width;
    }
}

}  // namespace
}  // namespace skyrell
