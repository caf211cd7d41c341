#pragma once
// The camera a candidate search assumes for photos whose EXIF does not name
// one (focal length and sensor width, in millimetres; 0 takes the EXIF), and
// where the top edge of a photo faces when headings come from the direction
// of flight. The pricking window and the photo-pair window both show it.

#include <QWidget>

#include "candidates/candidates.h"

class QComboBox;
class QDoubleSpinBox;

namespace skyrell {

class CameraSetting : public QWidget {
    Q_OBJECT
  public:
    // In one row, or stacked for a narrow side panel.
    CameraSetting(QWidget* parent, bool stacked);

    // Sets the camera and the heading offset of a search, and remembers
    // them as the ones searched with.
    void Apply(CandidateOptions& options);

  signals:
    // The user left the setting different from the last search's.
    void Changed();

  private:
    struct Values {
        double focalMm = 0;
        double sensorWidthMm = 0;
        int mounting = 0;  // quarter turns clockwise from the direction of flight
        bool operator==(const Values&) const = default;
    };
    Values Current() const;
    void Edited();

    QDoubleSpinBox* spnFocal_;
    QDoubleSpinBox* spnSensor_;
    QComboBox* cboHeading_;
    Values applied_;
};

}  // namespace skyrell
