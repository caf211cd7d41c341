#include "photo/frmSetPicturePoint.h"

#include <QButtonGroup>
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
#include <functional>

#include "photo/qt_photo_preview.h"
#include "shell/files.h"

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
    resize(800, 600);

    for (Line* line : {&a_, &b_}) {
        connect(line->cmd, &QPushButton::clicked, this, [this, line] { ChooseFolder(*line); });
        line->fle->onClick = [this, line](int row) {
            if (optA_->isChecked()) Open(*line, row);
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

QString frmSetPicturePoint::Pattern() const {
    return cboFormat_->currentIndex() == 0 ? kJpegPattern : kAllPattern;
}

void frmSetPicturePoint::ChooseFolder(Line& line) {
    if (BrowseForFolder(services_, this, rememberedFolder_, line.title).isEmpty()) return;
    line.txt->setText(rememberedFolder_);
    Refill(line, false);
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
    // The program's own photo view stands where the image editor was.
    if (!services_.photoViewer || !services_.photoViewer->Open(this, path))
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

}  // namespace skyrell
