// The running program's message boxes and printer dialog, shown for real on
// the offscreen platform and answered there.
#include "quarvex/runtime/common_dialog.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/qt_host.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
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

// Print Setup and a print job's dialog alike offer the printers and a PDF
// file, with neither pages nor a selection to pick; only the set-up form,
// which prints nothing, says so in its title and button.
TEST(QtPrinterDialog, SetUpAndPrintJobsShowThePrintDialogWithPdfAndWithoutPagesOrSelection) {
    struct Case {
        long flags;
        const char* title;
        const char* button;
    };
    for (const auto& [flags, title, button] :
         {Case{64, "Print Setup", "OK"}, Case{qvrt::kPrintJobDialogFlags, "Print", "&Print"}}) {
        SCOPED_TRACE(flags);
        QPrinter printer;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintPageRange));
            EXPECT_FALSE(dialog->testOption(QAbstractPrintDialog::PrintSelection));
            auto* range = dialog->findChild<QWidget*>("gbPrintRange");
            EXPECT_TRUE(range == nullptr || range->isHidden());
            bool pdf = false;
            for (auto* combo : dialog->findChildren<QComboBox*>())
                pdf = pdf || combo->findText("PDF", Qt::MatchContains) >= 0;
            EXPECT_TRUE(pdf);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            EXPECT_EQ(buttons->button(QDialogButtonBox::Ok)->text(), button);
            EXPECT_EQ(dialog->windowTitle(), title);
            dialog->reject();
        });
        EXPECT_FALSE(qvrt::QtHost().PrinterDialog(&printer, flags));
    }
}

}  // namespace
