#include "shell/qt_tool_windows.h"

namespace skyrell {

QWidget* ToolWindows::Show(const QString& name, const Factory& make) {
    QPointer<QWidget>& slot = tools_[name];
    if (!slot) {
        slot = make(services_, owner_);
        slot->setWindowFlag(Qt::Window, true);
        slot->setAttribute(Qt::WA_DeleteOnClose, true);
    }
    slot->show();
    services_.desktop.BringForward(slot);
    return slot;
}

QWidget* ToolWindows::Find(const QString& name) const {
    const auto found = tools_.find(name);
    return found == tools_.end() ? nullptr : found->second.data();
}

void ToolWindows::CloseAll() {
    for (auto& [name, tool] : tools_)
        if (tool) tool->close();
}

}  // namespace skyrell
