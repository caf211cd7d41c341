#include "candidates/qt_camera_setting.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>

namespace skyrell {

CameraSetting::CameraSetting(QWidget* parent, bool stacked) : QWidget(parent) {
    auto side = [this](const char* name) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(0, 1000);
        box->setDecimals(2);
        box->setSuffix(QStringLiteral(" mm"));
        box->setSpecialValueText(QStringLiteral("取自EXIF"));
        box->setToolTip(QStringLiteral("航片EXIF中没有焦距和像元尺寸时，填写焦距和传感器宽度"));
        connect(box, &QDoubleSpinBox::editingFinished, this, &CameraSetting::Edited);
        return box;
    };
    spnFocal_ = side("spnFocal");
    spnSensor_ = side("spnSensor");
    cboHeading_ = new QComboBox(this);
    cboHeading_->setObjectName(QStringLiteral("cboHeading"));
    for (const char* mounting :
         {"像片上边朝航向", "像片上边朝航向右侧", "像片上边背向航向", "像片上边朝航向左侧"})
        cboHeading_->addItem(QString::fromUtf8(mounting));
    cboHeading_->setToolTip(
        QStringLiteral("航向取自飞行方向时（POS中没有航向），像片上边所朝的方向"));
    connect(cboHeading_, &QComboBox::currentIndexChanged, this, &CameraSetting::Edited);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const QString focal = QStringLiteral("焦距"), sensor = QStringLiteral("传感器宽度");
    if (stacked) {
        layout->addWidget(new QLabel(focal, this), 0, 0);
        layout->addWidget(spnFocal_, 0, 1);
        layout->addWidget(new QLabel(sensor, this), 1, 0);
        layout->addWidget(spnSensor_, 1, 1);
        layout->addWidget(cboHeading_, 2, 0, 1, 2);
    } else {
        layout->addWidget(new QLabel(focal, this), 0, 0);
        layout->addWidget(spnFocal_, 0, 1);
        layout->addWidget(new QLabel(sensor, this), 0, 2);
        layout->addWidget(spnSensor_, 0, 3);
        layout->setColumnStretch(4, 1);
        layout->addWidget(cboHeading_, 0, 5);
    }
}

CameraSetting::Values CameraSetting::Current() const {
    return {spnFocal_->value(), spnSensor_->value(), cboHeading_->currentIndex()};
}

void CameraSetting::Apply(CandidateOptions& options) {
    applied_ = Current();
    if (applied_.focalMm > 0 && applied_.sensorWidthMm > 0)
        options.camera = ExplicitCamera{applied_.focalMm, applied_.sensorWidthMm};
    options.headingOffset = applied_.mounting * 90;
}

void CameraSetting::Edited() {
    if (Current() != applied_) emit Changed();
}

}  // namespace skyrell
