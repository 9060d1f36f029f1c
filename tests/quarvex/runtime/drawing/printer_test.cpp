// The Qt printer backend, printing into PDF files: page size in twips,
// document life, failures as Printer error.
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/printer.h"

#include <QFile>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qvrt {
namespace {

int PageCount(const QString& pdf) {
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const QString text = QString::fromLatin1(file.readAll());
    return int(text.count(QRegularExpression("/Type\\s*/Page(?!s)")));
}

struct PdfPrinter {
    QTemporaryDir dir;
    QString path = dir.filePath("out.pdf");
    QtPrinterSurface printer{path};
    PdfPrinter() { printer.Device()->setPageSize(QPageSize(QPageSize::A4)); }
};

TEST(QtPrinterPage, AnA4PageMeasuresItsSizeInWholeTwips) {
    PdfPrinter p;
    EXPECT_DOUBLE_EQ(p.printer.Width(), 11906);
    EXPECT_DOUBLE_EQ(p.printer.Height(), 16838);
    EXPECT_GT(p.printer.ScaleWidth(), 0.8 * 11906);
    EXPECT_LE(p.printer.ScaleWidth(), 11906);
    EXPECT_LE(p.printer.ScaleHeight(), 16838);
    EXPECT_GE(p.printer.ScaleHeight() / p.printer.ScaleWidth(), 1.0);
}

TEST(QtPrinterPage, LandscapeTurnsThePage) {
    PdfPrinter p;
    p.printer.SetOrientation(vbPRORLandscape);
    EXPECT_EQ(p.printer.Orientation(), vbPRORLandscape);
    EXPECT_DOUBLE_EQ(p.printer.Width(), 16838);
    EXPECT_DOUBLE_EQ(p.printer.Height(), 11906);
    EXPECT_LT(p.printer.ScaleHeight() / p.printer.ScaleWidth(), 1.0);
}

TEST(QtPrinterPage, TextsMeasureInTwipsOfThePaper) {
    PdfPrinter p;
    p.printer.SetFontName("Arial");
    p.printer.SetFontSize(10);
    // A 10-point line is a little over 200 twips high.
    EXPECT_GT(p.printer.TextHeight("H"), 200);
    EXPECT_LT(p.printer.TextHeight("H"), 260);
    // "Arial" is metric-compatible: the advance widths of "Quartzolite" add
    // up to 4.835 em (778 + 556 + 556 + 333 + 278 + 500 + 556 + 222 + 222
    // + 278 + 556 thousandths), 967 twips at 10 points.
    EXPECT_NEAR(p.printer.TextWidth("Quartzolite"), 967, 10);
}

TEST(QtPrinterDocument, AnEmptyPrintOpensTheDocumentAndEndDocWritesIt) {
    PdfPrinter p;
    EXPECT_FALSE(p.printer.DocumentOpen());
    p.printer.Print("");
    EXPECT_TRUE(p.printer.DocumentOpen());
    p.printer.Line(0, 0, 1440, 1440);
    p.printer.EndDoc();
    EXPECT_FALSE(p.printer.DocumentOpen());
    QFile file(p.path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(5), QByteArray("%PDF-"));
    EXPECT_EQ(PageCount(p.path), 1);
}

TEST(QtPrinterDocument, NewPageAddsAPageAndHomesThePrintPosition) {
    PdfPrinter p;
    p.printer.Print("diagram");
    p.printer.NewPage();
    EXPECT_DOUBLE_EQ(p.printer.CurrentX(), 0);
    EXPECT_DOUBLE_EQ(p.printer.CurrentY(), 0);
    p.printer.Print("legend");
    p.printer.EndDoc();
    EXPECT_EQ(PageCount(p.path), 2);
}

TEST(QtPrinterDocument, ALongTableRunsOntoFurtherPages) {
    PdfPrinter p;
    p.printer.SetFontName("Arial");
    p.printer.SetFontSize(10);
    const int perPage = int(p.printer.ScaleHeight() / p.printer.TextHeight(""));
    for (int row = 0; row < perPage + 5; ++row) p.printer.Print(QStringLiteral("sample %1").arg(row));
    p.printer.EndDoc();
    EXPECT_EQ(PageCount(p.path), 2);
}

TEST(QtPrinterDocument, EndDocWithNothingPrintedWritesNothing) {
    PdfPrinter p;
    p.printer.EndDoc();
    EXPECT_FALSE(QFile::exists(p.path));
}

TEST(QtPrinterDocument, APrinterThatCannotStartRaisesPrinterError) {
    QtPrinterSurface printer("/nonexistent-folder/out.pdf");
    try {
        printer.Print("");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), ErrPrinter);
    }
    EXPECT_FALSE(printer.DocumentOpen());
}

TEST(QtPrinterDocument, ADocumentLeftOpenIsFinishedWhenThePrinterGoes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("left-open.pdf");
    {
        QtPrinterSurface printer(path);
        printer.Print("interrupted job");
    }
    EXPECT_EQ(PageCount(path), 1);
}

TEST(ThePrinter, StartsAsAQtPrinterThatTheSetUpDialogCanConfigure) {
    SetPrinter(nullptr);
    EXPECT_NE(Printer().Device(), nullptr);
    EXPECT_GT(Printer().Width(), 0);
    // Left installed on purpose: it is released with the application.
}

}  // namespace
}  // namespace qvrt
