#include "photo/frmSetPicturePoint.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <functional>

#include "photo/qt_photo_preview.h"
#include "shell/files.h"
#include "shell/qt_controls.h"
#include "shell/qt_job_runner.h"

namespace skyrell {

// A file list that tells a click apart from a double click the way the
// selection window needs it: a mouse click on an entry, or a change of the
// current entry by the keyboard, is a click; a refill by the window is none.
class PhotoList : public QListWidget {
  public:
    explicit PhotoList(QWidget* parent) : QListWidget(parent) {
        setUniformItemSizes(true);
        setSelectionMode(QAbstractItemView::SingleSelection);
        connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
            if (onClick) onClick(index.row());
        });
        // Qt ends a double click without a second `clicked`, so in the
        // single-click mode a double click opens the photo once.
        connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            if (onDoubleClick) onDoubleClick(index.row());
        });
    }

    // Lists these names; the entry that was current stays current when it is
    // listed again and `keepCurrent` is set.
    void SetNames(const QStringList& names, bool keepCurrent) {
        const QString current = currentItem() ? currentItem()->text() : QString();
        refilling_ = true;
        clear();
        addItems(names);
        if (keepCurrent && !current.isEmpty())
            if (const auto found = names.indexOf(current); found >= 0)
                setCurrentRow(static_cast<int>(found));
        refilling_ = false;
        if (onCurrentChanged) onCurrentChanged();
    }

    std::function<void(int row)> onClick;
    std::function<void(int row)> onDoubleClick;
    std::function<void()> onCurrentChanged;  // for the preview, whatever moved it

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        mouseDown_ = true;
        QListWidget::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QListWidget::mouseReleaseEvent(event);
        mouseDown_ = false;
    }
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        QListWidget::currentChanged(current, previous);
        if (refilling_) return;
        if (onCurrentChanged) onCurrentChanged();
        // A mouse press moves the current entry too; its click follows on release.
        if (!mouseDown_ && current.isValid() && onClick) onClick(current.row());
    }

  private:
    bool mouseDown_ = false;
    bool refilling_ = false;
};

namespace {
const QString kJpegPattern = QStringLiteral("*.jpg");
const QString kAllPattern = QStringLiteral("*.*");

// Photo names for the note under the control-point list.
QString NameList(const std::vector<std::filesystem::path>& photos) {
    QStringList names;
    for (const auto& photo : photos) names << Q(PathText(photo.filename()));
    return names.join(QStringLiteral("、"));
}

// Whether a photo lies directly in the folder of a line.
bool InFolder(const std::filesystem::path& photo, const QString& folder) {
    return !folder.isEmpty() &&
           photo.parent_path().lexically_normal() == PathOf(U(folder)).lexically_normal();
}
}  // namespace

frmSetPicturePoint::frmSetPicturePoint(Services& services, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowStaysOnTopHint),
      services_(services),
      cache_(std::make_unique<PreviewCache>()) {
    setObjectName(QStringLiteral("frmSetPicturePoint"));
    setWindowTitle(QStringLiteral("Photoshop像控选点"));
    if (owner) setWindowIcon(owner->windowIcon());

    optA_ = new QRadioButton(QStringLiteral("单击"), this);
    optA_->setObjectName(QStringLiteral("optA"));
    optB_ = new QRadioButton(QStringLiteral("双击"), this);
    optB_->setObjectName(QStringLiteral("optB"));
    auto* modes = new QButtonGroup(this);
    modes->addButton(optA_);
    modes->addButton(optB_);
    cboFormat_ = new QComboBox(this);
    cboFormat_->setObjectName(QStringLiteral("cboFormat"));

    auto makeLine = [this](const char* suffix, const QString& caption, const QString& title) {
        Line line{new QPushButton(caption, this), new QLineEdit(this), new PhotoList(this),
                  new PhotoPreview(*cache_, this), title};
        line.cmd->setObjectName(QStringLiteral("cmd") + QLatin1String(suffix));
        line.txt->setObjectName(QStringLiteral("txt") + QLatin1String(suffix));
        line.txt->setReadOnly(true);
        line.fle->setObjectName(QStringLiteral("fle") + QLatin1String(suffix));
        line.pic->setObjectName(QStringLiteral("pic") + QLatin1String(suffix));
        return line;
    };
    a_ = makeLine("A", QStringLiteral("航线A"), QStringLiteral("选择航线A路径"));
    b_ = makeLine("B", QStringLiteral("航线B"), QStringLiteral("选择航线B路径"));

    auto* grid = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(optA_);
    top->addWidget(optB_);
    top->addStretch(1);
    top->addWidget(new QLabel(QStringLiteral("扩展名"), this));
    top->addWidget(cboFormat_);
    grid->addLayout(top, 0, 0, 1, 4);
    int column = 0;
    for (Line* line : {&a_, &b_}) {
        grid->addWidget(line->cmd, 1, column);
        grid->addWidget(line->txt, 1, column + 1);
        grid->addWidget(line->fle, 2, column, 1, 2);
        grid->addWidget(line->pic, 3, column, 1, 2);
        grid->setColumnStretch(column + 1, 1);
        column += 2;
    }
    grid->setRowStretch(2, 2);
    grid->setRowStretch(3, 3);

    // The control-point list, at the right.
    cmdPoints_ = new QPushButton(QStringLiteral("控制点文件"), this);
    cmdPoints_->setObjectName(QStringLiteral("cmdPoints"));
    cboPointFormat_ = new QComboBox(this);
    cboPointFormat_->setObjectName(QStringLiteral("cboPointFormat"));
    cboPointFormat_->addItems({QStringLiteral("点名,纬度,经度,大地高"),
                               QStringLiteral("中海达原始数据"), QStringLiteral("华测原始数据")});
    cmdPos_ = new QPushButton(QStringLiteral("POS文件"), this);
    cmdPos_->setObjectName(QStringLiteral("cmdPos"));
    txtPos_ = new QLineEdit(this);
    txtPos_->setObjectName(QStringLiteral("txtPos"));
    txtPos_->setReadOnly(true);
    txtPos_->setPlaceholderText(QStringLiteral("无POS：用航片EXIF的GPS位置"));
    lstPoints_ = new QListWidget(this);
    lstPoints_->setObjectName(QStringLiteral("lstPoints"));
    lblCandidates_ = new QLabel(this);
    lblCandidates_->setObjectName(QStringLiteral("lblCandidates"));
    lblCandidates_->setWordWrap(true);
    auto* side = new QVBoxLayout;
    side->addWidget(cboPointFormat_);
    side->addWidget(cmdPoints_);
    side->addWidget(cmdPos_);
    side->addWidget(txtPos_);
    camera_ = new CameraSetting(this, true);
    side->addWidget(camera_);
    side->addWidget(lstPoints_, 1);
    side->addWidget(lblCandidates_);
    grid->addLayout(side, 1, 4, 3, 1);
    grid->setColumnMinimumWidth(4, 180);
    runner_ = new JobRunner(this, &services_);
    runner_->SetInputs({cmdPoints_, cboPointFormat_, cmdPos_, camera_, a_.cmd, b_.cmd});
    connect(camera_, &CameraSetting::Changed, this, &frmSetPicturePoint::FindCandidatesOfLines);
    connect(cmdPoints_, &QPushButton::clicked, this, &frmSetPicturePoint::ChoosePoints);
    connect(cmdPos_, &QPushButton::clicked, this, &frmSetPicturePoint::ChoosePos);
    connect(lstPoints_, &QListWidget::currentRowChanged, this, &frmSetPicturePoint::JumpToPoint);
    resize(1000, 600);

    for (Line* line : {&a_, &b_}) {
        connect(line->cmd, &QPushButton::clicked, this, [this, line] { ChooseFolder(*line); });
        line->fle->onClick = [this, line](int row) {
            if (optA_->isChecked() && !jumping_) Open(*line, row);
        };
        line->fle->onDoubleClick = [this, line](int row) {
            if (optB_->isChecked()) Open(*line, row);
        };
        line->fle->onCurrentChanged = [this, line] { Preview(*line); };
        connect(line->pic, &PhotoPreview::OpenRequested, this, &frmSetPicturePoint::OpenPhoto);
    }
    connect(cboFormat_, &QComboBox::currentIndexChanged, this, &frmSetPicturePoint::FilterChanged);

    // Load: the two filters with the first selected (which refills both
    // lists, still empty as no folder is chosen yet), and single-click mode.
    cboFormat_->addItems({QStringLiteral("JPEG图片(*.JPG)"), QStringLiteral("所有格式(*.*)")});
    cboFormat_->setCurrentIndex(0);
    optA_->setChecked(true);
}

frmSetPicturePoint::~frmSetPicturePoint() {
    // The preview panes use the cache, which as a member goes before the
    // child widgets would: end the panes (and their loader threads) first.
    for (Line* line : {&a_, &b_}) {
        line->fle->onCurrentChanged = nullptr;
        delete line->pic;
    }
}

void frmSetPicturePoint::closeEvent(QCloseEvent* event) {
    // A search still running is asked to stop; the window closes when it has.
    if (!runner_->MayClose()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

QString frmSetPicturePoint::Pattern() const {
    return cboFormat_->currentIndex() == 0 ? kJpegPattern : kAllPattern;
}

void frmSetPicturePoint::ChooseFolder(Line& line) {
    if (BrowseForFolder(services_, this, rememberedFolder_, line.title).isEmpty()) return;
    line.txt->setText(rememberedFolder_);
    Refill(line, false);
    FindCandidatesOfLines();
}

void frmSetPicturePoint::FilterChanged() {
    if (cboFormat_->currentIndex() < 0) return;
    Refill(a_, true);
    Refill(b_, true);
}

void frmSetPicturePoint::Refill(Line& line, bool keepCurrent) {
    QStringList names;
    if (const QString folder = line.txt->text(); !folder.isEmpty())
        for (const auto& name : ListFiles(PathOf(U(folder)), U(Pattern()))) names << Q(name);
    line.fle->SetNames(names, keepCurrent);
}

void frmSetPicturePoint::Open(const Line& line, int row) {
    const QListWidgetItem* item = line.fle->item(row);
    if (!item || line.txt->text().isEmpty()) return;
    OpenPhoto(QDir::toNativeSeparators(QDir(line.txt->text()).filePath(item->text())));
}

void frmSetPicturePoint::OpenPhoto(const QString& path) {
    // The program's own photo view stands where the image editor was; a
    // photo whose preview marks a control point opens centred on it.
    std::optional<QPointF> centre;
    for (const Line* line : {&a_, &b_})
        if (line->pic->Photo() == path && line->pic->MarkedPixel())
            centre = line->pic->MarkedPixel();
    if (!services_.photoViewer || !services_.photoViewer->Open(this, path, centre))
        services_.dialogs.Message(this, QStringLiteral("系统未安装Photoshop，无法打开航片！"),
                                  MsgIcon::Exclamation, MsgButtons::Ok, windowTitle());
}

void frmSetPicturePoint::Preview(Line& line) {
    const QListWidgetItem* item = line.fle->currentItem();
    if (!item || line.txt->text().isEmpty()) {
        line.pic->ShowPhoto(QString());
        return;
    }
    line.pic->ShowPhoto(QDir::toNativeSeparators(QDir(line.txt->text()).filePath(item->text())));
}

void frmSetPicturePoint::ChoosePoints() {
    const QString file = services_.dialogs.FileDialog(
        this, FileDialogMode::Open, QStringLiteral("选择控制点文件"),
        {{QStringLiteral("控制点文件(*.csv)"), QStringLiteral("*.csv")},
         {QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}},
        QString());
    if (file.isEmpty()) return;
    pointsFile_ = PathOf(U(file));
    pointsMake_.reset();
    if (cboPointFormat_->currentIndex() == 1) pointsMake_ = ControllerMake::HiTarget;
    if (cboPointFormat_->currentIndex() == 2) pointsMake_ = ControllerMake::Chc;
    FindCandidatesOfLines();
}

void frmSetPicturePoint::ChoosePos() {
    const QString file = services_.dialogs.FileDialog(
        this, FileDialogMode::Open, QStringLiteral("选择无人机POS文件"),
        {{QStringLiteral("POS文件(*.txt;*.pos)"), QStringLiteral("*.txt;*.pos")},
         {QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}},
        QString());
    if (file.isEmpty()) return;
    txtPos_->setText(file);
    FindCandidatesOfLines();
}

void frmSetPicturePoint::FindCandidatesOfLines() {
    if (!pointsFile_) return;
    std::vector<std::filesystem::path> folders;
    for (const Line* line : {&a_, &b_})
        if (const QString folder = line->txt->text(); !folder.isEmpty())
            if (folders.empty() || folders.front() != PathOf(U(folder)))
                folders.push_back(PathOf(U(folder)));
    CandidateOptions options;
    if (!txtPos_->text().isEmpty()) options.pos = PathOf(U(txtPos_->text()));
    camera_->Apply(options);
    using Found = std::pair<std::vector<ControlPoint>, std::optional<CandidateReport>>;
    runner_->Run(
        [file = *pointsFile_, make = pointsMake_, folders,
         options](const Feedback& feedback) -> Result<Found> {
            auto points = ReadControlPoints(file, make, feedback);
            if (!points) return points.status();
            if (folders.empty()) return Found{std::move(*points), std::nullopt};
            auto report = FindCandidates(*points, folders, options, feedback);
            if (!report) return report.status();
            return Found{std::move(*points), std::move(*report)};
        },
        {},
        [this](Result<Found> found) {
            report_.reset();
            lblCandidates_->clear();
            if (!found) {
                points_.clear();
                lstPoints_->clear();
                services_.dialogs.Message(this, Q(found.status().message()), MsgIcon::Exclamation,
                                          MsgButtons::Ok, windowTitle());
                return;
            }
            points_ = std::move(found->first);
            report_ = std::move(found->second);
            const int current = lstPoints_->currentRow();
            {
                const QSignalBlocker quiet(lstPoints_);
                lstPoints_->clear();
                for (std::size_t i = 0; i < points_.size(); ++i) {
                    QString text = Q(points_[i].name);
                    if (report_)
                        text += QStringLiteral("（%1张）").arg(report_->points[i].sightings.size());
                    lstPoints_->addItem(text);
                }
            }
            QStringList notes;
            if (report_ && !report_->unplacedPhotos.empty())
                notes << QStringLiteral("无POS记录也无GPS位置的航片：") +
                             NameList(report_->unplacedPhotos);
            if (report_ && !report_->unorientedPhotos.empty())
                notes << QStringLiteral("无法确定航向的航片：") +
                             NameList(report_->unorientedPhotos);
            lblCandidates_->setText(notes.join(QStringLiteral("\n")));
            if (current >= 0 && current < lstPoints_->count()) lstPoints_->setCurrentRow(current);
        });
}

void frmSetPicturePoint::JumpToPoint(int row) {
    if (!report_ || row < 0 || static_cast<std::size_t>(row) >= report_->points.size()) return;
    const auto& sightings = report_->points[static_cast<std::size_t>(row)].sightings;
    // Sightings come nearest the centre first: the first in a line's folder wins.
    for (Line* line : {&a_, &b_}) {
        const Sighting* best = nullptr;
        for (const auto& sighting : sightings)
            if (InFolder(sighting.photo, line->txt->text())) {
                best = &sighting;
                break;
            }
        Jump(*line, best);
    }
}

void frmSetPicturePoint::Jump(Line& line, const Sighting* sighting) {
    jumping_ = true;
    int row = -1;
    if (sighting) {
        const auto items =
            line.fle->findItems(Q(PathText(sighting->photo.filename())), Qt::MatchExactly);
        if (!items.isEmpty()) row = line.fle->row(items.front());
    }
    line.fle->setCurrentRow(row);
    if (row >= 0) {
        line.fle->scrollToItem(line.fle->item(row));
        line.pic->SetMark(QPointF(sighting->x, sighting->y),
                          QSizeF(sighting->width, sighting->height));
    }
    jumping_ = false;
}

}  // namespace skyrell
