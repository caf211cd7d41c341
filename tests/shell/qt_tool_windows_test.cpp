#include "shell/qt_tool_windows.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "support/fakes.h"

namespace skyrell {
namespace {

using testing::FakeServices;

TEST(ToolWindows, FirstShowCentresOnTheOwnerInsideTheScreenLaterShowsKeepThePlace) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* where;
        QPoint ownerAt;
        QSize tool;
    } cases[] = {
        {"owner in the middle", screen.center() - QPoint(140, 150), {400, 200}},
        {"owner at the bottom right", screen.bottomRight() - QPoint(100, 50), {400, 300}},
        {"owner above the top left", screen.topLeft() - QPoint(200, 300), {400, 300}},
        {"tool larger than the screen", screen.topLeft(), screen.size() + QSize(100, 100)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        FakeServices fake;
        QWidget owner;
        owner.setGeometry(QRect(c.ownerAt, QSize(280, 300)));
        owner.show();  // a shown owner tells the size of a window frame
        ToolWindows tools(fake.services, &owner);
        auto make = [&c](Services&, QWidget* parent) {
            auto* tool = new QWidget(parent);
            tool->resize(c.tool);
            return tool;
        };
        QWidget* tool = tools.Show(QStringLiteral("tool"), make);
        EXPECT_TRUE(screen.contains(tool->frameGeometry()))
            << tool->frameGeometry().x() << "," << tool->frameGeometry().y();
        if (screen.contains(owner.frameGeometry()) && tool->width() < screen.width() / 2) {
            EXPECT_EQ(tool->frameGeometry().center(), owner.frameGeometry().center());
        }

        const QPoint moved = screen.topLeft() + QPoint(10, 20);
        tool->move(moved);
        EXPECT_EQ(tools.Show(QStringLiteral("tool"), make), tool);
        EXPECT_EQ(tool->pos(), moved);
        tools.CloseAll();
    }
}

}  // namespace
}  // namespace skyrell
