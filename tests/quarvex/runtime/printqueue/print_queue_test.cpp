// The printer and its dialog on a real print queue: a private CUPS server
// with one queue, on a socket of its own. Skipped where CUPS or the
// cups-pdf printer description is not installed.
#include "quarvex/runtime/common_dialog.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/qt_host.h"

#include <QApplication>
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
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString kCupsd = QStringLiteral("/usr/sbin/cupsd");
const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString kQueue = QStringLiteral("QTEST");

class PrintQueue : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString& needed : {kCupsd, kPpd, QStringLiteral("/usr/sbin/lpadmin")})
            if (!QFile::exists(needed)) GTEST_SKIP() << needed.toStdString() << " is not installed";
        socket_ = dir_.filePath(QStringLiteral("cups.sock"));
        // The server empties its spool and temporary folders as it starts.
        for (const char* folder : {"ppd", "spool", "tmp", "cache", "state"})
            ASSERT_TRUE(QDir(dir_.path()).mkdir(QString::fromLatin1(folder)));
        write(QStringLiteral("cupsd.conf"), QStringLiteral("Listen %1\nBrowsing No\nWebInterface No\nLogLevel warn\n"
                                                         "<Location />\nOrder allow,deny\nAllow all\n</Location>\n")
                                                    .arg(socket_));
        QString files = QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\nTempDir %1/tmp\n"
                                       "ErrorLog %1/error_log\nAccessLog %1/access_log\n")
                            .arg(dir_.path());
        if (getuid() == 0) files += QStringLiteral("User lp\nGroup lp\nSystemGroup root\n");
        write(QStringLiteral("cups-files.conf"), files);
        cupsd_.start(kCupsd, {QStringLiteral("-f"), QStringLiteral("-c"), dir_.filePath(QStringLiteral("cupsd.conf")),
                              QStringLiteral("-s"), dir_.filePath(QStringLiteral("cups-files.conf"))});
        ASSERT_TRUE(cupsd_.waitForStarted());
        qputenv("CUPS_SERVER", socket_.toLocal8Bit());
        cupsSetServer(socket_.toLocal8Bit().constData());
        bool up = false;
        for (int i = 0; i < 100 && !up; ++i) {
            if (http_t* http = httpConnect2(socket_.toLocal8Bit().constData(), 0, nullptr, AF_UNSPEC,
                                            HTTP_ENCRYPTION_NEVER, 1, 100, nullptr)) {
                httpClose(http);
                up = true;
            } else {
                QThread::msleep(50);
            }
        }
        ASSERT_TRUE(up) << "cupsd did not start";
        addQueue();
        admin(QStringLiteral("lpadmin"), {QStringLiteral("-d"), kQueue});
    }
    void TearDown() override {
        stop();
        qunsetenv("CUPS_SERVER");
        cupsSetServer(nullptr);
    }

    void write(const QString& name, const QString& text) {
        QFile file(dir_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }
    // An idle queue that takes jobs; nothing ever prints from it.
    void addQueue() {
        admin(QStringLiteral("lpadmin"), {QStringLiteral("-p"), kQueue, QStringLiteral("-E"), QStringLiteral("-v"),
                                          QStringLiteral("ipp://127.0.0.1:9/none"), QStringLiteral("-P"), kPpd});
    }
    void admin(const QString& program, QStringList arguments) {
        QProcess tool;
        arguments.prepend(socket_);
        arguments.prepend(QStringLiteral("-h"));
        tool.start(program, arguments);
        ASSERT_TRUE(tool.waitForFinished()) << program.toStdString();
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    }
    void stop() {
        if (cupsd_.state() == QProcess::NotRunning) return;
        cupsd_.terminate();
        cupsd_.waitForFinished();
    }

    QTemporaryDir dir_;
    QString socket_;
    QProcess cupsd_;
};

// The dialog answered as it opens, as a user who only presses Print does.
bool AcceptDialog(QPrinter& printer) {
    QTimer::singleShot(100, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->accept();
    });
    return qvrt::QtHost().PrinterDialog(&printer, qvrt::kPrintJobDialogFlags);
}

TEST_F(PrintQueue, ADialogLeftAsItCameKeepsTheQueueOrPdfFileAndThePaper) {
    const QString pdf = dir_.filePath(QStringLiteral("table.pdf"));
    for (const bool toFile : {false, true}) {
        SCOPED_TRACE(toFile ? "PDF file" : "queue");
        QPrinter printer(QPrinter::HighResolution);
        if (toFile) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        }
        printer.setPageSize(QPageSize(QPageSize::Ledger));
        printer.setPageOrientation(QPageLayout::Landscape);
        for (int shown = 1; shown <= 2; ++shown) {
            ASSERT_TRUE(AcceptDialog(printer));
            EXPECT_EQ(printer.outputFormat(), toFile ? QPrinter::PdfFormat : QPrinter::NativeFormat);
            EXPECT_EQ(printer.outputFileName(), toFile ? pdf : QString());
            EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Ledger);
            EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
        }
    }
}

TEST_F(PrintQueue, AJobTheServiceRefusesIsAPrinterErrorSayingWhyAndAHeldOneIsNot) {
    const struct {
        const char* queue;
        std::function<void()> make;
        const char* why;  // empty: the job is taken
    } cases[] = {
        {"paused", [&] { admin(QStringLiteral("cupsdisable"), {kQueue}); }, ""},
        {"rejecting", [&] { admin(QStringLiteral("cupsreject"), {kQueue}); }, "the printer is not accepting jobs"},
        {"deleted", [&] { admin(QStringLiteral("lpadmin"), {QStringLiteral("-x"), kQueue}); },
         "the printer no longer exists"},
        {"stopped", [&] { stop(); }, "the print service is not running"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queue);
        addQueue();
        qvrt::QtPrinterSurface printer;
        printer.Device()->setPrinterName(kQueue);
        ASSERT_EQ(printer.Device()->printerName(), kQueue);
        c.make();
        printer.StartJob(QStringLiteral("Sheet1"));
        printer.Print(QStringLiteral("SiO2"));
        QString said;
        try {
            printer.EndDoc();
        } catch (const qvrt::RuntimeError& e) {
            EXPECT_EQ(e.number(), qvrt::ErrPrinter);
            said = QString::fromStdString(e.description());
        }
        const QString why = QString::fromLatin1(c.why);
        EXPECT_EQ(said, why.isEmpty() ? QString()
                                      : QStringLiteral("The print job did not reach the printer \"QTEST\": %1.").arg(why));
    }
}

}  // namespace
