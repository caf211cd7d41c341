#include "pricking/qt_pricking_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>
#include <functional>

#include "photo/image_engine.h"
#include "pricking/gcp_list.h"
#include "pricking/qt_photo_view.h"
#include "project/sortie_layout.h"
#include "shell/files.h"
#include "shell/qt_job_runner.h"
#include "shell/text.h"

namespace skyrell {

namespace {

const QString kCaption = QStringLiteral("像控点刺点");
constexpr int kThumbnailSide = 96;

template <class W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The kinds of points file, in the order of cboPoints.
std::optional<ControllerMake> MakeOf(int index) {
    switch (index) {
        case 0:
            return ControllerMake::HiTarget;
        case 1:
            return ControllerMake::Chc;
        default:
            return std::nullopt;
    }
}

// The chosen photo folder and the folders directly in it (the flight lines
// that photo division makes), in name order.
std::vector<std::filesystem::path> PhotoFolders(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> folders{folder};
    std::error_code error;
    std::vector<std::filesystem::path> lines;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_directory(error)) lines.push_back(entry.path());
    std::sort(lines.begin(), lines.end());
    folders.insert(folders.end(), lines.begin(), lines.end());
    return folders;
}

// The projections of the GCP list, in the order of cboGcp.
struct GcpProjection {
    const char* caption;
    const char* datum;  // none: longitude and latitude (EPSG:4326)
    const char* zoneWidth;
};
constexpr GcpProjection kGcpProjections[] = {
    {"经纬度 EPSG:4326", nullptr, nullptr},
    {"2000国家大地坐标系 3度带", "2000", "3"},
    {"2000国家大地坐标系 6度带", "2000", "6"},
    {"1980西安坐标系 3度带", "1980", "3"},
    {"1980西安坐标系 6度带", "1980", "6"},
    {"1954北京坐标系 3度带", "1954", "3"},
    {"1954北京坐标系 6度带", "1954", "6"},
    {"WGS84 3度带", "1984", "3"},
    {"WGS84 6度带", "1984", "6"},
};

QString FileNameOf(const std::filesystem::path& photo) { return Q(PathText(photo.filename())); }

}  // namespace

PrickingWindow::PrickingWindow(Services& services, QWidget* owner)
    : QWidget(owner), services_(services) {
    setWindowTitle(kCaption);
    setObjectName(QStringLiteral("PrickingWindow"));
    if (owner) setWindowIcon(owner->windowIcon());
    runner_ = new JobRunner(this, &services_);
    thumbnails_ = new JobRunner(this, &services_);

    // The inputs: sortie, points, photos and the optional POS.
    auto* inputs = new QGridLayout;
    auto addRow = [&](int row, const QString& label, QLineEdit*& box, const char* boxName,
                      const char* buttonName, void (PrickingWindow::*choose)()) {
        inputs->addWidget(new QLabel(label, this), row, 0);
        box = Named(new QLineEdit(this), boxName);
        box->setReadOnly(true);
        inputs->addWidget(box, row, 1);
        auto* button = Named(new QPushButton(QStringLiteral("选择…"), this), buttonName);
        inputs->addWidget(button, row, 3);
        connect(button, &QPushButton::clicked, this, choose);
    };
    addRow(0, QStringLiteral("架次文件夹"), txtSortie_, "txtSortie", "cmdSortie",
           &PrickingWindow::ChooseSortie);
    addRow(1, QStringLiteral("像控点"), txtPoints_, "txtPoints", "cmdPoints",
           &PrickingWindow::ChoosePoints);
    cboPoints_ = Named(new QComboBox(this), "cboPoints");
    cboPoints_->addItems({QStringLiteral("中海达原始数据"), QStringLiteral("华测原始数据"),
                          QStringLiteral("点文件(点名,纬度,经度,大地高)")});
    inputs->addWidget(cboPoints_, 1, 2);
    addRow(2, QStringLiteral("航片文件夹"), txtPhotos_, "txtPhotos", "cmdPhotos",
           &PrickingWindow::ChoosePhotos);
    addRow(3, QStringLiteral("POS文件(可选)"), txtPos_, "txtPos", "cmdPos",
           &PrickingWindow::ChoosePos);
    // The camera, for photos whose EXIF does not tell it, and how it is
    // mounted: the search runs again when either changes.
    camera_ = new CameraSetting(this, false);
    inputs->addWidget(new QLabel(QStringLiteral("相机"), this), 4, 0);
    inputs->addWidget(camera_, 4, 1, 1, 2);
    inputs->setColumnStretch(1, 1);
    // Another kind of points file searches again, once no moved mark is lost.
    connect(cboPoints_, &QComboBox::currentIndexChanged, this, [this] {
        if (!MayLeaveMark()) {
            const QSignalBlocker quiet(cboPoints_);
            cboPoints_->setCurrentIndex(searchedFormat_);
            return;
        }
        Search();
    });
    connect(camera_, &CameraSetting::Changed, this, [this] {
        if (MayLeaveMark()) Search();
    });

    // Points and their photos on the left, the photo view on the right.
    lstPoints_ = Named(new QTreeWidget(this), "lstPoints");
    lstPoints_->setHeaderLabels(
        {QStringLiteral("点名"), QStringLiteral("状态"), QStringLiteral("航片")});
    lstPoints_->setRootIsDecorated(false);
    lstPoints_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lstPhotos_ = Named(new QListWidget(this), "lstPhotos");
    lstPhotos_->setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    picPhoto_ = Named(new PhotoView(this), "picPhoto");
    picPhoto_->setMinimumSize(480, 360);
    auto* left = new QSplitter(Qt::Vertical, this);
    left->addWidget(lstPoints_);
    left->addWidget(lstPhotos_);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(left);
    split->addWidget(picPhoto_);
    split->setStretchFactor(1, 1);
    split->setSizes({340, 940});

    // Saving.
    spnSketch_ = Named(new QSpinBox(this), "spnSketch");
    spnSketch_->setRange(0, 20000);
    spnSketch_->setSingleStep(50);
    spnSketch_->setSuffix(QStringLiteral(" 像素"));
    spnSketch_->setSpecialValueText(QStringLiteral("航片宽度的1/4"));
    cmdSave_ = Named(new QPushButton(QStringLiteral("保存刺点片和略图"), this), "cmdSave");
    cmdObserve_ = Named(new QPushButton(QStringLiteral("仅记录观测"), this), "cmdObserve");
    cboGcp_ = Named(new QComboBox(this), "cboGcp");
    for (const auto& projection : kGcpProjections)
        cboGcp_->addItem(QString::fromUtf8(projection.caption));
    cmdGcp_ = Named(new QPushButton(QStringLiteral("导出GCP列表…"), this), "cmdGcp");
    lblState_ = Named(new QLabel(this), "lblState");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("略图宽度"), this));
    bottom->addWidget(spnSketch_);
    bottom->addWidget(cmdSave_);
    bottom->addWidget(cmdObserve_);
    bottom->addWidget(lblState_, 1);
    bottom->addWidget(cboGcp_);
    bottom->addWidget(cmdGcp_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);
    resize(1280, 860);

    connect(lstPoints_, &QTreeWidget::currentItemChanged, this, &PrickingWindow::PointChosen);
    connect(lstPhotos_, &QListWidget::currentRowChanged, this, &PrickingWindow::PhotoChosen);
    connect(picPhoto_, &PhotoView::MarkMoved, this, [this] {
        markMoved_ = true;
        ShowFrame();
    });
    connect(picPhoto_, &PhotoView::Opened, this, [this] { ShowFrame(); });
    connect(spnSketch_, &QSpinBox::valueChanged, this, &PrickingWindow::ShowFrame);
    connect(cmdSave_, &QPushButton::clicked, this, [this] { Save(false); });
    connect(cmdObserve_, &QPushButton::clicked, this, [this] { Save(true); });
    connect(cmdGcp_, &QPushButton::clicked, this, &PrickingWindow::ExportGcpList);
    runner_->SetInputs({txtSortie_, txtPoints_, txtPhotos_, txtPos_, cboPoints_, camera_,
                        lstPoints_, lstPhotos_, cmdSave_, cmdObserve_, cmdGcp_,
                        findChild<QPushButton*>("cmdSortie"), findChild<QPushButton*>("cmdPoints"),
                        findChild<QPushButton*>("cmdPhotos"), findChild<QPushButton*>("cmdPos")});
    cmdSave_->setEnabled(false);
    cmdObserve_->setEnabled(false);

    // Keys for pricking point after point without the mouse leaving the
    // photo: save, record an observation, the next or previous photo, and
    // with Ctrl the next or previous point. A key does what its button or
    // list does, and nothing while that is disabled.
    cmdSave_->setToolTip(QStringLiteral("Ctrl+S"));
    cmdObserve_->setToolTip(QStringLiteral("Ctrl+Shift+S"));
    const auto key = [this](const QKeySequence& sequence, std::function<void()> act) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, std::move(act));
    };
    const auto press = [](QPushButton* button) {
        if (button->isEnabled()) button->click();
    };
    key(QKeySequence::Save, [this, press] { press(cmdSave_); });
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this, press] { press(cmdObserve_); });
    for (const int direction : {1, -1}) {
        const auto next = direction > 0 ? Qt::Key_PageDown : Qt::Key_PageUp;
        key(QKeySequence(next), [this, direction] {
            const int row = lstPhotos_->currentRow() + direction;
            if (lstPhotos_->isEnabled() && row >= 0 && row < lstPhotos_->count())
                lstPhotos_->setCurrentRow(row);
        });
        key(QKeySequence(Qt::CTRL | next), [this, direction] {
            const int row = lstPoints_->indexOfTopLevelItem(lstPoints_->currentItem()) + direction;
            if (lstPoints_->isEnabled() && row >= 0 && row < lstPoints_->topLevelItemCount())
                lstPoints_->setCurrentItem(lstPoints_->topLevelItem(row));
        });
    }
}

PrickingWindow::~PrickingWindow() = default;

void PrickingWindow::Say(const QString& text, MsgIcon icon, MsgButtons buttons) {
    services_.dialogs.Message(this, text, icon, buttons, kCaption);
}

void PrickingWindow::ShowState(const QString& text) { lblState_->setText(text); }

void PrickingWindow::closeEvent(QCloseEvent* event) {
    if (!MayLeaveMark() || !runner_->MayClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

void PrickingWindow::OpenSortie(const QString& sortie) {
    if (sortie.isEmpty()) return;
    if (!MayLeaveMark()) return;
    const auto folder = PathOf(U(sortie));
    if (!FolderExists(folder / PathOf(kPrickedPhotoFolder)) ||
        !FolderExists(folder / PathOf(kProcessDataFolder))) {
        Say(QStringLiteral("“%1”不是架次文件夹：其中没有“刺点片”和“过程数据”文件夹。").arg(sortie),
            MsgIcon::Exclamation);
        return;
    }
    txtSortie_->setText(sortie);
    folderChosen_ = sortie;
    // The sortie's controller export, when 原始数据 holds exactly one.
    if (txtPoints_->text().isEmpty()) {
        const auto raw = folder / PathOf(kRawDataFolder);
        const auto exports = ListFiles(raw, "*.csv");
        if (exports.size() == 1) txtPoints_->setText(Q(PathText(raw / PathOf(exports[0]))));
    }
    Search();
}

void PrickingWindow::ChooseSortie() {
    QString folder = folderChosen_;
    const QString chosen =
        BrowseForFolder(services_, this, folder, QStringLiteral("选择架次文件夹"));
    if (!chosen.isEmpty()) OpenSortie(chosen);
}

void PrickingWindow::ChoosePoints() {
    const QString start =
        txtSortie_->text().isEmpty()
            ? QString()
            : Q(PathText(PathOf(U(txtSortie_->text())) / PathOf(kRawDataFolder))) +
                  QDir::separator();
    const QString filter = QStringLiteral("像控点文件(*.csv;*.txt)") + QChar(u'\0') +
                           QStringLiteral("*.csv;*.txt") + QChar(u'\0');
    const QString file = ShowFileDialog(services_, QStringLiteral("OPEN"), this,
                                        QStringLiteral("选择像控点文件"), filter, start);
    if (file.isEmpty() || !MayLeaveMark()) return;
    txtPoints_->setText(file);
    Search();
}

void PrickingWindow::ChoosePhotos() {
    QString folder = txtPhotos_->text().isEmpty() ? folderChosen_ : txtPhotos_->text();
    const QString chosen =
        BrowseForFolder(services_, this, folder, QStringLiteral("选择航片文件夹"));
    if (chosen.isEmpty() || !MayLeaveMark()) return;
    txtPhotos_->setText(chosen);
    folderChosen_ = chosen;
    Search();
}

void PrickingWindow::ChoosePos() {
    const QString filter =
        QStringLiteral("POS文件(*.TXT)") + QChar(u'\0') + QStringLiteral("*.TXT") + QChar(u'\0');
    const QString file = ShowFileDialog(services_, QStringLiteral("OPEN"), this,
                                        QStringLiteral("选择POS文件"), filter, QString());
    if (file.isEmpty() || !MayLeaveMark()) return;
    txtPos_->setText(file);
    Search();
}

void PrickingWindow::Search() {
    searchedFormat_ = cboPoints_->currentIndex();
    if (txtSortie_->text().isEmpty() || txtPoints_->text().isEmpty() ||
        txtPhotos_->text().isEmpty())
        return;
    ShowState(QStringLiteral("正在查找拍到像控点的航片…"));
    CandidateOptions options;
    if (!txtPos_->text().isEmpty()) options.pos = PathOf(U(txtPos_->text()));
    camera_->Apply(options);
    runner_->Run(
        [sortie = PathOf(U(txtSortie_->text())), points = PathOf(U(txtPoints_->text())),
         make = MakeOf(cboPoints_->currentIndex()), photos = PathOf(U(txtPhotos_->text())),
         options](const Feedback& feedback) -> Result<PrickingSurvey> {
            auto controlPoints = ReadControlPoints(points, make, feedback);
            if (!controlPoints) return controlPoints.status();
            auto report = FindCandidates(*controlPoints, PhotoFolders(photos), options, feedback);
            if (!report) return report.status();
            auto record = ReadPrickingRecord(sortie);
            if (!record) return record.status();
            return PrickingSurvey{std::move(report->points), std::move(report->unplacedPhotos),
                                  std::move(report->unorientedPhotos), std::move(*record)};
        },
        {},
        [this](Result<PrickingSurvey> survey) {
            if (!survey) {
                ShowState(QString());
                Say(Q(survey.status().message()), MsgIcon::Exclamation);
                return;
            }
            ShowSurvey(std::move(*survey));
        });
}

void PrickingWindow::ShowSurvey(PrickingSurvey survey) {
    survey_ = std::move(survey);
    ++surveys_;
    shownPoint_ = shownPhoto_ = -1;
    markMoved_ = false;
    picPhoto_->Open(QString());
    {
        const QSignalBlocker quiet(lstPhotos_);
        lstPhotos_->clear();
    }
    cmdSave_->setEnabled(false);
    cmdObserve_->setEnabled(false);
    ShowPoints();
    QString state = QStringLiteral("%1个像控点").arg(survey_.points.size());
    if (!survey_.unplacedPhotos.empty())
        state += QStringLiteral("；%1张航片没有位置（POS中没有，也没有GPS信息），未参与查找")
                     .arg(survey_.unplacedPhotos.size());
    if (!survey_.unorientedPhotos.empty())
        state += QStringLiteral("；%1张航片无法确定航向，未参与查找")
                     .arg(survey_.unorientedPhotos.size());
    ShowState(state);
    // The first point's photos, also when the list kept its row from the
    // last survey (then no selection change would show them).
    if (lstPoints_->topLevelItemCount() > 0) {
        const QSignalBlocker quiet(lstPoints_);
        lstPoints_->setCurrentItem(lstPoints_->topLevelItem(0));
    }
    PointChosen();
}

const Pricking* PrickingWindow::RecordedOn(const std::string& point,
                                           const std::filesystem::path& photo) const {
    const std::string name = PathText(photo.filename());
    // The latest entry counts, as the record is rewritten in order.
    const Pricking* found = nullptr;
    for (const auto& pricking : survey_.record)
        if (EqualsNoCase(pricking.point, point) && pricking.photo == name) found = &pricking;
    return found;
}

void PrickingWindow::ShowPoints() {
    const QSignalBlocker quiet(lstPoints_);
    const int current = lstPoints_->indexOfTopLevelItem(lstPoints_->currentItem());
    lstPoints_->clear();
    for (const auto& point : survey_.points) {
        int handIn = 0;
        int observations = 0;
        for (const auto& pricking : survey_.record) {
            if (!EqualsNoCase(pricking.point, point.point.name)) continue;
            ++(pricking.handIn ? handIn : observations);
        }
        QString state = handIn > 0 ? QStringLiteral("已刺") : QStringLiteral("未刺");
        if (observations > 0) state += QStringLiteral("，观测%1").arg(observations);
        auto* item = new QTreeWidgetItem(
            {Q(point.point.name), state, QString::number(point.sightings.size())});
        if (handIn == 0) item->setForeground(1, QColor(200, 0, 0));
        lstPoints_->addTopLevelItem(item);
    }
    if (current >= 0 && current < lstPoints_->topLevelItemCount())
        lstPoints_->setCurrentItem(lstPoints_->topLevelItem(current));
}

const PointSightings* PrickingWindow::CurrentPoint() const {
    const int row = lstPoints_->indexOfTopLevelItem(lstPoints_->currentItem());
    if (row < 0 || row >= static_cast<int>(survey_.points.size())) return nullptr;
    return &survey_.points[static_cast<std::size_t>(row)];
}

const Sighting* PrickingWindow::CurrentSighting() const {
    const PointSightings* point = CurrentPoint();
    const int row = lstPhotos_->currentRow();
    if (!point || row < 0 || row >= static_cast<int>(point->sightings.size())) return nullptr;
    return &point->sightings[static_cast<std::size_t>(row)];
}

bool PrickingWindow::MayLeaveMark() {
    if (!markMoved_ || shownPoint_ < 0 || shownPhoto_ < 0) return true;
    const auto& point = survey_.points[static_cast<std::size_t>(shownPoint_)];
    const auto& photo = point.sightings[static_cast<std::size_t>(shownPhoto_)].photo;
    if (services_.dialogs.Message(this,
                                  QStringLiteral("像控点%1在航片%2上的刺点位置尚未保存，是否放弃？")
                                      .arg(Q(point.point.name), FileNameOf(photo)),
                                  MsgIcon::Question, MsgButtons::YesNo, kCaption) != MsgAnswer::Yes)
        return false;
    markMoved_ = false;
    return true;
}

QString PrickingWindow::PhotoText(const PointSightings& point, const Sighting& sighting) const {
    QString text = FileNameOf(sighting.photo) +
                   QStringLiteral("\n距中心%1像素").arg(qRound(sighting.distance));
    if (const Pricking* done = RecordedOn(point.point.name, sighting.photo))
        text += done->handIn ? QStringLiteral("  已刺") : QStringLiteral("  观测");
    return text;
}

void PrickingWindow::PointChosen() {
    const int row = lstPoints_->indexOfTopLevelItem(lstPoints_->currentItem());
    if (row == shownPoint_) return;
    if (!MayLeaveMark()) {
        const QSignalBlocker quiet(lstPoints_);
        lstPoints_->setCurrentItem(lstPoints_->topLevelItem(shownPoint_));
        return;
    }
    {
        const QSignalBlocker quiet(lstPhotos_);
        lstPhotos_->clear();
        if (const PointSightings* point = CurrentPoint()) {
            for (const auto& sighting : point->sightings) {
                auto* item = new QListWidgetItem(PhotoText(*point, sighting), lstPhotos_);
                item->setToolTip(Q(PathText(sighting.photo)));
            }
        }
    }
    shownPoint_ = row;
    shownPhoto_ = -1;
    markMoved_ = false;
    MakeThumbnails();
    if (lstPhotos_->count() > 0)
        lstPhotos_->setCurrentRow(0);
    else
        PhotoChosen();
}

void PrickingWindow::PhotoChosen() {
    const int row = lstPhotos_->currentRow();
    if (row == shownPhoto_ && row >= 0) return;
    if (!MayLeaveMark()) {
        const QSignalBlocker quiet(lstPhotos_);
        lstPhotos_->setCurrentRow(shownPhoto_);
        return;
    }
    shownPhoto_ = row;
    markMoved_ = false;
    const PointSightings* point = CurrentPoint();
    const Sighting* sighting = CurrentSighting();
    cmdSave_->setEnabled(sighting != nullptr);
    cmdObserve_->setEnabled(sighting != nullptr);
    if (!point || !sighting) {
        picPhoto_->Open(QString());
        return;
    }
    // An earlier pricking opens where it was made, to be checked or moved;
    // a new one opens on the predicted pixel, for the surveyor to click.
    const Pricking* done = RecordedOn(point->point.name, sighting->photo);
    const QPointF centre = done ? QPointF(done->x, done->y) : QPointF(sighting->x, sighting->y);
    picPhoto_->Open(Q(PathText(sighting->photo)), centre);
    if (done) picPhoto_->SetMark(centre);
    ShowFrame();
}

void PrickingWindow::ShowFrame() {
    const auto mark = picPhoto_->Mark();
    const QSize size = picPhoto_->PhotoSize();
    if (!mark || size.isEmpty()) {
        picPhoto_->SetFrame(std::nullopt);
        return;
    }
    const PixelRect frame =
        SketchRectangle(size.width(), size.height(), mark->x(), mark->y(), spnSketch_->value());
    picPhoto_->SetFrame(QRectF(frame.x, frame.y, frame.width, frame.height));
}

void PrickingWindow::MakeThumbnails() {
    const PointSightings* point = CurrentPoint();
    if (!point) return;
    // One set at a time: a set for a point left behind is stopped, and the
    // point now chosen follows when it ends.
    if (thumbnails_->Running()) {
        thumbnails_->Cancel();
        return;
    }
    std::vector<std::filesystem::path> photos;
    for (const auto& sighting : point->sightings) photos.push_back(sighting.photo);
    thumbnailsFor_ = shownPoint_;
    thumbnailsOf_ = surveys_;
    thumbnails_->Run(
        [photos](const Feedback& feedback) {
            std::vector<QImage> images;
            for (const auto& photo : photos) {
                if (feedback.Cancelled()) break;
                QImage image;
                if (auto made = MakePhotoPreview(photo, kThumbnailSide)) {
                    image = QImage(made->width, made->height, QImage::Format_RGB888);
                    const auto rowBytes = static_cast<std::size_t>(made->width) * 3;
                    for (int y = 0; y < made->height; ++y)
                        std::memcpy(image.scanLine(y), made->rgb.data() + rowBytes * y, rowBytes);
                }
                images.push_back(std::move(image));
            }
            EndImageEngineThread();
            return images;
        },
        {},
        [this](const std::vector<QImage>& images) {
            if (thumbnailsFor_ != shownPoint_ || thumbnailsOf_ != surveys_) {
                MakeThumbnails();
                return;
            }
            for (std::size_t i = 0; i < images.size(); ++i) {
                QListWidgetItem* item = lstPhotos_->item(static_cast<int>(i));
                if (item && !images[i].isNull())
                    item->setIcon(QIcon(QPixmap::fromImage(images[i])));
            }
        });
}

void PrickingWindow::Save(bool observationOnly) {
    const PointSightings* point = CurrentPoint();
    const Sighting* sighting = CurrentSighting();
    if (!point || !sighting) return;
    const auto mark = picPhoto_->Mark();
    if (!mark) {
        Say(QStringLiteral("请先在航片上单击像控点的位置。"), MsgIcon::Information);
        return;
    }
    PrickRequest request;
    request.sortie = PathOf(U(txtSortie_->text()));
    request.point = point->point.name;
    request.photo = sighting->photo;
    request.x = mark->x();
    request.y = mark->y();
    request.observationOnly = observationOnly;
    request.sketchWidth = spnSketch_->value();
    ShowState(QStringLiteral("正在保存…"));
    runner_->Run(
        [request](const Feedback& feedback)
            -> std::pair<Result<PrickOutcome>, Result<std::vector<Pricking>>> {
            auto outcome = Prick(request, feedback);
            auto record = ReadPrickingRecord(request.sortie);
            EndImageEngineThread();
            return {std::move(outcome), std::move(record)};
        },
        {},
        [this, observationOnly, photo = request.photo, name = request.point,
         savedAt = *mark](std::pair<Result<PrickOutcome>, Result<std::vector<Pricking>>> saved) {
            if (saved.second) survey_.record = std::move(*saved.second);
            if (!saved.first) {
                ShowState(QString());
                Say(Q(saved.first.status().message()), MsgIcon::Exclamation);
                return;
            }
            // A mark moved while the save ran is still to be saved.
            if (picPhoto_->Mark() == savedAt) markMoved_ = false;
            ShowPoints();
            // The photo list shows what is now pricked where; the view stays as it is.
            if (const PointSightings* point = CurrentPoint())
                for (std::size_t i = 0; i < point->sightings.size(); ++i)
                    if (QListWidgetItem* item = lstPhotos_->item(static_cast<int>(i)))
                        item->setText(PhotoText(*point, point->sightings[i]));
            if (observationOnly)
                ShowState(QStringLiteral("已记录%1在%2上的观测").arg(Q(name), FileNameOf(photo)));
            else
                ShowState(QStringLiteral("已保存刺点片%1和略图%2")
                              .arg(FileNameOf(saved.first->handInPhoto),
                                   FileNameOf(saved.first->sketch)));
        });
}

void PrickingWindow::ExportGcpList() {
    if (survey_.points.empty()) return;
    const QString start = Q(PathText(PathOf(U(txtSortie_->text())) / PathOf(kProcessDataFolder) /
                                     PathOf(kGcpListFile)));
    const QString filter =
        QStringLiteral("GCP列表(*.txt)") + QChar(u'\0') + QStringLiteral("*.txt") + QChar(u'\0');
    const QString out = ShowFileDialog(services_, QStringLiteral("SAVE"), this,
                                       QStringLiteral("导出GCP列表"), filter, start);
    if (out.isEmpty()) return;
    std::optional<GaussZone> zone;
    const auto& projection = kGcpProjections[std::max(0, cboGcp_->currentIndex())];
    if (projection.datum) zone = GaussZone{projection.datum, projection.zoneWidth};
    std::vector<ControlPoint> points;
    for (const auto& point : survey_.points) points.push_back(point.point);
    runner_->Run([sortie = PathOf(U(txtSortie_->text())), points, zone, file = PathOf(U(out))](
                     const Feedback&) { return WriteGcpList(sortie, points, zone, file); },
                 {},
                 [this, out](const Result<GcpList>& written) {
                     if (!written) {
                         Say(Q(written.status().message()), MsgIcon::Exclamation);
                         return;
                     }
                     QString state = QStringLiteral("已导出GCP列表%1（%2个刺点）")
                                         .arg(QFileInfo(out).fileName())
                                         .arg(written->lines.size() - 1);
                     if (!written->unknownPoints.empty())
                         state += QStringLiteral("；记录中的%1个点不在像控点文件中")
                                      .arg(written->unknownPoints.size());
                     ShowState(state);
                 });
}

}  // namespace skyrell
