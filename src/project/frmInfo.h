#pragma once
// The point description editor: lists the point screenshots ("P*.jpg") of the
// sortie's process-data folder and edits the four descriptions of the selected
// point in that folder's "点位描述.txt". It belongs to the data-processing
// window, which opens it with OpenPointDescriptionEditor.

#include <QWidget>
#include <functional>
#include <optional>

#include "project/point_descriptions.h"
#include "shell/qt_job_runner.h"
#include "shell/services.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace skyrell {

class frmInfo : public QWidget {
    Q_OBJECT
  public:
    // `processFolder` gives the current text of the data-processing window's
    // process-data path box (ending in a separator). The editor asks for it at
    // load, at every selection and at every save, so it always works in the
    // folder that box shows. The editor is a top-level window owned by `owner`.
    frmInfo(Services& services, QWidget* owner, std::function<QString()> processFolder);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Load();
    void Select();
    void Save();
    // The ends of the description file's read and rewrite.
    void ShowSelected(const Result<std::optional<PointDescription>>& found);
    void ShowSaved(const PointDescription& record, const Status& saved);
    void OpenSelectedPicture();
    QString Caption() const { return windowTitle(); }
    void Warn(const QString& text);

    Services& services_;
    std::function<QString()> processFolder_;
    QListWidget* fleGCSJ_;
    QLabel* lblEmpty_;
    QLineEdit* txtName_;
    QLineEdit* txtData1_;
    QLineEdit* txtData2_;
    QLineEdit* txtData3_;
    QLineEdit* txtData4_;
    QPushButton* cmdOutput_;
    QCheckBox* chkPic_;
    int rowAtPress_ = -1;
    // Reads and rewrites the description file off the window thread.
    JobRunner* runner_;  // the selected row when the last click began
};

// What the data-processing window's button "创建/修改点位描述文件" does: checks
// that the pricked-point photo folder and the process-data folder exist (an
// error message with the owner's caption otherwise), then shows the owner's one
// editor without blocking, creating it when it is not open. An open editor is
// only brought to the front, keeping its list and boxes. Returns the editor, or
// null when a check failed.
frmInfo* OpenPointDescriptionEditor(Services& services, QWidget* owner,
                                    const QString& prickedFolder,
                                    std::function<QString()> processFolder);

}  // namespace skyrell
