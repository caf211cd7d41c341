#include "shell/services.h"

#include <QStringList>

namespace skyrell {

std::vector<FileFilter> ParseFileFilter(const QString& filter) {
    QStringList parts = filter.split(QChar(u'\0'));
    if (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
    std::vector<FileFilter> filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) filters.push_back({parts[i], parts[i + 1]});
    return filters;
}

QString ShowFileDialog(Services& services, const QString& mode, QWidget* owner,
                       const QString& title, const QString& filter, const QString& initialName) {
    const auto kind = mode.compare(QStringLiteral("OPEN"), Qt::CaseInsensitive) == 0
                          ? FileDialogMode::Open
                          : FileDialogMode::Save;
    return services.dialogs.FileDialog(owner, kind, title, ParseFileFilter(filter), initialName);
}

QString BrowseForFolder(Services& services, QWidget* owner, QString& path, const QString& title) {
    QString chosen = services.dialogs.FolderDialog(owner, path, title);
    if (!chosen.isEmpty()) path = chosen;
    return chosen;
}

void ShowWriteFailure(Services& services, QWidget* owner, int code, const QString& description) {
    services.dialogs.Message(owner, description, MsgIcon::None, MsgButtons::Ok,
                             QStringLiteral("错误 - ") + QString::number(code));
}

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
std::string U(const QString& text) { return text.toStdString(); }

}  // namespace skyrell
