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
#include "pricking/qt_pricking_window.h"
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
    connect(ebMain_, &NavigationBar::ItemClick, this, &frmMain::ItemClick);
    pos_.Runner().SetInputs({ebMain_});
    resize(280, 620);
    CentreOnScreen(this);
}

frmMain::~frmMain() = default;

void frmMain::BuildNavigation() {
    const QIcon menuIcon(imgMenu_->pixmap());
    const QIcon toolIcon(imgTool_->pixmap());
    const QIcon aboutIcon(imgAbout_->pixmap());
    // Every tool item in the order shown, with the group it stands in and
    // what a click on it does; a group begins where its name first appears.
    struct NavigationItem {
        QString group;
        QString caption;
        NavigationAction action;
    };
    const NavigationItem items[] = {
        {QStringLiteral("POS数据转换"), QStringLiteral("POS -> KML.Point"),
         [](frmMain& w) { w.PosKmlPoint(); }},
        {QStringLiteral("POS数据转换"), QStringLiteral("POS -> KML.Polyline"),
         [](frmMain& w) { w.PosKmlPolyline(); }},
        {QStringLiteral("POS数据转换"), QStringLiteral("POS -> DXF.Point"),
         [](frmMain& w) { w.PosDxfPoint(); }},
        {QStringLiteral("POS数据转换"), QStringLiteral("POS -> DXF.Polyline"),
         [](frmMain& w) { w.PosDxfPolyline(); }},
        {QStringLiteral("POS数据转换"), QStringLiteral("POS -> ID,B,L"),
         [](frmMain& w) { w.PosTxtBl(); }},
        {QStringLiteral("POS数据转换"), QStringLiteral("POS -> ID,X,Y"),
         [](frmMain& w) { w.PosTxtXy(); }},
        {QStringLiteral("POS数据转换"), QStringLiteral("POS -> 选项"),
         [](frmMain& w) { w.PosOptions(); }},
        {QStringLiteral("POS数据转换"), QStringLiteral("其他 -> POS"),
         [](frmMain& w) { w.ShowTool<frmTxtPos>(); }},
        {QStringLiteral("航片处理"), QStringLiteral("航片划分(航线)"),
         [](frmMain& w) { w.ShowTool<frmPhotoDivide>(); }},
        {QStringLiteral("航片处理"), QStringLiteral("航片旋转"),
         [](frmMain& w) { w.ShowTool<frmPhotoRotate>(); }},
        {QStringLiteral("航片处理"), QStringLiteral("航片缩放"),
         [](frmMain& w) { w.ShowTool<frmPhotoZoom>(); }},
        {QStringLiteral("像控点布设"), QStringLiteral("Photoshop像控选点"),
         [](frmMain& w) { w.ShowTool<frmSetPicturePoint>(); }},
        {QStringLiteral("像控数据处理"), QStringLiteral("像控数据处理"),
         [](frmMain& w) {
             connect(w.ShowTool<frmDataExecute>(), &frmDataExecute::PrickingRequested, &w,
                     &frmMain::OpenPricking, Qt::UniqueConnection);
         }},
        {QStringLiteral("像控数据处理"), QStringLiteral("像控数据检查"),
         [](frmMain& w) { w.ShowTool<frmDataCheck>(); }},
        {QStringLiteral("像控数据处理"), QStringLiteral("像控点刺点"),
         [](frmMain& w) { w.ShowTool<PrickingWindow>(); }},
        {QStringLiteral("帮助与支持"), QStringLiteral("技术支持"),
         [](frmMain& w) { w.OpenSupportPage(); }},
    };

    ebMain_->SetLocked(true);
    ebMain_->SetGradientSwap(true);
    int group = -1;
    for (const auto& item : items) {
        if (group < 0 || ebMain_->GroupCaption(group) != item.group) {
            group = ebMain_->AddNormalGroup(item.group, QString(), NavigationBar::Closed, menuIcon);
            actions_.emplace_back();
        }
        ebMain_->AddItem(group, item.caption, QString(), QString(), true, toolIcon);
        actions_.back().push_back(item.action);
    }
    ebMain_->AddDetailGroup(QStringLiteral("关于我"),
                            QStringLiteral("Skyrell Professional v") +
                                QString::fromLatin1(ProgramVersion()) + QStringLiteral("\r\n"),
                            QStringLiteral("\r\n软件研发：") + kDeveloper +
                                QStringLiteral("\r\n技术支持：") + kSupportName,
                            QString(), aboutIcon, NavigationBar::Open);
    ebMain_->SetLocked(false);
}

void frmMain::ItemClick(int group, int item) {
    if (group < 0 || item < 0 || static_cast<std::size_t>(group) >= actions_.size()) return;
    const auto& actions = actions_[static_cast<std::size_t>(group)];
    if (static_cast<std::size_t>(item) < actions.size())
        actions[static_cast<std::size_t>(item)](*this);
}

QString frmMain::SupportAddress() const {
    const auto page = services_.appFolder.ProgramFolder() / "help" / "index.html";
    return QUrl::fromLocalFile(Q(PathText(page))).toString();
}

void frmMain::OpenPricking(const QString& sortie) {
    ShowTool<PrickingWindow>()->OpenSortie(sortie);
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
    // Closing the main window closes every tool it owns and ends the run. A
    // POS conversion or a tool's job in progress stops after the unit of work
    // at hand (a line, a photo); the window closes once each has ended, as
    // the conversion's runner and every tool that goes ask it again.
    // A tool the user kept open (an unsaved change kept) keeps the program
    // running, and closing that tool later closes only the tool.
    const bool conversionEnded = pos_.Runner().MayClose();
    const ToolWindows::Closing tools = tools_.CloseAll();
    if (!tools.kept)
        for (QWidget* tool : tools.finishing)
            connect(tool, &QObject::destroyed, this, &QWidget::close,
                    static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::UniqueConnection));
    if (!conversionEnded || !tools.finishing.empty() || tools.kept) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace skyrell
