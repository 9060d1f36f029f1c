// The running program's message boxes, shown for real on the offscreen
// platform and answered by clicking their first button.
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/qt_host.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

int shownWidth(const QString& prompt, const QString& title) {
    int width = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        width = box->width();
        box->buttons().constFirst()->click();
    });
    qvrt::QtHost().MsgBox(prompt, qvrt::vbExclamation, title);
    return width;
}

TEST(QtMessageBox, IsWideEnoughForItsWholeTitleBesideTheWindowButtons) {
    // Qt's own guess, the title in its title font plus 50 pixels, cut
    // "Save File Error" short under a window manager.
    const QFontMetrics qtGuess(QApplication::font("QMdiSubWindowTitleBar"));
    EXPECT_GT(qvrt::TitleBarWidth("Save File Error"), qtGuess.horizontalAdvance("Save File Error") + 100);
    EXPECT_GE(shownWidth("Path/File access error", "Save File Error"), qvrt::TitleBarWidth("Save File Error"));
    const QString longTitle = "Error Converting Data in the Active Sheet";
    EXPECT_GE(shownWidth("Overflow", longTitle), qvrt::TitleBarWidth(longTitle));
}

}  // namespace
