#include "photo/frmPhotoZoom.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace skyrell {

frmPhotoZoom::frmPhotoZoom(Services& services, QWidget* owner)
    : PhotoBatchWindow(services, owner, QStringLiteral("frmPhotoZoom"), QStringLiteral("航片缩放"),
                       Q(std::string(kResizeNotInstalledText))) {
    auto* frame = new QGroupBox(QStringLiteral("缩放参数"), this);
    auto makeList = [frame](const char* name, int last) {
        auto* box = new QComboBox(frame);
        box->setObjectName(QString::fromLatin1(name));
        for (int i = 1; i <= last; ++i) box->addItem(QString::number(i));
        box->setCurrentIndex(last - 1);
        return box;
    };
    cboZoom_ = makeList("cboZoom", 100);
    cboSave_ = makeList("cboSave", 12);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("缩放倍数(%)"), frame), 0, 0);
    grid->addWidget(cboZoom_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("存储品质"), frame), 0, 2);
    grid->addWidget(cboSave_, 0, 3);
    grid->setColumnStretch(4, 1);
    AddParameters(frame);

    cmdResizePictures_ = new QPushButton(QStringLiteral("缩放(&Z)"), this);
    cmdResizePictures_->setObjectName(QStringLiteral("cmdResizePictures"));
    AddRunButton(cmdResizePictures_);
    connect(cmdResizePictures_, &QPushButton::clicked, this, &frmPhotoZoom::ResizePictures);
}

frmPhotoZoom::~frmPhotoZoom() = default;

void frmPhotoZoom::ResizePictures() {
    if (!CheckFolders()) return;
    PhotoOperation operation;
    operation.kind = PhotoOperation::Resize;
    // The lists offer only their items; the index gives the number.
    operation.percent = cboZoom_->currentIndex() + 1;
    operation.quality = cboSave_->currentIndex() + 1;
    StartBatch(operation);
}

}  // namespace skyrell
