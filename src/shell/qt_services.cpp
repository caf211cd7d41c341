#include "shell/qt_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <QWidget>

namespace skyrell {

namespace {
// Width of what a title bar holds besides the caption: the window's icon and
// its buttons, in pixels.
constexpr int kTitleBarExtras = 150;
// How long an opener may take to find the program for its target, in
// milliseconds: xdg-open without a program for the target tries every
// browser it knows before it fails, which takes it a second or two on a busy
// machine. The same time as the type query below.
constexpr int kOpenerWait = 3000;

QString SystemOpener() {
#if defined(Q_OS_MACOS)
    return QStandardPaths::findExecutable(QStringLiteral("open"));
#elif defined(Q_OS_UNIX)
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
#else
    return {};
#endif
}
}  // namespace

MsgAnswer QtDialogs::Message(QWidget* owner, const QString& text, MsgIcon icon, MsgButtons buttons,
                             const QString& caption) {
    QMessageBox box(owner);
    box.setWindowTitle(caption.isEmpty() ? kAppTitle : caption);
    box.setText(text);
    switch (icon) {
        case MsgIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    switch (buttons) {
        case MsgButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    // The box sizes itself to its text; a short text under a long caption
    // would cut the caption off in the title bar. The title bar's font is the
    // window manager's, so the room is measured in a bold, larger font, with
    // the window buttons and the icon beside it. This comes last: setting the
    // icon rebuilds the box's layout.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    const int captionWidth =
        QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Ok:
            return MsgAnswer::Ok;
        default:
            return MsgAnswer::Cancel;
    }
}

QString CaseFreePattern(const QString& pattern) {
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            out += u'[';
            out += c.toLower();
            out += c.toUpper();
            out += u']';
        } else {
            out += c;
        }
    }
    return out;
}

QString PatternExtension(const QString& pattern) {
    const QString first = pattern.split(u';').first().trimmed();
    const qsizetype dot = first.lastIndexOf(u'.');
    if (dot < 0) return {};
    QString extension = first.mid(dot + 1);
    if (extension.contains(u'*') || extension.contains(u'?')) return {};
    return extension;
}

QString QtDialogs::FileDialog(QWidget* owner, FileDialogMode mode, const QString& title,
                              const std::vector<FileFilter>& filters, const QString& initialName) {
    QFileDialog dialog(owner, title);
    // The description already names its patterns; the case-free patterns that
    // Qt matches with stay out of sight.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    QStringList nameFilters;
    for (const auto& filter : filters) {
        QStringList patterns;
        for (const auto& one : filter.pattern.split(u';', Qt::SkipEmptyParts))
            patterns << CaseFreePattern(one.trimmed());
        nameFilters << filter.description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    if (!nameFilters.isEmpty()) dialog.setNameFilters(nameFilters);
    if (mode == FileDialogMode::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        auto applySuffix = [&dialog, &filters, &nameFilters](const QString& selected) {
            const auto index = nameFilters.indexOf(selected);
            dialog.setDefaultSuffix(index >= 0 ? PatternExtension(filters[index].pattern)
                                               : QString());
        };
        if (!filters.empty()) applySuffix(nameFilters.first());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, applySuffix);
    }
    if (!initialName.isEmpty()) dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

QString QtDialogs::FolderDialog(QWidget* owner, const QString& initialFolder,
                                const QString& title) {
    const QString chosen = QFileDialog::getExistingDirectory(owner, title, initialFolder);
    if (chosen.isEmpty()) return {};
    QString native = QDir::toNativeSeparators(chosen);
    while (native.size() > 1 && native.endsWith(QDir::separator())) native.chop(1);
    return native;
}

std::optional<QString> QtDialogs::InputBox(QWidget* owner, const QString& prompt,
                                           const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner, title.isEmpty() ? kAppTitle : title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

OpenerEnd RunOpener(const QString& program, const QStringList& arguments) {
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return OpenerEnd::NotStarted;
    }
    if (process->waitForFinished(kOpenerWait)) {
        const bool succeeded =
            process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        delete process;
        return succeeded ? OpenerEnd::Succeeded : OpenerEnd::Failed;
    }
    // Left running: deleting the process object would end the program the
    // opener started. The object goes when the opener ends.
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return OpenerEnd::StillRunning;
}

QtDesktop::QtDesktop() : QtDesktop(SystemOpener(), RunOpener) {}

QtDesktop::QtDesktop(QString opener, OpenerRun run)
    : opener_(std::move(opener)), run_(std::move(run)) {}

bool QtDesktop::Open(const QUrl& url) {
    if (opener_.isEmpty()) return QDesktopServices::openUrl(url);
    const OpenerEnd end = run_(opener_, {QString::fromLatin1(url.toEncoded())});
    return end == OpenerEnd::Succeeded || end == OpenerEnd::StillRunning;
}

bool QtDesktop::OpenTextFile(const QString& path) {
#ifdef Q_OS_WIN
    return QProcess::startDetached(QStringLiteral("notepad.exe"), {path});
#else
    return Open(QUrl::fromLocalFile(path));
#endif
}

bool QtDesktop::OpenFolder(const QString& folder) {
    // An empty path box opens the file manager's own starting place, the
    // user's home folder.
    const QString shown = folder.isEmpty() ? QDir::homePath() : folder;
    return Open(QUrl::fromLocalFile(shown));
}

bool QtDesktop::OpenUrl(const QString& url) { return Open(QUrl(url)); }

namespace {

// Whether the desktop names a program for files of this kind. The desktop's
// opener reports success as soon as it has started looking for a program, so
// without this a file type nobody handles would fail silently instead of
// being reported as "not installed". When the question cannot be asked the
// answer is yes, and opening is simply tried.
bool HasAssociatedProgram(const QString& path) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString type = QMimeDatabase().mimeTypeForFile(path).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0)
        return true;
    return !query.readAllStandardOutput().trimmed().isEmpty();
#else
    Q_UNUSED(path);
    return true;
#endif
}

}  // namespace

bool QtDesktop::OpenWithAssociated(const QString& path) {
    if (!QFileInfo::exists(path) || !HasAssociatedProgram(path)) return false;
    return Open(QUrl::fromLocalFile(path));
}

void QtDesktop::BringForward(QWidget* window) {
    if (!window) return;
    if (window->isMinimized()) window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

// ---------------------------------------------------------------- services.h

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
