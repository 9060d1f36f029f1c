// Where a new sheet opens: one title bar down and right of the window the
// user was working in, so a new or result sheet never hides its source.
#include "quarvex/frame/mdi_form1.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>

namespace quarvex {

void MDIForm1::PlaceNewSheet(qvrt::ChildForm* sheet) {
    const QSize room = mdiArea_->viewport()->size();
    const QSize wanted = sheet->size();
    QStyleOptionTitleBar bar;
    bar.initFrom(sheet);
    bar.titleBarFlags = sheet->windowFlags();
    const int step = std::max(8, sheet->style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, sheet));

    // Inside the client area a sheet may lose up to half its size to stay in
    // view; past that the cascade wraps back to the top-left corner.
    auto sizeAt = [&](QPoint at) { return wanted.boundedTo(QSize(room.width() - at.x(), room.height() - at.y())); };
    auto fitsAt = [&](QPoint at) {
        const QSize s = sizeAt(at);
        return s.width() >= wanted.width() / 2 && s.height() >= wanted.height() / 2;
    };
    QList<QMdiSubWindow*> others;
    for (QMdiSubWindow* w : mdiArea_->subWindowList())
        if (w != sheet && w->isVisible() && !w->isMinimized()) others << w;
    auto taken = [&](QPoint at) {
        for (QMdiSubWindow* w : others)
            if (w->pos() == at) return true;
        return false;
    };

    QMdiSubWindow* from = ActiveForm();
    if (from == sheet || (from && (from->isMinimized() || !from->isVisible()))) from = nullptr;
    QPoint at = from ? from->pos() + QPoint(step, step) : QPoint(0, 0);
    // Never exactly over another window: step on past every corner in use.
    for (qsizetype tries = 0; tries <= others.size(); ++tries) {
        if (!fitsAt(at)) at = QPoint(0, 0);
        if (!taken(at)) break;
        at += QPoint(step, step);
    }
    // A frame too small for any sheet keeps the sheet's own size at the corner.
    if (!fitsAt(at)) at = QPoint(0, 0);
    sheet->setGeometry(QRect(at, fitsAt(at) ? sizeAt(at) : wanted));
}

}  // namespace quarvex
