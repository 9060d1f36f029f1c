// Windows that open inside the screen. Sizes and places made for the
// 800 x 600 screens of old would put controls out of reach on a small or
// scaled screen (683 x 384 logical pixels at 200 % on 1366 x 768), and a
// second monitor would leave a dialog far from the window it belongs to.
#pragma once

#include <QMargins>
#include <QRect>
#include <optional>

class QWidget;

namespace movaltic {

// Where a window whose outer rectangle is `frame` goes on an available
// area: moved inside it, and no larger than it.
QRect FitInside(const QRect& frame, const QRect& area);

// The window every other one belongs to (the main window); it opens on the
// primary monitor, the others on its monitor. Null: none.
void SetOwnerWindow(QWidget* owner);

// From now on every top-level window (the main window, dialogs, boxes) opens
// on its monitor (see SetOwnerWindow): one that would reach past that
// monitor's available area, or lies on another monitor, is centred there;
// one larger than the area is made no larger, and a dialog whose controls
// then no longer fit scrolls. One that fits keeps its size and place. The
// fit is made again whenever the window manager's frame around the window
// changes (at first once the frame is added, after the window is shown),
// and asked for again (a few times at most) while the window settles outside,
// until the window has settled inside in its frame. From then on where the
// user or the window manager puts it stays, maximised or not, and a window
// restored from its icon comes back where it was, unless its monitor is gone.
void InstallScreenFitting();

// For tests: the area to fit into instead of the monitor's (an empty
// rectangle gives the monitor's back).
void SetAvailableAreaForTests(const QRect& area);
// For tests: the window manager's frame around every window, as if it had
// reported it (nullopt gives the real one back).
void SetFrameMarginsForTests(std::optional<QMargins> margins);
// For tests: whether the window's place is still to settle before it is
// looked at (and the window manager asked again if it is outside).
bool SettlingForTests(const QWidget& window);

}  // namespace movaltic
