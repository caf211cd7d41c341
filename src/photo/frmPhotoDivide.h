#pragma once
// Photo division by flight line: the user chooses the sortie folder and the
// save folder, then, line by line, types the first and last photo number and
// divides; the photos in that range are copied into the folder of the line and
// the line number advances. The copying runs through the window's job runner,
// with its progress shown in the dialog.

#include <QWidget>

#include "photo/photo_division.h"
#include "shell/qt_job_runner.h"
#include "shell/services.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QToolButton;

namespace skyrell {

class frmPhotoDivide : public QWidget {
    Q_OBJECT
  public:
    frmPhotoDivide(Services& services, QWidget* owner);

    // True while photos are being copied.
    bool Dividing() const { return runner_->Running(); }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ChoosePhotoFolder();
    void ChooseSaveFolder();
    void PatternChanged();
    void ListPhotos();
    void Divide();
    void DivideFinished(std::int64_t line, const Result<DivideCount>& outcome);
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

    // Copies the photos off the window thread, one line at a time.
    JobRunner* runner_;
};

}  // namespace skyrell
