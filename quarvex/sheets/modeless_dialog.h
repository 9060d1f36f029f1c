// Dialogs that stay open beside the sheets: one at a time, a
// second Show only brings the open one forward, and each centres itself on
// the screen when it loads.
#pragma once

#include "quarvex/state/frame_interface.h"
#include "quarvex/runtime/host.h"

#include <QPointer>
#include <QWidget>

namespace quarvex {

// Loads the dialog into slot when it is not open (new, deleted on close,
// Form_Load run), then shows it and brings it forward.
template <typename Dialog>
Dialog* ShowModeless(QPointer<Dialog>& slot) {
    if (!slot) {
        slot = new Dialog(TheFrame() ? TheFrame()->FrameWindow() : nullptr);
        slot->setAttribute(Qt::WA_DeleteOnClose);
        slot->Form_Load();
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

// Centres a window on a screen of the given size in twips.
inline void CentreOnScreen(QWidget& window, double screenWidthTwips, double screenHeightTwips) {
    window.adjustSize();
    const double tx = qvrt::host().TwipsPerPixelX(), ty = qvrt::host().TwipsPerPixelY();
    window.move(qRound(screenWidthTwips / 2 / tx - window.width() / 2.0),
                qRound(screenHeightTwips / 2 / ty - window.height() / 2.0));
}

}  // namespace quarvex
