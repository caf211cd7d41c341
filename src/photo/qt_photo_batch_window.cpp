#include "photo/qt_photo_batch_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "photo/image_engine.h"
#include "shell/files.h"
#include "shell/qt_controls.h"

namespace skyrell {

namespace {
const QString kSourceTitle = QStringLiteral("原始航片目录");
const QString kTargetTitle = QStringLiteral("目标航片目录");
}  // namespace

PhotoBatchWindow::PhotoBatchWindow(Services& services, QWidget* owner, const QString& objectName,
                                   const QString& caption, const QString& notInstalledText)
    : QWidget(owner, Qt::Window),
      services_(services),
      caption_(caption),
      notInstalledText_(notInstalledText) {
    setObjectName(objectName);
    setWindowTitle(caption);
    if (owner) setWindowIcon(owner->windowIcon());

    auto makePath = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setReadOnly(true);
        box->setMinimumWidth(300);
        return box;
    };
    auto makeBrowse = [this](const char* name, const QString& tip) {
        return MakeToolButton(this, name, QStyle::SP_DirOpenIcon, tip);
    };
    txtRaw_ = makePath("txtRaw");
    btnRaw_ = makeBrowse("btnRaw", kSourceTitle);
    txtResult_ = makePath("txtResult");
    btnResult_ = makeBrowse("btnResult", kTargetTitle);
    chkPath_ = new QCheckBox(QStringLiteral("目标航片目录 = 原始航片目录"), this);
    chkPath_->setObjectName(QStringLiteral("chkPath"));
    cboFormat_ = new QComboBox(this);
    cboFormat_->setObjectName(QStringLiteral("cboFormat"));
    cboFormat_->addItems({QStringLiteral("JPEG图片(*.JPG)"), QStringLiteral("所有格式(*.*)")});
    cboFormat_->setCurrentIndex(0);
    flePicture_ = new QListWidget(this);
    flePicture_->setObjectName(QStringLiteral("flePicture"));
    flePicture_->hide();
    pbProgress_ = new QProgressBar(this);
    pbProgress_->setObjectName(QStringLiteral("pbProgress"));
    pbProgress_->setRange(0, 1);
    pbProgress_->setValue(0);
    pbProgress_->setFormat(QStringLiteral("0%"));
    pbProgress_->setTextVisible(true);
    cmdExit_ = new QPushButton(QStringLiteral("退出(&X)"), this);
    cmdExit_->setObjectName(QStringLiteral("cmdExit"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(kSourceTitle, this), 0, 0);
    grid->addWidget(txtRaw_, 0, 1);
    grid->addWidget(btnRaw_, 0, 2);
    grid->addWidget(new QLabel(kTargetTitle, this), 1, 0);
    grid->addWidget(txtResult_, 1, 1);
    grid->addWidget(btnResult_, 1, 2);
    grid->addWidget(chkPath_, 2, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("航片格式"), this), 3, 0);
    grid->addWidget(cboFormat_, 3, 1, 1, 2);
    parameters_ = new QVBoxLayout;
    buttons_ = new QHBoxLayout;
    buttons_->addStretch(1);
    buttons_->addWidget(cmdExit_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addLayout(parameters_);
    column->addWidget(pbProgress_);
    column->addLayout(buttons_);

    connect(btnRaw_, &QToolButton::clicked, this, &PhotoBatchWindow::BrowseSource);
    connect(btnResult_, &QToolButton::clicked, this, &PhotoBatchWindow::BrowseTarget);
    connect(chkPath_, &QCheckBox::clicked, this, [this](bool ticked) {
        if (ticked) txtResult_->setText(txtRaw_->text());
    });
    connect(cmdExit_, &QPushButton::clicked, this, &QWidget::close);

    // Photos in flight are finished, never cut off half-written.
    runner_ = new JobRunner(this, &services_);
}

void PhotoBatchWindow::AddParameters(QWidget* frame) {
    parameters_->addWidget(frame);
    parameterFrame_ = frame;
}

void PhotoBatchWindow::AddRunButton(QPushButton* button) {
    runButton_ = button;
    buttons_->insertWidget(1, button);
}

void PhotoBatchWindow::Message(const QString& text, MsgIcon icon) {
    services_.dialogs.Message(this, text, icon, MsgButtons::Ok, caption_);
}

void PhotoBatchWindow::BrowseSource() {
    QString folder = txtRaw_->text();
    const QString chosen = BrowseForFolder(services_, this, folder, kSourceTitle);
    if (!chosen.isEmpty()) txtRaw_->setText(chosen);
    if (txtRaw_->text().isEmpty()) {
        chkPath_->setChecked(false);
        return;
    }
    if (chkPath_->isChecked()) txtResult_->setText(txtRaw_->text());
    chkPath_->setChecked(txtRaw_->text() == txtResult_->text());
}

void PhotoBatchWindow::BrowseTarget() {
    QString folder = txtResult_->text();
    const QString chosen = BrowseForFolder(services_, this, folder, kTargetTitle);
    if (!chosen.isEmpty()) txtResult_->setText(chosen);
    chkPath_->setChecked(!txtResult_->text().isEmpty() && txtRaw_->text() == txtResult_->text());
}

bool PhotoBatchWindow::CheckFolders() {
    const std::string source = U(txtRaw_->text());
    const std::string target = U(txtResult_->text());
    const FolderCheck check = CheckBatchFolders(source, target);
    const QString text = Q(std::string(FolderCheckText(check)));
    if (check == FolderCheck::Ok) return true;
    if (check != FolderCheck::TargetMissing) {
        Message(text);
        return false;
    }
    if (services_.dialogs.Message(this, text, MsgIcon::Question, MsgButtons::YesNo, caption_) !=
        MsgAnswer::Yes)
        return false;
    if (Status created = CreateFolderIfMissing(PathOf(target)); !created) {
        Message(Q(created.message()));
        return false;
    }
    return true;
}

void PhotoBatchWindow::StartBatch(const PhotoOperation& operation) {
    PhotoBatch batch;
    batch.source = PathOf(U(txtRaw_->text()));
    batch.target = PathOf(U(txtResult_->text()));
    batch.operation = operation;
    batch.names = ListBatchPhotos(batch.source, cboFormat_->currentIndex() == 1);
    flePicture_->clear();
    for (const auto& name : batch.names) flePicture_->addItem(Q(name));
    if (batch.names.empty()) {
        Message(Q(std::string(kNoPhotosText)));
        return;
    }
    pbProgress_->setFormat(QStringLiteral("0%"));
    pbProgress_->setRange(0, static_cast<int>(std::min<std::size_t>(batch.names.size(), INT_MAX)));
    pbProgress_->setValue(0);
    if (!StartImageEngine()) {
        Message(notInstalledText_);
        return;
    }

    runner_->SetInputs({btnRaw_, btnResult_, chkPath_, cboFormat_, parameterFrame_, runButton_});
    runner_->Run([batch = std::move(batch)](
                     const Feedback& feedback) { return RunPhotoBatch(batch, feedback); },
                 [this](const JobProgress& progress) { ShowProgress(progress.done); },
                 [this](const PhotoBatchOutcome& outcome) { Finish(outcome); });
}

void PhotoBatchWindow::ShowProgress(std::size_t done) {
    const auto total = static_cast<std::size_t>(pbProgress_->maximum());
    pbProgress_->setFormat(Q(ProgressText(done, total)));
    pbProgress_->setValue(static_cast<int>(std::min(done, total)));
}

void PhotoBatchWindow::Finish(const PhotoBatchOutcome& outcome) {
    const std::string skipped =
        outcome.skipped > 0 ? SkippedFilesText(outcome.skipped) : std::string();
    if (!outcome.refused) {
        Message(Q(outcome.refused.message()));
    } else if (!outcome.failures.empty()) {
        Message(Q(FailureSummaryText(outcome.failures) + (skipped.empty() ? "" : "\n" + skipped)));
    } else if (!skipped.empty()) {
        Message(Q(skipped), MsgIcon::Information);
    }
    emit BatchFinished();
}

void PhotoBatchWindow::closeEvent(QCloseEvent* event) {
    // During a run: the photos in flight finish, then the dialog closes.
    if (!runner_->MayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace skyrell
