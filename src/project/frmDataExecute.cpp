#include "project/frmDataExecute.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "documents/rtf_document.h"
#include "project/frmInfo.h"
#include "project/personnel.h"
#include "project/sortie_folders.h"
#include "project/sortie_layout.h"
#include "shell/files.h"
#include "shell/qt_outside_programs.h"
#include "shell/text.h"

namespace skyrell {

namespace {

const QString kCaption = QStringLiteral("像控点数据处理");

// Path box, open button and label of each sub-folder, in the sub-folder order.
struct FolderRow {
    const char* box;
    const char* button;
    const char* label;
};
constexpr FolderRow kFolderRows[] = {
    {"txtCDP", "cmdCDP", "lblCDP"},    {"txtDZJ", "cmdDZJ", "lblDZJ"},
    {"txtXCZP", "cmdXCZP", "lblXCZP"}, {"txtYSSJ", "cmdYSSJ", "lblYSSJ"},
    {"txtZBCG", "cmdZBCG", "lblZBCG"}, {"txtGCSJ", "cmdGCSJ", "lblGCSJ"},
};

const char* const kHints[] = {
    "1.刺点按要求手动处理，命名为点名_航片名(如：P0001_IMG_0286.jpg)。放到“刺点片”目录。",
    "2.点位略图截图采用“矩形选框工具”--“固定长宽比”，手动选择以像控点为中心并能显示像控点刺点圈、"
    "点号以及所在位置对应关系地物的区域，复制该选区，新建文件粘贴并保存“点名.jpg”(如：P0001.jpg)"
    "至“过程数据”目录。",
    "3.手簿导出的Excel csv格式文件命名为“日期.csv”(如：2012-11-18.csv)放到“原始数据”目录。",
    "4.将现场远景照片命名为“点号.jpg”(如：P0001.jpg)放到“现场照片”目录。",
};

constexpr int kHintStep = 50;        // characters the hint box moves per tick
constexpr int kHintInterval = 1000;  // milliseconds between ticks

template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QString Trimmed(const QString& text) { return Q(std::string(TrimSpaces(U(text)))); }

}  // namespace

frmDataExecute::frmDataExecute(Services& services, QWidget* owner)
    : QWidget(owner), services_(services) {
    setObjectName(QStringLiteral("frmDataExecute"));
    setWindowTitle(kCaption);
    if (owner) setWindowIcon(owner->windowIcon());
    BuildControls();
    runner_ = new JobRunner(this, &services_);
    runner_->SetInputs({cmdCoordinate_, cmdHuace_, cmdWord_});
    LoadPersonnel();

    // Today in the Chinese short form (2013/1/5) whatever the system's
    // language: the point records copy these boxes beside Chinese text.
    const LocalDateTime now = services_.clock.Now();
    const QString today = QStringLiteral("%1/%2/%3").arg(now.year).arg(now.month).arg(now.day);
    for (QLineEdit* box : txtDate_) box->setText(today);

    tmrText_->start();
}

frmDataExecute::~frmDataExecute() = default;

void frmDataExecute::closeEvent(QCloseEvent* event) {
    // A run still going stops before its next document; the window closes
    // when it has.
    if (!runner_->MayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void frmDataExecute::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    // Step 1: the folder tree and its six sub-folders.
    auto* fme1 = Named(new QGroupBox(QStringLiteral("第一步：创建/打开目录"), this), "fme1");
    auto* grid1 = new QGridLayout(fme1);
    auto* cmdCreateFolder =
        Named(new QPushButton(QStringLiteral("新建项目目录"), fme1), "cmdCreateFolder");
    auto* cmdOpenFolder =
        Named(new QPushButton(QStringLiteral("打开项目目录"), fme1), "cmdOpenFolder");
    auto* buttons1 = new QHBoxLayout;
    buttons1->addWidget(cmdCreateFolder);
    buttons1->addWidget(cmdOpenFolder);
    buttons1->addStretch();
    grid1->addLayout(buttons1, 0, 0, 1, 3);
    for (std::size_t i = 0; i < pathBoxes_.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        auto* label =
            Named(new QLabel(Q(std::string(kSortieSubFolders[i])), fme1), kFolderRows[i].label);
        QLineEdit* box = Named(new QLineEdit(fme1), kFolderRows[i].box);
        auto* open =
            Named(new QPushButton(QStringLiteral("打开目录"), fme1), kFolderRows[i].button);
        grid1->addWidget(label, row, 0);
        grid1->addWidget(box, row, 1);
        grid1->addWidget(open, row, 2);
        pathBoxes_[i] = box;
        connect(open, &QPushButton::clicked, this, [this, box] {
            OpenOutside(services_, this, OutsideProgram::FileManager, box->text());
        });
    }
    connect(cmdCreateFolder, &QPushButton::clicked, this, &frmDataExecute::CreateFolders);
    connect(cmdOpenFolder, &QPushButton::clicked, this, &frmDataExecute::OpenFolders);
    layout->addWidget(fme1);

    // Step 2: the hints, scrolled by tmrText.
    auto* fme2 = Named(
        new QGroupBox(QStringLiteral("第二步：刺点、保存截图、保存观测数据、保存现场照片"), this),
        "fme2");
    auto* box2 = new QVBoxLayout(fme2);
    txt2_ = Named(new QPlainTextEdit(fme2), "txt2");
    txt2_->setReadOnly(true);
    txt2_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txt2_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txt2_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    QPalette face = txt2_->palette();
    face.setColor(QPalette::Base, palette().color(QPalette::Window));
    txt2_->setPalette(face);
    QStringList hints;
    for (const char* hint : kHints) hints << QString::fromUtf8(hint);
    txt2_->setPlainText(hints.join(QLatin1Char('\n')));
    txt2_->setFixedHeight(txt2_->fontMetrics().lineSpacing() * 4 + 12);
    box2->addWidget(txt2_);
    auto* row2 = new QHBoxLayout;
    auto* cmdPrick = Named(new QPushButton(QStringLiteral("刺点…"), fme2), "cmdPrick");
    row2->addWidget(cmdPrick);
    row2->addStretch();
    box2->addLayout(row2);
    connect(cmdPrick, &QPushButton::clicked, this, [this] { emit PrickingRequested(sortiePath_); });
    tmrText_ = Named(new QTimer(this), "tmrText");
    tmrText_->setInterval(kHintInterval);
    connect(tmrText_, &QTimer::timeout, this, &frmDataExecute::ScrollHints);
    layout->addWidget(fme2);

    // Step 3: the point description file, kept in the editor frmInfo.
    auto* fme3 =
        Named(new QGroupBox(QStringLiteral("第三步：创建/修改点位描述文件"), this), "fme3");
    auto* box3 = new QHBoxLayout(fme3);
    auto* cmdCsv = Named(new QPushButton(QStringLiteral("创建/修改点位描述文件"), fme3), "cmdCsv");
    box3->addWidget(cmdCsv);
    connect(cmdCsv, &QPushButton::clicked, this, [this] {
        OpenPointDescriptionEditor(services_, this, PrickedPhotoPath(),
                                   [this] { return ProcessDataPath(); });
    });
    box3->addStretch();
    layout->addWidget(fme3);

    // Step 4: the coordinate results from either controller make.
    auto* fme4 = Named(new QGroupBox(QStringLiteral("第四步：创建像控点成果表"), this), "fme4");
    auto* box4 = new QHBoxLayout(fme4);
    cmdCoordinate_ =
        Named(new QPushButton(QStringLiteral("中海达原始数据"), fme4), "cmdCoordinate");
    cmdHuace_ = Named(new QPushButton(QStringLiteral("华测原始数据"), fme4), "cmdHuace");
    box4->addWidget(cmdCoordinate_);
    box4->addWidget(cmdHuace_);
    box4->addStretch();
    connect(cmdCoordinate_, &QPushButton::clicked, this,
            [this] { RunCoordinateResults(ControllerMake::HiTarget); });
    connect(cmdHuace_, &QPushButton::clicked, this,
            [this] { RunCoordinateResults(ControllerMake::Chc); });
    layout->addWidget(fme4);

    // Step 5: sortie, personnel and dates of the point records.
    auto* fme5 = Named(new QGroupBox(QStringLiteral("第五步：批量创建点之记"), this), "fme5");
    fme5_ = fme5;
    auto* grid5 = new QGridLayout(fme5);
    grid5->addWidget(Named(new QLabel(QStringLiteral("架次"), fme5), "lblNum"), 0, 0);
    txtNum_ = Named(new QLineEdit(fme5), "txtNum");
    txtNum_->setReadOnly(true);
    grid5->addWidget(txtNum_, 0, 1);
    const char* const personLabels[] = {"刺点员", "测量员", "检查员"};
    const char* const userNames[] = {"txtUser1", "txtUser2", "txtUser3"};
    const char* const dateNames[] = {"txtDate1", "txtDate2", "txtDate3"};
    const char* const personLabelNames[] = {"lblUser1", "lblUser2", "lblUser3"};
    const char* const dateLabelNames[] = {"lblDate1", "lblDate2", "lblDate3"};
    for (int i = 0; i < 3; ++i) {
        const int row = i + 1;
        grid5->addWidget(
            Named(new QLabel(QString::fromUtf8(personLabels[i]), fme5), personLabelNames[i]), row,
            0);
        txtUser_[i] = Named(new QLineEdit(fme5), userNames[i]);
        txtUser_[i]->setEnabled(false);
        // user.txt separates the names by commas: a name cannot hold one.
        txtUser_[i]->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[^,]*")), txtUser_[i]));
        grid5->addWidget(txtUser_[i], row, 1);
        grid5->addWidget(Named(new QLabel(QStringLiteral("日期"), fme5), dateLabelNames[i]), row,
                         2);
        txtDate_[i] = Named(new QLineEdit(fme5), dateNames[i]);
        grid5->addWidget(txtDate_[i], row, 3);
        connect(txtUser_[i], &QLineEdit::textChanged, this, &frmDataExecute::SavePersonnel);
    }
    chkName_ = Named(new QCheckBox(QStringLiteral("人员姓名可编辑"), fme5), "chkName");
    connect(chkName_, &QCheckBox::toggled, this, [this](bool editable) {
        for (QLineEdit* box : txtUser_) box->setEnabled(editable);
    });
    grid5->addWidget(chkName_, 4, 0, 1, 2);
    cmdWord_ = Named(new QPushButton(QStringLiteral("批量创建点之记"), fme5), "cmdWord");
    grid5->addWidget(cmdWord_, 4, 3);
    connect(cmdWord_, &QPushButton::clicked, this, &frmDataExecute::RunPointRecords);
    // A button without an action, kept for its name only.
    auto* cmdUser = Named(new QPushButton(QStringLiteral("修改人员姓名"), fme5), "cmdUser");
    cmdUser->hide();
    layout->addWidget(fme5);

    // The file lists of the pricked-point photos and the screenshots.
    fleJpg_ = Named(new QListWidget(this), "fleJpg");
    fleJT_ = Named(new QListWidget(this), "fleJT");
    fleJpg_->hide();
    fleJT_->hide();

    resize(640, sizeHint().height());
}

QString frmDataExecute::PrickedPhotoPath() const { return pathBoxes_[0]->text(); }
QString frmDataExecute::PointRecordPath() const { return pathBoxes_[1]->text(); }
QString frmDataExecute::SitePhotoPath() const { return pathBoxes_[2]->text(); }
QString frmDataExecute::RawDataPath() const { return pathBoxes_[3]->text(); }
QString frmDataExecute::CoordinateResultPath() const { return pathBoxes_[4]->text(); }
QString frmDataExecute::ProcessDataPath() const { return pathBoxes_[5]->text(); }

void frmDataExecute::Report(const std::string& text, MsgIcon icon) {
    services_.dialogs.Message(this, Q(text), icon, MsgButtons::Ok, windowTitle());
}

void frmDataExecute::LoadPersonnel() {
    const auto names = ReadPersonnel(services_.appFolder.PersonnelFile());
    if (!names) return;
    for (std::size_t i = 0; i < txtUser_.size(); ++i) {
        const QSignalBlocker quiet(txtUser_[i]);
        txtUser_[i]->setText(Q((*names)[i]));
    }
    // Filling the boxes is a change like any other: the file is written back.
    SavePersonnel();
}

PersonnelNames frmDataExecute::Names() const {
    return TrimmedPersonnel(
        {U(txtUser_[0]->text()), U(txtUser_[1]->text()), U(txtUser_[2]->text())});
}

void frmDataExecute::SavePersonnel() {
    const Status saved = WritePersonnel(services_.appFolder.PersonnelFile(), Names());
    if (saved) {
        personnelFailureShown_ = false;
        return;
    }
    // Every keystroke writes the file: a failure is told once, not per key.
    if (personnelFailureShown_) return;
    personnelFailureShown_ = true;
    Report(saved.message(), MsgIcon::Critical);
}

void frmDataExecute::ScrollHints() {
    QTextCursor cursor = txt2_->textCursor();
    cursor.clearSelection();
    if (cursor.atEnd()) cursor.movePosition(QTextCursor::Start);
    // Near the end the move stops short: the box clamps at the end.
    if (!cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, kHintStep))
        cursor.movePosition(QTextCursor::End);
    txt2_->setTextCursor(cursor);
    txt2_->ensureCursorVisible();
}

void frmDataExecute::CreateFolders() {
    const auto answer =
        services_.dialogs.InputBox(this, QStringLiteral("输入架次号"), windowTitle(), QString());
    const QString number = Trimmed(answer.value_or(QString()));
    if (number.isEmpty()) return;
    // A refused or failed creation puts the previous number back, so that
    // the sortie box and the path boxes go on naming the same sortie.
    const QString previous = sortieNumber_;
    auto refuse = [this, &previous](const std::string& text) {
        sortieNumber_ = previous;
        txtNum_->setText(previous);
        Report(text, MsgIcon::Critical);
    };
    sortieNumber_ = number;
    txtNum_->setText(number);
    // The folder takes the name as user.txt stores it, so Open finds it again.
    const std::string operatorName = Names()[0];
    if (operatorName.empty()) {
        Report("未输入刺点员。", MsgIcon::Information);
        return;
    }
    if (const Status names = CheckSortieFolderNames(operatorName, U(number)); !names) {
        refuse(names.message());
        return;
    }
    QString root;
    if (BrowseForFolder(services_, this, root, QStringLiteral("选择路径")).isEmpty()) return;
    const auto flight =
        CreateSortieFolders(PathOf(U(root)), services_.clock.Now(), operatorName, U(number));
    if (!flight) {
        refuse(flight.status().message());
        return;
    }
    ShowFlightFolder(*flight);
}

void frmDataExecute::OpenFolders() {
    if (BrowseForFolder(services_, this, projectPath_, QStringLiteral("选择项目路径[至“日期”路径]"))
            .isEmpty())
        return;
    const auto answer =
        services_.dialogs.InputBox(this, QStringLiteral("输入架次号"), windowTitle(), QString());
    const QString number = Trimmed(answer.value_or(QString()));
    if (number.isEmpty()) return;
    const auto flight = OpenSortieFolders(PathOf(U(projectPath_)), Names()[0], U(number));
    if (!flight) {
        Report(flight.status().message(), MsgIcon::Critical);
        return;
    }
    sortieNumber_ = number;
    txtNum_->setText(number);
    ShowFlightFolder(*flight);
}

void frmDataExecute::ShowFlightFolder(const FlightFolder& flight) {
    sortiePath_ = Q(PathText(flight.sortie));
    for (std::size_t i = 0; i < pathBoxes_.size(); ++i)
        pathBoxes_[i]->setText(Q(WithTrailingSeparator(PathText(flight.subFolders[i]))));
}

void frmDataExecute::RunCoordinateResults(ControllerMake make) {
    const RawCsvLayout& layout = RawCsvLayoutOf(make);
    const QString photoFolder = PrickedPhotoPath();
    const auto photos = photoFolder.isEmpty()
                            ? std::vector<std::string>()
                            : ListFiles(PathOf(U(photoFolder)), kPointPhotoPattern);
    fleJpg_->clear();
    for (const auto& photo : photos) fleJpg_->addItem(Q(photo));

    if (!FolderExists(PathOf(U(RawDataPath())))) {
        Report(std::string(kNoRawFolderText), MsgIcon::Critical);
        return;
    }
    if (!FolderExists(PathOf(U(CoordinateResultPath())))) {
        Report(std::string(kNoResultFolderText), MsgIcon::Critical);
        return;
    }
    if (photos.empty()) {
        Report(std::string(kNoPrickedPhotosText), MsgIcon::Critical);
        return;
    }
    const QString initialName =
        RawDataPath() + Q(DateFolderName(services_.clock.Now())) + QStringLiteral(".csv");
    const QString filter =
        QStringLiteral("*.csv") + QChar(u'\0') + QStringLiteral("*.csv") + QChar(u'\0');
    const QString rawFile = ShowFileDialog(services_, QStringLiteral("OPEN"), this,
                                           Q(std::string(layout.dialogTitle)), filter, initialName);
    if (rawFile.isEmpty()) return;

    // The export is read and the results written off the window thread.
    runner_->Run(
        [raw = PathOf(U(rawFile)), layout, photos,
         results = PathOf(U(CoordinateResultPath())) /
                   PathOf(kCoordinateResultFile)](const Feedback& feedback) {
            return WriteCoordinateResults(raw, layout, photos, results, feedback);
        },
        {},
        [this](const Result<CoordinateRunSummary>& written) {
            if (!written) {
                Report(written.status().message(), MsgIcon::Critical);
                return;
            }
            Report(std::string(kCoordinateResultsDoneText), MsgIcon::Information);
        });
}

void frmDataExecute::RunPointRecords() {
    if (runner_->Running()) return;  // one run at a time
    PointRecordForm form;
    form.prickedPhotos = U(PrickedPhotoPath());
    form.processData = U(ProcessDataPath());
    form.pointRecords = U(PointRecordPath());
    form.sortie = U(txtNum_->text());
    for (std::size_t i = 0; i < 3; ++i) {
        form.people[i] = U(txtUser_[i]->text());
        form.dates[i] = U(txtDate_[i]->text());
    }
    PointRecordCheck check = CheckPointRecords(form);
    fleJpg_->clear();
    for (const auto& photo : check.photos) fleJpg_->addItem(Q(photo));
    fleJT_->clear();
    for (const auto& screenshot : check.screenshots) fleJT_->addItem(Q(screenshot));
    switch (check.end) {
        case RecordCheckEnd::Silent:
            return;
        case RecordCheckEnd::Message:
            Report(check.message, MsgIcon::Information);
            return;
        case RecordCheckEnd::Failure:
            Report(check.message, MsgIcon::Critical);
            return;
        case RecordCheckEnd::Go:
            break;
    }
    const auto templateFile =
        services_.appFolder.ProgramFolder() / PathOf(kPointRecordTemplateFile);
    // The documents are made off the window thread; the caption of step 5
    // shows the progress after each one.
    runner_->Run(
        [form, check = std::move(check), templateFile](const Feedback& feedback) {
            RtfDocumentEngine engine;
            return MakePointRecords(form, check, templateFile, engine, feedback);
        },
        [this](const JobProgress& progress) { fme5_->setTitle(Q(progress.text)); },
        [this](const Result<PointRecordRun>& result) { FinishPointRecords(result); });
}

void frmDataExecute::FinishPointRecords(const Result<PointRecordRun>& result) {
    if (!result) {
        Report(result.status().message(), MsgIcon::Critical);
    } else {
        Report(std::string(PointRecordDoneText(*result)), MsgIcon::Information);
        if (!result->log.empty())
            OpenOutside(services_, this, OutsideProgram::TextEditor, Q(PathText(result->logFile)));
    }
    fme5_->setTitle(Q(std::string(kPointRecordCaption)));
}

}  // namespace skyrell
