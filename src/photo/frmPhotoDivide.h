#pragma once
// Photo division by flight line: the user chooses the sortie folder and the
// save folder, then, line by line, types the first and last photo number and
// divides; the photos in that range are copied into the folder of the line and
// the line number advances. The copying runs off the window thread, with its
// progress shown in the dialog.

#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>

#include "photo/photo_division.h"
#include "shell/services.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QThread;
class QTimer;
class QToolButton;

namespace skyrell {

class frmPhotoDivide : public QWidget {
    Q_OBJECT
  public:
    frmPhotoDivide(Services& services, QWidget* owner);
    ~frmPhotoDivide() override;

    // True while photos are being copied.
    bool Dividing() const { return worker_ != nullptr; }

  private:
    void ChoosePhotoFolder();
    void ChooseSaveFolder();
    void PatternChanged();
    void ListPhotos();
    void Divide();
    void DivideFinished();
    void SetInputsEnabled(bool enabled);
    void Message(const QString& text, MsgIcon icon);

    Services& services_;
    QLineEdit* txtPath_;
    QToolButton* cmdPath_;
    QLineEdit* txtPattern_;
    QListWidget* flePhoto_;
    QLabel* lblCount_;
    QLineEdit* txtSave_;
    QToolButton* cmdSave_;
    QLineEdit* txtLine_;
    QLineEdit* txtFrom_;
    QLineEdit* txtTo_;
    QToolButton* cmdDivide_;
    QProgressBar* prgDivide_;

    // The run in progress: its request, where it has got to, and its outcome
    // (written by the worker, read after it has finished).
    QThread* worker_ = nullptr;
    QTimer* progressTimer_;
    DivideRequest request_;
    std::int64_t line_ = 0;
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> stop_{false};
    std::optional<Result<DivideCount>> outcome_;
};

}  // namespace skyrell
