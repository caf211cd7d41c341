#pragma once
// Batch rotation: turns every photo of the source folder by one angle (180°,
// 90° either way, or any angle either way) into the target folder. The link
// "角度计算器" opens the angle calculator, whose return button fills the angle.

#include <QPointer>

#include "geodesy/frmAngleCalculator.h"
#include "photo/qt_photo_batch_window.h"

class QLabel;
class QRadioButton;

namespace skyrell {

class frmPhotoRotate : public PhotoBatchWindow {
    Q_OBJECT
  public:
    frmPhotoRotate(Services& services, QWidget* owner);
    ~frmPhotoRotate() override;

    // The open angle calculator, or null.
    frmAngleCalculator* AngleCalculator() const { return calculator_; }

  private:
    void RotatePictures();
    void ShowAngleCalculator();

    QRadioButton* opt180_;
    QRadioButton* opt90_;
    QRadioButton* optCounter90_;
    QRadioButton* optAngle_;
    QRadioButton* optCounterAngle_;
    QLineEdit* txtAngle_;
    QLabel* lblAngleCalculator_;
    QPushButton* cmdRotatePictures_;
    QPointer<frmAngleCalculator> calculator_;
};

}  // namespace skyrell
