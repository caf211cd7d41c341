#pragma once
// The single-instance tool windows of one owner: each tool is made on first
// use (or again after the user closed it), shown without blocking as a
// top-level window owned by the owner, and brought forward on later calls.

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "shell/services.h"

namespace skyrell {

class ToolWindows {
  public:
    // Makes a tool window; every tool window is constructed as
    // `frmX(Services&, QWidget* owner)`.
    using Factory = std::function<QWidget*(Services&, QWidget* owner)>;

    ToolWindows(Services& services, QWidget* owner) : services_(services), owner_(owner) {}

    // Shows the tool `name`, making it with `make` when it is not open. A new
    // window is prepared by PrepareToolWindow; an open one keeps the place the
    // user gave it.
    QWidget* Show(const QString& name, const Factory& make);
    // The open instance of a tool, or null.
    QWidget* Find(const QString& name) const;
    // Asks every open tool to close. Of those that stay open, `finishing`
    // close by themselves once their work has ended (JobRunner::MayClose) and
    // are then deleted; `kept` is set when one stays because the user chose
    // so (an unsaved change kept).
    struct Closing {
        std::vector<QWidget*> finishing;
        bool kept = false;
    };
    Closing CloseAll();

    template <class W>
    W* Show() {
        return static_cast<W*>(
            Show(W::staticMetaObject.className(),
                 [](Services& s, QWidget* owner) -> QWidget* { return new W(s, owner); }));
    }

  private:
    Services& services_;
    QWidget* owner_;
    std::map<QString, QPointer<QWidget>> tools_;
};

// Where a window whose frame has this size first appears: centred on the
// owner's frame, then moved inside the available screen area. A window larger
// than that area keeps its top-left corner (and so its title bar) on screen.
QPoint ToolWindowPosition(const QSize& frame, const QRect& ownerFrame, const QRect& available);

// Before a tool window (a child of `owner`) is first shown: made a window
// that the window manager keeps in front of its owner, with the title bar
// buttons of an ordinary window; its size fitted to the available area of the
// owner's screen, its place from ToolWindowPosition, its read-only boxes given
// the read-only look (ApplyReadOnlyLook), and on top of other windows when
// its owner stays on top.
void PrepareToolWindow(QWidget* window, QWidget* owner);

// Before the program's first window is shown: centred on the available area
// of its screen. Without a window manager a window stays where the program
// puts it, and the top-left corner is where the task bar slides it away.
void CentreOnScreen(QWidget* window);

// Read-only text boxes under `root` take the window's face colour as their
// background, as the platform shows boxes that cannot be edited, instead of
// the white of an editable box.
void ApplyReadOnlyLook(QWidget* root);

}  // namespace skyrell
