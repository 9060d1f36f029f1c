// The running program's message boxes, shown for real on the offscreen
// platform and answered by clicking their buttons.
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/qt_host.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace qvrt;

namespace {

struct Shown {
    int width = 0;
    QString title;
};

// Shows a box through the host and clicks its first button once it is up.
Shown showBox(const QString& prompt, const QString& title) {
    Shown shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = {box->width(), box->windowTitle()};
        box->buttons().constFirst()->click();
    });
    QtHost host;
    EXPECT_EQ(host.MsgBox(prompt, vbOKOnly + vbExclamation, title), vbOK);
    return shown;
}

TEST(QtMessageBox, IsWideEnoughForItsWholeTitle) {
    const Shown save = showBox("Path/File access error", "Save File Error");
    EXPECT_EQ(save.title, "Save File Error");
    EXPECT_GE(save.width, TitleBarWidth("Save File Error"));

    const QString longTitle = "Error Converting Data in the Active Sheet";
    const Shown wide = showBox("Overflow", longTitle);
    EXPECT_GE(wide.width, TitleBarWidth(longTitle));
    EXPECT_GT(wide.width, showBox("Overflow", "Error").width) << "the title, not the text, sets the width";
}

TEST(QtMessageBox, TitleBarWidthLeavesRoomBeyondTheTitleText) {
    // Qt's own guess is the text in the title font plus 50 pixels; window
    // managers draw it larger beside an icon and three buttons.
    const QString title = "Save File Error";
    const QFontMetrics qtGuess(QApplication::font("QMdiSubWindowTitleBar"));
    EXPECT_GT(TitleBarWidth(title), qtGuess.horizontalAdvance(title) + 100);
    EXPECT_GT(TitleBarWidth(title + title), TitleBarWidth(title));
}

}  // namespace
