#include "pos/frmTxtPos.h"

#include <QAbstractListModel>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

#include "pos/other_to_pos.h"
#include "shell/atomic_file.h"
#include "shell/files.h"
#include "shell/line_reader.h"
#include "shell/qt_controls.h"
#include "shell/qt_outside_programs.h"

namespace skyrell {

// A preview list over the entries of one column. The entries stay UTF-8
// strings; a QString is made only for the rows on screen, so a data file of
// hundreds of thousands of lines fills the list at once.
class ColumnListModel : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;
    void SetEntries(std::vector<std::string> entries) {
        beginResetModel();
        entries_ = std::move(entries);
        endResetModel();
    }
    const std::vector<std::string>& Entries() const { return entries_; }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(entries_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() ||
            index.row() >= static_cast<int>(entries_.size()))
            return {};
        return Q(entries_[static_cast<std::size_t>(index.row())]);
    }

  private:
    std::vector<std::string> entries_;
};

namespace {
const QString kCaption = Q(std::string(kOtherToPosCaption));
}

frmTxtPos::frmTxtPos(Services& services, QWidget* owner)
    : QWidget(owner, Qt::Window), services_(services) {
    setObjectName(QStringLiteral("frmTxtPos"));
    setWindowTitle(QStringLiteral("其他数据 -> POS"));
    if (owner) setWindowIcon(owner->windowIcon());

    auto makePath = [this](const char* name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setReadOnly(true);
        return box;
    };
    auto makeList = [this](const char* name, ColumnListModel* model) {
        auto* list = new QListView(this);
        list->setObjectName(QString::fromLatin1(name));
        list->setModel(model);
        list->setUniformItemSizes(true);
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        return list;
    };

    txtPath_ = makePath("txtPath");
    cmdOpen_ = MakeToolButton(this, "cmdOpen", QStyle::SP_DialogOpenButton,
                              QStringLiteral("选择数据文件"));
    optSpace_ = new QRadioButton(QStringLiteral("空格"), this);
    optSpace_->setObjectName(QStringLiteral("optSpace"));
    optComma_ = new QRadioButton(QStringLiteral("逗号"), this);
    optComma_->setObjectName(QStringLiteral("optComma"));
    optComma_->setChecked(true);
    loadedSeparator_ = Separator();
    auto* separators = new QButtonGroup(this);
    separators->addButton(optSpace_);
    separators->addButton(optComma_);
    cboB_ = new QComboBox(this);
    cboB_->setObjectName(QStringLiteral("cboB"));
    cboL_ = new QComboBox(this);
    cboL_->setObjectName(QStringLiteral("cboL"));
    modelB_ = new ColumnListModel(this);
    modelL_ = new ColumnListModel(this);
    lstB_ = makeList("lstB", modelB_);
    lstL_ = makeList("lstL", modelL_);
    txtPos_ = makePath("txtPos");
    cmdSave_ =
        MakeToolButton(this, "cmdSave", QStyle::SP_DialogSaveButton, QStringLiteral("保存POS文件"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("数据文件"), this), 0, 0);
    grid->addWidget(txtPath_, 0, 1, 1, 3);
    grid->addWidget(cmdOpen_, 0, 4);
    auto* separatorRow = new QHBoxLayout;
    separatorRow->addWidget(optSpace_);
    separatorRow->addWidget(optComma_);
    separatorRow->addStretch(1);
    grid->addWidget(new QLabel(QStringLiteral("分隔符号"), this), 1, 0);
    grid->addLayout(separatorRow, 1, 1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("纬度列"), this), 2, 0);
    grid->addWidget(cboB_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("经度列"), this), 2, 2);
    grid->addWidget(cboL_, 2, 3, 1, 2);
    grid->addWidget(lstB_, 3, 0, 1, 2);
    grid->addWidget(lstL_, 3, 2, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("POS 文件"), this), 4, 0);
    grid->addWidget(txtPos_, 4, 1, 1, 3);
    grid->addWidget(cmdSave_, 4, 4);
    grid->setRowStretch(3, 1);
    resize(460, 480);

    connect(cmdOpen_, &QToolButton::clicked, this, &frmTxtPos::ChooseDataFile);
    connect(optSpace_, &QRadioButton::clicked, this, &frmTxtPos::Load);
    connect(optComma_, &QRadioButton::clicked, this, &frmTxtPos::Load);
    connect(cboB_, &QComboBox::currentIndexChanged, this, [this] { Refill(cboB_, modelB_); });
    connect(cboL_, &QComboBox::currentIndexChanged, this, [this] { Refill(cboL_, modelL_); });
    // Both lists always show the same lines side by side: a click, the
    // keyboard or a scroll in one moves the other to the same row.
    connect(lstB_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { FollowSelection(lstB_, lstL_); });
    connect(lstL_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { FollowSelection(lstL_, lstB_); });
    connect(lstB_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { FollowScroll(lstB_, lstL_); });
    connect(lstL_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { FollowScroll(lstL_, lstB_); });
    connect(cmdSave_, &QToolButton::clicked, this, &frmTxtPos::Save);
}

frmTxtPos::~frmTxtPos() = default;

std::string frmTxtPos::Separator() const {
    return std::string(optComma_->isChecked() ? kCommaSeparator : kSpaceSeparator);
}

void frmTxtPos::Message(const QString& text, MsgIcon icon) {
    services_.dialogs.Message(this, text, icon, MsgButtons::Ok, kCaption);
}

void frmTxtPos::ChooseDataFile() {
    const QString filter =
        QStringLiteral("其他数据文件(*.*)") + QChar(u'\0') + QStringLiteral("*.*") + QChar(u'\0');
    const QString path = ShowFileDialog(services_, QStringLiteral("OPEN"), this,
                                        QStringLiteral("选择其他数据文件"), filter);
    if (path.isEmpty()) return;
    const QString previous = txtPath_->text();
    txtPath_->setText(path);
    if (!Load()) txtPath_->setText(previous);
}

bool frmTxtPos::Load() {
    if (txtPath_->text().isEmpty()) return true;
    auto lines = ReadTextLines(PathOf(U(txtPath_->text())));
    if (!lines) {
        Message(Q(lines.status().message()), MsgIcon::Critical);
        // A separator click that could not re-read the file leaves the
        // separator the lists were split with.
        (loadedSeparator_ == kCommaSeparator ? optComma_ : optSpace_)->setChecked(true);
        return false;
    }
    lines_ = std::move(*lines);
    loadedSeparator_ = Separator();
    const std::size_t columns = ColumnCountOf(lines_, Separator());
    for (QComboBox* box : {cboB_, cboL_}) {
        const QSignalBlocker quiet(box);
        box->clear();
        for (std::size_t i = 1; i <= columns; ++i) box->addItem(QString::number(i));
        box->setCurrentIndex(0);
    }
    Refill(cboB_, modelB_);
    Refill(cboL_, modelL_);
    return true;
}

void frmTxtPos::Refill(QComboBox* column, ColumnListModel* model) {
    if (txtPath_->text().isEmpty() || column->currentIndex() < 0) return;
    model->SetEntries(
        ColumnOf(lines_, Separator(), static_cast<std::size_t>(column->currentIndex())));
}

void frmTxtPos::FollowSelection(QListView* from, QListView* to) {
    if (syncing_) return;
    syncing_ = true;
    const int row = from->currentIndex().row();
    if (row >= 0 && row < to->model()->rowCount()) {
        to->setCurrentIndex(to->model()->index(row, 0));
    } else {
        to->clearSelection();
    }
    to->verticalScrollBar()->setValue(from->verticalScrollBar()->value());
    syncing_ = false;
}

void frmTxtPos::FollowScroll(QListView* from, QListView* to) {
    if (syncing_) return;
    syncing_ = true;
    to->verticalScrollBar()->setValue(from->verticalScrollBar()->value());
    syncing_ = false;
}

void frmTxtPos::Save() {
    if (modelB_->Entries().empty() || modelL_->Entries().empty()) {
        Message(Q(std::string(kOtherToPosIncomplete)), MsgIcon::Information);
        return;
    }
    const QString filter =
        QStringLiteral("POS文件(*.TXT)") + QChar(u'\0') + QStringLiteral("*.TXT") + QChar(u'\0');
    const QString path = ShowFileDialog(services_, QStringLiteral("SAVE"), this,
                                        QStringLiteral("保存POS文件"), filter);
    if (path.isEmpty()) return;
    if (const Status distinct =
            CheckOutputIsNotInput(PathOf(U(path)), {PathOf(U(txtPath_->text()))});
        !distinct) {
        Message(Q(distinct.message()), MsgIcon::Exclamation);
        return;
    }
    txtPos_->setText(path);
    const Status written =
        WriteOtherDataPos(PathOf(U(path)), modelB_->Entries(), modelL_->Entries());
    if (!written) {
        Message(Q(written.message()), MsgIcon::Critical);
        return;
    }
    if (services_.dialogs.Message(this, Q(std::string(kOtherToPosFinished)), MsgIcon::Question,
                                  MsgButtons::YesNo, kCaption) == MsgAnswer::Yes)
        OpenOutside(services_, this, OutsideProgram::TextEditor, path, kCaption);
    close();
}

}  // namespace skyrell
