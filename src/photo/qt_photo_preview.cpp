#include "photo/qt_photo_preview.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "photo/image_engine.h"
#include "shell/files.h"
#include "shell/services.h"

namespace skyrell {

QString PreviewCache::KeyOf(const QString& path) {
    const QFileInfo info(path);
    return path + QChar(u'\n') + QString::number(info.size()) + QChar(u'\n') +
           QString::number(info.lastModified().toMSecsSinceEpoch());
}

void PreviewCache::Insert(const QString& key, const QImage& image) {
    const auto kilobytes = std::max<qsizetype>(1, image.sizeInBytes() / 1024);
    images_.insert(key, new QImage(image), kilobytes);
}

namespace {
const QColor kBackground(45, 45, 48);
const QColor kText(200, 200, 200);
constexpr double kMostScreenPixelsPerPixel = 4;
// How much a marked point is magnified: enough to see the ground around it.
constexpr double kMarkZoom = 4;
const QColor kCrossHair(255, 40, 40);
}  // namespace

PhotoPreview::PhotoPreview(PreviewCache& cache, QWidget* parent)
    : QWidget(parent), cache_(cache), runner_(new JobRunner(this)) {
    setMinimumSize(160, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PhotoPreview::ShowPhoto(const QString& path) {
    // The same photo again (a list read again): keep the view as it is.
    if (path == path_ &&
        (path.isEmpty() || (state_ != State::Failed && PreviewCache::KeyOf(path) == key_)))
        return;
    nextPath_.clear();
    path_ = path;
    mark_.reset();
    failure_.clear();
    zoom_ = 1;
    dragging_ = false;
    image_ = QImage();
    if (path.isEmpty()) {
        state_ = State::Empty;
    } else {
        key_ = PreviewCache::KeyOf(path);
        if (const QImage* cached = cache_.Find(key_)) {
            image_ = *cached;
            state_ = State::Shown;
        } else {
            state_ = State::Loading;
            nextPath_ = path;
            nextKey_ = key_;
            LoadNext();
        }
    }
    center_ = QPointF(image_.width() / 2.0, image_.height() / 2.0);
    setToolTip(path.isEmpty() ? QString() : path);
    update();
}

void PhotoPreview::LoadNext() {
    if (nextPath_.isEmpty() || runner_->Running()) return;
    const QString path = nextPath_;
    const QString key = nextKey_;
    nextPath_.clear();
    runner_->Run(
        [photo = PathOf(U(path))](const Feedback&) {
            auto preview = MakePhotoPreview(photo, kPreviewSide);
            if (!preview) return std::make_pair(QImage(), Q(preview.status().message()));
            QImage image(preview->width, preview->height, QImage::Format_RGB888);
            const auto rowBytes = static_cast<std::size_t>(preview->width) * 3;
            for (int y = 0; y < preview->height; ++y)
                std::memcpy(image.scanLine(y), preview->rgb.data() + rowBytes * y, rowBytes);
            return std::make_pair(image, QString());
        },
        {},
        [this, path, key](const std::pair<QImage, QString>& made) {
            Loaded(path, key, made.first, made.second);
            LoadNext();
        });
}

void PhotoPreview::Loaded(const QString& path, const QString& key, const QImage& image,
                          const QString& failure) {
    if (!image.isNull()) cache_.Insert(key, image);
    // An older request that ended after the pane moved on is only cached.
    if (state_ != State::Loading || path != path_ || key != key_) return;
    if (image.isNull()) {
        state_ = State::Failed;
        failure_ = failure;
        setToolTip(path + QStringLiteral("\n") + failure);
    } else {
        state_ = State::Shown;
        image_ = image;
        center_ = QPointF(image_.width() / 2.0, image_.height() / 2.0);
        CentreOnMark();
    }
    update();
}

void PhotoPreview::SetMark(std::optional<QPointF> pixel, QSizeF photoSize) {
    mark_.reset();
    markedPixel_.reset();
    if (pixel && photoSize.width() > 0 && photoSize.height() > 0) {
        mark_ = QPointF(pixel->x() / photoSize.width(), pixel->y() / photoSize.height());
        markedPixel_ = pixel;
    }
    CentreOnMark();
    update();
}

void PhotoPreview::CentreOnMark() {
    if (!mark_ || image_.isNull()) return;
    zoom_ = std::min(kMarkZoom, std::max(1.0, kMostScreenPixelsPerPixel / FitScale()));
    center_ = QPointF(mark_->x() * image_.width(), mark_->y() * image_.height());
    ClampCenter();
}

QPointF PhotoPreview::Centre() const {
    if (image_.isNull()) return QPointF(0.5, 0.5);
    return QPointF(center_.x() / image_.width(), center_.y() / image_.height());
}

QString PhotoPreview::Text() const {
    switch (state_) {
        case State::Empty:
            return QStringLiteral("未选择航片");
        case State::Loading:
            return QStringLiteral("正在生成预览…");
        case State::Failed:
            return QStringLiteral("无法预览此文件");
        case State::Shown:
            break;
    }
    return QString();
}

double PhotoPreview::FitScale() const {
    if (image_.isNull()) return 1;
    return std::min(static_cast<double>(width()) / image_.width(),
                    static_cast<double>(height()) / image_.height());
}

void PhotoPreview::ClampCenter() {
    const double scale = Scale();
    auto clamp = [](double center, double extent, double half) {
        return extent <= 2 * half ? extent / 2 : std::clamp(center, half, extent - half);
    };
    center_.setX(clamp(center_.x(), image_.width(), width() / 2.0 / scale));
    center_.setY(clamp(center_.y(), image_.height(), height() / 2.0 / scale));
}

void PhotoPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kText);
    if (state_ != State::Shown) {
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, Text());
        return;
    }
    const double scale = Scale();
    const QPointF middle(width() / 2.0, height() / 2.0);
    const QRectF target(middle - center_ * scale, QSizeF(image_.size()) * scale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !dragging_);
    painter.drawImage(target, image_);
    if (mark_) {
        const QPointF at =
            middle +
            (QPointF(mark_->x() * image_.width(), mark_->y() * image_.height()) - center_) * scale;
        painter.setPen(QPen(kCrossHair, 1));
        painter.drawLine(QPointF(0, at.y()), QPointF(width(), at.y()));
        painter.drawLine(QPointF(at.x(), 0), QPointF(at.x(), height()));
        painter.drawEllipse(at, 8, 8);
        painter.setPen(kText);
    }
    // The photo's name in a corner, so the pair on screen is never in doubt.
    const QString name = QFileInfo(path_).fileName();
    const QRect label = painter.fontMetrics().boundingRect(name).adjusted(-4, -2, 4, 2);
    const QRect placed(QPoint(4, height() - label.height() - 4), label.size());
    painter.fillRect(placed, QColor(0, 0, 0, 150));
    painter.drawText(placed, Qt::AlignCenter, name);
}

void PhotoPreview::wheelEvent(QWheelEvent* event) {
    if (state_ != State::Shown) return;
    const double steps = event->angleDelta().y() / 120.0;
    const double most = std::max(1.0, kMostScreenPixelsPerPixel / FitScale());
    const double zoom = std::clamp(zoom_ * std::pow(1.25, steps), 1.0, most);
    // The image point under the mouse stays under the mouse.
    const QPointF offset = event->position() - QPointF(width() / 2.0, height() / 2.0);
    const QPointF point = center_ + offset / Scale();
    zoom_ = zoom;
    center_ = point - offset / Scale();
    ClampCenter();
    update();
    event->accept();
}

void PhotoPreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || state_ != State::Shown) return;
    dragging_ = true;
    dragFrom_ = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void PhotoPreview::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    center_ -= (event->position() - dragFrom_) / Scale();
    dragFrom_ = event->position();
    ClampCenter();
    update();
}

void PhotoPreview::mouseReleaseEvent(QMouseEvent*) {
    if (!dragging_) return;
    dragging_ = false;
    unsetCursor();
    update();
}

void PhotoPreview::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !path_.isEmpty()) emit OpenRequested(path_);
}

}  // namespace skyrell
