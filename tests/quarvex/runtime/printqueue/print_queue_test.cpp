// The printer dialog on a real print queue: a private CUPS server
// on a socket of its own, with one queue that never prints. Skipped where
// CUPS or the cups-pdf printer description is not installed, or not as root.
#include "quarvex/runtime/common_dialog.h"
#include "quarvex/runtime/qt_host.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString kLpadmin = QStringLiteral("/usr/sbin/lpadmin");

class PrintQueue : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString& needed : {QStringLiteral("/usr/sbin/cupsd"), kLpadmin, kPpd})
            if (!QFile::exists(needed)) GTEST_SKIP() << needed.toStdString() << " is not installed";
        // Only root may set queues up without a password.
        if (getuid() != 0) GTEST_SKIP() << "not root";
        // The server empties its spool and temporary folders as it starts.
        for (const char* folder : {"ppd", "spool", "tmp"}) QDir(dir_.path()).mkdir(QString::fromLatin1(folder));
        const QString conf = dir_.filePath(QStringLiteral("cupsd.conf")), files = conf + QStringLiteral(".files");
        write(conf, QStringLiteral("Listen %1\nBrowsing No\n<Location />\nAllow all\n</Location>\n").arg(socket_));
        write(files, QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1\nStateDir %1\n"
                                    "ErrorLog %1/log\nUser lp\nGroup lp\nSystemGroup root\n")
                         .arg(dir_.path()));
        cupsd_.start(QStringLiteral("/usr/sbin/cupsd"), {"-f", "-c", conf, "-s", files});
        cupsSetServer(socket_.toLocal8Bit().constData());
        // As long as a busy machine may take to start the server.
        for (QDeadlineTimer deadline(60000); !QFile::exists(socket_) && !deadline.hasExpired();) QThread::msleep(50);
        lpadmin({"-p", "QTEST", "-E", "-v", "ipp://127.0.0.1:9/none", "-P", kPpd});
        lpadmin({"-d", "QTEST"});
    }
    void TearDown() override {
        cupsd_.terminate();
        cupsd_.waitForFinished();
        cupsSetServer(nullptr);
    }
    static void write(const QString& path, const QString& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
    }
    void lpadmin(const QStringList& arguments) {
        QProcess process;
        process.start(kLpadmin, QStringList{"-h", socket_} + arguments);
        ASSERT_TRUE(process.waitForFinished(120000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    QTemporaryDir dir_;
    QString socket_ = dir_.filePath(QStringLiteral("cups.sock"));
    QProcess cupsd_;
};

// Accepts the modal dialog about to open, once it is shown.
void acceptWhenShown() {
    QTimer::singleShot(50, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
        else
            acceptWhenShown();
    });
}

TEST_F(PrintQueue, ADialogLeftAsItCameKeepsTheQueueOrPdfFileAndThePaper) {
    const QString pdf = dir_.filePath(QStringLiteral("table.pdf"));
    for (const QString& file : {QString(), pdf}) {
        SCOPED_TRACE(file.toStdString());
        QPrinter printer(QPrinter::HighResolution);
        if (!file.isEmpty()) printer.setOutputFileName(file);
        printer.setPageSize(QPageSize(QPageSize::Ledger));
        printer.setPageOrientation(QPageLayout::Landscape);
        for (int shown = 1; shown <= 2; ++shown) {
            acceptWhenShown();
            ASSERT_TRUE(qvrt::QtHost().PrinterDialog(&printer, qvrt::kPrintJobDialogFlags));
            EXPECT_EQ(printer.outputFileName(), file);
            EXPECT_EQ(printer.printerName(), file.isEmpty() ? QStringLiteral("QTEST") : QString());
            EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Ledger);
            EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
        }
    }
}

}  // namespace
