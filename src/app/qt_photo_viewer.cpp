#include "app/qt_photo_viewer.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "photo/image_engine.h"
#include "pricking/qt_photo_view.h"
#include "shell/files.h"

namespace skyrell {

PhotoViewerWindow::PhotoViewerWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmPhotoViewer"));
    view_ = new PhotoView(this);
    view_->setObjectName(QStringLiteral("picPhoto"));
    auto* fit = new QPushButton(QStringLiteral("适合窗口"), this);
    fit->setObjectName(QStringLiteral("cmdFit"));
    auto* actual = new QPushButton(QStringLiteral("100%"), this);
    actual->setObjectName(QStringLiteral("cmdActualSize"));
    lblState_ = new QLabel(this);
    lblState_->setObjectName(QStringLiteral("lblState"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(fit);
    bar->addWidget(actual);
    bar->addWidget(lblState_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(bar);
    connect(fit, &QPushButton::clicked, view_, &PhotoView::ZoomToFit);
    connect(actual, &QPushButton::clicked, view_, [this] { view_->SetScale(1); });
    connect(view_, &PhotoView::ScaleChanged, this, &PhotoViewerWindow::ShowState);
    connect(view_, &PhotoView::MarkMoved, this, &PhotoViewerWindow::ShowState);
    connect(view_, &PhotoView::Opened, this, &PhotoViewerWindow::ShowState);
    connect(view_, &PhotoView::FullResolutionReady, this, &PhotoViewerWindow::ShowState);
    // Most of the screen: aerial photos are looked at closely.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(area.width() * 3 / 4, area.height() * 3 / 4);
    }
}

void PhotoViewerWindow::Open(const QString& path, std::optional<QPointF> centre) {
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - 航片查看"));
    view_->Open(path, centre);
    if (centre) view_->SetMark(centre);
    ShowState();
}

void PhotoViewerWindow::ShowState() {
    if (!view_->HasPicture()) {
        lblState_->setText(view_->Text());
        return;
    }
    QString text = QStringLiteral("%1 × %2 像素    缩放 %3%")
                       .arg(view_->PhotoSize().width())
                       .arg(view_->PhotoSize().height())
                       .arg(qRound(view_->Scale() * 100));
    if (const auto mark = view_->Mark())
        text += QStringLiteral("    点 %1, %2").arg(mark->x(), 0, 'f', 1).arg(mark->y(), 0, 'f', 1);
    if (!view_->FullResolution()) text += QStringLiteral("    正在读取原始分辨率…");
    lblState_->setText(text);
}

BuiltInPhotoViewer::~BuiltInPhotoViewer() { delete window_.data(); }

bool BuiltInPhotoViewer::Open(QWidget* owner, const QString& path, std::optional<QPointF> centre) {
    // Only the header is read here; the pixels are decoded off the window thread.
    PhotoImage header;
    if (!header.Open(PathOf(U(path)))) return false;
    QWidget* top = owner ? owner->window() : nullptr;
    // The window belongs to the window that opened it, so it closes with it.
    if (window_ && window_->parentWidget() != top) {
        window_->close();
        window_ = nullptr;
    }
    if (!window_) window_ = new PhotoViewerWindow(top);
    window_->Open(path, centre);
    window_->show();
    window_->raise();
    window_->activateWindow();
    return true;
}

}  // namespace skyrell
