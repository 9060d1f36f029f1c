// Windows that open on the right monitor and inside it. Sizes and places
// made for the one 800 x 600 screen of old would put controls out of reach
// on a small or scaled screen (683 x 384 logical pixels at 200 % on
// 1366 x 768), and dialogs on another monitor than the window they belong to.
#pragma once

#include <QMargins>
#include <QRect>

#include <optional>

class QScreen;
class QWidget;

namespace qvrt {

// Where a window whose outer rectangle is `frame` goes on an available
// area: moved inside it, and no larger than it.
QRect FitInside(const QRect& frame, const QRect& area);

// The monitor a window opens on: that of the window it belongs to (its
// parent, else the active window), else the primary monitor.
QScreen* HomeScreen(const QWidget& window);

// The width a dialog needs for its caption in the window manager's title
// bar, beside the bar's icon and buttons.
int WidthForCaption(const QWidget& window);

// From now on every top-level window (the frame, dialogs, boxes) opens on
// its home monitor: one the forms placed on the screen counted from 0,0
// (where the program's screen size is measured) keeps its place relative
// to the screen's centre, there. Then one that would reach past that
// monitor's available area is moved inside it and made no larger than it;
// a dialog whose controls then no longer fit scrolls. One that fits keeps
// its size and place. Whenever the window manager's frame around a window
// changes (it is added after the window is mapped, on a busy machine long
// after), the window is fitted again with the frame counted once its place
// has settled, and again (a few times at most) while it settles outside.
// Once it has settled inside, frame and all, where the user or the window
// manager moves, sizes or maximises it, and brings it back from an icon,
// stays theirs: only a new frame, or its monitor gone, has it fitted again.
void InstallScreenFitting();

// For tests: the area to fit into instead of the screen's (an empty
// rectangle gives the screen's back).
void SetAvailableAreaForTests(const QRect& area);

// For tests: the window manager's frame around every window instead of the
// one the platform reports (nullopt gives the platform's back).
void SetFrameMarginsForTests(std::optional<QMargins> margins);

// For tests: whether the window's place is still to settle before it is
// looked at (and fitted again if outside).
bool SettlingForTests(const QWidget& window);

}  // namespace qvrt
