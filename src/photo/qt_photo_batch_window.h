#pragma once
// The batch frame that the photo rotation and photo resizing dialogs share:
// source and target folder boxes with their browse buttons, the check box
// that makes the target the source, the format list, the hidden list of the
// photos to process, the progress bar and the exit button. A dialog adds its
// own parameters and run button, checks its inputs and starts the run here.
//
// The photos are processed through the window's job runner; the window keeps
// painting and the progress bar moves after each finished photo. Closing the
// dialog during a run stops it after the photos in flight and then closes.

#include <QWidget>
#include <string>
#include <vector>

#include "photo/photo_batch.h"
#include "shell/qt_job_runner.h"
#include "shell/services.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace skyrell {

class PhotoBatchWindow : public QWidget {
    Q_OBJECT
  public:
    // True while photos are being processed.
    bool Running() const { return runner_->Running(); }

  signals:
    // A run ended (after its failure warning, if any).
    void BatchFinished();

  protected:
    PhotoBatchWindow(Services& services, QWidget* owner, const QString& objectName,
                     const QString& caption, const QString& notInstalledText);

    // The place for the dialog's own parameter frame, above the progress bar,
    // and the dialog's run button, left of the exit button.
    void AddParameters(QWidget* frame);
    void AddRunButton(QPushButton* button);

    // The folder checks in their order, with the create-folder question;
    // false when the run must stop (the message has been shown).
    bool CheckFolders();
    // Lists the photos, resets the progress, starts the engine and begins the
    // run on worker threads.
    void StartBatch(const PhotoOperation& operation);

    void Message(const QString& text, MsgIcon icon = MsgIcon::Exclamation);
    void closeEvent(QCloseEvent* event) override;

    Services& services_;

  private:
    void BrowseSource();
    void BrowseTarget();
    void ShowProgress(std::size_t done);
    void Finish(const PhotoBatchOutcome& outcome);

    QString caption_;
    QString notInstalledText_;
    QLineEdit* txtRaw_;
    QToolButton* btnRaw_;
    QLineEdit* txtResult_;
    QToolButton* btnResult_;
    QCheckBox* chkPath_;
    QComboBox* cboFormat_;
    QListWidget* flePicture_;
    QProgressBar* pbProgress_;
    QPushButton* cmdExit_;
    QVBoxLayout* parameters_;
    QPushButton* runButton_ = nullptr;
    QWidget* parameterFrame_ = nullptr;
    QHBoxLayout* buttons_;

    JobRunner* runner_;
};

}  // namespace skyrell
