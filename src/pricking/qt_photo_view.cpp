#include "pricking/qt_photo_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "photo/image_engine.h"
#include "shell/files.h"
#include "shell/qt_job_runner.h"
#include "shell/services.h"

namespace skyrell {

namespace {

const QColor kBackground(45, 45, 48);
const QColor kText(200, 200, 200);
const QColor kMark(255, 0, 0);
const QColor kFrame(255, 210, 0);
constexpr double kWheelStep = 1.25;

// The engine's pixels as a picture the screen draws quickly.
QImage ToImage(const PreviewImage& pixels) {
    QImage image(pixels.width, pixels.height, QImage::Format_RGB888);
    if (image.isNull()) return image;
    const auto rowBytes = static_cast<std::size_t>(pixels.width) * 3;
    for (int y = 0; y < pixels.height; ++y)
        std::memcpy(image.scanLine(y), pixels.rgb.data() + rowBytes * y, rowBytes);
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

struct PhotoView::Decoded {
    QImage image;
    QSize size;
    QString failure;
};

PhotoView::PhotoView(QWidget* parent)
    : QWidget(parent), runner_(new JobRunner(this)), fullRunner_(new JobRunner(this)) {
    setMinimumSize(200, 150);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

ViewState PhotoView::Geometry() const {
    ViewState view = view_;
    view.viewWidth = width();
    view.viewHeight = height();
    return view;
}

void PhotoView::Open(const QString& path, std::optional<QPointF> centre) {
    ++generation_;
    path_ = path;
    centre_ = centre;
    failure_.clear();
    first_ = QImage();
    full_ = QImage();
    photoSize_ = QSize();
    mark_.reset();
    frame_.reset();
    pressed_ = dragging_ = false;
    view_ = ViewState{};
    state_ = path.isEmpty() ? State::Empty : State::Loading;
    update();
    // Decodes of an earlier photo still running are left to end; their ends
    // start this photo's.
    runner_->Cancel();
    fullRunner_->Cancel();
    StartDecodes();
}

void PhotoView::StartDecodes() {
    if (path_.isEmpty() || state_ == State::Failed) return;
    const int generation = generation_;
    const auto photo = PathOf(U(path_));
    // The reduced picture first, then the full photo: decoding both side by
    // side would share the cores and delay the first picture, which the
    // surveyor waits for; the full photo follows while it is looked at.
    if (firstFor_ != generation && !runner_->Running()) {
        firstFor_ = generation;
        runner_->Run(
            [photo](const Feedback&) {
                // The engine's thread state ends however the decode ends.
                Decoded decoded = [&photo] {
                    Decoded read;
                    PhotoImage header;
                    Status opened = header.Open(photo);
                    auto size = opened ? header.Size() : Result<ImageSize>(opened);
                    header.Close();
                    if (!size) {
                        read.failure = Q(size.status().message());
                        return read;
                    }
                    read.size = QSize(size->width, size->height);
                    auto first = MakePhotoPreview(photo, kFirstPictureSide);
                    if (!first) {
                        read.failure = Q(PhotoFailureText(photo, first.status().message()));
                        return read;
                    }
                    read.image = ToImage(*first);
                    if (read.image.isNull()) read.failure = QStringLiteral("内存不足。");
                    return read;
                }();
                EndImageEngineThread();
                return decoded;
            },
            {},
            [this, generation](const Decoded& decoded) {
                if (generation == generation_) FirstPictureIn(decoded);
                StartDecodes();
            });
    }
    const bool firstDone = firstFor_ == generation && !runner_->Running();
    if (firstDone && fullFor_ != generation && !fullRunner_->Running()) {
        fullFor_ = generation;
        // A photo too large to decode whole (the engine refuses it) stays at
        // the reduced picture.
        fullRunner_->Run(
            [photo](const Feedback&) {
                QImage image;
                const Status decoded = DecodePhotoBgrx(photo, [&image](int width, int height) {
                    image = QImage(width, height, QImage::Format_RGB32);
                    return image.isNull() ? nullptr : image.bits();
                });
                EndImageEngineThread();
                return decoded ? image : QImage();
            },
            {},
            [this, generation](const QImage& image) {
                if (generation == generation_) FullPictureIn(image);
                StartDecodes();
            });
    }
}

void PhotoView::FirstPictureIn(const Decoded& decoded) {
    if (decoded.image.isNull()) {
        state_ = State::Failed;
        failure_ = decoded.failure;
        full_ = QImage();
        update();
        emit Opened(false);
        return;
    }
    state_ = State::Shown;
    first_ = decoded.image;
    photoSize_ = decoded.size;
    view_ = Geometry();
    view_.photoWidth = photoSize_.width();
    view_.photoHeight = photoSize_.height();
    if (centre_) {
        view_.scale = ClampScale(view_, 1);
        view_.centre = {centre_->x(), centre_->y()};
    } else {
        view_.scale = FitScale(view_);
        view_.centre = {view_.photoWidth / 2, view_.photoHeight / 2};
    }
    view_.centre = ClampCentre(view_);
    update();
    emit Opened(true);
    emit ScaleChanged(view_.scale);
    // The full photo came first, or the reduced picture is the whole photo.
    if (!full_.isNull() || first_.size() == photoSize_) {
        if (full_.isNull() || full_.size() != photoSize_) full_ = first_;
        emit FullResolutionReady();
    }
}

void PhotoView::FullPictureIn(const QImage& image) {
    if (image.isNull() || state_ == State::Failed) return;
    // Before the first picture: kept until it comes.
    if (state_ == State::Loading) {
        full_ = image;
        return;
    }
    // A photo changed on disk between the two reads keeps its first picture.
    if (image.size() != photoSize_ || !full_.isNull()) return;
    full_ = image;
    update();
    emit FullResolutionReady();
}

QString PhotoView::Text() const {
    switch (state_) {
        case State::Empty:
            return QStringLiteral("未打开航片");
        case State::Loading:
            return QStringLiteral("正在打开航片…");
        case State::Failed:
            return QStringLiteral("无法打开此文件：") + failure_;
        case State::Shown:
            break;
    }
    return QString();
}

void PhotoView::Apply(const ViewState& view) {
    const double before = view_.scale;
    view_ = view;
    update();
    if (view_.scale != before) emit ScaleChanged(view_.scale);
}

void PhotoView::SetScale(double scale) {
    if (state_ != State::Shown) return;
    Apply(ZoomAbout(Geometry(), scale, {width() / 2.0, height() / 2.0}));
}

void PhotoView::ZoomToFit() { SetScale(FitScale(Geometry())); }

void PhotoView::CentreOn(QPointF photo) {
    if (state_ != State::Shown) return;
    ViewState view = Geometry();
    view.centre = {photo.x(), photo.y()};
    view.centre = ClampCentre(view);
    Apply(view);
}

void PhotoView::SetMark(std::optional<QPointF> mark) {
    mark_ = mark;
    update();
}

void PhotoView::SetFrame(std::optional<QRectF> frame) {
    frame_ = frame;
    update();
}

void PhotoView::MoveMark(QPointF mark) {
    mark_ = mark;
    update();
    emit MarkMoved(mark);
}

void PhotoView::resizeEvent(QResizeEvent*) {
    if (state_ != State::Shown) return;
    ViewState view = Geometry();
    view.scale = ClampScale(view, view.scale);
    view.centre = ClampCentre(view);
    Apply(view);
}

void PhotoView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    if (state_ != State::Shown) {
        painter.setPen(kText);
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, Text());
        return;
    }
    const ViewState view = Geometry();
    const PhotoPart part = VisiblePart(view);
    if (part.width > 0 && part.height > 0) {
        // The reduced picture while it has a pixel for every screen pixel (or
        // while the full photo is not in yet); the full photo beyond that.
        const double reduction = static_cast<double>(first_.width()) / photoSize_.width();
        const bool useFirst = full_.isNull() || view.scale <= reduction;
        const QImage& source = useFirst ? first_ : full_;
        const double factor = useFirst ? reduction : 1.0;
        const QRectF from(part.x * factor, part.y * factor, part.width * factor,
                          part.height * factor);
        const ViewPoint topLeft = PhotoToScreen(view, {double(part.x), double(part.y)});
        const QRectF to(topLeft.x, topLeft.y, part.width * view.scale, part.height * view.scale);
        // Smooth while zoomed out, sharp pixels from 100 % up, so a surveyor
        // sees exactly which pixel the mark is on.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, view.scale < 1);
        painter.drawImage(to, source, from);
    }
    if (frame_) {
        const ViewPoint a = PhotoToScreen(view, {frame_->left(), frame_->top()});
        const ViewPoint b = PhotoToScreen(view, {frame_->right(), frame_->bottom()});
        painter.setPen(QPen(kFrame, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(QPointF(a.x, a.y), QPointF(b.x, b.y)));
    }
    if (mark_) {
        const ViewPoint at = PhotoToScreen(view, {mark_->x(), mark_->y()});
        const QPointF centre(at.x, at.y);
        painter.setRenderHint(QPainter::Antialiasing, true);
        // The cross-hair across the whole view, thin so it hides no detail;
        // a circle and a gap at the point itself.
        painter.setPen(QPen(QColor(255, 0, 0, 150), 1));
        painter.drawLine(QPointF(0, at.y), QPointF(at.x - 6, at.y));
        painter.drawLine(QPointF(at.x + 6, at.y), QPointF(width(), at.y));
        painter.drawLine(QPointF(at.x, 0), QPointF(at.x, at.y - 6));
        painter.drawLine(QPointF(at.x, at.y + 6), QPointF(at.x, height()));
        painter.setPen(QPen(kMark, 1.5));
        painter.drawEllipse(centre, 12, 12);
    }
}

void PhotoView::wheelEvent(QWheelEvent* event) {
    if (state_ != State::Shown) return;
    const double steps = event->angleDelta().y() / 120.0;
    const QPointF at = event->position();
    Apply(ZoomAbout(Geometry(), view_.scale * std::pow(kWheelStep, steps), {at.x(), at.y()}));
    event->accept();
}

void PhotoView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || state_ != State::Shown) return;
    setFocus(Qt::MouseFocusReason);
    pressed_ = true;
    dragging_ = false;
    pressAt_ = dragFrom_ = event->position();
}

void PhotoView::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_) return;
    if (!dragging_ &&
        (event->position() - pressAt_).manhattanLength() < QApplication::startDragDistance())
        return;
    if (!dragging_) {
        dragging_ = true;
        setCursor(Qt::ClosedHandCursor);
    }
    ViewState view = Geometry();
    const QPointF moved = (event->position() - dragFrom_) / view.scale;
    view.centre = {view.centre.x - moved.x(), view.centre.y - moved.y()};
    view.centre = ClampCentre(view);
    dragFrom_ = event->position();
    Apply(view);
}

void PhotoView::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressed_ || event->button() != Qt::LeftButton) return;
    pressed_ = false;
    if (dragging_) {
        dragging_ = false;
        unsetCursor();
        return;
    }
    if (!editable_) return;
    // The middle of the screen pixel clicked.
    const QPointF at = event->position();
    const auto point = PointAt(Geometry(), {std::floor(at.x()) + 0.5, std::floor(at.y()) + 0.5});
    if (point) MoveMark(QPointF(point->x, point->y));
}

void PhotoView::keyPressEvent(QKeyEvent* event) {
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
        case Qt::Key_Left:
            dx = -1;
            break;
        case Qt::Key_Right:
            dx = 1;
            break;
        case Qt::Key_Up:
            dy = -1;
            break;
        case Qt::Key_Down:
            dy = 1;
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            SetScale(view_.scale * kWheelStep);
            return;
        case Qt::Key_Minus:
            SetScale(view_.scale / kWheelStep);
            return;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    if (state_ != State::Shown || !mark_ || !editable_) return;
    const ViewPoint moved = Nudge(Geometry(), {mark_->x(), mark_->y()}, dx, dy);
    MoveMark(QPointF(moved.x, moved.y));
    // The mark stays in view as the keys walk it.
    const ViewPoint screen = PhotoToScreen(Geometry(), moved);
    if (screen.x < 0 || screen.y < 0 || screen.x > width() || screen.y > height()) CentreOn(*mark_);
}

}  // namespace skyrell
