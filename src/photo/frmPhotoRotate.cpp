#include "photo/frmPhotoRotate.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "geodesy/frmAngleCalculator.h"
#include "shell/qt_tool_windows.h"

namespace skyrell {

frmPhotoRotate::frmPhotoRotate(Services& services, QWidget* owner)
    : PhotoBatchWindow(services, owner, QStringLiteral("frmPhotoRotate"),
                       QStringLiteral("航片旋转"), Q(std::string(kRotateNotInstalledText))) {
    auto* frame = new QGroupBox(QStringLiteral("角度设置"), this);
    auto makeOption = [frame](const char* name, const QString& caption) {
        auto* option = new QRadioButton(caption, frame);
        option->setObjectName(QString::fromLatin1(name));
        return option;
    };
    opt180_ = makeOption("opt180", QStringLiteral("180°"));
    opt90_ = makeOption("opt90", QStringLiteral("顺时针90°"));
    optCounter90_ = makeOption("opt_90", QStringLiteral("逆时针90°"));
    optAngle_ = makeOption("optAngle", QStringLiteral("顺时针"));
    optCounterAngle_ = makeOption("opt_Angle", QStringLiteral("逆时针"));
    auto* options = new QButtonGroup(this);
    for (auto* option : {opt180_, opt90_, optCounter90_, optAngle_, optCounterAngle_})
        options->addButton(option);
    opt180_->setChecked(true);
    txtAngle_ = new QLineEdit(frame);
    txtAngle_->setObjectName(QStringLiteral("txtAngle"));
    txtAngle_->setMaximumWidth(90);
    lblAngleCalculator_ = new QLabel(QStringLiteral("<a href=\"#\">角度计算器</a>"), frame);
    lblAngleCalculator_->setObjectName(QStringLiteral("lblAngleCalculator"));
    lblAngleCalculator_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(opt180_, 0, 0);
    grid->addWidget(opt90_, 0, 1);
    grid->addWidget(optCounter90_, 0, 2, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("任意角度"), frame), 1, 0);
    auto* free = new QHBoxLayout;
    free->addWidget(optAngle_);
    free->addWidget(optCounterAngle_);
    free->addWidget(txtAngle_);
    free->addWidget(new QLabel(QStringLiteral("°"), frame));
    free->addStretch(1);
    free->addWidget(lblAngleCalculator_);
    grid->addLayout(free, 1, 1, 1, 4);
    AddParameters(frame);

    cmdRotatePictures_ = new QPushButton(QStringLiteral("旋转(&R)"), this);
    cmdRotatePictures_->setObjectName(QStringLiteral("cmdRotatePictures"));
    AddRunButton(cmdRotatePictures_);

    connect(optAngle_, &QRadioButton::clicked, txtAngle_, [this] { txtAngle_->setFocus(); });
    connect(optCounterAngle_, &QRadioButton::clicked, txtAngle_, [this] { txtAngle_->setFocus(); });
    connect(lblAngleCalculator_, &QLabel::linkActivated, this,
            &frmPhotoRotate::ShowAngleCalculator);
    connect(cmdRotatePictures_, &QPushButton::clicked, this, &frmPhotoRotate::RotatePictures);
}

frmPhotoRotate::~frmPhotoRotate() = default;

void frmPhotoRotate::ShowAngleCalculator() {
    if (!calculator_) {
        calculator_ = new frmAngleCalculator(
            this, [this](const QString& degrees) { txtAngle_->setText(degrees); });
        calculator_->setAttribute(Qt::WA_DeleteOnClose, true);
        // Owned by this dialog: centred on it and kept in front of it.
        PrepareToolWindow(calculator_, this);
    }
    calculator_->show();
    services_.desktop.BringForward(calculator_);
}

void frmPhotoRotate::RotatePictures() {
    if (!CheckFolders()) return;
    PhotoOperation operation;
    operation.kind = PhotoOperation::Rotate;
    operation.quality = 12;
    if (opt180_->isChecked()) {
        operation.degrees = 180;
    } else if (opt90_->isChecked()) {
        operation.degrees = 90;
    } else if (optCounter90_->isChecked()) {
        operation.degrees = -90;
    } else {
        txtAngle_->setText(txtAngle_->text().trimmed());
        const FreeAngle angle = ReadFreeAngle(U(txtAngle_->text()));
        if (angle.problem != AngleProblem::None) {
            Message(Q(std::string(AngleProblemText(angle.problem))));
            txtAngle_->setFocus();
            return;
        }
        operation.degrees = optAngle_->isChecked() ? angle.degrees : -angle.degrees;
    }
    StartBatch(operation);
}

}  // namespace skyrell
