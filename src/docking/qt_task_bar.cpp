#include "docking/qt_task_bar.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#if defined(SKYRELL_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>
#define SKYRELL_QUERY_XCB 1
#elif defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace skyrell {

namespace {

// A smooth slide: one step every 25 ms.
constexpr int kTickMilliseconds = 25;
constexpr int kSizeTwips = 500;

int ToTwips(int pixels) { return pixels * kTwipsPerPixel; }
int ToPixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

}  // namespace

TaskBar::TaskBar(QWidget* owner) : QWidget(owner) {
    setObjectName(QStringLiteral("tbMain"));
    setFixedSize(ToPixels(kSizeTwips), ToPixels(kSizeTwips));
    hide();
    timer_.setInterval(kTickMilliseconds);
    timer_.callOnTimeout(this, &TaskBar::Tick);
    Owner()->installEventFilter(this);
    if (Owner()->isVisible() && PlatformPlacesWindows()) timer_.start();
}

QWidget* TaskBar::Owner() const { return parentWidget()->window(); }

void TaskBar::SetOnTop(bool on) {
    onTop_ = on;
    QWidget* window = Owner();
    if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    // Changing a window's flags hides it and may place it anew.
    const bool visible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) {
        window->setGeometry(geometry);
        window->show();
    }
}

bool TaskBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Owner()) {
        if (event->type() == QEvent::Show && PlatformPlacesWindows())
            timer_.start();
        else if (event->type() == QEvent::Hide || event->type() == QEvent::Close)
            timer_.stop();
    }
    return QWidget::eventFilter(watched, event);
}

void TaskBar::Tick() {
    // A step that cannot read its inputs or move the window does nothing; the
    // next tick tries again. Until the window is on the screen the window
    // manager has not placed it yet; a maximized window is not moved.
    QWidget* window = Owner();
    QScreen* screen = window->screen();
    const QWindow* handle = window->windowHandle();
    if (!screen || !handle || !handle->isExposed() ||
        (window->windowState() &
         (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QRect area = screen->geometry();
    QRect frame = window->frameGeometry();
    const PointerState pointer = ReadPointer(window);
    if (pointer.clientOrigin)
        frame.moveTopLeft(*pointer.clientOrigin - (window->geometry().topLeft() - frame.topLeft()));
    const QPoint cursor = QCursor::pos(screen) - area.topLeft();

    // Edges shared with another screen, looked at level with the window.
    const int y = std::clamp(frame.center().y(), area.top(), area.bottom());
    const int x = std::clamp(frame.center().x(), area.left(), area.right());
    auto shared = [](QPoint p) { return QGuiApplication::screenAt(p) != nullptr; };
    SlideSettings settings = settings_;
    settings.goLeft = settings.goLeft && !shared({area.left() - 1, y});
    settings.goTop = settings.goTop && !shared({x, area.top() - 1});
    settings.goRight = settings.goRight && !shared({area.right() + 1, y});

    const SlideInput input{{ToTwips(frame.left() - area.left()), ToTwips(frame.top() - area.top()),
                            ToTwips(frame.width()), ToTwips(frame.height())},
                           ToTwips(area.width()),
                           ToTwips(cursor.x()),
                           ToTwips(cursor.y()),
                           pointer.leftButtonHeld,
                           side_};
    const SlideResult result = SlideStep(input, settings);
    side_ = result.side;
    const QPoint target(area.left() + ToPixels(result.window.left),
                        area.top() + ToPixels(result.window.top));
    if (target != frame.topLeft()) window->move(target);
}

PointerState ReadPointer(QWidget* window) {
    Q_UNUSED(window);
    PointerState state;
#if defined(SKYRELL_QUERY_XCB)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    // Other platforms (offscreen) may answer the interface without a server.
    if (connection && QGuiApplication::platformName() == QLatin1String("xcb")) {
        const auto id = static_cast<xcb_window_t>(window->winId());
        const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> reply(
            xcb_query_pointer_reply(connection, xcb_query_pointer(connection, id), nullptr),
            &std::free);
        if (reply) {
            state.leftButtonHeld = (reply->mask & XCB_BUTTON_MASK_1) != 0;
            if (reply->same_screen) {
                const qreal ratio = window->devicePixelRatioF();
                state.clientOrigin = QPoint(qRound((reply->root_x - reply->win_x) / ratio),
                                            qRound((reply->root_y - reply->win_y) / ratio));
            }
            return state;
        }
    }
#endif
#if defined(Q_OS_WIN)
    const int primary = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    state.leftButtonHeld = (GetAsyncKeyState(primary) & 0x8000) != 0;
#else
    // Only presses on this program's own windows.
    state.leftButtonHeld = QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
#endif
    return state;
}

bool PlatformPlacesWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace skyrell
