#include "quarvex/runtime/screen_fit.h"

#include "quarvex/runtime/host.h"

#include <QAbstractNativeEventFilter>
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
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qvrt {

namespace {

// The frame a window was last seen settled inside the area with: from then
// on a move with that frame is the user's.
constexpr char kFittedFrame[] = "qvrtFittedFrame";
// Set once the window has been fitted at its opening; only such are followed.
constexpr char kFollowed[] = "qvrtFollowed";
// The frame the fits since the window last settled were made for, and how
// many were made: a window manager that keeps putting the window back
// outside is left to it after a few.
constexpr char kTriedFrame[] = "qvrtTriedFrame";
constexpr char kTries[] = "qvrtTries";
constexpr int kMostTries = 3;
// How long a window's place must stay put before it is taken as settled.
constexpr int kSettleMs = 100;
constexpr char kSettleTimer[] = "qvrtFrameSettle";
// The monitor the window stood on when it went to its icon.
constexpr char kIconMonitor[] = "qvrtIconMonitor";

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
    // Asked of the window itself: the widget learns of a new frame only at
    // its next move or resize, and a window manager may frame a window
    // without either. A frame still being made may read negative: none yet.
    if (const QWindow* handle = w.windowHandle()) {
        const QMargins frame = handle->frameMargins();
        if (frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0) return {};
        // At a fractional scale each side is the device pixels' rounded to
        // logical ones, up to half a pixel short: one more keeps it outside.
        const qreal ratio = handle->devicePixelRatio();
        if (ratio == std::floor(ratio)) return frame;
        auto wider = [](int side) { return side > 0 ? side + 1 : 0; };
        return {wider(frame.left()), wider(frame.top()), wider(frame.right()), wider(frame.bottom())};
    }
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

QRect AreaFor(const QWidget& w) {
    if (!testArea().isEmpty()) return testArea();
    QScreen* s = ScreenOf(w);
    return s ? s->availableGeometry() : QRect();
}

// Whether the window stands with its frame inside the area, place and size.
bool InPlace(const QWidget& w, const QRect& area, const QMargins& frame) {
    return area.contains(w.geometry().marginsAdded(frame));
}

// A window that lies on no monitor at all (its own went away while it was
// hidden or an icon) is out of the user's reach wherever the user had it.
bool OnNoScreen(const QWidget& w) {
    const QRect outer = w.frameGeometry();
    if (!testArea().isEmpty()) return !outer.intersects(testArea());
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::none_of(screens.begin(), screens.end(), [&](QScreen* s) { return s->geometry().intersects(outer); });
}

// The rectangle of the monitor the window stands on (the tests' area
// stands in for it).
QRect MonitorOf(const QWidget& w) {
    if (!testArea().isEmpty()) return testArea();
    const QScreen* s = ScreenOf(w);
    return s ? s->geometry() : QRect();
}

void StartSettling(QWidget& w);

void Fit(QWidget& w) {
    const QRect area = AreaFor(w);
    if (area.isEmpty()) return;
    const QMargins frame = FrameMargins(w);
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

constexpr Qt::WindowStates kPlacedByManager = Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized;

// A window is fitted again until it is seen settled inside the area with
// its frame: a window manager that frames a window (on a busy machine long
// after it is shown) moves it more than once, into the frame, then to where
// it belongs, and its reports of those places may come late and in any
// order; a place in between is no place to fit from nor to take as fitted.
// Once settled, a place in the same frame is the user's, wherever it is:
// only a new frame is fitted again.
void Settle(QWidget& w) {
    if (!w.isVisible() || (w.windowState() & kPlacedByManager)) return;
    const QRect area = AreaFor(w);
    if (area.isEmpty()) return;
    const QMargins frame = FrameMargins(w);
    if (const QVariant fitted = w.property(kFittedFrame); fitted.isValid() && fitted.value<QMargins>() == frame) return;
    if (InPlace(w, area, frame)) {
        w.setProperty(kFittedFrame, QVariant::fromValue(frame));
        w.setProperty(kTries, 0);
        return;
    }
    const int tries = w.property(kTriedFrame).value<QMargins>() == frame ? w.property(kTries).toInt() : 0;
    if (tries >= kMostTries) return;
    w.setProperty(kTriedFrame, QVariant::fromValue(frame));
    w.setProperty(kTries, tries + 1);
    Fit(w);
    StartSettling(w);  // also when the fit changed nothing the platform would report
}

void StartSettling(QWidget& w) {
    auto* settle = w.findChild<QTimer*>(QLatin1String(kSettleTimer), Qt::FindDirectChildrenOnly);
    if (!settle) {
        settle = new QTimer(&w);
        settle->setObjectName(QLatin1String(kSettleTimer));
        settle->setSingleShot(true);
        settle->setInterval(kSettleMs);
        QObject::connect(settle, &QTimer::timeout, &w, [&w] { Settle(w); });
    }
    settle->start();
}

// The window was fitted and has since moved, changed size or been painted,
// perhaps in a new frame: its place is looked at once it has settled.
void FollowFrame(QWidget& w, bool moved) {
    if (w.windowState() & kPlacedByManager) return;  // its frame and place are the window manager's
    auto* settle = w.findChild<QTimer*>(QLatin1String(kSettleTimer), Qt::FindDirectChildrenOnly);
    if (settle && settle->isActive()) {
        if (moved) settle->start();  // moved again: wait for the next quiet moment
        return;
    }
    const QMargins frame = FrameMargins(w);
    const QVariant fitted = w.property(kFittedFrame);
    if (fitted.isValid() && fitted.value<QMargins>() == frame) return;
    if (w.property(kTriedFrame).value<QMargins>() == frame && w.property(kTries).toInt() >= kMostTries) return;
    StartSettling(w);
}

// Fitted as it opens, then followed until it settles.
void Open(QWidget& w) {
    w.setProperty(kFollowed, true);
    w.setProperty(kFittedFrame, QVariant());
    w.setProperty(kTries, 0);
    w.setProperty(kIconMonitor, QVariant());
    Fit(w);
    StartSettling(w);
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
            // A window the user brings back from an icon stays where the
            // user had it, unless its monitor has gone meanwhile (unplugged,
            // the layout changed): then it comes back inside one that
            // remains, however much of it that one shows.
            if (event->spontaneous() && w->property(kFollowed).toBool()) {
                const QVariant was = w->property(kIconMonitor);
                w->setProperty(kIconMonitor, QVariant());
                const bool lost =
                    was.isValid() && was.toRect() != MonitorOf(*w) && !(w->windowState() & kPlacedByManager);
                if (lost || OnNoScreen(*w)) Open(*w);
                break;
            }
            // A window the program opens goes to its home monitor.
            if (qobject_cast<QDialog*>(w) && !w->testAttribute(Qt::WA_Moved) && !event->spontaneous()) {
                // Qt centres a dialog that no form placed over its parent,
                // on the parent's monitor, but only after this event and
                // only if nothing moved it first: fitted once it has.
                QMetaObject::invokeMethod(w, [w] { if (w->isVisible()) Open(*w); }, Qt::QueuedConnection);
                break;
            }
            if (!event->spontaneous() && testArea().isEmpty()) MoveToHomeScreen(*w);
            Open(*w);
            break;
        case QEvent::Hide:
            if (event->spontaneous() && Fitted(*w) && w->property(kFollowed).toBool())
                w->setProperty(kIconMonitor, MonitorOf(*w));  // gone to its icon
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest:
            // The window manager's frame is known only once it has framed
            // the window, which a busy machine does long after the show;
            // the window reports it at its next move, resize or paint.
            if (Fitted(*w) && w->isVisible() && w->property(kFollowed).toBool())
                FollowFrame(*w, event->type() == QEvent::Move || event->type() == QEvent::Resize);
            break;
        default:
            break;
        }
        return false;
    }
};

// An X11 window manager that frames a window already shown (one started
// late, or slow on a busy machine) may leave the window where it was, the
// frame's title bar above the screen: Qt reports no event for that. Its
// notes on the window (the reparenting into the frame, the frame's extent
// set as a property, a mapping) are what tell of it; the window is looked
// at once Qt has taken them in.
class FrameNotes : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        // An X11 event: its code in the first byte (the top bit set when a
        // client sent it); the window at byte 4 in a property's note, at 8
        // in a mapping's or reparenting's.
        const auto* bytes = static_cast<const unsigned char*>(message);
        constexpr unsigned char kMapped = 19, kReparented = 21, kPropertyChanged = 28;
        const unsigned char code = bytes[0] & 0x7f;
        if (code != kMapped && code != kReparented && code != kPropertyChanged) return false;
        quint32 id = 0;
        std::memcpy(&id, bytes + (code == kPropertyChanged ? 4 : 8), sizeof id);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->internalWinId() != id || !w->isVisible() || !w->property(kFollowed).toBool()) continue;
            const bool moved = code != kPropertyChanged;  // reparented or mapped: a new place to settle
            QTimer::singleShot(0, w, [w, moved] {
                if (w->isVisible()) FollowFrame(*w, moved);
            });
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
    static FrameNotes notes;
    qApp->installNativeEventFilter(&notes);
}

void SetAvailableAreaForTests(const QRect& area) { testArea() = area; }

void SetFrameMarginsForTests(std::optional<QMargins> margins) { testMargins() = margins; }

bool SettlingForTests(const QWidget& window) {
    const auto* settle = window.findChild<QTimer*>(QLatin1String(kSettleTimer), Qt::FindDirectChildrenOnly);
    return settle && settle->isActive();
}

}  // namespace qvrt
