#pragma once
// Control-point selection in photo pairs: two photo lists side by side, one
// per neighbouring flight line, from which a click (or a double click) opens a
// photo in the image program; below them the photos selected in the two lists
// are previewed side by side, to judge their overlap without leaving the
// window. The window stays on top of other windows.

#include <QWidget>
#include <memory>

#include "shell/services.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace skyrell {

class PhotoList;
class PhotoPreview;
class PreviewCache;

class frmSetPicturePoint : public QWidget {
    Q_OBJECT
  public:
    frmSetPicturePoint(Services& services, QWidget* owner);
    ~frmSetPicturePoint() override;

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

    Services& services_;
    std::unique_ptr<PreviewCache> cache_;
    QRadioButton* optA_;
    QRadioButton* optB_;
    QComboBox* cboFormat_;
    Line a_;
    Line b_;
    QString rememberedFolder_;  // where the folder browser starts, shared by both lines
};

}  // namespace skyrell
