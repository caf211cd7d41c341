#include "shell/qt_tool_windows.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "support/fakes.h"

namespace skyrell {
namespace {

TEST(ToolWindows, FirstShowLandsInsideTheScreenLaterShowsKeepThePlace) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    testing::FakeServices fake;
    QWidget owner;  // at the bottom right, partly off the screen
    owner.setGeometry(QRect(screen.bottomRight() - QPoint(100, 50), QSize(280, 300)));
    owner.show();  // a shown owner tells the size of a window frame
    ToolWindows tools(fake.services, &owner);
    auto make = [](Services&, QWidget* parent) {
        auto* tool = new QWidget(parent);
        tool->resize(400, 300);
        return tool;
    };
    QWidget* tool = tools.Show(QStringLiteral("tool"), make);
    EXPECT_TRUE(screen.contains(tool->frameGeometry()));
    tool->move(screen.topLeft() + QPoint(10, 20));
    EXPECT_EQ(tools.Show(QStringLiteral("tool"), make)->pos(), screen.topLeft() + QPoint(10, 20));
    EXPECT_EQ(ToolWindowPosition({100, 50}, {200, 200, 301, 101}, screen), QPoint(300, 225));
}

}  // namespace
}  // namespace skyrell
