#pragma once
// TaskBar: the invisible control on a main window that keeps the window on
// top and slides it out of sight at the left, top or right screen edge while
// the mouse is elsewhere, and back in when the mouse touches the strip that
// stays visible (the rule is SlideStep in docking/slide_rule.h).
//
// A timer runs while the owning window is shown. Each tick reads the cursor,
// the left mouse button held anywhere on the screen and the window's outer
// rectangle, converts them to twips (15 per pixel) relative to the screen that
// holds the window, and moves the window to the rule's rectangle. An edge that
// another screen continues past is no screen edge: the window may cross it.
// Where the windowing system does not let a program place its windows
// (Wayland) the task bar does nothing.

#include <QTimer>
#include <QWidget>
#include <optional>

#include "docking/slide_rule.h"

namespace skyrell {

class TaskBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int MoveLength READ MoveLength WRITE SetMoveLength)
    Q_PROPERTY(bool GoLeft READ GoLeft WRITE SetGoLeft)
    Q_PROPERTY(bool GoTop READ GoTop WRITE SetGoTop)
    Q_PROPERTY(bool GoRight READ GoRight WRITE SetGoRight)
    Q_PROPERTY(bool GoBottom READ GoBottom WRITE SetGoBottom)
    Q_PROPERTY(bool OnTop READ OnTop WRITE SetOnTop)
  public:
    // `owner` is a widget of the window the task bar moves.
    explicit TaskBar(QWidget* owner);

    int MoveLength() const { return settings_.moveLength; }  // twips per tick
    void SetMoveLength(int twips) { settings_.moveLength = twips; }
    bool GoLeft() const { return settings_.goLeft; }
    void SetGoLeft(bool on) { settings_.goLeft = on; }
    bool GoTop() const { return settings_.goTop; }
    void SetGoTop(bool on) { settings_.goTop = on; }
    bool GoRight() const { return settings_.goRight; }
    void SetGoRight(bool on) { settings_.goRight = on; }
    // Kept and read back; there is no docking at the bottom edge.
    bool GoBottom() const { return goBottom_; }
    void SetGoBottom(bool on) { goBottom_ = on; }
    bool OnTop() const { return onTop_; }
    // Makes the owning window stay above other windows (or not) at once,
    // without moving or resizing it.
    void SetOnTop(bool on);

    // The edge the window was last found at.
    DockSide Side() const { return side_; }
    bool IsRunning() const { return timer_.isActive(); }
    // One slide step; the timer calls it.
    void Tick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* Owner() const;

    SlideSettings settings_;
    bool goBottom_ = true;
    bool onTop_ = false;
    DockSide side_ = DockSide::Top;
    QTimer timer_;
};

// What the windowing system itself says about the pointer and a window.
struct PointerState {
    // The left mouse button is held anywhere on the screen, also over another
    // program's window or a window frame that the window manager handles.
    bool leftButtonHeld = false;
    // Where the window's client area really is. A window manager may keep
    // part of a window on the screen and refuse the rest of a move without
    // telling the program; unknown where the system is not asked directly.
    std::optional<QPoint> clientOrigin;
};
PointerState ReadPointer(QWidget* window);

// Whether the windowing system lets a program place its own windows.
bool PlatformPlacesWindows();

}  // namespace skyrell
