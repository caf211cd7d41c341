#pragma once
// The production photo viewer: a window built on the pricking photo view, in
// which the pair window and the manual check open photos. One viewer window
// at a time: a photo opened while it is up replaces the one it shows, as a
// running image editor was reused.

#include <QPointer>
#include <QWidget>

#include "shell/services.h"

class QLabel;

namespace skyrell {

class PhotoView;

class PhotoViewerWindow : public QWidget {
    Q_OBJECT
  public:
    explicit PhotoViewerWindow(QWidget* owner);
    void Open(const QString& path, std::optional<QPointF> centre);
    PhotoView* View() const { return view_; }

  private:
    void ShowState();
    PhotoView* view_;
    QLabel* lblState_;
};

class BuiltInPhotoViewer : public PhotoViewer {
  public:
    ~BuiltInPhotoViewer() override;
    // False, with nothing shown, for a file whose header no image loader reads.
    bool Open(QWidget* owner, const QString& path, std::optional<QPointF> centre) override;
    PhotoViewerWindow* Window() const { return window_; }

  private:
    QPointer<PhotoViewerWindow> window_;
};

}  // namespace skyrell
