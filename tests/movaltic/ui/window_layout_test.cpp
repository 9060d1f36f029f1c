// The main window's look at its start size: centred, the to-do lines with
// their parameters readable, the preview boxes visible.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMoveEvent>
#include <QPalette>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <memory>

#include "movaltic/pipeline/todo_list.h"
#include "movaltic/ui/main_window.h"
#include "movaltic/ui/option_dialogs.h"
#include "movaltic/ui/screen_fit.h"
#include "movaltic/ui/win_utils.h"
#include "scripted_host.h"

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

// The window manager frames a window after it is shown, on a busy machine
// long after, and may frame it anew later: each frame is fitted as it comes,
// so the title bar stays on the screen; a window the user moves afterwards
// stays where it is put.
TEST(WindowLayout, TheFitFollowsTheWindowManagersFrame) {
    uitest::HostScope scope;
    InstallScreenFitting();
    const QRect area(0, 0, 683, 384);
    SetAvailableAreaForTests(area);
    SetFrameMarginsForTests(QMargins());
    TfmMain window;
    window.show();
    QApplication::processEvents();
    for (const QMargins frame : {QMargins(1, 24, 1, 1), QMargins(4, 40, 4, 4)}) {
        SCOPED_TRACE(frame.top());
        SetFrameMarginsForTests(frame);
        QMoveEvent framed(window.pos(), window.pos());  // what the frame's arrival brings
        QApplication::sendEvent(&window, &framed);
        const QRect outer = window.geometry().marginsAdded(frame);
        EXPECT_TRUE(area.contains(outer)) << outer.x() << "," << outer.y() << " " << outer.width() << "x"
                                          << outer.height();
    }
    window.move(-100, 50);
    QApplication::processEvents();
    EXPECT_LT(window.geometry().left(), -90);
    SetFrameMarginsForTests(std::nullopt);
    SetAvailableAreaForTests({});
}

// The navy movie lines stay navy on the light palette and turn to a lighter
// blue, readable at 4.5:1 or more, on a dark one, also when the palette
// changes while the window is open.
TEST(WindowLayout, MovieLinesAreReadableOnLightAndDarkPalettes) {
    uitest::HostScope scope;
    const QPalette light = QApplication::palette();
    QPalette dark(QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(42, 42, 42));
    dark.setColor(QPalette::Text, Qt::white);
    TfmMain window;
    for (const QPalette& palette : {dark, light}) {
        QApplication::setPalette(palette);
        for (QLabel* label : {window.lblInput, window.lblOutput}) {
            const QColor text = label->palette().color(QPalette::WindowText);
            EXPECT_GE(ContrastRatio(text, label->palette().color(QPalette::Window)), 4.5) << text.name().toStdString();
            if (&palette == &light) EXPECT_EQ(text, QColor(0, 0, 128));
            else EXPECT_GT(text.blue(), text.red());  // still blue
        }
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
