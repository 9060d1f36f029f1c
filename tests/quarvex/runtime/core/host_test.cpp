#include "quarvex/runtime/common_dialog.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/kept_printer.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/qt_host.h"
#include "quarvex/runtime/scripted_host.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace qvrt;

class HostTest : public ::testing::Test {
protected:
    void SetUp() override { h = &InstallScriptedHost(); }
    void TearDown() override { SetHost(nullptr); }
    ScriptedHost* h = nullptr;
};

TEST_F(HostTest, MessageBoxesAnswerFromTheQueueAndAreRecorded) {
    h->msgBoxAnswers = {vbNo};
    EXPECT_EQ(host().MsgBox("Save?", vbYesNoCancel + vbExclamation, "Save File?"), vbNo);
    // An empty queue answers with the first button.
    EXPECT_EQ(host().MsgBox("Restore?", vbOKCancel, "Restore Settings?"), vbOK);
    EXPECT_EQ(host().MsgBox("Again?", vbYesNo, "t"), vbYes);
    ASSERT_EQ(h->boxes.size(), 3u);
    EXPECT_EQ(h->boxes[0].prompt, "Save?");
    EXPECT_EQ(h->boxes[0].style, vbYesNoCancel + vbExclamation);
    EXPECT_EQ(h->boxes[0].title, "Save File?");
}

TEST_F(HostTest, ACancelledDialogRaises32755OnlyWhereCancelErrorIsSet) {
    CommonDialog d;
    d.CancelError = true;
    h->fileAnswers = {std::nullopt};
    try {
        d.ShowOpen();
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), ErrDialogCancelled);
    }
    d.CancelError = false;
    d.FileName = "old";
    EXPECT_NO_THROW(d.ShowSave());
    EXPECT_EQ(d.FileName, "");
}

TEST_F(HostTest, AChosenFileNameReachesTheDialogAndTheRequestIsRecorded) {
    CommonDialog d;
    d.Flags = 6146;
    d.Filter = "Quarvex file (*.plt)|*.plt|All Files (*.*)|*.*";
    h->fileAnswers = {QString("/tmp/a.plt")};
    d.ShowOpen();
    EXPECT_EQ(d.FileName, "/tmp/a.plt");
    ASSERT_EQ(h->dialogs.size(), 1u);
    EXPECT_EQ(h->dialogs[0].kind, "Open");
    EXPECT_EQ(h->dialogs[0].flags, 6146);
    EXPECT_EQ(h->dialogs[0].filter, d.Filter);
}

TEST_F(HostTest, ColourAndPrinterDialogs) {
    CommonDialog d;
    d.CancelError = true;
    h->colorAnswers = {0x0000FFu};
    d.ShowColor();
    EXPECT_EQ(d.Color, 0x0000FFu);
    h->printerAnswers = {false};
    d.Flags = 64;
    EXPECT_THROW(d.ShowPrinter(), RuntimeError);
    EXPECT_EQ(h->dialogs.back().kind, "Printer");
    EXPECT_EQ(h->dialogs.back().flags, 64);
}

TEST_F(HostTest, HourglassIsResetAlsoWhenAStepFails) {
    try {
        HourglassPointer busy;
        EXPECT_EQ(host().MousePointer(), vbHourglass);
        Raise(ErrDiskFull);
    } catch (const RuntimeError&) {
    }
    EXPECT_EQ(host().MousePointer(), vbDefault);
}

TEST_F(HostTest, ProgramsStartWithTheirArgumentsUntouched) {
    host().StartProgram("/opt/harnel/harnel", {"a b; rm -rf x"});
    ASSERT_EQ(h->startedPrograms.size(), 1u);
    EXPECT_EQ(h->startedPrograms[0], (QStringList{"/opt/harnel/harnel", "a b; rm -rf x"}));
}

TEST_F(HostTest, TheGuardReportsAnErrorInABoxTitledErrorAndSwallowsIt) {
    bool after = false;
    Guard([] { Raise(ErrDivisionByZero); });
    after = true;
    EXPECT_TRUE(after);
    ASSERT_EQ(h->boxes.size(), 1u);
    EXPECT_EQ(h->boxes[0].prompt, "Division by zero");
    EXPECT_EQ(h->boxes[0].title, "Error");
    EXPECT_EQ(h->boxes[0].style, vbExclamation);
    auto slot = Guarded([](int x) {
        if (x > 0) throw std::runtime_error("boom");
    });
    slot(1);
    EXPECT_EQ(h->boxes.back().prompt, "boom");
}

TEST_F(HostTest, TheGuardedApplicationCatchesErrorsOfEventHandlers) {
    class Thrower : public QObject {
    public:
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) Raise(ErrSubscript);
            return QObject::event(e);
        }
    } thrower;
    QEvent ev(QEvent::User);
    EXPECT_NO_THROW(GuardedNotify(*qApp, &thrower, &ev));
    ASSERT_FALSE(h->boxes.empty());
    EXPECT_EQ(h->boxes.back().prompt, "Subscript out of range");
}

TEST(QtNameFilters, TurnsTheFormsFilterIntoQtFiltersAndStarDotStarIntoStar) {
    EXPECT_EQ(QtNameFilters("Quarvex file (*.plt)|*.plt|All Files (*.*)|*.*"),
              (QStringList{"Quarvex file (*.plt)", "All Files (*)"}));
}

TEST(MsgBoxAnswers, ClosingABoxAnswersCancelWhereThereIsOne) {
    EXPECT_EQ(DefaultCloseAnswer(vbYesNoCancel + vbExclamation), vbCancel);
    EXPECT_EQ(DefaultCloseAnswer(vbOKOnly), vbOK);
    EXPECT_EQ(DefaultCloseAnswer(vbYesNo), vbNo);
}

TEST(QtHost, StartsAProgramDirectlyAndReportsOneThatIsMissing) {
    QtHost h;
    EXPECT_TRUE(h.StartProgram("/bin/true", {"$(touch /tmp/never)"}));
    EXPECT_FALSE(h.StartProgram("/no/such/program", {}));
    EXPECT_FALSE(h.StartProgram("", {}));
}

// The graph and table print jobs ask for neither a page range nor a
// selection (flags 4 and 8); printing to a file stays on offer.
TEST(QtHost, ThePrintDialogLeavesOutPageRangeAndSelectionWhenAsked) {
    QtHost h;
    QPrinter printer;
    for (const long flags : {0x10004CL & ~64L, 0L}) {
        SCOPED_TRACE(flags);
        QAbstractPrintDialog::PrintDialogOptions shown;
        bool rangeHidden = false, seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            seen = true;
            shown = dialog->options();
            const auto* range = dialog->findChild<QWidget*>(QStringLiteral("gbPrintRange"));
            rangeHidden = !range || range->isHidden();
            dialog->reject();
        });
        EXPECT_FALSE(h.PrinterDialog(&printer, flags));
        ASSERT_TRUE(seen);
        const bool asked = flags != 0;
        EXPECT_EQ(rangeHidden, asked);
        EXPECT_FALSE(shown.testFlag(QAbstractPrintDialog::PrintSelection));
        EXPECT_EQ(shown.testFlag(QAbstractPrintDialog::PrintPageRange), !asked);
        EXPECT_FALSE(shown.testFlag(QAbstractPrintDialog::PrintCurrentPage));
        EXPECT_TRUE(shown.testFlag(QAbstractPrintDialog::PrintToFile));
    }
}

// The dialog proposes a file after the coming job in the folder of the
// printer's last file, never that file, and Print takes it: after the
// question if it exists, and after a 255-byte name shortened.
TEST(QtHost, ThePrintDialogProposesAFileAfterTheComingJob) {
    QTemporaryDir folder;
    const QString granites = folder.filePath("Sheet1-granites.pdf"), basalts = folder.filePath("Sheet2-basalts12.pdf");
    for (const QString& name : {granites, basalts}) ASSERT_TRUE(QFile(name).open(QIODevice::WriteOnly));
    QtPrinterSurface printer(granites);
    const struct {
        QString job, proposed;
        bool asked;
    } cases[] = {
        {"Sheet2-/data/basalts12.plt", basalts, true},
        {"Sheet3-/data/" + QString(251, u'b') + ".plt", folder.filePath("Sheet3-" + QString(244, u'b') + ".pdf"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.asked);
        printer.NameComingJob(c.job);
        QString shown;
        bool asked = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            shown = dialog->findChild<QLineEdit*>(QStringLiteral("filename"))->text();
            // Looks for the question until it comes or the dialog goes.
            auto* poll = new QTimer(dialog);
            QObject::connect(poll, &QTimer::timeout, [&, poll] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    poll->stop();
                    asked = true;
                    box->button(QMessageBox::Yes)->click();
                }
            });
            poll->start(10);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();  // Print
        });
        EXPECT_TRUE(QtHost().PrinterDialog(printer.Device(), kPrintJobDialogFlags));
        EXPECT_EQ(shown, c.proposed);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(printer.Device()->outputFileName(), c.proposed);
    }
}

// On X11 the dialog proposes a PDF file named after the job, its extension
// turned into ".pdf"; the offscreen dialog is given that proposal here. After
// a job named after a file's path Print takes it, and the job keeps its name.
TEST(QtHost, ThePrintDialogTakesThePdfFileItProposesAfterAJobNamedAfterAPath) {
    QTemporaryDir home;
    const QString job = QStringLiteral("Sheet2-/home/user/data/oxides60.plt");
    QtPrinterSurface printer;
    printer.StartJob(job);
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        const QString name = dialog->printer()->docName();
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        printers->setCurrentIndex(printers->count() - 1);
        dialog->findChild<QLineEdit*>(QStringLiteral("filename"))
            ->setText(home.filePath(name.left(name.lastIndexOf(u'.')) + ".pdf"));
        // A file that cannot be written is refused in a message box.
        QTimer::singleShot(50, [dialog] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                box->accept();
                QTimer::singleShot(0, dialog, &QDialog::reject);
            }
        });
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();  // Print
    });
    ASSERT_TRUE(QtHost().PrinterDialog(printer.Device(), kPrintJobDialogFlags));
    EXPECT_EQ(printer.Device()->outputFileName(), home.filePath("Sheet2-oxides60.pdf"));
    EXPECT_EQ(printer.Device()->docName(), job);
}

// A job's name as the PDF file proposed for it, shortened by whole
// characters to what a file system's 255-byte names hold.
TEST(PdfFileName, IsTheJobsNameShortenedToFitTheFileSystem) {
    const QString e = QStringLiteral("\u00e9"), clef = QStringLiteral("\U0001D11E");
    const struct {
        QString job, file;
    } cases[] = {
        {"Sheet1-/data/v1.2 draft", "Sheet1-v1.2 draft.pdf"},
        {"", "print.pdf"},
        {"Sheet2-/d/x" + e.repeated(130) + ".plt", "Sheet2-x" + e.repeated(121) + ".pdf"},
        {"Sheet2-/d/x" + clef.repeated(70) + ".plt", "Sheet2-x" + clef.repeated(60) + ".pdf"},
    };
    for (const auto& c : cases) EXPECT_EQ(PdfFileName(c.job, 255), c.file) << c.job.toStdString();
}
