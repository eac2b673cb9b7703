#pragma once
// Where a window may lie: the part of its screen the desktop leaves free (no
// panel, no task bar) less the frame the window manager draws around it.
// Every window of both programs opens inside it, from 800 x 600 up. The frame
// is known only once the window manager has framed a window, so a window is
// laid out with the last frame seen and again when its own turns out other.
#include <QMargins>
#include <QObject>
#include <QRect>

#include <functional>

class QWidget;

namespace calvero {

struct ScreenRoom {
    QRect available; // the screen's available geometry
    QMargins frame;  // the window manager's frame around a window
    // Where a window's own area, inside its frame, may lie.
    QRect inside() const { return available.marginsRemoved(frame); }
};

// The room of the screen the window is on (the primary screen before it has
// one), with the frame the window has, or else the last frame seen around a
// window of the program (none before the first: the offscreen platform draws
// none).
ScreenRoom screenRoom(const QWidget* window);

// Puts a window over the whole room: its frame at the room's top-left corner.
void fillRoom(QWidget* window, const ScreenRoom& room);

// Gives a window the size it wants, as far as the room allows, centred over
// its parent (or the room) and moved so that its frame lies in the room.
void placeInRoom(QWidget* window, const ScreenRoom& room, QSize wanted);

// Lays a window out for its room when it is shown, and again when the window
// manager frames it with another frame than the one it was laid out for.
class RoomKeeper : public QObject {
public:
    using LayOut = std::function<void(const ScreenRoom&)>;
    // Whether the keeper lays the window out at each showing itself, or the
    // window calls showing() where its own set-up wants it.
    enum class Showing { ByKeeper, ByWindow };
    // Belongs to the window and watches it.
    RoomKeeper(QWidget* window, LayOut layOut, Showing showing = Showing::ByWindow);

    // The window is being shown: lays it out for the room it has now.
    void showing();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    LayOut layOut_;
    Showing showingBy_;
    QMargins laidOutFor_; // the frame of the last layout
    QMargins seen_;       // the frame the window was last seen with
};

} // namespace calvero
