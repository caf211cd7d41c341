#pragma once
// Window-side ports: message boxes and file dialogs (Dialogs) and the desktop's
// programs (Desktop), bundled with the logic ports in one Services object that
// every window receives. main.cpp builds the production set (qt_services.h),
// tests build fakes. The helpers below are implemented in qt_services.cpp.

#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

#include "shell/ports.h"

class QWidget;

namespace skyrell {

// The application title carried by message boxes that have no caption of their own.
inline const QString kAppTitle = QStringLiteral("Skyrell");

enum class MsgIcon { None, Information, Question, Exclamation, Critical };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };
enum class FileDialogMode { Open, Save };

struct FileFilter {
    QString description;  // as shown, e.g. "POS文件(*.TXT)"
    QString pattern;      // e.g. "*.TXT"; several joined by ";"
    bool operator==(const FileFilter&) const = default;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A modal message box; returns the button the user chose.
    virtual MsgAnswer Message(QWidget* owner, const QString& text, MsgIcon icon, MsgButtons buttons,
                              const QString& caption) = 0;
    // The open or save dialog; the chosen full path, or empty on cancel. The
    // save dialog asks before overwriting and gives a name typed without an
    // extension the extension of the selected filter. Patterns match without
    // regard to case.
    virtual QString FileDialog(QWidget* owner, FileDialogMode mode, const QString& title,
                               const std::vector<FileFilter>& filters,
                               const QString& initialName) = 0;
    // The folder browser opened at the initial folder; the chosen folder
    // without trailing separator, or empty on cancel.
    virtual QString FolderDialog(QWidget* owner, const QString& initialFolder,
                                 const QString& title) = 0;
    // A one-line input box; empty optional on cancel.
    virtual std::optional<QString> InputBox(QWidget* owner, const QString& prompt,
                                            const QString& title, const QString& defaultText) = 0;
};

// Programs of the desktop. Each returns false when the program could not be
// started (the callers then say that it is not installed).
class Desktop {
  public:
    virtual ~Desktop() = default;
    virtual bool OpenTextFile(const QString& path) = 0;
    virtual bool OpenFolder(const QString& folder) = 0;
    virtual bool OpenUrl(const QString& url) = 0;
    virtual bool OpenWithAssociated(const QString& path) = 0;
    virtual void BringForward(QWidget* window) = 0;
};

// The program's own photo view, which takes the image editor's place. Open
// returns false when the view cannot open the file (the caller then shows its
// "系统未安装Photoshop…" message). `centre`, in photo pixels, is the point
// the view opens centred on.
class PhotoViewer {
  public:
    virtual ~PhotoViewer() = default;
    virtual bool Open(QWidget* owner, const QString& path,
                      std::optional<QPointF> centre = std::nullopt) = 0;
};

struct Services {
    Dialogs& dialogs;
    Desktop& desktop;
    Clock& clock;
    AppFolder& appFolder;
    // None: photos cannot be viewed, as when no image editor is installed.
    PhotoViewer* photoViewer = nullptr;
};

// The file dialog with its filter given as the system filter string:
// description and pattern pairs, every element ended by a NUL character. The
// mode is compared with "OPEN" without regard to case; anything else saves.
QString ShowFileDialog(Services& services, const QString& mode, QWidget* owner,
                       const QString& title, const QString& filter,
                       const QString& initialName = {});
// The filter pairs of a system filter string.
std::vector<FileFilter> ParseFileFilter(const QString& filter);

// The folder browser opened at `path`; a chosen folder is also written back
// into `path`, a cancel leaves it unchanged and returns empty.
QString BrowseForFolder(Services& services, QWidget* owner, QString& path, const QString& title);

// Shows a failed write of WriteUtf8File: the system's description, OK only,
// caption "错误 - " and the error number.
void ShowWriteFailure(Services& services, QWidget* owner, int code, const QString& description);

// UTF-8 text <-> QString, and a QString path as a file-system path.
QString Q(const std::string& utf8);
std::string U(const QString& text);

}  // namespace skyrell
