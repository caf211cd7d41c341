#include "project/frmInfo.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "project/control_points.h"
#include "project/point_descriptions.h"
#include "project/sortie_layout.h"
#include "shell/files.h"
#include "shell/qt_outside_programs.h"
#include "shell/qt_tool_windows.h"
#include "shell/text.h"

namespace skyrell {

frmInfo::frmInfo(Services& services, QWidget* owner, std::function<QString()> processFolder)
    : QWidget(owner, Qt::Window), services_(services), processFolder_(std::move(processFolder)) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("创建点位描述文件"));
    if (owner) setWindowIcon(owner->windowIcon());

    auto* grid = new QGridLayout(this);
    auto addLabel = [this, grid](const char* name, const QString& text, int row, int column) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        grid->addWidget(label, row, column);
        return label;
    };
    auto addBox = [this, grid](const char* name, int row) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setMinimumWidth(260);
        grid->addWidget(box, row, 2);
        return box;
    };

    addLabel("lblGCSJ", QStringLiteral("点之记截图文件"), 0, 0);
    fleGCSJ_ = new QListWidget(this);
    fleGCSJ_->setObjectName(QStringLiteral("fleGCSJ"));
    fleGCSJ_->setSelectionMode(QAbstractItemView::SingleSelection);
    fleGCSJ_->setMaximumWidth(180);
    grid->addWidget(fleGCSJ_, 1, 0, 6, 1);
    // In the list's place when the folder holds no screenshot: why it is empty.
    lblEmpty_ = new QLabel(QStringLiteral("过程数据目录中没有点位截图（P*.jpg）。"), this);
    lblEmpty_->setObjectName(QStringLiteral("lblEmpty"));
    lblEmpty_->setWordWrap(true);
    lblEmpty_->setAlignment(Qt::AlignCenter);
    lblEmpty_->setFrameShape(QFrame::StyledPanel);
    lblEmpty_->setMargin(8);
    lblEmpty_->setMinimumWidth(150);
    lblEmpty_->setMaximumWidth(180);
    lblEmpty_->hide();
    grid->addWidget(lblEmpty_, 1, 0, 6, 1);

    addLabel("lblName", QStringLiteral("点    名："), 1, 1);
    txtName_ = addBox("txtName", 1);
    txtName_->setReadOnly(true);
    addLabel("lblData1", QStringLiteral("第一描述：本点刺在"), 2, 1);
    txtData1_ = addBox("txtData1", 2);
    addLabel("lblData2", QStringLiteral("第二描述：高程测至"), 3, 1);
    txtData2_ = addBox("txtData2", 3);
    addLabel("lblData3", QStringLiteral("第三描述："), 4, 1);
    txtData3_ = addBox("txtData3", 4);
    addLabel("lblData4", QStringLiteral("第四描述："), 5, 1);
    txtData4_ = addBox("txtData4", 5);

    chkPic_ = new QCheckBox(QStringLiteral("打开截图图片"), this);
    chkPic_->setObjectName(QStringLiteral("chkPic"));
    grid->addWidget(chkPic_, 6, 1);
    cmdOutput_ = new QPushButton(QStringLiteral("录入/修改"), this);
    cmdOutput_->setObjectName(QStringLiteral("cmdOutput"));
    grid->addWidget(cmdOutput_, 6, 2, Qt::AlignRight);
    grid->setRowStretch(7, 1);

    runner_ = new JobRunner(this, &services_);
    runner_->SetInputs({fleGCSJ_, txtData1_, txtData2_, txtData3_, txtData4_, cmdOutput_, chkPic_});
    connect(fleGCSJ_, &QListWidget::currentRowChanged, this, [this] { Select(); });
    // A click on the entry already selected changes no row but still shows
    // the point again (and opens its picture when chkPic is ticked).
    fleGCSJ_->viewport()->installEventFilter(this);
    connect(fleGCSJ_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (fleGCSJ_->row(item) == rowAtPress_) Select();
    });
    connect(cmdOutput_, &QPushButton::clicked, this, [this] { Save(); });
    connect(chkPic_, &QCheckBox::toggled, this, [this](bool ticked) {
        if (ticked) OpenSelectedPicture();
    });

    Load();
}

bool frmInfo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fleGCSJ_->viewport() && event->type() == QEvent::MouseButtonPress)
        rowAtPress_ = fleGCSJ_->currentRow();
    return QWidget::eventFilter(watched, event);
}

void frmInfo::Warn(const QString& text) {
    services_.dialogs.Message(this, text, MsgIcon::Exclamation, MsgButtons::Ok, Caption());
}

void frmInfo::Load() {
    // The list is filled once; it is not refreshed while the editor stays open.
    for (const auto& name : ListFiles(PathOf(U(processFolder_())), kPointPhotoPattern))
        fleGCSJ_->addItem(Q(name));
    const bool empty = fleGCSJ_->count() == 0;
    fleGCSJ_->setVisible(!empty);
    lblEmpty_->setVisible(empty);
    if (empty) return;
    if (fleGCSJ_->currentRow() == 0)
        Select();
    else
        fleGCSJ_->setCurrentRow(0);
}

void frmInfo::Select() {
    for (QLineEdit* box : {txtName_, txtData1_, txtData2_, txtData3_, txtData4_}) box->clear();
    const QListWidgetItem* item = fleGCSJ_->currentItem();
    if (!item) return;
    txtName_->setText(Q(PointNameOfFile(U(item->text()))));

    const auto file = PointDescriptionFileOf(U(processFolder_()));
    // Without a description file there is nothing to show, and the picture is
    // not opened either.
    if (!FileExists(file)) return;
    runner_->Run(
        [file, name = U(txtName_->text())](const Feedback& feedback) {
            return FindPointDescription(file, name, feedback);
        },
        {}, [this](const Result<std::optional<PointDescription>>& found) { ShowSelected(found); });
}

void frmInfo::ShowSelected(const Result<std::optional<PointDescription>>& found) {
    if (!found) {
        Warn(Q(found.status().message()));
        return;
    }
    if (const auto& record = *found) {
        txtData1_->setText(Q(record->place));
        txtData2_->setText(Q(record->height));
        txtData3_->setText(Q(record->third));
        txtData4_->setText(Q(record->fourth));
    }
    if (chkPic_->isChecked()) OpenSelectedPicture();
}

void frmInfo::OpenSelectedPicture() {
    const QListWidgetItem* item = fleGCSJ_->currentItem();
    if (!item) return;
    OpenOutside(services_, this, OutsideProgram::Associated, processFolder_() + item->text());
}

void frmInfo::Save() {
    // Every record belongs to the point of a screenshot; without one there
    // is no point name to store it under.
    if (!fleGCSJ_->currentItem() || txtName_->text().isEmpty()) {
        Warn(QStringLiteral("未选择点位截图，请先在左侧列表中选择一个点位截图。"));
        return;
    }
    const PointDescription record{U(txtName_->text()), U(txtData1_->text()), U(txtData2_->text()),
                                  U(txtData3_->text()), U(txtData4_->text())};
    if (const auto problem = CheckNewPointDescription(record)) {
        Warn(Q(problem->message));
        QLineEdit* const boxes[] = {txtName_, txtData1_, txtData2_, txtData3_, txtData4_};
        boxes[problem->field - 1]->setFocus();
        return;
    }
    runner_->Run(
        [file = PointDescriptionFileOf(U(processFolder_())), record](const Feedback& feedback) {
            return SavePointDescription(file, record, feedback);
        },
        {}, [this, record](const Status& saved) { ShowSaved(record, saved); });
}

void frmInfo::ShowSaved(const PointDescription& record, const Status& saved) {
    if (!saved) {
        Warn(Q(saved.message()));
        return;
    }

    const int row = fleGCSJ_->currentRow();
    if (row >= 0 && row < fleGCSJ_->count() - 1) {
        fleGCSJ_->setCurrentRow(row + 1);
        return;
    }
    // On the last entry the boxes stay, showing what was stored.
    const PointDescription stored = StoredForm(record);
    txtData1_->setText(Q(stored.place));
    txtData2_->setText(Q(stored.height));
    txtData3_->setText(Q(stored.third));
    txtData4_->setText(Q(stored.fourth));
}

frmInfo* OpenPointDescriptionEditor(Services& services, QWidget* owner,
                                    const QString& prickedFolder,
                                    std::function<QString()> processFolder) {
    auto missing = [&](const QString& folder) {
        return folder.isEmpty() || !FolderExists(PathOf(U(folder)));
    };
    auto refuse = [&](const QString& text) {
        services.dialogs.Message(owner, text, MsgIcon::Critical, MsgButtons::Ok,
                                 owner->windowTitle());
    };
    if (missing(prickedFolder)) {
        refuse(Q(std::string(kNoPrickedPhotoFolderText)));
        return nullptr;
    }
    if (missing(processFolder())) {
        refuse(Q(std::string(kNoProcessDataFolderText)));
        return nullptr;
    }
    // The open editor, if any. A closed one is hidden until its deletion.
    frmInfo* editor = nullptr;
    for (frmInfo* child : owner->findChildren<frmInfo*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isVisible()) editor = child;
    if (!editor) {
        editor = new frmInfo(services, owner, std::move(processFolder));
        editor->setAttribute(Qt::WA_DeleteOnClose, true);
        PrepareToolWindow(editor, owner);
    }
    editor->show();
    services.desktop.BringForward(editor);
    return editor;
}

}  // namespace skyrell
