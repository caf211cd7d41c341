#pragma once
// The program's photo view: one photo at any zoom from the whole photo in the
// view up to 800 %, panned by dragging, with a point that a click sets and the
// arrow keys move. The photo arrives in two steps, both decoded off the window
// thread: a reduced picture first (the decoder shrinks it while reading, so
// something shows at once), then the photo at its own size. Only the part in
// view is drawn, from the reduced picture while it has a pixel for every
// screen pixel and from the full photo beyond that.

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QWidget>
#include <optional>

#include "pricking/view_geometry.h"

namespace skyrell {

class JobRunner;

class PhotoView : public QWidget {
    Q_OBJECT
  public:
    // The longest side of the first, reduced picture.
    static constexpr int kFirstPictureSide = 2048;

    explicit PhotoView(QWidget* parent = nullptr);

    // Opens the photo (an empty path clears the view), at 100 % centred on
    // `centre` (photo pixels) when one is given, else the whole photo in view.
    // Returns at once; Opened follows when the first picture is on screen.
    void Open(const QString& path, std::optional<QPointF> centre = std::nullopt);
    const QString& Photo() const { return path_; }
    // The photo's size in pixels, upright (empty until the first picture is in).
    QSize PhotoSize() const { return photoSize_; }
    bool HasPicture() const { return !first_.isNull(); }
    bool FullResolution() const { return !full_.isNull(); }
    // What the view shows instead of a picture ("" when it shows one).
    QString Text() const;

    double Scale() const { return view_.scale; }
    QPointF Centre() const { return {view_.centre.x, view_.centre.y}; }
    ViewState Geometry() const;
    // Zooms about the middle of the view; ZoomToFit shows the whole photo.
    void SetScale(double scale);
    void ZoomToFit();
    void CentreOn(QPointF photo);

    // The pricked point, in photo pixels; clicks and the arrow keys move it
    // while it is editable.
    std::optional<QPointF> Mark() const { return mark_; }
    void SetMark(std::optional<QPointF> mark);
    void SetMarkEditable(bool editable) { editable_ = editable; }
    // A rectangle drawn over the photo (photo pixels), such as a sketch's frame.
    void SetFrame(std::optional<QRectF> frame);

  signals:
    // The first picture is on screen (true) or the photo cannot be shown (false).
    void Opened(bool shown);
    void FullResolutionReady();
    // A click or an arrow key moved the mark.
    void MarkMoved(QPointF mark);
    void ScaleChanged(double scale);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    enum class State { Empty, Loading, Shown, Failed };
    struct Decoded;
    // Starts the decodes of the photo opened last that are not yet started,
    // on the runners that are free.
    void StartDecodes();
    void FirstPictureIn(const Decoded& decoded);
    void FullPictureIn(const QImage& image);
    void Apply(const ViewState& view);
    void MoveMark(QPointF mark);

    JobRunner* runner_;      // the reduced picture
    JobRunner* fullRunner_;  // the full photo
    int generation_ = 0;     // which Open a finished decode belongs to
    int firstFor_ = 0;       // the Open whose decodes were started
    int fullFor_ = 0;
    std::optional<QPointF> centre_;  // where the photo opened last opens
    QString path_;
    QString failure_;
    State state_ = State::Empty;
    QSize photoSize_;
    QImage first_;  // the reduced picture
    QImage full_;   // the photo at its own size, once decoded
    ViewState view_;
    std::optional<QPointF> mark_;
    std::optional<QRectF> frame_;
    bool editable_ = true;
    bool pressed_ = false;
    bool dragging_ = false;
    QPointF pressAt_;
    QPointF dragFrom_;
};

}  // namespace skyrell
