// The main window's look at its start size: centred, the to-do lines with
// their parameters readable, the preview boxes visible.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QListWidget>
#include <QMoveEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "movaltic/pipeline/todo_list.h"
#include "movaltic/ui/main_window.h"
#include "movaltic/ui/option_dialogs.h"
#include "movaltic/ui/screen_fit.h"
#include "movaltic/ui/win_utils.h"
#include "scripted_host.h"
#include "support/put_back.h"

namespace {

using namespace movaltic;

TEST(WindowLayout, MainWindowIsCentredAtItsOwnSize) {
    uitest::HostScope scope;
    TfmMain window;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint centre = window.pos() + QPoint(window.width() / 2, window.height() / 2);
    EXPECT_LE(std::abs(centre.x() - area.center().x()), 1) << window.pos().x() << " " << window.width();
    EXPECT_LE(std::abs(centre.y() - area.center().y()), 1) << window.pos().y() << " " << window.height();
}

TEST(WindowLayout, ToDoLineWithThreeParametersFitsTheList) {
    uitest::HostScope scope;
    TfmMain window;
    window.show();
    QApplication::processEvents();
    // The widest lines: three whole percents of -100, three gamma values.
    for (auto [op, value] : {std::pair{kOpBrightness, -100.0}, {kOpContrast, -100.0}, {kOpAdjustRGB, -100.0},
                             {kOpGamma, 4.99}}) {
        steprec step;
        step.operation = op;
        step.params[0] = step.params[1] = step.params[2] = value;
        const QString line = QString::fromStdString(StepText(step));
        // A few pixels for the item's own margin.
        const int needed = window.ListBox2->fontMetrics().horizontalAdvance(line) + 6;
        EXPECT_LE(needed, window.ListBox2->viewport()->width()) << line.toStdString();
    }
    // Every operation name is readable in its own list too, and stays so
    // when the list must scroll.
    const int bar = window.ListBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, window.ListBox1);
    for (int i = 0; i < window.ListBox1->count(); ++i)
        EXPECT_LE(window.ListBox1->fontMetrics().horizontalAdvance(window.ListBox1->item(i)->text()) + bar,
                  window.ListBox1->viewport()->width());
}

// On 1366 x 768 at 150 % and 200 % (910 x 512 and 683 x 384 logical pixels)
// the main window and the output options open inside the available area;
// the options scroll where their controls no longer fit.
TEST(WindowLayout, WindowsOpenInsideASmallOrScaledScreen) {
    uitest::HostScope scope;
    InstallScreenFitting();
    for (const QRect area : {QRect(0, 0, 910, 512), QRect(0, 0, 683, 384)}) {
        SCOPED_TRACE(area.width());
        SetAvailableAreaForTests(area);
        TfmMain window;
        window.show();
        TfmOutOpt options(&window);
        options.show();
        QApplication::processEvents();
        EXPECT_TRUE(area.contains(window.frameGeometry()));
        EXPECT_TRUE(area.contains(options.frameGeometry()));
        // At 200 % the options are taller than the screen: they scroll.
        if (area.height() < 400) {
            EXPECT_NE(options.findChild<QScrollArea*>(), nullptr);
        }
    }
    SetAvailableAreaForTests({});
}

// On a 683 x 384 screen the window manager frames the window long after it
// is shown on a busy machine, and may frame it anew: each frame is fitted as
// it comes, title bar on the screen; a window moved by the user stays put.
TEST(WindowLayout, TheFitFollowsTheWindowManagersFrame) {
    uitest::HostScope scope;
    InstallScreenFitting();
    const QRect area(0, 0, 683, 384);
    SetAvailableAreaForTests(area);
    SetFrameMarginsForTests(QMargins());
    TfmMain window;
    window.show();
    for (const QMargins frame : {QMargins(1, 24, 1, 1), QMargins(4, 40, 4, 4)}) {
        SetFrameMarginsForTests(frame);
        QMoveEvent framed(window.pos(), window.pos());
        QApplication::sendEvent(&window, &framed);
        QApplication::processEvents();
        EXPECT_TRUE(area.contains(window.geometry().marginsAdded(frame))) << frame.top();
    }
    window.move(-100, 50);
    EXPECT_LT(window.geometry().left(), -90);
    SetFrameMarginsForTests(std::nullopt);
    SetAvailableAreaForTests({});
}

// A window manager on a busy machine that puts a late-framed window back
// where it stood unframed (title bar above the screen) after the fit and
// after each ask: once its place settles the frame is inside, unless every
// ask was undone: then it has its way after three. A window the user moves
// once it has settled stays where the user put it, also through its icon and
// a maximise.
TEST(WindowLayout, ALateFramedWindowIsFittedOnceItsPlaceSettles) {
    uitest::HostScope scope;
    InstallScreenFitting();
    const QRect area(10, 10, 683, 384);
    SetAvailableAreaForTests(area);
    const QMargins frame(4, 40, 4, 4);
    auto settled = [](QWidget& w) {
        return QTest::qWaitFor([&] { QApplication::processEvents(); return !SettlingForTests(w); }, 60000);
    };
    for (const auto& [putBacks, inside] : {std::pair{2, true}, std::pair{4, false}}) {
        SCOPED_TRACE(putBacks);
        SetFrameMarginsForTests(QMargins());
        TfmMain window;
        window.show();
        QApplication::processEvents();
        SetFrameMarginsForTests(frame);
        {
            PutBack manager(window, area.topLeft(), putBacks);
            QMoveEvent framed(window.pos(), window.pos());
            QApplication::sendEvent(&window, &framed);
            ASSERT_TRUE(QTest::qWaitFor([&] { return manager.done == putBacks; }, 60000));
        }
        ASSERT_TRUE(settled(window));
        EXPECT_EQ(area.contains(window.geometry().marginsAdded(frame)), inside);
        const QRect moved(area.topLeft() + QPoint(300, 200), window.size());
        window.setGeometry(moved);
        ASSERT_TRUE(settled(window));
        EXPECT_EQ(window.geometry(), moved);
        // Parked partly off the screen, it comes back there from its icon, and through a
        // maximise and restore whose new frame comes before the state.
        const QRect parked(area.topLeft() + QPoint(-300, 200), window.size());
        window.setGeometry(parked);
        ASSERT_TRUE(settled(window));
        window.showMinimized();
        window.showNormal();
        for (const auto& [margins, state] : {std::pair{QMargins(0, 19, 0, 0), Qt::WindowMaximized}, {frame, Qt::WindowNoState}}) {
            SetFrameMarginsForTests(margins);
            QMoveEvent reframed(window.pos(), window.pos());
            QApplication::sendEvent(&window, &reframed);
            window.setWindowState(state);
            ASSERT_TRUE(settled(window));
            EXPECT_EQ(window.windowState(), state);
        }
        // The offscreen platform itself puts a window back up to its 2-pixel frame off.
        EXPECT_LE((window.pos() - parked.topLeft()).manhattanLength(), 4);
        EXPECT_EQ(window.size(), parked.size());
        // With its monitor gone meanwhile, it comes back inside the one left of it, which showed part of it.
        const QRect remaining = area.translated(-area.width(), 0);
        window.showMinimized();
        SetAvailableAreaForTests(remaining);
        window.showNormal();
        ASSERT_TRUE(settled(window));
        EXPECT_LE((window.geometry().marginsAdded(frame).topLeft() - remaining.topLeft()).manhattanLength(), 2);
        SetAvailableAreaForTests(area);
    }
    SetFrameMarginsForTests(std::nullopt);
    SetAvailableAreaForTests({});
}

// The movie lines: navy on the light palette, a lighter blue readable at
// 4.5:1 on a dark one, also when the palette changes while they are shown.
TEST(WindowLayout, MovieLinesAreReadableOnLightAndDarkPalettes) {
    uitest::HostScope scope;
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    TfmMain window;
    for (const QPalette& palette : {dark, light}) {
        QApplication::setPalette(palette);
        QApplication::processEvents();  // the widgets take a new palette from posted events
        const QColor text = window.lblInput->palette().color(QPalette::WindowText);
        EXPECT_GE(ContrastRatio(text, palette.color(QPalette::Window)), 4.5) << text.name().toStdString();
        EXPECT_TRUE(palette != light || text == QColor(0, 0, 128));
        EXPECT_EQ(window.lblOutput->palette().color(QPalette::WindowText), text);
    }
}

TEST(WindowLayout, PreviewBoxesHaveAVisibleEdgeAroundA128PixelPicture) {
    uitest::HostScope scope;
    TfmMain window;
    for (ClickLabel* image : {window.Image1, window.Image2}) {
        EXPECT_NE(image->frameShape(), QFrame::NoFrame);
        EXPECT_EQ(image->contentsRect().size(), QSize(kPreviewBox, kPreviewBox));
    }
}

}  // namespace
