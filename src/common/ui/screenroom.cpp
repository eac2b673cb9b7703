#include "common/ui/screenroom.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace calvero {

namespace {

// The last frame the window manager drew around a window of the program: the
// frames of one desktop are alike, so a new window starts from it.
QMargins lastFrame;

// The frame around a shown window; none before the window manager has framed it.
QMargins frameOf(const QWidget* window)
{
    if (window == nullptr || !window->isWindow() || !window->isVisible()) return {};
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace

ScreenRoom screenRoom(const QWidget* window)
{
    const QScreen* screen = window != nullptr && window->screen() != nullptr ? window->screen()
                                                                              : QGuiApplication::primaryScreen();
    ScreenRoom room;
    room.available = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QMargins own = frameOf(window);
    if (!own.isNull()) lastFrame = own;
    room.frame = lastFrame;
    return room;
}

void fillRoom(QWidget* window, const ScreenRoom& room)
{
    // A window's position is that of its frame.
    window->move(room.available.topLeft());
    window->resize(room.inside().size());
}

void placeInRoom(QWidget* window, const ScreenRoom& room, QSize wanted)
{
    const QSize size = wanted.boundedTo(room.inside().size());
    window->resize(size);
    const QWidget* over = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr;
    QRect framed(QPoint(0, 0), size.grownBy(room.frame));
    framed.moveCenter(over != nullptr && over->isVisible() ? over->frameGeometry().center() : room.available.center());
    const QRect& area = room.available;
    framed.moveLeft(std::clamp(framed.left(), area.left(), std::max(area.left(), area.right() + 1 - framed.width())));
    framed.moveTop(std::clamp(framed.top(), area.top(), std::max(area.top(), area.bottom() + 1 - framed.height())));
    window->move(framed.topLeft());
}

RoomKeeper::RoomKeeper(QWidget* window, LayOut layOut, Showing showing)
    : QObject(window), window_(window), layOut_(std::move(layOut)), showingBy_(showing)
{
    window->installEventFilter(this);
}


void RoomKeeper::showing()
{
    const ScreenRoom room = screenRoom(window_);
    laidOutFor_ = room.frame;
    layOut_(room);
}

bool RoomKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // A showing by the program, not the window manager giving back a minimised window.
    if (watched == window_ && event->type() == QEvent::Show && !event->spontaneous() &&
        showingBy_ == Showing::ByKeeper) {
        showing();
        return false;
    }
    const bool placed = event->type() == QEvent::Move || event->type() == QEvent::Resize;
    if (watched != window_ || !placed || window_->isMaximized() || window_->isFullScreen()) return false;
    // Only a frame just drawn or changed counts: a layout for another room
    // (a test's) stays as it was made.
    const QMargins frame = frameOf(window_);
    if (frame.isNull() || frame == seen_) return false;
    seen_ = frame;
    lastFrame = frame;
    if (frame == laidOutFor_) return false;
    // Framed otherwise than assumed: laid out again once this event is over.
    laidOutFor_ = frame;
    QTimer::singleShot(0, window_, [this] { layOut_(screenRoom(window_)); });
    return false;
}

} // namespace calvero
