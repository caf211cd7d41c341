#pragma once
// Production implementations of the window ports on Qt's dialogs and the
// desktop's services. qt_services.cpp implements them and the helpers that
// services.h declares beside the ports.

#include <QStringList>
#include <functional>

#include "shell/services.h"

class QUrl;

namespace skyrell {

class QtDialogs : public Dialogs {
  public:
    MsgAnswer Message(QWidget* owner, const QString& text, MsgIcon icon, MsgButtons buttons,
                      const QString& caption) override;
    QString FileDialog(QWidget* owner, FileDialogMode mode, const QString& title,
                       const std::vector<FileFilter>& filters, const QString& initialName) override;
    QString FolderDialog(QWidget* owner, const QString& initialFolder,
                         const QString& title) override;
    std::optional<QString> InputBox(QWidget* owner, const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
};

// How a desktop opener ended, as far as the desktop waits for it.
enum class OpenerEnd { NotStarted, Failed, Succeeded, StillRunning };
using OpenerRun = std::function<OpenerEnd(const QString& program, const QStringList& arguments)>;

// Starts `program` and waits up to three seconds for it to end. An opener
// that finds no program for its target ends with a failing status within
// that time; one still running then has started a program and waits for it
// (a desktop without an opener service of its own), and is left to run.
OpenerEnd RunOpener(const QString& program, const QStringList& arguments);

class QtDesktop : public Desktop {
  public:
    // Files, folders and addresses go to the desktop's opener (xdg-open, or
    // open on macOS) when it is installed, so that its failing exit counts as
    // a failure to open; otherwise (Windows, no opener) to Qt's desktop
    // services, which report failures themselves.
    QtDesktop();
    // Tests: the opener `opener` (none: Qt's desktop services) run by `run`.
    QtDesktop(QString opener, OpenerRun run);

    bool OpenTextFile(const QString& path) override;
    bool OpenFolder(const QString& folder) override;
    bool OpenUrl(const QString& url) override;
    bool OpenWithAssociated(const QString& path) override;
    void BringForward(QWidget* window) override;

  private:
    bool Open(const QUrl& url);

    QString opener_;
    OpenerRun run_;
};

// A wildcard pattern that Qt's file dialog matches without regard to case:
// "*.TXT" -> "*.[tT][xX][tT]".
QString CaseFreePattern(const QString& pattern);
// The extension a save dialog gives a bare name under this pattern ("TXT" for
// "*.TXT"); empty for "*.*" or "*".
QString PatternExtension(const QString& pattern);

}  // namespace skyrell
