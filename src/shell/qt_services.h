#pragma once
// Production implementations of the window ports on Qt's dialogs and the
// desktop's services. qt_services.cpp implements them and the helpers that
// services.h declares beside the ports.

#include "shell/services.h"

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

class QtDesktop : public Desktop {
  public:
    bool OpenTextFile(const QString& path) override;
    bool OpenFolder(const QString& folder) override;
    bool OpenUrl(const QString& url) override;
    bool OpenWithAssociated(const QString& path) override;
    void BringForward(QWidget* window) override;
};

// A wildcard pattern that Qt's file dialog matches without regard to case:
// "*.TXT" -> "*.[tT][xX][tT]".
QString CaseFreePattern(const QString& pattern);
// The extension a save dialog gives a bare name under this pattern ("TXT" for
// "*.TXT"); empty for "*.*" or "*".
QString PatternExtension(const QString& pattern);

}  // namespace skyrell
