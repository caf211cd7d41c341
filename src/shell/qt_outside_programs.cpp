#include "shell/qt_outside_programs.h"

#include <QDir>
#include <QUrl>
#include <QWidget>

namespace skyrell {

namespace {

bool IsSeparator(QChar c) { return c == u'/' || c == u'\\'; }

// A path cut into its last name and the folder that holds it (the folder
// with its trailing separator, as the path boxes show folders). Trailing
// separators of a folder path do not count as the end of its name.
struct NameAndPlace {
    QString name;
    QString place;
};

NameAndPlace Split(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && IsSeparator(path[end - 1])) --end;
    qsizetype cut = end;
    while (cut > 0 && !IsSeparator(path[cut - 1])) --cut;
    return {path.mid(cut, end - cut), path.left(cut)};
}

}  // namespace

QString OutsideProgramFailureText(OutsideProgram program, const QString& target) {
    QString path = target;
    if (program == OutsideProgram::Browser) {
        const QUrl url(target);
        if (!url.isLocalFile())
            return QStringLiteral("无法启动浏览器打开网址“") + target + u'”' + u'。';
        path = QDir::toNativeSeparators(url.toLocalFile());
    }
    if (path.isEmpty()) {
        return program == OutsideProgram::FileManager ? QStringLiteral("无法启动文件管理器。")
                                                      : QStringLiteral("没有可打开的文件。");
    }
    const NameAndPlace split = Split(path);
    const bool folder = program == OutsideProgram::FileManager;
    QString lead;
    switch (program) {
        case OutsideProgram::TextEditor:
            lead = QStringLiteral("无法启动文本编辑器打开文件“");
            break;
        case OutsideProgram::FileManager:
            lead = QStringLiteral("无法启动文件管理器打开文件夹“");
            break;
        case OutsideProgram::Associated:
            lead = QStringLiteral("系统中没有能打开文件“");
            break;
        case OutsideProgram::Browser:
            lead = QStringLiteral("无法启动浏览器打开文件“");
            break;
    }
    QString text = lead + split.name + u'”';
    if (program == OutsideProgram::Associated) text += QStringLiteral("的程序，或该程序无法启动");
    text += u'。';
    if (!split.place.isEmpty()) {
        text += (folder ? QStringLiteral("\n该文件夹位于：") : QStringLiteral("\n该文件位于：")) +
                split.place + QStringLiteral("\n请到该位置手动打开。");
    }
    return text;
}

bool OpenOutside(Services& services, QWidget* owner, OutsideProgram program, const QString& target,
                 const QString& caption) {
    bool started = false;
    switch (program) {
        case OutsideProgram::TextEditor:
            started = services.desktop.OpenTextFile(target);
            break;
        case OutsideProgram::FileManager:
            started = services.desktop.OpenFolder(target);
            break;
        case OutsideProgram::Associated:
            started = services.desktop.OpenWithAssociated(target);
            break;
        case OutsideProgram::Browser:
            started = services.desktop.OpenUrl(target);
            break;
    }
    if (!started) {
        const QString title = !caption.isEmpty() ? caption
                              : owner            ? owner->window()->windowTitle()
                                                 : QString();
        services.dialogs.Message(owner, OutsideProgramFailureText(program, target),
                                 MsgIcon::Exclamation, MsgButtons::Ok, title);
    }
    return started;
}

}  // namespace skyrell
