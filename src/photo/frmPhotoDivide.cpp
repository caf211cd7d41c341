#include "photo/frmPhotoDivide.h"

#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QStyle>
#include <QToolButton>
#include <limits>

#include "shell/files.h"
#include "shell/qt_controls.h"
#include "shell/text.h"

namespace skyrell {

namespace {
const QString kCaption = QStringLiteral("航片划分(航线)");
const QString kPhotoFolderTitle = QStringLiteral("选择航片(架次)路径");
const QString kSaveFolderTitle = QStringLiteral("选择航线保存路径");

QString CountText(int count) {
    return QStringLiteral("共计航片 ") + QString::number(count) + QStringLiteral(" 张");
}
}  // namespace

frmPhotoDivide::frmPhotoDivide(Services& services, QWidget* owner)
    : QWidget(owner, Qt::Window), services_(services) {
    setObjectName(QStringLiteral("frmPhotoDivide"));
    setWindowTitle(kCaption);
    if (owner) setWindowIcon(owner->windowIcon());

    auto makeBox = [this](const char* name, bool readOnly) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setReadOnly(readOnly);
        return box;
    };

    txtPath_ = makeBox("txtPath", true);
    cmdPath_ = MakeToolButton(this, "cmdPath", QStyle::SP_DirOpenIcon, kPhotoFolderTitle);
    txtPattern_ = makeBox("txtPattern", false);
    flePhoto_ = new QListWidget(this);
    flePhoto_->setObjectName(QStringLiteral("flePhoto"));
    flePhoto_->setUniformItemSizes(true);
    lblCount_ = new QLabel(CountText(0), this);
    lblCount_->setObjectName(QStringLiteral("lblCount"));
    txtSave_ = makeBox("txtSave", true);
    cmdSave_ = MakeToolButton(this, "cmdSave", QStyle::SP_DirOpenIcon, kSaveFolderTitle);
    txtLine_ = makeBox("txtLine", false);
    txtFrom_ = makeBox("txtFrom", false);
    txtTo_ = makeBox("txtTo", false);
    for (QLineEdit* number : {txtLine_, txtFrom_, txtTo_}) number->setMaximumWidth(80);
    cmdDivide_ =
        MakeToolButton(this, "cmdDivide", QStyle::SP_DialogApplyButton, QStringLiteral("划分"));
    cmdDivide_->setText(QStringLiteral("划分"));
    cmdDivide_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    prgDivide_ = new QProgressBar(this);
    prgDivide_->setObjectName(QStringLiteral("prgDivide"));
    prgDivide_->setRange(0, 1);
    prgDivide_->setValue(0);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(kPhotoFolderTitle, this), 0, 0, 1, 3);
    grid->addWidget(txtPath_, 1, 0, 1, 2);
    grid->addWidget(cmdPath_, 1, 2);
    auto* patternRow = new QHBoxLayout;
    patternRow->addWidget(new QLabel(QStringLiteral("航片扩展名"), this));
    patternRow->addWidget(txtPattern_);
    patternRow->addStretch(1);
    patternRow->addWidget(lblCount_);
    grid->addLayout(patternRow, 2, 0, 1, 3);
    grid->addWidget(flePhoto_, 3, 0, 1, 3);
    grid->addWidget(new QLabel(kSaveFolderTitle, this), 4, 0, 1, 3);
    grid->addWidget(txtSave_, 5, 0, 1, 2);
    grid->addWidget(cmdSave_, 5, 2);
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(new QLabel(QStringLiteral("第"), this));
    lineRow->addWidget(txtLine_);
    lineRow->addWidget(new QLabel(QStringLiteral("航线"), this));
    lineRow->addWidget(txtFrom_);
    lineRow->addWidget(new QLabel(QStringLiteral("->"), this));
    lineRow->addWidget(txtTo_);
    lineRow->addStretch(1);
    lineRow->addWidget(cmdDivide_);
    grid->addLayout(lineRow, 6, 0, 1, 3);
    grid->addWidget(prgDivide_, 7, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(3, 1);
    resize(440, 460);

    // Load: the photo folder starts at the user's home folder, listed with
    // the default pattern; the count label starts at 0.
    txtPath_->setText(QDir::toNativeSeparators(QDir::homePath()));
    txtPattern_->setText(Q(std::string(kDefaultPhotoPattern)));
    ListPhotos();
    txtLine_->setText(QStringLiteral("1"));
    txtFrom_->setText(QStringLiteral("1"));
    txtTo_->setText(QStringLiteral("1"));

    connect(cmdPath_, &QToolButton::clicked, this, &frmPhotoDivide::ChoosePhotoFolder);
    connect(cmdSave_, &QToolButton::clicked, this, &frmPhotoDivide::ChooseSaveFolder);
    connect(txtPattern_, &QLineEdit::textChanged, this, &frmPhotoDivide::PatternChanged);
    connect(cmdDivide_, &QToolButton::clicked, this, &frmPhotoDivide::Divide);
    runner_ = new JobRunner(this, &services_);
    runner_->SetInputs({cmdPath_, txtPattern_, cmdSave_, txtLine_, txtFrom_, txtTo_, cmdDivide_});
}

void frmPhotoDivide::closeEvent(QCloseEvent* event) {
    // Closing the dialog during a run ends it after the photo being copied.
    if (!runner_->MayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void frmPhotoDivide::Message(const QString& text, MsgIcon icon) {
    services_.dialogs.Message(this, text, icon, MsgButtons::Ok, kCaption);
}

void frmPhotoDivide::ListPhotos() {
    const auto names = ListFiles(PathOf(U(txtPath_->text())), U(txtPattern_->text()));
    flePhoto_->clear();
    QStringList items;
    items.reserve(static_cast<qsizetype>(names.size()));
    for (const auto& name : names) items << Q(name);
    flePhoto_->addItems(items);
}

void frmPhotoDivide::ChoosePhotoFolder() {
    QString path = txtPath_->text();
    if (BrowseForFolder(services_, this, path, kPhotoFolderTitle).isEmpty()) return;
    txtPath_->setText(path);
    if (txtPattern_->text().isEmpty()) {
        const QSignalBlocker quiet(txtPattern_);
        txtPattern_->setText(QStringLiteral("*.*"));
    }
    ListPhotos();
    lblCount_->setText(CountText(flePhoto_->count()));
}

void frmPhotoDivide::ChooseSaveFolder() {
    QString path = txtSave_->text();
    if (!BrowseForFolder(services_, this, path, kSaveFolderTitle).isEmpty())
        txtSave_->setText(path);
}

void frmPhotoDivide::PatternChanged() {
    if (txtPath_->text().isEmpty()) return;
    ListPhotos();
    lblCount_->setText(CountText(flePhoto_->count()));
}

void frmPhotoDivide::Divide() {
    if (runner_->Running()) return;
    if (flePhoto_->count() == 0) {
        cmdPath_->setFocus();
        return;
    }
    if (txtSave_->text().isEmpty()) {
        cmdSave_->setFocus();
        return;
    }
    if (txtLine_->text().isEmpty()) {
        txtLine_->setFocus();
        return;
    }
    // The line number names the line folder and advances by one: it must be
    // a whole number, or nothing is divided.
    const auto line = ParseWholeNumber(U(txtLine_->text()));
    if (!line) {
        Message(QStringLiteral("航线编号必须是整数。"), MsgIcon::Information);
        txtLine_->setFocus();
        txtLine_->selectAll();
        return;
    }
    const auto from = ParseWholeNumber(U(txtFrom_->text()));
    const auto to = ParseWholeNumber(U(txtTo_->text()));
    if (!from || !to) {
        Message(QStringLiteral("请输入航片文件起止编号。"), MsgIcon::Information);
        txtFrom_->setFocus();
        return;
    }
    txtFrom_->setText(QString::number(*from));
    txtTo_->setText(QString::number(*to));

    DivideRequest request;
    request.photoFolder = PathOf(U(txtPath_->text()));
    request.photos.reserve(static_cast<std::size_t>(flePhoto_->count()));
    for (int i = 0; i < flePhoto_->count(); ++i)
        request.photos.push_back(U(flePhoto_->item(i)->text()));
    request.saveFolder = PathOf(U(txtSave_->text()));
    request.line = std::string(TrimSpaces(U(txtLine_->text())));
    request.from = *from;
    request.to = *to;

    prgDivide_->setRange(0, flePhoto_->count());
    prgDivide_->setValue(0);
    runner_->Run([request = std::move(request)](
                     const Feedback& feedback) { return DividePhotos(request, feedback); },
                 [this](const JobProgress& progress) {
                     prgDivide_->setValue(static_cast<int>(progress.done));
                 },
                 [this, line = *line](const Result<DivideCount>& outcome) {
                     DivideFinished(line, outcome);
                 });
}

void frmPhotoDivide::DivideFinished(std::int64_t line, const Result<DivideCount>& outcome) {
    if (!outcome) {
        // A folder or copy that failed: the line stays as it is, so the user
        // can put things right and divide it again.
        Message(Q(outcome.status().message()), MsgIcon::Exclamation);
        return;
    }
    txtFrom_->clear();
    txtTo_->clear();
    txtFrom_->setFocus();
    if (line < std::numeric_limits<std::int64_t>::max())
        txtLine_->setText(QString::number(line + 1));
    if (const auto unnumbered = outcome->unnumbered; unnumbered > 0)
        Message(Q(UnnumberedPhotosText(unnumbered)), MsgIcon::Information);
}

}  // namespace skyrell
