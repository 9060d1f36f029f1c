#include "quarvex/runtime/screen_fit.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace qvrt {

namespace {

QRect& testArea() {
    static QRect area;
    return area;
}

// The dialog's laid-out controls move into a scroll area that takes the
// dialog's place; once only.
void MakeScrollable(QDialog& dialog) {
    QLayout* controls = dialog.layout();
    if (!controls || dialog.property("qvrtScrolls").toBool()) return;
    dialog.setProperty("qvrtScrolls", true);
    auto* inner = new QWidget;
    inner->setLayout(controls);  // takes the layout and its widgets off the dialog
    auto* area = new QScrollArea(&dialog);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(inner);
    auto* outer = new QVBoxLayout(&dialog);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);
    dialog.setMinimumSize(0, 0);
    dialog.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void Fit(QWidget& w) {
    QRect area = testArea();
    if (area.isEmpty() && w.screen()) area = w.screen()->availableGeometry();
    if (area.isEmpty()) return;
    const QRect inner = w.geometry(), outer = w.frameGeometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    const QSize room = area.size().shrunkBy(frame);
    if (inner.width() > room.width() || inner.height() > room.height()) {
        const QSize fitted = inner.size().boundedTo(room);
        if (auto* dialog = qobject_cast<QDialog*>(&w);
            dialog && (dialog->minimumSizeHint().width() > fitted.width() ||
                       dialog->minimumSizeHint().height() > fitted.height() ||
                       dialog->minimumWidth() > fitted.width() || dialog->minimumHeight() > fitted.height()))
            MakeScrollable(*dialog);
        w.setMinimumSize(w.minimumSize().boundedTo(fitted));
        w.resize(fitted);
    }
    const QRect placed = FitInside(QRect(outer.topLeft(), w.size().grownBy(frame)), area);
    if (placed.topLeft() != outer.topLeft()) w.move(placed.topLeft());
    // A window manager adds its frame (title bar, borders) only once the
    // window is mapped: fitted again then, with the frame known.
    if (frame.isNull() && !(w.windowFlags() & Qt::FramelessWindowHint) && !w.property("qvrtRefit").toBool() &&
        QGuiApplication::platformName() != QLatin1String("offscreen")) {
        w.setProperty("qvrtRefit", true);
        QTimer::singleShot(150, &w, [&w] {
            w.setProperty("qvrtRefit", false);
            if (w.isVisible() && !w.frameGeometry().size().isEmpty() && w.frameGeometry() != w.geometry()) Fit(w);
        });
    }
}

class Fitter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Show || !object->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(object);
        const Qt::WindowType type = w->windowType();
        if (w->isWindow() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop) Fit(*w);
        return false;
    }
};

}  // namespace

QRect FitInside(const QRect& frame, const QRect& area) {
    const QSize size = frame.size().boundedTo(area.size());
    const int x = std::clamp(frame.x(), area.left(), area.left() + area.width() - size.width());
    const int y = std::clamp(frame.y(), area.top(), area.top() + area.height() - size.height());
    return {QPoint(x, y), size};
}

void InstallScreenFitting() {
    static Fitter* fitter = nullptr;
    if (fitter || !qApp) return;
    fitter = new Fitter(qApp);
    qApp->installEventFilter(fitter);
}

void SetAvailableAreaForTests(const QRect& area) { testArea() = area; }

}  // namespace qvrt
