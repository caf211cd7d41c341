#include "pos/frmPosOptions.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "shell/text.h"

namespace skyrell {

frmPosOptions::frmPosOptions(Services& /*services*/, QWidget* owner, ConversionOptions& options,
                             std::function<void()> accepted)
    : QWidget(owner, Qt::Window), options_(options), accepted_(std::move(accepted)) {
    setObjectName(QStringLiteral("frmPosOptions"));
    setWindowTitle(QStringLiteral("选项"));
    if (owner) setWindowIcon(owner->windowIcon());

    auto makeBox = [this](const char* name) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setEditable(false);
        return box;
    };
    cboCS_ = makeBox("cboCS");
    cboZone_ = makeBox("cboZone");
    cboFontScale_ = makeBox("cboFontScale");
    cmdOK_ = new QPushButton(QStringLiteral("确定"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("坐标系统"), this), 0, 0);
    grid->addWidget(cboCS_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("坐标分带"), this), 1, 0);
    grid->addWidget(cboZone_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("文字比例"), this), 2, 0);
    grid->addWidget(cboFontScale_, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(cboCS_, cboZone_);
    setTabOrder(cboZone_, cboFontScale_);
    setTabOrder(cboFontScale_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);

    connect(cmdOK_, &QPushButton::clicked, this, &frmPosOptions::Accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::close);
    Load();
}

namespace {

// Fills the box with the entries and selects the one whose code is `code`, the
// first when none is.
void FillChoices(QComboBox* box, const std::vector<OptionChoice>& choices,
                 const std::string& code) {
    box->clear();
    int selected = 0;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        box->addItem(Q(choices[i].text));
        if (choices[i].code == code) selected = static_cast<int>(i);
    }
    box->setCurrentIndex(selected);
}

}  // namespace

void frmPosOptions::Load() {
    FillChoices(cboCS_, CoordinateSystemChoices(), options_.coordinateSystem);
    FillChoices(cboZone_, ZoneWidthChoices(), options_.zoneWidth);
    cboFontScale_->clear();
    int selected = 0;
    const auto& scales = TextScaleChoices();
    for (std::size_t i = 0; i < scales.size(); ++i) {
        cboFontScale_->addItem(Q(scales[i]));
        if (ParseNumber(scales[i]) == options_.textScale) selected = static_cast<int>(i);
    }
    cboFontScale_->setCurrentIndex(selected);
}

void frmPosOptions::Accept() {
    const auto& systems = CoordinateSystemChoices();
    const auto& zones = ZoneWidthChoices();
    const auto scale = ParseNumber(U(cboFontScale_->currentText()));
    if (!scale || *scale <= 0) return;  // the list holds only numbers
    options_.coordinateSystem = systems[static_cast<std::size_t>(cboCS_->currentIndex())].code;
    options_.zoneWidth = zones[static_cast<std::size_t>(cboZone_->currentIndex())].code;
    options_.textScale = *scale;
    close();
    if (accepted_) accepted_();
}

}  // namespace skyrell
