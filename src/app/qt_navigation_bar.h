#pragma once
// The collapsible navigation bar: normal groups whose items are clickable
// links, and detail groups that show a title and a text. Group states: 0 open,
// 1 closed, 2 fixed open (a header click does not close it).

#include <QIcon>
#include <QScrollArea>
#include <vector>

class QToolButton;
class QLabel;
class QVBoxLayout;

namespace skyrell {

class NavigationBar : public QScrollArea {
    Q_OBJECT
  public:
    enum State { Open = 0, Closed = 1, FixedOpen = 2 };

    explicit NavigationBar(QWidget* parent = nullptr);

    // Returns the new group's index, counted from 0 in the order of adding.
    int AddNormalGroup(const QString& caption, const QString& toolTip, int state,
                       const QIcon& icon);
    // Returns the item's index within its group.
    int AddItem(int group, const QString& caption, const QString& tag, const QString& toolTip,
                bool hyperlink, const QIcon& icon);
    int AddDetailGroup(const QString& title, const QString& detailTitle,
                       const QString& detailCaption, const QString& toolTip, const QIcon& icon,
                       int state);
    // While locked the bar does not redraw (it is being filled).
    void SetLocked(bool locked);
    void SetGradientSwap(bool swap);

    int GroupCount() const { return static_cast<int>(groups_.size()); }
    QString GroupCaption(int group) const;
    int GroupState(int group) const;
    bool IsDetailGroup(int group) const;
    int ItemCount(int group) const;
    QString ItemCaption(int group, int item) const;
    QString DetailText(int group) const;

    // A left click on a group header or on an item, as the mouse gives it.
    void ClickGroupHeader(int group);
    void ClickItem(int group, int item);
    QToolButton* HeaderButton(int group) const;
    QToolButton* ItemButton(int group, int item) const;

  signals:
    void GroupClick(int group, int state);
    void ItemClick(int group, int item);

  private:
    struct Item {
        QToolButton* button;
        bool hyperlink;
    };
    struct Group {
        QToolButton* header;
        QWidget* body;
        QLabel* detail = nullptr;
        int state;
        std::vector<Item> items;
    };
    int AddGroup(const QString& caption, const QString& toolTip, int state, const QIcon& icon);
    void ApplyState(Group& group);
    bool Valid(int group) const { return group >= 0 && group < GroupCount(); }

    QWidget* content_;
    QVBoxLayout* layout_;
    std::vector<Group> groups_;
};

}  // namespace skyrell
