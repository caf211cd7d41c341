#pragma once
// Batch resizing: scales every photo of the source folder by one percentage
// (1-100) and writes it with a chosen JPEG quality (1-12, 12 best) into the
// target folder.

#include "photo/qt_photo_batch_window.h"

namespace skyrell {

class frmPhotoZoom : public PhotoBatchWindow {
    Q_OBJECT
  public:
    frmPhotoZoom(Services& services, QWidget* owner);
    ~frmPhotoZoom() override;

  private:
    void ResizePictures();

    QComboBox* cboZoom_;
    QComboBox* cboSave_;
    QPushButton* cmdResizePictures_;
};

}  // namespace skyrell
