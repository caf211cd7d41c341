#pragma once
// A preview pane for one photo: the photo reduced off the window thread,
// kept in a cache shared by the panes of a window, with zoom (wheel), pan
// (drag) and a double click that asks for the photo to be opened.

#include <QCache>
#include <QImage>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <optional>

#include "shell/qt_job_runner.h"

namespace skyrell {

// Previews already made, by file and its size and modification time, so a
// photo changed on disk is previewed again. Used on the window thread only.
class PreviewCache {
  public:
    explicit PreviewCache(int megabytes = 256)
        : images_(static_cast<qsizetype>(megabytes) * 1024) {}
    // The cache key of a photo as it is on disk now.
    static QString KeyOf(const QString& path);
    const QImage* Find(const QString& key) const { return images_.object(key); }
    void Insert(const QString& key, const QImage& image);

  private:
    QCache<QString, QImage> images_;  // cost in kilobytes
};

class PhotoPreview : public QWidget {
    Q_OBJECT
  public:
    // The longest side of a preview in pixels: enough to zoom in a few times
    // on a screen-sized pane.
    static constexpr int kPreviewSide = 2048;

    PhotoPreview(PreviewCache& cache, QWidget* parent = nullptr);

    // Shows this photo (an empty path clears the pane). Returns at once; the
    // preview follows when it is made.
    void ShowPhoto(const QString& path);
    const QString& Photo() const { return path_; }
    bool HasImage() const { return !image_.isNull(); }
    // The text the pane shows instead of a picture ("" when it shows one).
    QString Text() const;
    // 1 shows the whole photo; larger values magnify.
    double Zoom() const { return zoom_; }
    // Marks a pixel of the photo shown (photoSize: the photo's own size in
    // pixels, as the preview may be reduced) with a cross-hair and centres
    // the view on it, magnified; nothing clears the mark. Showing another
    // photo clears it too.
    void SetMark(std::optional<QPointF> pixel, QSizeF photoSize);
    // The marked pixel as a fraction of the photo's width and height.
    std::optional<QPointF> Mark() const { return mark_; }
    // The marked pixel, in the photo's own pixels.
    std::optional<QPointF> MarkedPixel() const { return markedPixel_; }
    // The image point shown at the middle of the pane, as a fraction of the
    // photo's width and height.
    QPointF Centre() const;

  signals:
    // A double click on the picture: open the photo.
    void OpenRequested(const QString& path);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    enum class State { Empty, Loading, Shown, Failed };
    // Starts making the preview that the pane waits for, unless one is being
    // made: only the newest request is made next, so running the keyboard
    // down a list of photos decodes only where the selection stops.
    void LoadNext();
    void Loaded(const QString& path, const QString& key, const QImage& image,
                const QString& failure);
    double FitScale() const;
    double Scale() const { return FitScale() * zoom_; }
    void ClampCenter();
    // Centres the view on the mark, magnified, once the picture is there.
    void CentreOnMark();

    PreviewCache& cache_;
    JobRunner* runner_;
    // The photo to make a preview of next (empty when none waits), and its key.
    QString nextPath_;
    QString nextKey_;
    QString path_;
    QString key_;
    QString failure_;
    QImage image_;
    State state_ = State::Empty;
    double zoom_ = 1;
    QPointF center_;               // the image point shown at the middle of the pane
    std::optional<QPointF> mark_;  // fractions of the photo's width and height
    std::optional<QPointF> markedPixel_;
    QPointF dragFrom_;
    bool dragging_ = false;
};

}  // namespace skyrell
