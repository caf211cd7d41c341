#pragma once
// The pricking window: the control points of a sortie, the photos that show
// the chosen point (nearest the centre first), and the photo view in which
// the surveyor clicks the point. Save writes the hand-in photo and the point
// sketch and records the pricking; "observation only" records it on further
// photos. Reopening a sortie shows its earlier prickings, which can be moved
// and saved again.

#include <QString>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "candidates/candidates.h"
#include "candidates/qt_camera_setting.h"
#include "pricking/pricking.h"
#include "shell/services.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace skyrell {

class JobRunner;
class PhotoView;

// What the window works on: the points and where they show, and the
// sortie's record of prickings.
struct PrickingSurvey {
    std::vector<PointSightings> points;
    std::vector<std::filesystem::path> unplacedPhotos;
    std::vector<std::filesystem::path> unorientedPhotos;
    std::vector<Pricking> record;
};

class PrickingWindow : public QWidget {
    Q_OBJECT
  public:
    PrickingWindow(Services& services, QWidget* owner);
    ~PrickingWindow() override;

    // Opens on this sortie folder; an empty text leaves the window as it is.
    void OpenSortie(const QString& sortie);
    // Shows a survey: the end of the search, also used by tests.
    void ShowSurvey(PrickingSurvey survey);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void ChooseSortie();
    void ChoosePoints();
    void ChoosePhotos();
    void ChoosePos();
    // Reads the points, finds their photos and reads the record, off the
    // window thread, once the sortie, the points and the photos are chosen.
    void Search();
    void ShowPoints();
    void PointChosen();
    void PhotoChosen();
    void MakeThumbnails();
    void ShowFrame();
    void Save(bool observationOnly);
    // Writes the GCP list of the sortie's prickings in the chosen projection.
    void ExportGcpList();
    // True when no moved mark would be lost, or the user lets it go.
    bool MayLeaveMark();
    const PointSightings* CurrentPoint() const;
    const Sighting* CurrentSighting() const;
    QString PhotoText(const PointSightings& point, const Sighting& sighting) const;
    const Pricking* RecordedOn(const std::string& point, const std::filesystem::path& photo) const;
    void Say(const QString& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);
    void ShowState(const QString& text);

    Services& services_;
    JobRunner* runner_;
    JobRunner* thumbnails_;
    PrickingSurvey survey_;
    QString folderChosen_;  // where the folder browser starts
    int shownPoint_ = -1;   // the rows the view's photo belongs to
    int shownPhoto_ = -1;
    bool markMoved_ = false;  // the mark moved since it was opened or saved
    int surveys_ = 0;         // how many surveys were shown
    int thumbnailsFor_ = -1;  // the point (of survey thumbnailsOf_) whose thumbnails are made
    int thumbnailsOf_ = 0;

    QLineEdit* txtSortie_;
    QLineEdit* txtPoints_;
    QComboBox* cboPoints_;
    QLineEdit* txtPhotos_;
    QLineEdit* txtPos_;
    CameraSetting* camera_;
    int searchedFormat_ = 0;  // the points file kind of the last search
    QTreeWidget* lstPoints_;
    QListWidget* lstPhotos_;
    PhotoView* picPhoto_;
    QSpinBox* spnSketch_;
    QPushButton* cmdSave_;
    QPushButton* cmdObserve_;
    QComboBox* cboGcp_;
    QPushButton* cmdGcp_;
    QLabel* lblState_;
};

}  // namespace skyrell
