#pragma once
// The data check window: step 1 checks a sortie folder automatically and
// writes "自动检查报告.txt"; step 2, enabled only after a check in which every
// item passed, opens a control point's photos, point record and rough position
// in the desktop's programs.

#include <QWidget>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "check/manual_check.h"
#include "check/sortie_check.h"
#include "shell/qt_job_runner.h"
#include "shell/services.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace skyrell {

class frmDataCheck : public QWidget {
    Q_OBJECT
  public:
    frmDataCheck(Services& services, QWidget* owner);

    // cmdPath: choose the sortie folder ("…架次") in the folder browser.
    void ChoosePath();
    // cmdAutoCheck: check the folder in txtPath, write and show the report.
    void AutoCheck();
    // Double click on lstXKD: open the ticked kinds of file of the selected point.
    void CheckByHand();

  private:
    void OpenPrickedPhoto(const QString& name);
    // Opens `folder`/name + extension of the sortie (a .jpg photo in the
    // photo view, other files in their program), or says which kind of file
    // of the point is missing, or that its program is not installed.
    void OpenPointFile(const QString& name, std::string_view folder, const QString& extension,
                       const QString& kind, const QString& notInstalled);
    // Opens a photo in the program's photo view; false when it cannot.
    bool ViewPhoto(const QString& path);
    void ShowRoughPosition(const QString& name);
    void ShowRoughPositionOutcome(const std::filesystem::path& sortie, const QString& name,
                                  const RoughPositionLookup& lookup, const Status& written);
    // The end of an automatic check: its report written, or the failure.
    void ShowAutoCheck(const std::filesystem::path& sortie, const Result<SortieCheck>& check,
                       const Status& written);
    // Clears lstXKD and disables the manual check.
    void ResetManualCheck();
    // An exclamation message with OK, captioned with the window's caption.
    void Warn(const QString& text);
    // An OK-only message without icon, carrying the application title.
    void Note(const QString& text);
    // The folder in txtPath followed by `relative`.
    QString InSortie(const QString& relative) const;

    Services& services_;
    QLineEdit* txtPath_;
    QToolButton* cmdPath_;
    QPushButton* cmdAutoCheck_;
    QGroupBox* fmeCheckByHand_;
    QListWidget* lstXKD_;
    QCheckBox* chkCDP_;
    QCheckBox* chkXCZP_;
    QCheckBox* chkDZJ_;
    QCheckBox* chkZBCG_;
    // The folder last chosen in the browser; the browser starts there.
    QString chosenFolder_;
    // The pricked-point photos listed by the last passing check.
    std::vector<std::string> prickedPhotos_;
    // Runs the automatic check and the rough-position look-up.
    JobRunner* runner_;
};

}  // namespace skyrell
