// Windows that open inside the screen. Sizes and places made for the
// 800 x 600 screens of old would put controls out of reach on a small or
// scaled screen (683 x 384 logical pixels at 200 % on 1366 x 768).
#pragma once

#include <QRect>

namespace movaltic {

// Where a window whose outer rectangle is `frame` goes on an available
// area: moved inside it, and no larger than it.
QRect FitInside(const QRect& frame, const QRect& area);

// From now on every top-level window (the main window, dialogs, boxes) that
// would reach past its screen's available area when it is shown is moved
// inside it, and made no larger than it; a dialog whose controls then no
// longer fit scrolls. One that fits keeps its size and place.
void InstallScreenFitting();

// For tests: the area to fit into instead of the screen's (an empty
// rectangle gives the screen's back).
void SetAvailableAreaForTests(const QRect& area);

}  // namespace movaltic
