// Dialogs that stay open beside the sheets: one at a time, a
// second Show only brings the open one forward, and each centres itself on
// the screen when it loads.
#pragma once

#include "quarvex/runtime/host.h"
#include "quarvex/runtime/screen_fit.h"
#include "quarvex/state/frame_interface.h"

#include <QPointer>
#include <QWidget>

namespace quarvex {

// Loads the dialog into slot when it is not open (new, deleted on close,
// Form_Load run), then shows it and brings it forward. Its parent is the
// frame unless another is given.
template <typename Dialog>
Dialog* ShowModeless(QPointer<Dialog>& slot, QWidget* parent) {
    if (!slot) {
        slot = new Dialog(parent);
        slot->setAttribute(Qt::WA_DeleteOnClose);
        slot->Form_Load();
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

template <typename Dialog>
Dialog* ShowModeless(QPointer<Dialog>& slot) {
    return ShowModeless(slot, TheFrame() ? TheFrame()->FrameWindow() : nullptr);
}

// Centres a window on a screen of the given size in twips.
inline void CentreOnScreen(QWidget& window, double screenWidthTwips, double screenHeightTwips) {
    window.adjustSize();
    // Wide enough for its caption: a title bar cuts what does not fit.
    if (const int wide = qvrt::WidthForCaption(window); window.width() < wide) window.resize(wide, window.height());
    const double tx = qvrt::host().TwipsPerPixelX(), ty = qvrt::host().TwipsPerPixelY();
    window.move(qRound(screenWidthTwips / 2 / tx - window.width() / 2.0),
                qRound(screenHeightTwips / 2 / ty - window.height() / 2.0));
}

}  // namespace quarvex
