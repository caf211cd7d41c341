#pragma once
// The control-point data-processing window: five steps on one sortie folder.
// Step 1 creates or opens the sortie folder tree and shows its six sub-folders
// in path boxes that the later steps read; step 2 scrolls the hints for the
// manual work; step 3 opens the point description editor; step 4 turns a
// controller's raw export into "坐标成果.csv"; step 5 holds the sortie number,
// the personnel names (kept in user.txt) and their dates for the point records.

#include <QString>
#include <QWidget>
#include <array>

#include "project/coordinate_results.h"
#include "project/personnel.h"
#include "project/point_records.h"
#include "shell/qt_job_runner.h"
#include "shell/services.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace skyrell {

struct FlightFolder;

class frmDataExecute : public QWidget {
    Q_OBJECT
  public:
    frmDataExecute(Services& services, QWidget* owner);
    ~frmDataExecute() override;

    // Texts of the six path boxes (each ends with the native separator once
    // step 1 has run, empty before).
    QString PrickedPhotoPath() const;      // txtCDP
    QString PointRecordPath() const;       // txtDZJ
    QString SitePhotoPath() const;         // txtXCZP
    QString RawDataPath() const;           // txtYSSJ
    QString CoordinateResultPath() const;  // txtZBCG
    QString ProcessDataPath() const;       // txtGCSJ
    // The sortie number of the last create or successful open.
    QString SortieNumber() const { return sortieNumber_; }
    // The sortie folder of the last create or successful open (empty before).

  signals:
    // Step 2's pricking button: prick the points of this sortie (empty when
    // step 1 has not run). The main window opens the pricking window on it.
    void PrickingRequested(const QString& sortie);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    // The three names as typed, trimmed: the form that names the operator
    // folder and that user.txt stores.
    PersonnelNames Names() const;
    void LoadPersonnel();
    void SavePersonnel();
    void ScrollHints();
    void CreateFolders();
    void OpenFolders();
    void ShowFlightFolder(const FlightFolder& flight);
    void RunCoordinateResults(ControllerMake make);
    // Step 5: the checks on the window thread, the documents through the
    // runner, which posts the progress caption back after each document.
    void RunPointRecords();
    void FinishPointRecords(const Result<PointRecordRun>& result);
    void Report(const std::string& text, MsgIcon icon);

    Services& services_;
    QString sortieNumber_;
    QString projectPath_;
    bool personnelFailureShown_ = false;

    // The six path boxes in the order of the sortie's sub-folders.
    std::array<QLineEdit*, 6> pathBoxes_{};
    QPlainTextEdit* txt2_ = nullptr;
    QTimer* tmrText_ = nullptr;
    QString sortiePath_;
    QPushButton* cmdCoordinate_ = nullptr;
    QPushButton* cmdHuace_ = nullptr;
    QLineEdit* txtNum_ = nullptr;
    std::array<QLineEdit*, 3> txtUser_{};
    std::array<QLineEdit*, 3> txtDate_{};
    QCheckBox* chkName_ = nullptr;
    QListWidget* fleJpg_ = nullptr;
    QListWidget* fleJT_ = nullptr;
    QGroupBox* fme5_ = nullptr;
    QPushButton* cmdWord_ = nullptr;
    // Runs the coordinate results and the point records, one at a time.
    JobRunner* runner_ = nullptr;
};

}  // namespace skyrell
