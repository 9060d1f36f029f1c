// A discarded PDF document leaves no file behind.
#include "quarvex/runtime/printer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(DiscardedPdf, KillDocRemovesTheHalfWrittenFileAndEndDocKeepsAWholeOne) {
    QTemporaryDir dir;
    const QString killed = dir.filePath(QStringLiteral("killed.pdf"));
    {
        qvrt::QtPrinterSurface p(killed);
        p.Print(QStringLiteral("half a page"));
        p.Line(0, 0, 1000, 1000);
        p.KillDoc();
        EXPECT_FALSE(p.DocumentOpen());
    }
    EXPECT_FALSE(QFile::exists(killed));

    const QString ended = dir.filePath(QStringLiteral("ended.pdf"));
    qvrt::QtPrinterSurface p(ended);
    p.Print(QStringLiteral("a page"));
    p.EndDoc();
    EXPECT_TRUE(QFile::exists(ended));
}

}  // namespace
