#include "check/frmDataCheck.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "check/manual_check.h"
#include "check/sortie_check.h"
#include "project/sortie_layout.h"
#include "shell/files.h"
#include "shell/qt_outside_programs.h"

namespace skyrell {

namespace {

QString Separator() {
    return QString(QChar(static_cast<char16_t>(std::filesystem::path::preferred_separator)));
}

}  // namespace

frmDataCheck::frmDataCheck(Services& services, QWidget* owner)
    : QWidget(owner), services_(services) {
    setObjectName(QStringLiteral("frmDataCheck"));
    setWindowTitle(QStringLiteral("像控成果数据检查"));
    if (owner) setWindowIcon(owner->windowIcon());

    // Step 1: automatic check.
    auto* fmeAutoCheck = new QGroupBox(QStringLiteral("第一步：自动检查"), this);
    fmeAutoCheck->setObjectName(QStringLiteral("fmeAutoCheck"));
    auto* lblPath = new QLabel(QStringLiteral("选择项目目录"), fmeAutoCheck);
    txtPath_ = new QLineEdit(fmeAutoCheck);
    txtPath_->setObjectName(QStringLiteral("txtPath"));
    txtPath_->setReadOnly(true);
    cmdPath_ = new QToolButton(fmeAutoCheck);
    cmdPath_->setObjectName(QStringLiteral("cmdPath"));
    cmdPath_->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    cmdAutoCheck_ = new QPushButton(QStringLiteral("自动检查"), fmeAutoCheck);
    cmdAutoCheck_->setObjectName(QStringLiteral("cmdAutoCheck"));
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(lblPath);
    pathRow->addWidget(txtPath_, 1);
    pathRow->addWidget(cmdPath_);
    auto* autoLayout = new QVBoxLayout(fmeAutoCheck);
    autoLayout->addLayout(pathRow);
    autoLayout->addWidget(cmdAutoCheck_, 0, Qt::AlignRight);

    // Step 2: manual check.
    fmeCheckByHand_ = new QGroupBox(QStringLiteral("第二步：手工检查"), this);
    fmeCheckByHand_->setObjectName(QStringLiteral("fmeCheckByHand"));
    lstXKD_ = new QListWidget(fmeCheckByHand_);
    lstXKD_->setObjectName(QStringLiteral("lstXKD"));
    auto makeBox = [this](const char* name, const QString& caption) {
        auto* box = new QCheckBox(caption, fmeCheckByHand_);
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(true);
        return box;
    };
    chkCDP_ = makeBox("chkCDP", QStringLiteral("刺点片"));
    chkXCZP_ = makeBox("chkXCZP", QStringLiteral("现场照片"));
    chkDZJ_ = makeBox("chkDZJ", QStringLiteral("点之记"));
    chkZBCG_ = makeBox("chkZBCG", QStringLiteral("Google Earth 概略位置"));
    auto* lblNote =
        new QLabel(QStringLiteral("说明：自动检查无误后才可以进行手工检查。双击左侧像控点名称，"
                                  "自动打开右侧选择的文件。"),
                   fmeCheckByHand_);
    lblNote->setWordWrap(true);
    auto* boxes = new QVBoxLayout;
    for (auto* box : {chkCDP_, chkXCZP_, chkDZJ_, chkZBCG_}) boxes->addWidget(box);
    boxes->addStretch(1);
    boxes->addWidget(lblNote);
    auto* handLayout = new QHBoxLayout(fmeCheckByHand_);
    handLayout->addWidget(lstXKD_, 1);
    handLayout->addLayout(boxes, 1);
    fmeCheckByHand_->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fmeAutoCheck);
    layout->addWidget(fmeCheckByHand_, 1);
    resize(460, 420);

    runner_ = new JobRunner(this, &services_);
    runner_->SetInputs({cmdPath_, cmdAutoCheck_, fmeCheckByHand_});
    connect(cmdPath_, &QToolButton::clicked, this, &frmDataCheck::ChoosePath);
    connect(cmdAutoCheck_, &QPushButton::clicked, this, &frmDataCheck::AutoCheck);
    connect(lstXKD_, &QListWidget::itemDoubleClicked, this, &frmDataCheck::CheckByHand);
}

void frmDataCheck::ChoosePath() {
    const QString chosen = BrowseForFolder(services_, this, chosenFolder_,
                                           QStringLiteral("选择项目路径[至“架次”文件夹]"));
    if (chosen.isEmpty()) return;
    if (!IsSortieFolderPath(PathOf(U(chosen)))) {
        Note(Q(std::string(kNotSortieFolderText)));
        return;
    }
    txtPath_->setText(Q(WithTrailingSeparator(U(chosen))));
    ResetManualCheck();
}

void frmDataCheck::AutoCheck() {
    if (runner_->Running()) return;
    ResetManualCheck();
    if (txtPath_->text().isEmpty()) return;
    const auto sortie = PathOf(U(txtPath_->text()));
    if (!FolderExists(sortie)) {
        services_.dialogs.Message(this, Q(std::string(kSortieFolderMissingText)),
                                  MsgIcon::Information, MsgButtons::Ok, windowTitle());
        return;
    }
    // The check and the report's writing run off the window thread.
    const Clock& clock = services_.clock;
    runner_->Run(
        [sortie, &clock](const Feedback& feedback) {
            auto check = CheckSortieFolder(sortie, clock, feedback);
            Status written = check ? WriteCheckReport(sortie, check->report) : Status::Ok();
            return std::make_pair(std::move(check), std::move(written));
        },
        {},
        [this, sortie](const std::pair<Result<SortieCheck>, Status>& outcome) {
            ShowAutoCheck(sortie, outcome.first, outcome.second);
        });
}

void frmDataCheck::ShowAutoCheck(const std::filesystem::path& sortie,
                                 const Result<SortieCheck>& check, const Status& written) {
    if (!check) {
        Warn(Q(check.status().message()));
        return;
    }
    if (!written) {
        Warn(Q(written.message()));
        return;
    }
    if (check->passed) {
        prickedPhotos_ = check->prickedPhotos;
        for (const auto& name : check->pointNames) lstXKD_->addItem(Q(name));
        fmeCheckByHand_->setEnabled(true);
    }
    OpenOutside(services_, this, OutsideProgram::TextEditor, Q(PathText(CheckReportPath(sortie))));
}

void frmDataCheck::CheckByHand() {
    if (lstXKD_->count() == 0) return;
    if (!chkCDP_->isChecked() && !chkXCZP_->isChecked() && !chkDZJ_->isChecked() &&
        !chkZBCG_->isChecked())
        return;
    const QListWidgetItem* item = lstXKD_->currentItem();
    if (!item) return;
    // Each kind of file is opened on its own: a missing file or program
    // affects only its own step.
    const QString name = item->text();
    if (chkCDP_->isChecked()) OpenPrickedPhoto(name);
    if (chkXCZP_->isChecked())
        OpenPointFile(name, kSitePhotoFolder, QStringLiteral(".jpg"), QStringLiteral("现场照片"),
                      QStringLiteral("系统未安装Photoshop，无法打开现场照片！"));
    if (chkDZJ_->isChecked())
        OpenPointFile(name, kPointRecordFolder, QStringLiteral(".doc"), QStringLiteral("点之记"),
                      QStringLiteral("系统未安装Word，无法打开点之记文件！"));
    if (chkZBCG_->isChecked()) ShowRoughPosition(name);
}

void frmDataCheck::OpenPrickedPhoto(const QString& name) {
    const auto photo = FindPrickedPhoto(prickedPhotos_, U(name));
    if (!photo) {
        Warn(QStringLiteral("未找到像控点") + name + QStringLiteral("的刺点片。"));
        return;
    }
    const QString path = InSortie(Q(std::string(kPrickedPhotoFolder)) + Separator() + Q(*photo));
    if (!ViewPhoto(path)) Warn(QStringLiteral("系统未安装Photoshop，无法打开刺点片！"));
}

void frmDataCheck::OpenPointFile(const QString& name, std::string_view folder,
                                 const QString& extension, const QString& kind,
                                 const QString& notInstalled) {
    const QString path = InSortie(Q(std::string(folder)) + Separator() + name + extension);
    if (!FileExists(PathOf(U(path)))) {
        Note(QStringLiteral("未找到像控点") + name + QStringLiteral("的") + kind +
             QStringLiteral("。"));
        return;
    }
    const bool opened = extension == QStringLiteral(".jpg")
                            ? ViewPhoto(path)
                            : services_.desktop.OpenWithAssociated(path);
    if (!opened) Warn(notInstalled);
}

bool frmDataCheck::ViewPhoto(const QString& path) {
    // The program's own photo view stands where the image editor was.
    return services_.photoViewer && services_.photoViewer->Open(this, path);
}

void frmDataCheck::ShowRoughPosition(const QString& name) {
    const auto sortie = PathOf(U(txtPath_->text()));
    const std::string point = U(name);
    // The look-up reads the whole coordinate table: off the window thread,
    // with the document it leads to.
    runner_->Run(
        [sortie, point](const Feedback& feedback) {
            RoughPositionLookup lookup = LookUpRoughPosition(sortie, point, feedback);
            Status written = Status::Ok();
            if (lookup.outcome == RoughPositionLookup::Outcome::Found)
                written =
                    WriteRoughPosition(RoughPositionPath(sortie, point), point, lookup.position);
            return std::make_pair(std::move(lookup), std::move(written));
        },
        {},
        [this, sortie, name](const std::pair<RoughPositionLookup, Status>& outcome) {
            ShowRoughPositionOutcome(sortie, name, outcome.first, outcome.second);
        });
}

void frmDataCheck::ShowRoughPositionOutcome(const std::filesystem::path& sortie,
                                            const QString& name, const RoughPositionLookup& lookup,
                                            const Status& written) {
    using Outcome = RoughPositionLookup::Outcome;
    switch (lookup.outcome) {
        case Outcome::NoTable:
            Warn(QStringLiteral("未找到像控点") + name + QStringLiteral("的坐标成果文件。"));
            return;
        case Outcome::NoCoordinates:
            Warn(QStringLiteral("未找到") + name + QStringLiteral("的坐标。"));
            return;
        case Outcome::ReadFailure:
            Warn(Q(lookup.failure));
            return;
        case Outcome::Found:
            break;
    }
    const auto document = RoughPositionPath(sortie, U(name));
    if (!written) {
        ShowWriteFailure(services_, this, written.code(), Q(written.message()));
        return;
    }
    if (!services_.desktop.OpenWithAssociated(Q(PathText(document))))
        Warn(QStringLiteral("系统未安装Google Earth，无法执行Google Earth定位操作！"));
}

void frmDataCheck::ResetManualCheck() {
    fmeCheckByHand_->setEnabled(false);
    lstXKD_->clear();
    prickedPhotos_.clear();
}

void frmDataCheck::Warn(const QString& text) {
    services_.dialogs.Message(this, text, MsgIcon::Exclamation, MsgButtons::Ok, windowTitle());
}

void frmDataCheck::Note(const QString& text) {
    services_.dialogs.Message(this, text, MsgIcon::None, MsgButtons::Ok, kAppTitle);
}

QString frmDataCheck::InSortie(const QString& relative) const {
    return txtPath_->text() + relative;
}

}  // namespace skyrell
