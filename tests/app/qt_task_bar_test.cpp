#include "docking/qt_task_bar.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>

#include "app/frmMain.h"
#include "support/fakes.h"

namespace skyrell {
namespace {

TEST(TaskBar, PropertiesDefaultsAndStore) {
    QWidget owner;
    auto* bar = new TaskBar(&owner);
    EXPECT_FALSE(bar->isVisibleTo(&owner));
    const struct {
        const char* name;
        QVariant initial, changed;
    } properties[] = {{"MoveLength", 500, 120}, {"GoLeft", true, false},   {"GoTop", true, false},
                      {"GoRight", true, false}, {"GoBottom", true, false}, {"OnTop", false, true}};
    for (const auto& p : properties) {
        EXPECT_EQ(bar->property(p.name), p.initial) << p.name;
        EXPECT_TRUE(bar->setProperty(p.name, p.changed)) << p.name;
        EXPECT_EQ(bar->property(p.name), p.changed) << p.name;
    }
}

TEST(TaskBar, OnTopKeepsTheWindowInPlaceAndTicksMoveItInPixels) {
    QWidget owner;  // on the offscreen screen at (0, 0)
    owner.resize(200, 300);
    owner.move(5, 100);  // the frame's corner
    owner.show();
    auto* bar = new TaskBar(&owner);
    for (const bool on : {true, false}) {
        bar->SetOnTop(on);
        EXPECT_EQ(owner.windowFlags().testFlag(Qt::WindowStaysOnTopHint), on);
        EXPECT_TRUE(owner.isVisible() && owner.frameGeometry().topLeft() == QPoint(5, 100));
    }
    QCoreApplication::processEvents();  // exposed: the task bar steps from now on
    QCursor::setPos(500, 50);
    bar->Tick();  // 75 twips - 500 = -425 twips, nearest pixel -28
    EXPECT_EQ(owner.frameGeometry().topLeft(), QPoint(-28, 100));
    EXPECT_EQ(bar->Side(), DockSide::Left);
}

TEST(TaskBar, MainWindowLoadKeepsItOnTopAndRunsWhileShown) {
    testing::FakeServices fake;
    frmMain window(fake.services);
    auto* bar = window.findChild<TaskBar*>(QStringLiteral("tbMain"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(bar->MoveLength(), 500);
    EXPECT_FALSE(bar->IsRunning());
    window.show();
    EXPECT_TRUE(bar->IsRunning());
    window.close();
    EXPECT_FALSE(bar->IsRunning());
}

}  // namespace
}  // namespace skyrell
