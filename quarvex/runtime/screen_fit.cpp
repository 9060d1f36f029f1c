#include "quarvex/runtime/screen_fit.h"

#include "quarvex/runtime/host.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace qvrt {

namespace {

// The frame a window was last fitted with.
constexpr char kFittedFrame[] = "qvrtFittedFrame";
// How long a newly framed window's place must stay put before it is fitted.
constexpr int kSettleMs = 100;

QRect& testArea() {
    static QRect area;
    return area;
}

std::optional<QMargins>& testMargins() {
    static std::optional<QMargins> margins;
    return margins;
}

QMargins FrameMargins(const QWidget& w) {
    if (testMargins()) return *testMargins();
    const QRect inner = w.geometry(), outer = w.frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

QScreen* ScreenOf(const QWidget& w) {
    QScreen* s = QGuiApplication::screenAt(w.frameGeometry().center());
    return s ? s : w.screen();
}

// The screen the forms place windows on: the program's screen size,
// counted from 0,0.
QRect PlacingScreen() {
    Host& h = host();
    return {0, 0, qRound(h.ScreenWidthTwips() / h.TwipsPerPixelX()),
            qRound(h.ScreenHeightTwips() / h.TwipsPerPixelY())};
}

// A window that its form placed on the screen counted from 0,0 (or on
// another monitor than its home) moves to its home monitor, as far from
// that monitor's centre as it was from the placing screen's.
void MoveToHomeScreen(QWidget& w) {
    QScreen* home = HomeScreen(w);
    QRect outer = w.frameGeometry();
    if (!home || QGuiApplication::screenAt(outer.center()) == home) return;
    const QRect placing = PlacingScreen();
    if (placing.contains(outer.center()))
        outer.moveCenter(home->geometry().center() + (outer.center() - placing.center()));
    else
        outer.moveCenter(home->availableGeometry().center());
    w.move(outer.topLeft());
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
    if (area.isEmpty()) {
        if (QScreen* s = ScreenOf(w)) area = s->availableGeometry();
    }
    if (area.isEmpty()) return;
    const QMargins frame = FrameMargins(w);
    w.setProperty(kFittedFrame, QVariant::fromValue(frame));
    const QRect inner = w.geometry();
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
    // Placed by its client area, so that the title bar lands inside the
    // area whatever the window manager does with a position that counts
    // the frame; a frame larger than the area keeps its top inside.
    const QPoint corner(frame.left(), frame.top());
    const QRect placed = FitInside(QRect(inner.topLeft() - corner, w.size().grownBy(frame)), area);
    if (placed.topLeft() + corner != inner.topLeft()) w.setGeometry(QRect(placed.topLeft() + corner, w.size()));
}

// Refits a window whose frame differs from the one it was fitted with,
// once its place has settled: a window manager that frames a window moves
// it more than once (into the frame, then to where it belongs), and the
// place in between is no place to fit from.
void FollowFrame(QWidget& w, bool moved) {
    auto* settle = w.findChild<QTimer*>(QStringLiteral("qvrtFrameSettle"), Qt::FindDirectChildrenOnly);
    if (settle && settle->isActive()) {
        if (moved) settle->start();  // moved again: wait for the next quiet moment
        return;
    }
    if (w.property(kFittedFrame).value<QMargins>() == FrameMargins(w)) return;
    if (!settle) {
        settle = new QTimer(&w);
        settle->setObjectName(QStringLiteral("qvrtFrameSettle"));
        settle->setSingleShot(true);
        settle->setInterval(kSettleMs);
        QObject::connect(settle, &QTimer::timeout, &w, [&w] {
            constexpr Qt::WindowStates kPlacedByManager = Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;
            if (w.isVisible() && !(w.windowState() & kPlacedByManager) &&
                w.property(kFittedFrame).value<QMargins>() != FrameMargins(w))
                Fit(w);
        });
    }
    settle->start();
}

bool Fitted(const QWidget& w) {
    const Qt::WindowType type = w.windowType();
    return w.isWindow() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

class Fitter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (!object->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(object);
        switch (event->type()) {
        case QEvent::Show:
            if (!Fitted(*w)) break;
            // A window the program opens goes to its home monitor; one the
            // user brings back from an icon stays where the user had it.
            if (qobject_cast<QDialog*>(w) && !w->testAttribute(Qt::WA_Moved) && !event->spontaneous()) {
                // Qt centres a dialog that no form placed over its parent,
                // on the parent's monitor, but only after this event and
                // only if nothing moved it first: fitted once it has.
                QMetaObject::invokeMethod(w, [w] { if (w->isVisible()) Fit(*w); }, Qt::QueuedConnection);
                break;
            }
            if (!event->spontaneous() && testArea().isEmpty()) MoveToHomeScreen(*w);
            Fit(*w);
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest:
            // The window manager's frame is known only once it has framed
            // the window, which a busy machine does long after the show;
            // the window reports it at its next move, resize or paint.
            if (Fitted(*w) && w->isVisible() && w->property(kFittedFrame).isValid())
                FollowFrame(*w, event->type() == QEvent::Move || event->type() == QEvent::Resize);
            break;
        default:
            break;
        }
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

QScreen* HomeScreen(const QWidget& window) {
    const QWidget* owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    if (!owner || !owner->isVisible()) owner = QApplication::activeWindow();
    if (owner && owner != &window && owner->isVisible()) return ScreenOf(*owner);
    return QGuiApplication::primaryScreen();
}

int WidthForCaption(const QWidget& window) {
    QFont font = window.font();
    font.setBold(true);  // as most title bars write it
    const int bar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    // The bar's icon, its three buttons and the space around them: about six
    // times as wide as the bar is high under common window managers.
    return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + 6 * bar;
}

void InstallScreenFitting() {
    static Fitter* fitter = nullptr;
    if (fitter || !qApp) return;
    fitter = new Fitter(qApp);
    qApp->installEventFilter(fitter);
}

void SetAvailableAreaForTests(const QRect& area) { testArea() = area; }

void SetFrameMarginsForTests(std::optional<QMargins> margins) { testMargins() = margins; }

}  // namespace qvrt
