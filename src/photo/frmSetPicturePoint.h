#pragma once
// Control-point selection in photo pairs: two photo lists side by side, one
// per neighbouring flight line, from which a click (or a double click) opens a
// photo in the image program; below them the photos selected in the two lists
// are previewed side by side, to judge their overlap without leaving the
// window. The window stays on top of other windows.
//
// An optional control-point list beside them: choosing a point selects, in
// each line, the photo that shows it nearest its centre, and the previews
// centre on the point's predicted pixel with a cross-hair.

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "candidates/candidates.h"
#include "candidates/qt_camera_setting.h"
#include "shell/services.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace skyrell {

class PhotoList;
class PhotoPreview;
class PreviewCache;
class JobRunner;

class frmSetPicturePoint : public QWidget {
    Q_OBJECT
  public:
    frmSetPicturePoint(Services& services, QWidget* owner);
    ~frmSetPicturePoint() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Line {
        QPushButton* cmd;
        QLineEdit* txt;
        PhotoList* fle;
        PhotoPreview* pic;
        QString title;
    };
    void ChooseFolder(Line& line);
    void FilterChanged();
    // Reads the line's folder again with the current filter.
    void Refill(Line& line, bool keepCurrent);
    void Open(const Line& line, int row);
    void OpenPhoto(const QString& path);
    void Preview(Line& line);
    QString Pattern() const;
    // The control-point list: the points file, the POS that places the
    // photos, the search over both lines' photos and the jump to a point.
    void ChoosePoints();
    void ChoosePos();
    // Reads the points file again and searches both lines' photos (off the
    // window thread); runs whenever the points file, the POS or a line's
    // folder changes.
    void FindCandidatesOfLines();
    void JumpToPoint(int row);
    void Jump(Line& line, const Sighting* sighting);

    Services& services_;
    std::unique_ptr<PreviewCache> cache_;
    QRadioButton* optA_;
    QRadioButton* optB_;
    QComboBox* cboFormat_;
    Line a_;
    Line b_;
    QString rememberedFolder_;  // where the folder browser starts, shared by both lines

    QPushButton* cmdPoints_;
    QComboBox* cboPointFormat_;
    QPushButton* cmdPos_;
    QLineEdit* txtPos_;
    CameraSetting* camera_;
    QListWidget* lstPoints_;
    QLabel* lblCandidates_;
    JobRunner* runner_;
    std::optional<std::filesystem::path> pointsFile_;
    std::optional<ControllerMake> pointsMake_;
    std::vector<ControlPoint> points_;
    std::optional<CandidateReport> report_;
    bool jumping_ = false;  // a jump moves the lists: no click, nothing opens
};

}  // namespace skyrell
