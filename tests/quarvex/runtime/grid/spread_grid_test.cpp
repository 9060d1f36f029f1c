// The grid's members as the data sheets drive them from code: addressing,
// block text, actions, row count, repainting, the tab-delimited file.
#include "quarvex/runtime/spread_grid.h"

#include "quarvex/runtime/errors.h"

#include <QAbstractItemView>
#include <QTableView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace qvrt {
namespace {

class SpreadGridTest : public ::testing::Test {
protected:
    SpreadGrid grid;

    void fillRows(int rows, int cols) {
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c) grid.SetText(c, r, QString("r%1c%2").arg(r).arg(c));
    }
    void block(int col, int row, int col2, int row2) {
        grid.setCol(col);
        grid.setRow(row);
        grid.setCol2(col2);
        grid.setRow2(row2);
    }
};

TEST_F(SpreadGridTest, ANewGridHasTheSheetsFiftyColumnsAndFifteenThousandRows) {
    EXPECT_EQ(grid.MaxCols(), 50);
    EXPECT_EQ(grid.MaxRows(), 15000);
    EXPECT_EQ(grid.ActiveCol(), 1);
    EXPECT_EQ(grid.ActiveRow(), 1);
    EXPECT_EQ(grid.CellCount(), 0);
}

TEST_F(SpreadGridTest, TextReadsAndWritesTheCurrentCell) {
    grid.setCol(4);
    grid.setRow(9);
    grid.setText("12.5");
    EXPECT_EQ(grid.GetText(4, 9), "12.5");
    EXPECT_EQ(grid.Text(), "12.5");
    grid.SetText(2, 3, "Na2O");
    grid.setCol(2);
    grid.setRow(3);
    EXPECT_EQ(grid.Text(), "Na2O");
}

TEST_F(SpreadGridTest, TheHeaderRowAndColumnAndCellsBeyondTheGridHoldNoText) {
    grid.SetText(0, 1, "x");
    grid.SetText(1, 0, "x");
    grid.SetText(51, 1, "x");  // a 51st heading is dropped, not an error
    grid.SetText(1, 15001, "x");
    EXPECT_EQ(grid.CellCount(), 0);
    EXPECT_EQ(grid.GetText(51, 1), "");
    EXPECT_EQ(grid.GetText(0, 0), "");
}

TEST_F(SpreadGridTest, MinusOneInRowAndColAddressesEveryCell) {
    grid.setMaxRows(3);
    grid.setMaxCols(2);
    grid.setRow(-1);
    grid.setCol(-1);
    grid.setText("all");
    EXPECT_EQ(grid.CellCount(), 6);
    EXPECT_EQ(grid.GetText(2, 3), "all");
    grid.setText("");
    EXPECT_EQ(grid.CellCount(), 0);
}

TEST_F(SpreadGridTest, BlockModeMakesTextAddressTheWholeBlock) {
    block(2, 2, 3, 4);
    grid.setText("b");
    EXPECT_EQ(grid.CellCount(), 1);  // without block mode only the current cell
    grid.setBlockMode(true);
    grid.setText("b");
    EXPECT_EQ(grid.CellCount(), 6);
    EXPECT_EQ(grid.GetText(3, 4), "b");
    EXPECT_EQ(grid.GetText(4, 4), "");
}

TEST_F(SpreadGridTest, RaisingMaxRowsAddsEmptyRowsAndLoweringDropsTheLastRows) {
    grid.SetText(1, 15000, "last");
    grid.setMaxRows(15001);
    EXPECT_EQ(grid.MaxRows(), 15001);
    EXPECT_EQ(grid.GetText(1, 15001), "");
    EXPECT_EQ(grid.GetText(1, 15000), "last");
    grid.setMaxRows(14999);
    grid.setMaxRows(15000);
    EXPECT_EQ(grid.GetText(1, 15000), "");
    EXPECT_EQ(grid.view()->model()->rowCount(), 15000);
}

TEST_F(SpreadGridTest, ClipGivesTheBlockWithTabsBetweenCellsAndCrLfAfterEachRow) {
    grid.SetText(2, 2, "a");
    grid.SetText(3, 2, "b");
    grid.SetText(3, 3, "d");
    block(2, 2, 3, 3);
    EXPECT_EQ(grid.Clip(), "a\tb\r\n\td\r\n");
    block(3, 3, 2, 2);  // corners in the other order name the same block
    EXPECT_EQ(grid.Clip(), "a\tb\r\n\td\r\n");
}

TEST_F(SpreadGridTest, AssigningClipFillsTheRowFromItsFirstColumnAndCutsAtTheBlock) {
    // A loaded line: the block is one row of fifty columns.
    QStringList fields;
    for (int i = 1; i <= 55; ++i) fields << QString::number(i);
    block(1, 7, 50, 7);
    grid.setClip(fields.join('\t'));
    EXPECT_EQ(grid.GetText(1, 7), "1");
    EXPECT_EQ(grid.GetText(50, 7), "50");
    EXPECT_EQ(grid.CellCount(), 50);
    EXPECT_EQ(grid.GetText(1, 8), "");
}

TEST_F(SpreadGridTest, PastedTextSpillsDownAndRightOnlyAsFarAsTheBlock) {
    grid.SetText(3, 3, "kept");
    block(2, 2, 3, 3);
    grid.setClip("a\tb\tc\r\nd\r\ne\tf\r\n");
    EXPECT_EQ(grid.GetText(2, 2), "a");
    EXPECT_EQ(grid.GetText(3, 2), "b");
    EXPECT_EQ(grid.GetText(4, 2), "");   // right of the block
    EXPECT_EQ(grid.GetText(2, 3), "d");
    EXPECT_EQ(grid.GetText(3, 3), "kept");  // the text's row ended before it
    EXPECT_EQ(grid.GetText(2, 4), "");   // below the block
}

TEST_F(SpreadGridTest, PastingAcceptsLfAndCrLineEndsAndALastRowWithoutOne) {
    block(1, 1, 2, 3);
    grid.setClip("1\t2\n3\t4\r5\t6");
    EXPECT_EQ(grid.GetText(2, 1), "2");
    EXPECT_EQ(grid.GetText(1, 2), "3");
    EXPECT_EQ(grid.GetText(2, 3), "6");
}

TEST_F(SpreadGridTest, ClipOfABlockPastedElsewhereReproducesIt) {
    fillRows(3, 4);
    grid.SetText(2, 2, "");
    block(1, 1, 3, 2);
    const QString text = grid.Clip();
    block(10, 100, 12, 101);
    grid.setClip(text);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(grid.GetText(10 + c, 100 + r), grid.GetText(1 + c, 1 + r));
}

TEST_F(SpreadGridTest, PastingAtTheGridsEdgeDropsWhatFallsOutside) {
    block(50, 15000, 52, 15002);
    grid.setClip("a\tb\r\nc\td\r\n");
    EXPECT_EQ(grid.GetText(50, 15000), "a");
    EXPECT_EQ(grid.CellCount(), 1);
}

TEST_F(SpreadGridTest, ActionZeroMakesTheCurrentCellTheActiveCell) {
    grid.setCol(3);
    grid.setRow(12);
    grid.setAction(SpreadGrid::ActionActiveCell);
    EXPECT_EQ(grid.ActiveCol(), 3);
    EXPECT_EQ(grid.ActiveRow(), 12);
    grid.setRow(-1);  // not a cell: the active cell stays
    grid.setAction(0);
    EXPECT_EQ(grid.ActiveRow(), 12);
}

TEST_F(SpreadGridTest, InsertRowAfterRaisingMaxRowsMovesTheRowsDownAndLosesNone) {
    grid.setMaxRows(6);
    fillRows(6, 2);
    grid.setMaxRows(7);
    grid.setRow(5);
    grid.setAction(SpreadGrid::ActionInsertRow);
    EXPECT_EQ(grid.MaxRows(), 7);
    EXPECT_EQ(grid.GetText(1, 4), "r4c1");
    EXPECT_EQ(grid.GetText(1, 5), "");
    EXPECT_EQ(grid.GetText(2, 5), "");
    EXPECT_EQ(grid.GetText(1, 6), "r5c1");
    EXPECT_EQ(grid.GetText(2, 7), "r6c2");
}

TEST_F(SpreadGridTest, DeleteRowThenLoweringMaxRowsRemovesExactlyThatRow) {
    grid.setMaxRows(6);
    fillRows(6, 2);
    grid.setRow(5);
    grid.setAction(SpreadGrid::ActionDeleteRow);
    EXPECT_EQ(grid.MaxRows(), 6);
    EXPECT_EQ(grid.GetText(1, 5), "r6c1");
    EXPECT_EQ(grid.GetText(1, 6), "");
    grid.setMaxRows(5);
    EXPECT_EQ(grid.GetText(2, 5), "r6c2");
    EXPECT_EQ(grid.GetText(2, 4), "r4c2");
}

TEST_F(SpreadGridTest, ActionTwelveClearsTheBlockInBlockModeAndOnlyTheCellOtherwise) {
    fillRows(4, 4);
    block(2, 2, 3, 3);
    grid.setAction(SpreadGrid::ActionClearText);
    EXPECT_EQ(grid.GetText(2, 2), "");
    EXPECT_EQ(grid.GetText(3, 3), "r3c3");
    grid.setBlockMode(true);
    grid.setAction(12);
    EXPECT_EQ(grid.GetText(3, 3), "");
    EXPECT_EQ(grid.GetText(3, 2), "");
    EXPECT_EQ(grid.GetText(4, 3), "r3c4");
    EXPECT_EQ(grid.GetText(2, 4), "r4c2");
}

TEST_F(SpreadGridTest, UndoOfAPasteRestoresTheBlocksFormerText) {
    fillRows(3, 3);
    block(1, 1, 2, 2);
    grid.setBlockMode(true);
    const QString before = grid.Clip();
    grid.setClip("x\tx\r\nx\tx\r\n");
    grid.setAction(12);
    grid.setClip(before);
    grid.setBlockMode(false);
    EXPECT_EQ(grid.GetText(1, 1), "r1c1");
    EXPECT_EQ(grid.GetText(2, 2), "r2c2");
}

TEST_F(SpreadGridTest, WithoutASelectionTheBlockCornersAreTheActiveCell) {
    grid.setCol(4);
    grid.setRow(6);
    grid.setAction(0);
    EXPECT_FALSE(grid.IsBlockSelected());
    EXPECT_EQ(grid.SelBlockCol(), 4);
    EXPECT_EQ(grid.SelBlockCol2(), 4);
    EXPECT_EQ(grid.SelBlockRow(), 6);
    EXPECT_EQ(grid.SelBlockRow2(), 6);
}

TEST_F(SpreadGridTest, CellWritesWhileRepaintingIsOffReachTheViewWhenItIsOn) {
    QSignalSpy changed(grid.view()->model(), &QAbstractItemModel::dataChanged);
    grid.setReDraw(false);
    for (int r = 1; r <= 100; ++r) grid.SetText(1, r, "v");
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(grid.ReDraw());
    grid.setReDraw(true);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(grid.view()->model()->index(99, 0).data().toString(), "v");
}

TEST_F(SpreadGridTest, CodeThatWritesCellsRaisesNoUserEvents) {
    QSignalSpy change(&grid, &SpreadGrid::Change);
    QSignalSpy edit(&grid, &SpreadGrid::EditMode);
    grid.SetText(1, 1, "a");
    block(1, 2, 3, 2);
    grid.setClip("a\tb");
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(edit.count(), 0);
}

TEST_F(SpreadGridTest, WindowsTextIsShownDecodedAndKeptAsItsBytes) {
    grid.SetText(1, 1, QString::fromUtf8("\u00e9\u20ac\u0081"));  // é € and an unassigned byte
    EXPECT_EQ(grid.TabFileBytes(), QByteArray("\xe9\x80\x81\r\n"));
    EXPECT_EQ(grid.view()->model()->index(0, 0).data().toString(), QString::fromUtf8("\u00e9\u20ac\u0081"));
}

TEST_F(SpreadGridTest, AHugeCellIsShownByItsStartButReadInFull) {
    const QString huge(1 << 20, u'7');
    grid.SetText(1, 1, huge);
    EXPECT_EQ(grid.GetText(1, 1), huge);
    const QModelIndex cell = grid.view()->model()->index(0, 0);
    EXPECT_LE(cell.data(Qt::DisplayRole).toString().size(), 1000);
    EXPECT_EQ(cell.data(Qt::EditRole).toString(), huge);
}

// Text beyond Windows-1252 is kept as typed, in a cell of its own form; a
// sheet that holds some saves in UTF-8 (Windows-1252 characters too), and
// a text that begins with that form's mark still reads back as it was.
TEST_F(SpreadGridTest, TextOutsideTheCodePageIsKeptAndMakesTheFileUtf8) {
    const QString alpha = QString::fromUtf8("\u03b1 \u00e9"), marked = QStringLiteral("\nx");
    grid.SetText(1, 1, QString::fromUtf8("\u00e9"));
    bool utf8 = true;
    EXPECT_EQ(grid.TabFileBytes(&utf8), "\xe9\r\n");
    EXPECT_FALSE(utf8);
    grid.SetText(2, 1, alpha);
    grid.SetText(1, 2, marked);
    EXPECT_EQ(grid.GetText(2, 1), alpha);
    EXPECT_EQ(grid.GetText(1, 2), marked);
    EXPECT_EQ(grid.view()->model()->index(0, 1).data().toString(), alpha);
    EXPECT_EQ(grid.TabFileBytes(&utf8), "\xc3\xa9\t\xce\xb1 \xc3\xa9\r\n\nx\r\n");
    EXPECT_TRUE(utf8);
    EXPECT_EQ(grid.TabFileBytesUtf8("\n"), "\xc3\xa9\t\xce\xb1 \xc3\xa9\n\nx\n");
}

TEST_F(SpreadGridTest, ColumnWidthsAreKeptInTwipsAndShownAtTheScreensResolution) {
    grid.setColWidth(0, 720);
    grid.setColWidth(3, 1080);
    EXPECT_EQ(grid.ColWidth(0), 720);
    EXPECT_EQ(grid.ColWidth(3), 1080);
    auto* table = static_cast<QTableView*>(grid.view());
    EXPECT_EQ(table->columnWidth(2), qRound(1080 * table->logicalDpiX() / 1440.0));
    EXPECT_EQ(grid.ColWidth(51), 0);
}

TEST_F(SpreadGridTest, TheCellFontNameAndSizeAreKept) {
    grid.setFontName("MS Sans Serif");
    grid.setFontSize(8.25);
    EXPECT_EQ(grid.FontName(), "MS Sans Serif");
    EXPECT_DOUBLE_EQ(grid.FontSize(), 8.25);
    EXPECT_EQ(grid.view()->font().family(), "DejaVu Sans");
}

class SaveTabFileTest : public SpreadGridTest {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(name); }
    static QByteArray read(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TEST_F(SaveTabFileTest, WritesTheRowsFromRowOneAsCrLfLines) {
    grid.SetText(1, 1, "SiO2");
    grid.SetText(2, 1, "TiO2");
    grid.SetText(1, 2, "48.2");
    grid.SetText(3, 3, "x");
    grid.SaveTabFile(path("a.plt"));
    EXPECT_EQ(read(path("a.plt")), QByteArray("SiO2\tTiO2\r\n48.2\r\n\t\tx\r\n"));
}

TEST_F(SaveTabFileTest, RaisesPathNotFoundForAMissingFolder) {
    try {
        grid.SaveTabFile(path("no/such/folder/a.plt"));
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), ErrPathNotFound);
    }
}

TEST_F(SaveTabFileTest, AFailedSaveLeavesTheOldFileAsItWas) {
    QFile old(path("keep.plt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents\r\n");
    old.close();
    fillRows(200, 10);  // far more than the file size limit below
    // A file size limit makes the write fail part-way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool raised = false;
    try {
        grid.SaveTabFile(path("keep.plt"));
    } catch (const RuntimeError&) {
        raised = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_TRUE(raised);
    EXPECT_EQ(read(path("keep.plt")), QByteArray("old contents\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.plt"});
}

TEST_F(SaveTabFileTest, ADeviceIsWrittenInPlaceAndAFullOneRaisesDiskFull) {
    grid.SetText(1, 1, "x");
    try {
        grid.SaveTabFile("/dev/full");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), ErrDiskFull);
    }
    QFileInfo dev("/dev/full");
    EXPECT_FALSE(dev.isFile());  // still the device, not a file renamed over it
}

TEST_F(SaveTabFileTest, AReadOnlyFileIsRefusedAndKept) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    QFile old(path("ro.plt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old\r\n");
    old.close();
    QFile::setPermissions(path("ro.plt"), QFile::ReadOwner);
    try {
        grid.SaveTabFile(path("ro.plt"));
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), ErrPathFileAccess);
    }
    EXPECT_EQ(read(path("ro.plt")), QByteArray("old\r\n"));
}

TEST_F(SaveTabFileTest, ReplacingAFileKeepsItsPermissionsAndLeavesNoTemporaryFile) {
    QFile old(path("m.plt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile::setPermissions(path("m.plt"), mode);
    grid.SetText(1, 1, "new");
    grid.SaveTabFile(path("m.plt"));
    EXPECT_EQ(read(path("m.plt")), QByteArray("new\r\n"));
    const auto ownerGroupOther = QFileDevice::Permissions::fromInt(0x7077);
    EXPECT_EQ(QFile::permissions(path("m.plt")) & ownerGroupOther, mode);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"m.plt"});
}

// Running out of memory while the sheet grows must not leave the views
// told of rows that never came.
TEST_F(SpreadGridTest, GrowingPastTheMemoryAtHandThrowsBeforeTheViewsHearOfIt) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than any limit leaves";
#else
    grid.SetText(1, 2, "kept");
    QSignalSpy about(grid.view()->model(), &QAbstractItemModel::rowsAboutToBeInserted);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1024ULL * 1024 * 1024;  // far below 60 million rows' 1.9 GB
    ASSERT_EQ(setrlimit(RLIMIT_AS, &small), 0);
    bool threw = false;
    try {
        grid.setMaxRows(60'000'000);
    } catch (const std::bad_alloc&) {
        threw = true;
    }
    setrlimit(RLIMIT_AS, &saved);
    EXPECT_TRUE(threw);
    EXPECT_EQ(about.count(), 0);
    EXPECT_EQ(grid.MaxRows(), 15000);
    EXPECT_EQ(grid.view()->model()->rowCount(), 15000);
    grid.setMaxRows(15001);
    EXPECT_EQ(grid.view()->model()->rowCount(), 15001);
    EXPECT_EQ(grid.GetText(1, 2), "kept");
#endif
}

TEST_F(SaveTabFileTest, RaisesAnErrorForAFolder) {
    EXPECT_THROW(grid.SaveTabFile(dir.path()), RuntimeError);
}

}  // namespace
}  // namespace qvrt
