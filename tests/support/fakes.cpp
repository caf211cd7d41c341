#include "support/fakes.h"

namespace skyrell::testing {

MsgAnswer FakeDialogs::Message(QWidget*, const QString& text, MsgIcon icon, MsgButtons buttons,
                               const QString& caption) {
    messages.push_back({text, icon, buttons, caption});
    if (!answers.empty()) {
        const MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        default:
            return MsgAnswer::Cancel;
    }
}

QString FakeDialogs::FileDialog(QWidget*, FileDialogMode mode, const QString& title,
                                const std::vector<FileFilter>& filters,
                                const QString& initialName) {
    fileDialogs.push_back({mode, title, filters, initialName});
    if (files.empty()) return {};
    const QString answer = files.front();
    files.pop_front();
    return answer;
}

QString FakeDialogs::FolderDialog(QWidget*, const QString& initialFolder, const QString& title) {
    folderDialogs.push_back({initialFolder, title});
    if (folders.empty()) return {};
    const QString answer = folders.front();
    folders.pop_front();
    return answer;
}

std::optional<QString> FakeDialogs::InputBox(QWidget*, const QString& prompt, const QString&,
                                             const QString&) {
    inputPrompts.push_back(prompt);
    if (inputs.empty()) return std::nullopt;
    const bool given = inputs.front().has_value();
    const QString text = given ? *inputs.front() : QString();
    inputs.pop_front();
    return given ? std::optional<QString>(text) : std::nullopt;
}

FakeServices::FakeServices() = default;

}  // namespace skyrell::testing
