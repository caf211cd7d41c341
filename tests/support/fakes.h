#pragma once
// Fake window ports: every call is recorded, answers come from queues. A test
// queues the user's answers, clicks, and checks the recorded messages.

#include <QString>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "shell/services.h"
#include "support/temp_folder.h"

namespace skyrell::testing {

struct RecordedMessage {
    QString text;
    MsgIcon icon;
    MsgButtons buttons;
    QString caption;
};

struct RecordedFileDialog {
    FileDialogMode mode;
    QString title;
    std::vector<FileFilter> filters;
    QString initialName;
};

struct RecordedFolderDialog {
    QString initialFolder;
    QString title;
};

class FakeDialogs : public Dialogs {
  public:
    MsgAnswer Message(QWidget* owner, const QString& text, MsgIcon icon, MsgButtons buttons,
                      const QString& caption) override;
    QString FileDialog(QWidget* owner, FileDialogMode mode, const QString& title,
                       const std::vector<FileFilter>& filters, const QString& initialName) override;
    QString FolderDialog(QWidget* owner, const QString& initialFolder,
                         const QString& title) override;
    std::optional<QString> InputBox(QWidget* owner, const QString& prompt, const QString& title,
                                    const QString& defaultText) override;

    // Answers, taken in order. Without a queued answer a message box answers
    // Ok (Ok buttons) or No/Cancel, and every dialog is cancelled.
    std::deque<MsgAnswer> answers;
    std::deque<QString> files;
    std::deque<QString> folders;
    std::deque<std::optional<QString>> inputs;

    std::vector<RecordedMessage> messages;
    std::vector<RecordedFileDialog> fileDialogs;
    std::vector<RecordedFolderDialog> folderDialogs;
    std::vector<QString> inputPrompts;
};

struct DesktopCall {
    QString kind;  // "text", "folder", "url", "open"
    QString target;
    bool operator==(const DesktopCall&) const = default;
};

class FakeDesktop : public Desktop {
  public:
    bool OpenTextFile(const QString& path) override { return Record("text", path); }
    bool OpenFolder(const QString& folder) override { return Record("folder", folder); }
    bool OpenUrl(const QString& url) override { return Record("url", url); }
    bool OpenWithAssociated(const QString& path) override { return Record("open", path); }
    void BringForward(QWidget* window) override { broughtForward.push_back(window); }

    // When false every launch fails, as when the program is not installed.
    bool launchSucceeds = true;
    std::vector<DesktopCall> calls;
    std::vector<QWidget*> broughtForward;

  private:
    bool Record(const char* kind, const QString& target) {
        calls.push_back({QString::fromLatin1(kind), target});
        return launchSucceeds;
    }
};

// The photo view: every photo opened is recorded in the desktop's calls as
// "view" (so the order against the desktop's programs shows), with the point
// it was to open centred on.
class FakePhotoViewer : public PhotoViewer {
  public:
    explicit FakePhotoViewer(FakeDesktop& desktop) : desktop_(desktop) {}
    bool Open(QWidget*, const QString& path, std::optional<QPointF> centre) override {
        desktop_.calls.push_back({QStringLiteral("view"), path});
        centres.push_back(centre);
        return opensSucceed;
    }

    // When false no file opens, as for a file the view cannot read.
    bool opensSucceed = true;
    std::vector<std::optional<QPointF>> centres;

  private:
    FakeDesktop& desktop_;
};

// A full set of fake ports over a temporary program folder and a fixed clock.
struct FakeServices {
    FakeServices();
    TempFolder programFolder;
    FakeDialogs dialogs;
    FakeDesktop desktop;
    FixedClock clock{LocalDateTime{2013, 1, 5, 9, 30, 0}};
    FixedAppFolder appFolder{programFolder.path()};
    FakePhotoViewer viewer{desktop};
    Services services{dialogs, desktop, clock, appFolder, &viewer};
};

}  // namespace skyrell::testing
