#include "movaltic/ui/screen_fit.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstring>

namespace movaltic {

namespace {

constexpr const char* kFrameProperty = "movalticFrame";  // the frame the last fit saw
constexpr const char* kPlacedProperty = "movalticPlaced";
constexpr const char* kPlacedAtProperty = "movalticPlacedAt";  // where the fit put the frame
constexpr const char* kRetriesProperty = "movalticRetries";    // asks to put the frame there again
constexpr const char* kSettledProperty = "movalticSettled";    // seen settled where it belongs with its frame
// Seen settled inside the area in the window manager's frame: its place,
// size and state are the user's from then on, whatever frame comes.
constexpr const char* kUsersProperty = "movalticUsers";
constexpr const char* kSettleTimer = "movalticSettle";
// The monitor the window stood on when it went to its icon.
constexpr const char* kIconMonitorProperty = "movalticIconMonitor";
// How long a window's place must stay put before it is looked at.
constexpr int kSettleMs = 100;

QRect& testArea() {
    static QRect area;
    return area;
}

std::optional<QMargins>& testMargins() {
    static std::optional<QMargins> margins;
    return margins;
}

QPointer<QWidget>& owner() {
    static QPointer<QWidget> window;
    return window;
}

// The dialog's laid-out controls move into a scroll area that takes the
// dialog's place; once only.
void MakeScrollable(QDialog& dialog) {
    QLayout* controls = dialog.layout();
    if (!controls || dialog.property("movalticScrolls").toBool()) return;
    dialog.setProperty("movalticScrolls", true);
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

// The title bar and borders the window manager has put around the window,
// as the window system reports them; none before it has framed the window,
// nor while the frame is still being made (when it may report a frame
// smaller than the window).
QMargins PlatformFrame(const QWidget& w) {
    const QWindow* handle = w.windowHandle();
    if (!handle || !w.isVisible()) return {};
    const QMargins frame = handle->frameMargins();
    if (frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0) return {};
    return frame;
}

QMargins FrameOf(const QWidget& w) { return testMargins() ? *testMargins() : PlatformFrame(w); }

// Where the window system's frame goes for the frame `frame` to stand at
// `topLeft`: the same place except where a test stands in for the window
// manager.
QPoint WindowSystemFramePosition(const QWidget& w, const QPoint& topLeft, const QMargins& frame) {
    const QMargins own = PlatformFrame(w);
    return topLeft + QPoint(frame.left() - own.left(), frame.top() - own.top());
}

// The widget of a top-level window, or null.
QWidget* TopLevel(QObject* object) {
    if (!object->isWidgetType()) return nullptr;
    auto* w = static_cast<QWidget*>(object);
    return w->isWindow() ? w : nullptr;
}

// The monitor holding the largest part of the rectangle; the primary one
// when none holds any.
QScreen* ScreenHolding(const QRect& rect) {
    QScreen* best = QGuiApplication::primaryScreen();
    qint64 most = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(rect);
        const qint64 size = qint64(common.width()) * common.height();
        if (size > most) {
            most = size;
            best = screen;
        }
    }
    return best;
}

// The area a window fits into on a monitor, or the tests' stand-in.
QRect AvailableArea(const QScreen* screen) {
    if (!testArea().isEmpty()) return testArea();
    return screen ? screen->availableGeometry() : QRect();
}

// The rectangle of the monitor holding the largest part of a window's outer
// rectangle (the tests' area stands in for it).
QRect MonitorOf(const QRect& outer) {
    if (!testArea().isEmpty()) return testArea();
    const QScreen* screen = ScreenHolding(outer);
    return screen ? screen->geometry() : QRect();
}

// The monitor a window opens on: the main window's first opening is on the
// primary monitor; a window that belongs to a shown one opens on that one's
// monitor, and before the main window is shown (the About box at start) on
// the primary monitor, where the main window will open.
QScreen* HomeScreen(const QWidget& w, const QRect& frame) {
    const QWidget* main = owner();
    const QWidget* parent = w.parentWidget() ? w.parentWidget()->window() : nullptr;
    const QWidget* belongsTo = parent && parent->isVisible() ? parent : main;
    if (belongsTo == &w || !belongsTo) {
        if (&w == main && !w.property(kPlacedProperty).toBool()) return QGuiApplication::primaryScreen();
        return ScreenHolding(frame);
    }
    if (!belongsTo->isVisible()) return QGuiApplication::primaryScreen();
    return ScreenHolding(belongsTo->frameGeometry());
}

// Fits the window to an available area. At its opening, that of its home
// monitor, where it is centred unless it lies inside already; later, when
// only its frame has changed, that of the monitor it is on. `framedAt` is
// where the frame's top left corner is, when Qt's idea of it cannot be
// trusted.
void Fit(QWidget& w, bool opening, std::optional<QPoint> framedAt = std::nullopt) {
    const QMargins frame = FrameOf(w);
    w.setProperty(kFrameProperty, QVariant::fromValue(frame));
    const QRect outer(framedAt.value_or(w.geometry().topLeft() - QPoint(frame.left(), frame.top())),
                      w.size().grownBy(frame));
    const QRect area = AvailableArea(opening ? HomeScreen(w, outer) : ScreenHolding(outer));
    if (area.isEmpty()) return;
    if (opening) w.setProperty(kPlacedProperty, true);
    const QSize room = area.size().shrunkBy(frame);
    const QSize inner = w.size();
    if (inner.width() > room.width() || inner.height() > room.height()) {
        const QSize fitted = inner.boundedTo(room);
        if (auto* dialog = qobject_cast<QDialog*>(&w);
            dialog && (dialog->minimumSizeHint().width() > fitted.width() ||
                       dialog->minimumSizeHint().height() > fitted.height() ||
                       dialog->minimumWidth() > fitted.width() || dialog->minimumHeight() > fitted.height()))
            MakeScrollable(*dialog);
        w.setMinimumSize(w.minimumSize().boundedTo(fitted));
        w.resize(fitted);
    }
    QRect wanted(outer.topLeft(), w.size().grownBy(frame));
    if (opening && !area.contains(wanted)) wanted.moveCenter(area.center());
    // Inside a frame larger than the area, the title bar stays on screen:
    // FitInside keeps the top edge in.
    const QRect placed = FitInside(wanted, area);
    const QPoint target = WindowSystemFramePosition(w, placed.topLeft(), frame);
    w.setProperty(kPlacedAtProperty, placed.topLeft());
    if (opening) {
        if (target != w.pos()) w.move(target);
        return;
    }
    // Once framed, the window is moved through its window: the widget may
    // still reckon with the frame it had before and take the move for none.
    QWindow* handle = w.windowHandle();
    if (!handle) return;
    // The window manager put either the frame or the window itself where it
    // was asked: moved only when one of the two is not inside.
    const bool move = framedAt ? placed != wanted || !area.contains(wanted.translated(-frame.left(), -frame.top()))
                               : target != handle->framePosition();
    if (move) handle->setFramePosition(target);
}

bool Fittable(const QWidget& w) {
    const Qt::WindowType type = w.windowType();
    return w.isWindow() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop;
}

// Maximised, full screen or an icon: the window manager's place, not to be
// fitted, nor taken for the window's own.
bool PlacedByManager(const QWidget& w) {
    return w.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized);
}

// Fitted as it opens, then followed until it settles.
void Open(QWidget& w) {
    w.setProperty(kIconMonitorProperty, QVariant());
    w.setProperty(kSettledProperty, false);
    w.setProperty(kUsersProperty, false);
    w.setProperty(kRetriesProperty, 0);
    Fit(w, true);
}

// Back from its icon a window stays where the user had it, unless the
// monitor it stood on is gone (unplugged, the layout changed), however much
// of it another one shows, or no monitor shows any of it any more.
bool Restored(QWidget& w, const QEvent& show) {
    if (!show.spontaneous() || !w.property(kPlacedProperty).toBool()) return false;
    const QRect outer = w.geometry().marginsAdded(FrameOf(w));
    const QVariant was = w.property(kIconMonitorProperty);
    w.setProperty(kIconMonitorProperty, QVariant());
    if (was.isValid() && was.toRect() != MonitorOf(outer) && !PlacedByManager(w)) return false;
    return AvailableArea(ScreenHolding(outer)).intersects(outer);
}

void Settle(QWidget& w);

// Looks at the window's place once it has stayed put a moment: a window
// manager busy framing the window moves it more than once, and its reports
// of those places come late and in any order.
void StartSettling(QWidget& w, bool moved) {
    auto* settle = w.findChild<QTimer*>(QLatin1String(kSettleTimer), Qt::FindDirectChildrenOnly);
    if (!settle) {
        settle = new QTimer(&w);
        settle->setObjectName(QLatin1String(kSettleTimer));
        settle->setSingleShot(true);
        settle->setInterval(kSettleMs);
        QObject::connect(settle, &QTimer::timeout, &w, [&w] { Settle(w); });
    }
    if (moved || !settle->isActive()) settle->start();
}

// A window manager adds its frame once the window is mapped, and on a busy
// machine that may be long after it was shown; it may change the frame
// later too. Each change is met by fitting again, so the title bar stays
// reachable; a window the user has moved since is otherwise left alone.
// Once it has settled in its frame, a new frame (the window manager's for a
// maximised window, which Qt may report before the state) is the user's too.
// While the frame is being added, Qt may see the window for a moment at
// the frame's corner (0,0 inside it): the first frame is taken to be where
// the fit put it, as the window manager places it there.
void RefitIfFramed(QWidget& w, bool moved = false) {
    if (!w.isVisible() || !Fittable(w) || PlacedByManager(w) || w.property(kUsersProperty).toBool()) return;
    const QVariant seen = w.property(kFrameProperty);
    const QMargins frame = FrameOf(w);
    if (!seen.isValid()) return;
    const QVariant placedAt = w.property(kPlacedAtProperty);
    if (seen.value<QMargins>() != frame) {
        w.setProperty(kRetriesProperty, 0);
        w.setProperty(kSettledProperty, false);
        if (seen.value<QMargins>().isNull() && placedAt.isValid())
            Fit(w, false, placedAt.toPoint());
        else
            Fit(w, false);
        StartSettling(w, true);
        return;
    }
    constexpr int kAsks = 3;
    if (!w.property(kSettledProperty).toBool() && w.property(kRetriesProperty).toInt() < kAsks) StartSettling(w, moved);
}

// A window manager still busy framing the window may put it back where it
// stood before the fit (the title bar above the screen): once its place has
// settled it is asked again, a few times at most, until the frame stands
// where the fit put it or inside the screen. Only then is the window taken
// as settled, and the user's from then on.
void Settle(QWidget& w) {
    if (!w.isVisible() || PlacedByManager(w)) return;
    const QMargins frame = FrameOf(w);
    if (w.property(kFrameProperty).value<QMargins>() != frame) return RefitIfFramed(w);
    const QVariant placedAt = w.property(kPlacedAtProperty);
    const QRect outer = w.geometry().marginsAdded(frame);
    const bool inside = AvailableArea(ScreenHolding(outer)).contains(outer);
    if (frame.isNull() || !placedAt.isValid() || outer.topLeft() == placedAt.toPoint() || inside) {
        w.setProperty(kSettledProperty, true);
        w.setProperty(kUsersProperty, inside && !frame.isNull());
        return;
    }
    constexpr int kAsks = 3;
    const int retries = w.property(kRetriesProperty).toInt();
    // Asked enough: the window manager has its way, and the place is the
    // user's from then on, as a settled window's is.
    if (retries >= kAsks) {
        w.setProperty(kSettledProperty, true);
        w.setProperty(kUsersProperty, !frame.isNull());
        return;
    }
    if (QWindow* handle = w.windowHandle()) {
        w.setProperty(kRetriesProperty, retries + 1);
        // Asked by the client area this time: a window manager may have taken
        // the first ask, by the frame, for the client's place (on a scaled
        // screen, the title bar above it) and would take it so again.
        handle->setPosition(placedAt.toPoint() + QPoint(frame.left(), frame.top()));
        StartSettling(w, true);
    }
}

// Qt tells of no change of the frame alone: the window manager's notes on
// our windows (a property such as the frame's extent, a new parent frame, a
// mapping) lead to a look at the frame once Qt has taken them in.
class FrameWatcher : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        // The X11 event layout: the kind in the first byte (the top bit marks
        // an event sent by a client), the window at byte 4 (property) or 8.
        const auto* event = static_cast<const unsigned char*>(message);
        constexpr unsigned char kMapNotify = 19, kReparentNotify = 21, kPropertyNotify = 28;
        const unsigned char kind = event[0] & 0x7f;
        if (kind != kMapNotify && kind != kReparentNotify && kind != kPropertyNotify) return false;
        quint32 window = 0;
        std::memcpy(&window, event + (kind == kPropertyNotify ? 4 : 8), sizeof window);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->internalWinId() == window)
                QTimer::singleShot(0, w, [w] { RefitIfFramed(*w); });
        return false;
    }
};

class Fitter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* object, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
            if (auto* w = TopLevel(object); w && Fittable(*w) && !Restored(*w, *event)) Open(*w);
            break;
        case QEvent::Hide:
            if (auto* w = TopLevel(object); w && event->spontaneous())  // gone to its icon
                w->setProperty(kIconMonitorProperty, MonitorOf(w->geometry().marginsAdded(FrameOf(*w))));
            break;
        case QEvent::Move:
            // Moved by the program (a dialog centring itself over its parent)
            // before it is framed: the frame will come there.
            if (QWidget* w = TopLevel(object);
                w && !event->spontaneous() && FrameOf(*w).isNull() && w->property(kPlacedAtProperty).isValid())
                w->setProperty(kPlacedAtProperty, w->geometry().topLeft());
            [[fallthrough]];
        case QEvent::Resize:
            if (QWidget* w = TopLevel(object)) RefitIfFramed(*w, true);
            break;
        case QEvent::WindowActivate:
            if (QWidget* w = TopLevel(object)) RefitIfFramed(*w);
            break;
        case QEvent::Expose:
            // Mapped: the frame may have come without moving the window.
            if (object->isWindowType())
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (w->windowHandle() == object) RefitIfFramed(*w);
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

void SetOwnerWindow(QWidget* window) { owner() = window; }

void InstallScreenFitting() {
    static Fitter* fitter = nullptr;
    if (fitter || !qApp) return;
    fitter = new Fitter(qApp);
    qApp->installEventFilter(fitter);
    static FrameWatcher watcher;
    qApp->installNativeEventFilter(&watcher);
}

void SetAvailableAreaForTests(const QRect& area) { testArea() = area; }

void SetFrameMarginsForTests(std::optional<QMargins> margins) { testMargins() = margins; }

bool SettlingForTests(const QWidget& window) {
    const auto* settle = window.findChild<QTimer*>(QLatin1String(kSettleTimer), Qt::FindDirectChildrenOnly);
    return settle && settle->isActive();
}

}  // namespace movaltic
