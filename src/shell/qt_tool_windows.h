#pragma once
// The single-instance tool windows of one owner: each tool is made on first
// use (or again after the user closed it), shown without blocking as a
// top-level window owned by the owner, and brought forward on later calls.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>

#include "shell/services.h"

namespace skyrell {

class ToolWindows {
  public:
    // Makes a tool window; every tool window is constructed as
    // `frmX(Services&, QWidget* owner)`.
    using Factory = std::function<QWidget*(Services&, QWidget* owner)>;

    ToolWindows(Services& services, QWidget* owner) : services_(services), owner_(owner) {}

    // Shows the tool `name`, making it with `make` when it is not open.
    QWidget* Show(const QString& name, const Factory& make);
    // The open instance of a tool, or null.
    QWidget* Find(const QString& name) const;
    // Closes every open tool.
    void CloseAll();

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

}  // namespace skyrell
