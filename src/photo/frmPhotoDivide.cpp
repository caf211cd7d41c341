#include "photo/frmPhotoDivide.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
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
    : QWidget(owner, Qt::Window), services_(services), progressTimer_(new QTimer(this)) {
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
    connect(progressTimer_, &QTimer::timeout, this,
            [this] { prgDivide_->setValue(static_cast<int>(done_.load())); });
}

frmPhotoDivide::~frmPhotoDivide() {
    // Closing the dialog during a run ends it after the photo being copied.
    if (worker_) {
        stop_ = true;
        worker_->wait();
        delete worker_;
    }
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
    if (worker_) return;
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

    request_ = DivideRequest{};
    request_.photoFolder = PathOf(U(txtPath_->text()));
    request_.photos.reserve(static_cast<std::size_t>(flePhoto_->count()));
    for (int i = 0; i < flePhoto_->count(); ++i)
        request_.photos.push_back(U(flePhoto_->item(i)->text()));
    request_.saveFolder = PathOf(U(txtSave_->text()));
    request_.line = std::string(TrimSpaces(U(txtLine_->text())));
    request_.from = *from;
    request_.to = *to;
    line_ = *line;

    done_ = 0;
    stop_ = false;
    outcome_.reset();
    prgDivide_->setRange(0, flePhoto_->count());
    prgDivide_->setValue(0);
    SetInputsEnabled(false);
    worker_ = QThread::create([this] {
        outcome_ = DividePhotos(
            request_, [this](std::size_t done) { done_ = done; }, &stop_);
    });
    connect(worker_, &QThread::finished, this, &frmPhotoDivide::DivideFinished);
    progressTimer_->start(50);
    worker_->start();
}

void frmPhotoDivide::DivideFinished() {
    progressTimer_->stop();
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    prgDivide_->setValue(static_cast<int>(done_.load()));
    SetInputsEnabled(true);
    if (!outcome_ || !*outcome_) {
        // A folder or copy that failed: the line stays as it is, so the user
        // can put things right and divide it again.
        if (outcome_) Message(Q(outcome_->status().message()), MsgIcon::Exclamation);
        return;
    }
    txtFrom_->clear();
    txtTo_->clear();
    txtFrom_->setFocus();
    if (line_ < std::numeric_limits<std::int64_t>::max())
        txtLine_->setText(QString::number(line_ + 1));
    if (const auto unnumbered = (**outcome_).unnumbered; unnumbered > 0)
        Message(Q(UnnumberedPhotosText(unnumbered)), MsgIcon::Information);
}

void frmPhotoDivide::SetInputsEnabled(bool enabled) {
    for (QWidget* input : std::initializer_list<QWidget*>{cmdPath_, txtPattern_, cmdSave_, txtLine_,
                                                          txtFrom_, txtTo_, cmdDivide_})
        input->setEnabled(enabled);
}

}  // namespace skyrell
