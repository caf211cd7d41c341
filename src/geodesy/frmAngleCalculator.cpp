#include "geodesy/frmAngleCalculator.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

#include "geodesy/angle_calculator.h"
#include "shell/text.h"

namespace skyrell {

namespace {
double ValueOf(const QLineEdit* box) { return LenientNumber(box->text().toStdString()); }
}  // namespace

frmAngleCalculator::frmAngleCalculator(QWidget* owner, std::function<void(const QString&)> giveBack)
    : QWidget(owner, Qt::Window), giveBack_(std::move(giveBack)) {
    setObjectName(QStringLiteral("frmAngleCalculator"));
    setWindowTitle(QStringLiteral("角度计算器"));
    if (owner) setWindowIcon(owner->windowIcon());

    auto makeBox = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setMaximumWidth(80);
        return box;
    };
    optPi_ = new QRadioButton(QStringLiteral("弧度制"), this);
    optPi_->setObjectName(QStringLiteral("optPi"));
    txtPi_ = makeBox("txtPi");
    optDFM_ = new QRadioButton(QStringLiteral("度分秒"), this);
    optDFM_->setObjectName(QStringLiteral("optDFM"));
    txtD_ = makeBox("txtD");
    txtF_ = makeBox("txtF");
    txtM_ = makeBox("txtM");
    txtResult_ = makeBox("txtResult");
    txtResult_->setReadOnly(true);
    txtResult_->setMaximumWidth(QWIDGETSIZE_MAX);
    cmdResult_ = new QPushButton(QStringLiteral("查看结果"), this);
    cmdResult_->setObjectName(QStringLiteral("cmdResult"));
    btnBack_ = new QToolButton(this);
    btnBack_->setObjectName(QStringLiteral("btnBack"));
    btnBack_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    btnBack_->setToolTip(QStringLiteral("返回旋转角度"));
    auto* modes = new QButtonGroup(this);
    modes->addButton(optPi_);
    modes->addButton(optDFM_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(optPi_, 0, 0);
    grid->addWidget(txtPi_, 0, 1);
    grid->addWidget(optDFM_, 1, 0);
    auto* dms = new QHBoxLayout;
    dms->addWidget(txtD_);
    dms->addWidget(new QLabel(QStringLiteral("°"), this));
    dms->addWidget(txtF_);
    dms->addWidget(new QLabel(QStringLiteral("′"), this));
    dms->addWidget(txtM_);
    dms->addWidget(new QLabel(QStringLiteral("″"), this));
    grid->addLayout(dms, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("十进制度"), this), 2, 0);
    grid->addWidget(txtResult_, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdResult_);
    buttons->addWidget(btnBack_);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(optPi_, &QRadioButton::clicked, this, &frmAngleCalculator::UseRadians);
    connect(optDFM_, &QRadioButton::clicked, this, &frmAngleCalculator::UseDms);
    connect(cmdResult_, &QPushButton::clicked, this, &frmAngleCalculator::Compute);
    connect(btnBack_, &QToolButton::clicked, this, &frmAngleCalculator::GiveBack);

    optDFM_->setChecked(true);
    UseDms();
    adjustSize();
}

frmAngleCalculator::~frmAngleCalculator() = default;

void frmAngleCalculator::UseRadians() {
    for (auto* box : {txtD_, txtF_, txtM_}) box->setEnabled(false);
    txtPi_->setEnabled(true);
    txtPi_->setFocus();
}

void frmAngleCalculator::UseDms() {
    for (auto* box : {txtD_, txtF_, txtM_}) box->setEnabled(true);
    txtPi_->setEnabled(false);
    txtD_->setFocus();
}

void frmAngleCalculator::Compute() {
    const double degrees = optPi_->isChecked()
                               ? DegreesOfRadians(ValueOf(txtPi_))
                               : DegreesOfDms(ValueOf(txtD_), ValueOf(txtF_), ValueOf(txtM_));
    txtResult_->setText(QString::fromStdString(GeneralNumberText(degrees)));
}

void frmAngleCalculator::GiveBack() {
    Compute();
    if (giveBack_) giveBack_(txtResult_->text());
    close();
}

}  // namespace skyrell
