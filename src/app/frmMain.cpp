#include "app/frmMain.h"

#include <QCloseEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QStyle>
#include <QUrl>

#include "app/qt_navigation_bar.h"
#include "check/frmDataCheck.h"
#include "docking/qt_task_bar.h"
#include "photo/frmPhotoDivide.h"
#include "photo/frmPhotoRotate.h"
#include "photo/frmPhotoZoom.h"
#include "photo/frmSetPicturePoint.h"
#include "pos/frmTxtPos.h"
#include "project/frmDataExecute.h"
#include "shell/files.h"
#include "shell/qt_outside_programs.h"

namespace skyrell {

namespace {
constexpr int kNavigationMargin = 16;  // the bar is this much narrower than the window
const QString kDeveloper = QStringLiteral("Skyrell 开发组");
// How the about group names the support page: a short name, not its path.
const QString kSupportName = QStringLiteral("帮助文档");
}  // namespace

frmMain::frmMain(Services& services, QWidget* parent)
    : QWidget(parent), services_(services), tools_(services, this), pos_(services, this, tools_) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Skyrell "));
    setWindowIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));

    // The window stays on top and slides away at a screen edge.
    tbMain_ = new TaskBar(this);
    tbMain_->SetOnTop(true);
    tbMain_->SetMoveLength(500);

    // The pictures of the group headers, the items and the about group.
    auto makeImage = [this](const char* name, QStyle::StandardPixmap pixmap) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setPixmap(style()->standardIcon(pixmap).pixmap(16, 16));
        label->hide();
        return label;
    };
    imgMenu_ = makeImage("imgMenu", QStyle::SP_DirOpenIcon);
    imgTool_ = makeImage("imgTool", QStyle::SP_ArrowRight);
    imgAbout_ = makeImage("imgAbout", QStyle::SP_MessageBoxInformation);

    ebMain_ = new NavigationBar(this);
    ebMain_->move(kNavigationMargin / 2, kNavigationMargin / 2);
    BuildNavigation();
    BuildDispatch();
    connect(ebMain_, &NavigationBar::ItemClick, this, &frmMain::ItemClick);
    resize(280, 620);
}

frmMain::~frmMain() = default;

void frmMain::BuildNavigation() {
    const QIcon menuIcon(imgMenu_->pixmap());
    const QIcon toolIcon(imgTool_->pixmap());
    const QIcon aboutIcon(imgAbout_->pixmap());
    struct GroupContent {
        QString caption;
        QStringList items;
    };
    const GroupContent groups[] = {
        {QStringLiteral("POS数据转换"),
         {QStringLiteral("POS -> KML.Point"), QStringLiteral("POS -> KML.Polyline"),
          QStringLiteral("POS -> DXF.Point"), QStringLiteral("POS -> DXF.Polyline"),
          QStringLiteral("POS -> ID,B,L"), QStringLiteral("POS -> ID,X,Y"),
          QStringLiteral("POS -> 选项"), QStringLiteral("其他 -> POS")}},
        {QStringLiteral("航片处理"),
         {QStringLiteral("航片划分(航线)"), QStringLiteral("航片旋转"),
          QStringLiteral("航片缩放")}},
        {QStringLiteral("像控点布设"), {QStringLiteral("Photoshop像控选点")}},
        {QStringLiteral("像控数据处理"),
         {QStringLiteral("像控数据处理"), QStringLiteral("像控数据检查")}},
        {QStringLiteral("帮助与支持"), {QStringLiteral("技术支持")}},
    };

    ebMain_->SetLocked(true);
    ebMain_->SetGradientSwap(true);
    for (const auto& content : groups) {
        const int group =
            ebMain_->AddNormalGroup(content.caption, QString(), NavigationBar::Closed, menuIcon);
        for (const auto& item : content.items)
            ebMain_->AddItem(group, item, QString(), QString(), true, toolIcon);
    }
    ebMain_->AddDetailGroup(QStringLiteral("关于我"),
                            QStringLiteral("Skyrell Professional v") +
                                QString::fromLatin1(ProgramVersion()) + QStringLiteral("\r\n"),
                            QStringLiteral("\r\n软件研发：") + kDeveloper +
                                QStringLiteral("\r\n技术支持：") + kSupportName,
                            QString(), aboutIcon, NavigationBar::Open);
    ebMain_->SetLocked(false);
}

void frmMain::BuildDispatch() {
    // (group, item) -> action. Items whose tool is not part of the program yet
    // have no entry and do nothing.
    actions_[{0, 0}] = [this] { PosKmlPoint(); };
    actions_[{0, 1}] = [this] { PosKmlPolyline(); };
    actions_[{0, 2}] = [this] { PosDxfPoint(); };
    actions_[{0, 3}] = [this] { PosDxfPolyline(); };
    actions_[{0, 4}] = [this] { PosTxtBl(); };
    actions_[{0, 5}] = [this] { PosTxtXy(); };
    actions_[{0, 6}] = [this] { PosOptions(); };
    actions_[{0, 7}] = [this] { ShowTool<frmTxtPos>(); };
    actions_[{1, 0}] = [this] { ShowTool<frmPhotoDivide>(); };
    actions_[{2, 0}] = [this] { ShowTool<frmSetPicturePoint>(); };
    actions_[{1, 1}] = [this] { ShowTool<frmPhotoRotate>(); };
    actions_[{1, 2}] = [this] { ShowTool<frmPhotoZoom>(); };
    actions_[{3, 0}] = [this] { ShowTool<frmDataExecute>(); };
    actions_[{3, 1}] = [this] { ShowTool<frmDataCheck>(); };
    actions_[{4, 0}] = [this] { OpenSupportPage(); };
}

void frmMain::ItemClick(int group, int item) {
    const auto found = actions_.find({group, item});
    if (found != actions_.end()) found->second();
}

QString frmMain::SupportAddress() const {
    const auto page = services_.appFolder.ProgramFolder() / "help" / "index.html";
    return QUrl::fromLocalFile(Q(PathText(page))).toString();
}

void frmMain::OpenSupportPage() {
    OpenOutside(services_, this, OutsideProgram::Browser, SupportAddress());
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int width = frameGeometry().width() - kNavigationMargin;
    const int x = std::max(0, (this->width() - width) / 2);
    ebMain_->setGeometry(x, ebMain_->y(), width, std::max(0, height() - 2 * ebMain_->y()));
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing the main window closes every tool it owns, which ends the run.
    tools_.CloseAll();
    QWidget::closeEvent(event);
}

}  // namespace skyrell
