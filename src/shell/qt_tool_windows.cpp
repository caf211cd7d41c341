#include "shell/qt_tool_windows.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <algorithm>

#include "shell/qt_job_runner.h"

namespace skyrell {

QWidget* ToolWindows::Show(const QString& name, const Factory& make) {
    QPointer<QWidget>& slot = tools_[name];
    if (!slot) {
        slot = make(services_, owner_);
        slot->setAttribute(Qt::WA_DeleteOnClose, true);
        PrepareToolWindow(slot, owner_);
    }
    slot->show();
    services_.desktop.BringForward(slot);
    return slot;
}

QWidget* ToolWindows::Find(const QString& name) const {
    const auto found = tools_.find(name);
    return found == tools_.end() ? nullptr : found->second.data();
}

ToolWindows::Closing ToolWindows::CloseAll() {
    Closing closing;
    for (auto& [name, tool] : tools_) {
        if (!tool || tool->close()) continue;
        const auto runners = tool->findChildren<JobRunner*>();
        if (std::any_of(runners.begin(), runners.end(),
                        [](const JobRunner* runner) { return runner->ClosesWhenEnded(); }))
            closing.finishing.push_back(tool);
        else
            closing.kept = true;
    }
    return closing;
}

QPoint ToolWindowPosition(const QSize& frame, const QRect& ownerFrame, const QRect& available) {
    QPoint topLeft = ownerFrame.center() - QPoint(frame.width() / 2, frame.height() / 2);
    topLeft.setX(std::min(topLeft.x(), available.x() + available.width() - frame.width()));
    topLeft.setY(std::min(topLeft.y(), available.y() + available.height() - frame.height()));
    topLeft.setX(std::max(topLeft.x(), available.x()));
    topLeft.setY(std::max(topLeft.y(), available.y()));
    return topLeft;
}

namespace {

QRect AvailableArea(const QWidget* window, const QRect& frame) {
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) screen = window->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

void PrepareToolWindow(QWidget* window, QWidget* owner) {
    // A dialog is what window managers keep in front of the window it
    // belongs to; a plain top-level window falls behind its owner whenever
    // the owner is activated.
    window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    ApplyReadOnlyLook(window);
    // The tools of a window that stays on top stay on top too, as owned
    // windows of a topmost window do on Windows: centred on their owner they
    // would otherwise open hidden beneath it.
    if (owner && owner->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        window->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (!window->testAttribute(Qt::WA_Resized)) window->adjustSize();

    const QRect ownerFrame = owner ? owner->frameGeometry() : QRect();
    const QRect available = AvailableArea(owner ? owner : window, ownerFrame);
    if (available.isEmpty()) return;

    // The tool's frame is not known before it is shown; the owner's
    // decoration is the best guess of it.
    const QSize decoration = owner ? ownerFrame.size() - owner->geometry().size() : QSize(0, 0);
    const QSize room = available.size() - decoration;
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(std::min(window->width(), room.width()),
                       std::min(window->height(), room.height()));
    const QRect centre = owner ? ownerFrame : available;
    window->move(ToolWindowPosition(window->size() + decoration, centre, available));
}

void CentreOnScreen(QWidget* window) {
    const QRect available = AvailableArea(window, window->frameGeometry());
    if (!available.isEmpty())
        window->move(ToolWindowPosition(window->size(), available, available));
}

void ApplyReadOnlyLook(QWidget* root) {
    auto lookReadOnly = [](QWidget* box) {
        QPalette palette = box->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive})
            palette.setColor(group, QPalette::Base, palette.color(group, QPalette::Window));
        box->setPalette(palette);
    };
    for (QLineEdit* box : root->findChildren<QLineEdit*>())
        if (box->isReadOnly()) lookReadOnly(box);
    for (QPlainTextEdit* box : root->findChildren<QPlainTextEdit*>())
        if (box->isReadOnly()) lookReadOnly(box);
    for (QTextEdit* box : root->findChildren<QTextEdit*>())
        if (box->isReadOnly()) lookReadOnly(box);
}

}  // namespace skyrell
