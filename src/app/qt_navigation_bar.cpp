#include "app/qt_navigation_bar.h"

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace skyrell {

namespace {
const char* const kStyle = R"(
QWidget#navContent { background: #eef3f8; }
QToolButton[role="header"] {
    color: white; font-weight: bold; text-align: left; padding: 6px 8px;
    border: none; border-radius: 4px;
    background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #2f6ea5, stop:1 #5b9bd5);
}
QToolButton[role="header"]:hover { background: #3f82bd; }
QWidget[role="body"] {
    background: white; border: 1px solid #c9d7e6; border-top: none;
    border-bottom-left-radius: 4px; border-bottom-right-radius: 4px;
}
QToolButton[role="item"] {
    color: #1d4f7c; text-align: left; padding: 4px 10px; border: none; background: transparent;
}
QToolButton[role="item"]:hover { color: #c0392b; text-decoration: underline; }
QLabel[role="detail"] { color: #33475b; padding: 6px 10px; }
)";
}  // namespace

NavigationBar::NavigationBar(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("ebMain"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    content_ = new QWidget;
    content_->setObjectName(QStringLiteral("navContent"));
    content_->setStyleSheet(QString::fromUtf8(kStyle));
    layout_ = new QVBoxLayout(content_);
    layout_->setContentsMargins(6, 6, 6, 6);
    layout_->setSpacing(6);
    layout_->addStretch(1);
    setWidget(content_);
}

int NavigationBar::AddGroup(const QString& caption, const QString& toolTip, int state,
                            const QIcon& icon) {
    auto* header = new QToolButton(content_);
    header->setProperty("role", "header");
    header->setText(caption);
    header->setToolTip(toolTip);
    header->setIcon(icon);
    header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    header->setCursor(Qt::PointingHandCursor);
    auto* body = new QWidget(content_);
    body->setProperty("role", "body");
    body->setAttribute(Qt::WA_StyledBackground);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(2, 4, 2, 4);
    bodyLayout->setSpacing(0);
    const int index = GroupCount();
    // Keep the stretch last: groups go in front of it.
    layout_->insertWidget(layout_->count() - 1, header);
    layout_->insertWidget(layout_->count() - 1, body);
    groups_.push_back({header, body, nullptr, state, {}});
    connect(header, &QToolButton::clicked, this, [this, index] { ClickGroupHeader(index); });
    ApplyState(groups_.back());
    return index;
}

int NavigationBar::AddNormalGroup(const QString& caption, const QString& toolTip, int state,
                                  const QIcon& icon) {
    return AddGroup(caption, toolTip, state, icon);
}

int NavigationBar::AddItem(int group, const QString& caption, const QString& tag,
                           const QString& toolTip, bool hyperlink, const QIcon& icon) {
    if (!Valid(group) || groups_[group].detail) return -1;
    Group& g = groups_[group];
    auto* button = new QToolButton(g.body);
    button->setProperty("role", "item");
    button->setProperty("tag", tag);
    button->setText(caption);
    button->setToolTip(toolTip);
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    if (hyperlink) button->setCursor(Qt::PointingHandCursor);
    g.body->layout()->addWidget(button);
    const int index = static_cast<int>(g.items.size());
    g.items.push_back({button, hyperlink});
    connect(button, &QToolButton::clicked, this, [this, group, index] { ClickItem(group, index); });
    return index;
}

int NavigationBar::AddDetailGroup(const QString& title, const QString& detailTitle,
                                  const QString& detailCaption, const QString& toolTip,
                                  const QIcon& icon, int state) {
    const int index = AddGroup(title, toolTip, state, icon);
    Group& g = groups_[index];
    g.detail = new QLabel(g.body);
    g.detail->setProperty("role", "detail");
    g.detail->setWordWrap(true);
    g.detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QString text = detailTitle + detailCaption;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    g.detail->setText(text.trimmed());
    g.body->layout()->addWidget(g.detail);
    return index;
}

void NavigationBar::SetLocked(bool locked) { setUpdatesEnabled(!locked); }

void NavigationBar::SetGradientSwap(bool) {
    // The header gradient runs from dark to light; the swap is the only look offered.
}

void NavigationBar::ApplyState(Group& group) {
    group.body->setVisible(group.state != Closed);
    group.header->setArrowType(Qt::NoArrow);
}

QString NavigationBar::GroupCaption(int group) const {
    return Valid(group) ? groups_[group].header->text() : QString();
}

int NavigationBar::GroupState(int group) const { return Valid(group) ? groups_[group].state : -1; }

bool NavigationBar::IsDetailGroup(int group) const {
    return Valid(group) && groups_[group].detail != nullptr;
}

int NavigationBar::ItemCount(int group) const {
    return Valid(group) ? static_cast<int>(groups_[group].items.size()) : 0;
}

QString NavigationBar::ItemCaption(int group, int item) const {
    return item >= 0 && item < ItemCount(group) ? groups_[group].items[item].button->text()
                                                : QString();
}

QString NavigationBar::DetailText(int group) const {
    return IsDetailGroup(group) ? groups_[group].detail->text() : QString();
}

QToolButton* NavigationBar::HeaderButton(int group) const {
    return Valid(group) ? groups_[group].header : nullptr;
}

QToolButton* NavigationBar::ItemButton(int group, int item) const {
    return item >= 0 && item < ItemCount(group) ? groups_[group].items[item].button : nullptr;
}

void NavigationBar::ClickGroupHeader(int group) {
    if (!Valid(group)) return;
    Group& g = groups_[group];
    if (g.state == FixedOpen) return;
    g.state = g.state == Open ? Closed : Open;
    ApplyState(g);
    emit GroupClick(group, g.state);
}

void NavigationBar::ClickItem(int group, int item) {
    if (item < 0 || item >= ItemCount(group)) return;
    const Group& g = groups_[group];
    if (g.state == Closed || !g.items[item].hyperlink) return;
    emit ItemClick(group, item);
}

}  // namespace skyrell
