#include "commands_fixture.h"

#include "quarvex/frame/frame_commands.h"
#include "quarvex/sheets/clipboard_edit.h"
#include "quarvex/sheets/new_data_window.h"
#include "quarvex/sheets/plt_file.h"
#include "quarvex/sheets/row_editing.h"
#include "quarvex/sheets/sort_samples.h"

#include <QAction>
#include <QMdiArea>

using namespace quarvex;

class ClipboardTest : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        fill({"a1\tb1\tc1\td1", "a2\tb2\tc2\td2", "a3\tb3\tc3\td3", "a4\tb4\tc4\td4"});
    }
};

TEST_F(ClipboardTest, CopyWithoutASelectionCopiesTheActiveCellAndMarksTheSheetModified) {
    moveTo(2, 3);
    MODULE21::EditClipboard(0);
    EXPECT_EQ(host->clipboard, "b3\r\n");
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_EQ(ClipBlock.Col1, 2);
    EXPECT_EQ(ClipBlock.Row2, 3);
}

TEST_F(ClipboardTest, PasteWithoutASelectionFillsABlockOfTheLastCopiedSize) {
    selectBlock(1, 1, 3, 2);
    MODULE21::EditClipboard(0);
    EXPECT_EQ(host->clipboard, "a1\tb1\tc1\r\na2\tb2\tc2\r\n");
    moveTo(2, 3);
    host->clipboard = "x\ty\tz\tw\r\np\tq\tr\ts\r\nbeyond\r\n";
    MODULE21::EditClipboard(2);
    EXPECT_EQ(rowText(3, 4), "a3\tx\ty\tz");
    EXPECT_EQ(rowText(4, 4), "a4\tp\tq\tr");
    EXPECT_EQ(rowText(5, 4), "\t\t\t");
    EXPECT_TRUE(frame->mnuUndo->isEnabled());
    MODULE21::UndoLastEdit();
    EXPECT_EQ(rowText(3, 4), "a3\tb3\tc3\td3");
    EXPECT_EQ(rowText(4, 4), "a4\tb4\tc4\td4");
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
}

TEST_F(ClipboardTest, PasteIntoASelectionFillsThatBlockWhateverTheTextsSize) {
    selectBlock(1, 1, 2, 1);
    host->clipboard = "p\tq\tr\r\ns\tt\r\n";
    MODULE21::EditClipboard(2);
    EXPECT_EQ(rowText(1, 4), "p\tq\tc1\td1");
    EXPECT_EQ(rowText(2, 2), "a2\tb2");
}

TEST_F(ClipboardTest, CutEmptiesTheBlockAndUndoBringsItBack) {
    selectBlock(1, 2, 2, 3);
    MODULE21::EditClipboard(1);
    EXPECT_EQ(rowText(2, 3), "\t\tc2");
    EXPECT_EQ(host->clipboard, "a2\tb2\r\na3\tb3\r\n");
    EXPECT_TRUE(frame->mnuUndo->isEnabled());
    MODULE21::UndoLastEdit();
    EXPECT_EQ(rowText(2, 3), "a2\tb2\tc2");
    EXPECT_EQ(rowText(3, 3), "a3\tb3\tc3");
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
}

TEST_F(ClipboardTest, AClipboardTextLargerThanTheSheetIsCutAtItsEdges) {
    QString big;
    for (int r = 0; r < 3; ++r) {
        QStringList cells;
        for (int c = 0; c < 60; ++c) cells << QStringLiteral("v%1").arg(c);
        big += cells.join('\t') + "\r\n";
    }
    ClipBlock = {1, 60, 1, 3};
    grid().setMaxRows(5);
    moveTo(45, 4);
    host->clipboard = big;
    MODULE21::EditClipboard(2);
    EXPECT_EQ(cell(45, 4), "v0");
    EXPECT_EQ(cell(50, 5), "v5");
    EXPECT_EQ(grid().MaxCols(), 50);
    EXPECT_EQ(grid().MaxRows(), 5);
    EXPECT_TRUE(host->boxes.empty());
    MODULE21::UndoLastEdit();
    EXPECT_EQ(cell(45, 4), "");
}

TEST_F(ClipboardTest, UndoGoesBackIntoTheSheetTheBlockCameFrom) {
    selectBlock(1, 1, 1, 1);
    moveTo(1, 1);
    MODULE21::EditClipboard(1);
    Main1* first = sheet;
    first->Record().Modified = 0;
    frame->mnuNew_Click();
    Main1* second = active();
    ASSERT_NE(second, first);
    grid(second).SetText(1, 1, "other");
    MODULE21::UndoLastEdit();
    EXPECT_EQ(cell(1, 1, first), "a1");
    EXPECT_EQ(cell(1, 1, second), "other");
    EXPECT_EQ(first->Record().Modified, -1);
    EXPECT_EQ(second->Record().Modified, 0);
}

TEST_F(ClipboardTest, UndoAfterItsSheetClosedChangesNoOtherSheet) {
    MODULE21::EditClipboard(1);
    frame->mnuNew_Click();
    Main1* second = active();
    grid(second).SetText(1, 1, "other");
    sheet->Record().Modified = 0;
    sheet->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MODULE21::UndoLastEdit();
    EXPECT_EQ(cell(1, 1, second), "other");
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
}

TEST_F(ClipboardTest, AnUnknownIndexOnlyMarksTheSheet) {
    MODULE21::EditClipboard(7);
    EXPECT_EQ(host->clipboard, "");
    EXPECT_EQ(rowText(1, 4), "a1\tb1\tc1\td1");
}

// Text as spreadsheets copy it: a cell holding a tab, a line break or a
// leading quote comes in quotes, its own quotes doubled.
TEST_F(ClipboardTest, PasteReadsQuotedCellsAsSpreadsheetsWriteThem) {
    struct Case {
        const char* what;
        QString clipboard;
        QStringList rows;  // rows 1..4, columns 1..4, after pasting into A1:C3
    };
    const Case cases[] = {
        {"quoted cells keep the block's shape",
         "\"Core 1\nbroken\"\t\"say \"\"hi\"\"\"\t7\r\nx\t\"\"\t\"end\nhere\"\n\"tab\there\"\t5\" pipe\t\"open",
         {"Core 1 broken\tsay \"hi\"\t7\td1", "x\t\tend here\td2", "tab here\t5\" pipe\t\"open\td3",
          "a4\tb4\tc4\td4"}},
        {"text from Calc, quotes as typed, pastes cell for cell",
         "\"Big\" granite\tcore 12\"\t\"altered\" rim\r\n2\t\"x\t\"y\" z\r\n",
         {"\"Big\" granite\tcore 12\"\t\"altered\" rim\td1", "2\t\"x\t\"y\" z\td2", "a3\tb3\tc3\td3",
          "a4\tb4\tc4\td4"}},
        {"an empty clipboard pastes nothing", "",
         {"a1\tb1\tc1\td1", "a2\tb2\tc2\td2", "a3\tb3\tc3\td3", "a4\tb4\tc4\td4"}},
        {"characters beyond Windows-1252 and 16 bits paste as they are",
         QStringLiteral("\U0001FAA8 granite\t\"\U0001F600\"\tSiO\u2082\r\n\u017D\u010F\u00E1r\r\n"),
         {QStringLiteral("\U0001FAA8 granite\t\U0001F600\tSiO\u2082\td1"), QStringLiteral("\u017D\u010F\u00E1r\tb2\tc2\td2"),
          "a3\tb3\tc3\td3", "a4\tb4\tc4\td4"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        fill({"a1\tb1\tc1\td1", "a2\tb2\tc2\td2", "a3\tb3\tc3\td3", "a4\tb4\tc4\td4"});
        selectBlock(1, 1, 3, 3);
        host->clipboard = k.clipboard;
        MODULE21::EditClipboard(2);
        for (int r = 1; r <= 4; ++r) EXPECT_EQ(rowText(r, 4), k.rows[r - 1]) << "row " << r;
    }

    // Copy gives them as they are, quoted like any other cell; Cut and Undo keep them.
    selectBlock(1, 1, 2, 2);
    MODULE21::EditClipboard(1);
    EXPECT_EQ(host->clipboard, QStringLiteral("\U0001FAA8 granite\t\U0001F600\r\n\u017D\u010F\u00E1r\tb2\r\n"));
    MODULE21::UndoLastEdit();
    EXPECT_EQ(rowText(2, 4), QStringLiteral("\u017D\u010F\u00E1r\tb2\tc2\td2"));
    sheet->Grid1->SetText(1, 1, QStringLiteral("\"SiO\u2082\" \u2265 50"));
    selectBlock(1, 1, 1, 1);
    MODULE21::EditClipboard(0);
    EXPECT_EQ(host->clipboard, QStringLiteral("\"\"\"SiO\u2082\"\" \u2265 50\"\r\n"));

    // Cells that begin with a quote go out quoted and come back unchanged.
    fill({"\"Big\" core\ta\"b\t\"\"", "\"\tx\"\t"});
    selectBlock(1, 1, 3, 2);
    MODULE21::EditClipboard(0);
    EXPECT_EQ(host->clipboard, "\"\"\"Big\"\" core\"\ta\"b\t\"\"\"\"\"\"\r\n\"\"\"\"\tx\"\t\r\n");
    moveTo(5, 7);
    MODULE21::EditClipboard(2);
    EXPECT_EQ(rowText(7, 7), "\t\t\t\t\"Big\" core\ta\"b\t\"\"");
    EXPECT_EQ(rowText(8, 7), "\t\t\t\t\"\tx\"\t");

    // A file's quotes are its own: opened and saved, it is byte for byte the same.
    const QByteArray file = "Sample #\t\"Name\"\r\n1\t\"Core 1\t2\"\r\n\"3\t\"\"x\"\"\t\"\r\n";
    writeAll(path("quoted.plt"), file);
    CurrentFileName = path("quoted.plt");
    MODULE21::LoadDataFile();
    ASSERT_NE(active(), sheet);
    EXPECT_EQ(cell(3, 2, active()), "2\"");
    ASSERT_TRUE(MODULE21::SaveDataFile());
    EXPECT_EQ(readAll(path("quoted.plt")), file);
}

class RowEditingTest : public CommandsTest {};

TEST_F(RowEditingTest, InsertRowOpensAnEmptyRowAndLosesNothingAtTheEnd) {
    fill({"1", "2", "3", "4", "5", "6"});
    grid().SetText(1, 15000, "last");
    frame->mnuUndo->setEnabled(true);
    moveTo(1, 5);
    MODULE21::InsertGridRow();
    EXPECT_EQ(grid().MaxRows(), 15001);
    EXPECT_EQ(cell(1, 5), "");
    EXPECT_EQ(cell(1, 6), "5");
    EXPECT_EQ(cell(1, 15001), "last");
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(RowEditingTest, DeleteRowMovesTheRowsBelowUpAndMarksTheSheet) {
    fill({"1", "2", "3", "4", "5", "6"});
    moveTo(1, 5);
    MODULE21::DeleteGridRow();
    EXPECT_EQ(grid().MaxRows(), 14999);
    EXPECT_EQ(cell(1, 5), "6");
    EXPECT_EQ(sheet->Record().Modified, -1);
}

TEST_F(RowEditingTest, EditingCommandsDoNothingWithoutADataSheet) {
    sheet->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MODULE21::InsertGridRow();
    MODULE21::DeleteGridRow();
    MODULE21::EditClipboard(0);
    MODULE21::SortBySample();
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_TRUE(frame->mdiArea()->subWindowList().isEmpty());
}

class SortTest : public CommandsTest {
protected:
    // Samples with their number in column 1 and components 1, 1, 1.
    void samples(const QStringList& numbers) {
        QStringList rows{"Sample #\tName\tSym\tCol\tA\tB\tC"};
        for (const QString& n : numbers) rows << n + "\tname" + n + "\t1\t1\t1\t1\t1";
        fill(rows);
    }
    QStringList sortedNumbers(Main1* s) const {
        QStringList out;
        for (int r = 2; !cell(5, r, s).isEmpty(); ++r) out << cell(1, r, s);
        return out;
    }
};

TEST_F(SortTest, NumbersSortNumericallyIntoANewModifiedSheet) {
    samples({"10", "9", "100", "2.5"});
    Main1* source = sheet;
    MODULE21::SortBySample();
    Main1* made = active();
    ASSERT_NE(made, source);
    EXPECT_EQ(sortedNumbers(made), QStringList({"2.5", "9", "10", "100"}));
    EXPECT_EQ(cell(2, 3, made), "name9");
    EXPECT_EQ(rowText(1, 7, made), "Sample #\tName\tSym\tCol\tA\tB\tC");
    EXPECT_EQ(made->Record().Modified, -1);
    EXPECT_EQ(sortedNumbers(source), QStringList({"10", "9", "100", "2.5"}));
}

TEST_F(SortTest, ATextSampleNumberInANumericSortIsASortErrorAndOpensNoSheet) {
    samples({"10", "9", "10a"});
    const auto count = frame->mdiArea()->subWindowList().size();
    MODULE21::SortBySample();
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), count);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Type mismatch in row 4");
    EXPECT_EQ(host->boxes[0].title, "Sort Error");
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

TEST_F(SortTest, NotANumberInfinityOrPastTheFloatRangeIsASortError) {
    for (const QString number : {"nan", "NaN", "inf", "-INF", "+Infinity", "1e39"}) {
        host->boxes.clear();
        samples({"3", number, "1"});
        const auto count = frame->mdiArea()->subWindowList().size();
        MODULE21::SortBySample();
        EXPECT_EQ(frame->mdiArea()->subWindowList().size(), count) << number.toStdString();
        const QString error = number == "1e39" ? "Overflow" : "Type mismatch";
        EXPECT_EQ(boxTexts(), QStringList({error + " in row 3 | Sort Error"}));
    }
}

// A sheet as geologists keep them: more samples than a new sheet's 15,000
// rows, ten elements not analysed in every sample (so the read's columns end
// at 17), data and a heading beyond that, and a last sample whose components
// were not analysed. Both copying commands carry all of it into the new sheet.
TEST_F(SortTest, SortAndConvertCopyEverySampleAndEveryColumnWithData) {
    constexpr int n = 20000;
    grid().setMaxRows(n + 2);
    fill({"Sample #\tName\tSym\tCol\tA\tB\tC"});
    grid().SetText(18, 1, "Rb");
    grid().SetText(20, 1, "Note");
    for (int r = 2; r <= n + 1; ++r) {
        const QString number = QString::number(n + 2 - r);
        for (int c = 1; c <= 7; ++c) grid().SetText(c, r, c == 1 ? number : c == 7 ? "2" : "1");
        grid().SetText(18, r, "rb" + number);
        grid().SetText(20, r, "note" + number);
    }
    grid().SetText(1, n + 2, "20001");
    grid().SetText(5, n + 2, "n.d.");
    struct Case {
        const char* command;
        void (*run)();
        QString firstNumber, componentC;
    };
    const Case cases[] = {
        {"Sort", &MODULE21::SortBySample, "1", "2"},
        {"Convert", [] { FrameCommands::ConvertToCoord(true); }, "20000", "50.00"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.command);
        sheet->SetFocus();
        k.run();
        Main1* made = active();
        ASSERT_NE(made, sheet);
        EXPECT_TRUE(host->boxes.empty());
        EXPECT_EQ(cell(18, 1, made), "Rb");
        EXPECT_EQ(cell(20, 1, made), "Note");
        EXPECT_EQ(rowText(2, 1, made), k.firstNumber);
        EXPECT_EQ(cell(7, 2, made), k.componentC);
        EXPECT_EQ(cell(18, 2, made), "rb" + k.firstNumber);
        EXPECT_EQ(cell(20, 2, made), "note" + k.firstNumber);
        const QString last = QString::number(n + 1 - k.firstNumber.toInt());
        EXPECT_EQ(cell(1, n + 1, made), last);
        EXPECT_EQ(cell(20, n + 1, made), "note" + last);
        EXPECT_EQ(rowText(n + 2, 7, made), "20001\t\t\t\tn.d.\t\t");
        EXPECT_EQ(made->Record().Modified, -1);
    }
}

// Samples whose components are empty, "n.d." or not in the sheet at all are
// samples like the others: Sort orders them, Convert leaves their cells as
// they are. A wholly empty row is left out; an empty sample number stops a
// numeric sort, naming its row, and no sheet is opened.
TEST_F(SortTest, SortAndConvertKeepSamplesWithoutComponents) {
    struct Case {
        const char* sheet;
        QStringList rows, sorted, converted;  // sorted holds the box instead when Sort stops
    };
    const QString c1 = "3\tc\t1\t1\t1\t1\t2", c2 = "2\tb\t1\t1\t2\t1\t1";
    const QString c1Converted = "3\tc\t1\t1\t25.00\t25.00\t50.00", c2Converted = "2\tb\t1\t1\t50.00\t25.00\t25.00";
    const Case cases[] = {
        {"components empty", {c1, "1\ta\t\t\t\t\t", c2}, {"1\ta\t\t\t\t\t", c2, c1},
         {c1Converted, "1\ta\t\t\t\t\t", c2Converted}},
        {"components n.d.", {c1, "1\ta\t1\t1\tn.d.\t<0.1\t0", c2}, {"1\ta\t1\t1\tn.d.\t<0.1\t0", c2, c1},
         {c1Converted, "1\ta\t1\t1\tn.d.\t<0.1\t0", c2Converted}},
        {"no component columns", {"30\tx\t12\t\t\t\t", "10\ty\t7\t\t\t\t", "20\tz\t9\t\t\t\t"},
         {"10\ty\t7\t\t\t\t", "20\tz\t9\t\t\t\t", "30\tx\t12\t\t\t\t"},
         {"30\tx\t12\t\t\t\t", "10\ty\t7\t\t\t\t", "20\tz\t9\t\t\t\t"}},
        {"a wholly empty row", {c1, "", c2}, {c2, c1}, {c1Converted, c2Converted}},
        {"an empty sample number", {c1, "\tnote\t\t\t\t\t", c2}, {"Type mismatch in row 3 | Sort Error"},
         {c1Converted, "\tnote\t\t\t\t\t", c2Converted}},
    };
    // The rows of a sheet from row 2 down to its first empty row.
    const auto rowsOf = [this](Main1* s) {
        QStringList out;
        for (int r = 2; !rowText(r, 7, s).remove(u'\t').isEmpty(); ++r) out << rowText(r, 7, s);
        return out;
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.sheet);
        MODULE21::NewDataWindow();
        Main1* source = active();
        fill(QStringList{"S\tName\tSym\tCol\tA\tB\tC"} + k.rows, source);
        host->boxes.clear();
        MODULE21::SortBySample();
        if (k.sorted.size() == 1 && k.sorted[0].contains("Sort Error")) {
            EXPECT_EQ(active(), source);
            EXPECT_EQ(boxTexts(), k.sorted);
        } else {
            ASSERT_NE(active(), source);
            EXPECT_EQ(rowsOf(active()), k.sorted);
            EXPECT_TRUE(host->boxes.empty());
        }
        host->boxes.clear();
        source->SetFocus();
        FrameCommands::ConvertToCoord(true);
        ASSERT_NE(active(), source);
        EXPECT_EQ(rowsOf(active()), k.converted);
        EXPECT_TRUE(host->boxes.empty());
    }
}

TEST_F(SortTest, AFirstSampleWithoutANumberSortsByCharacterCodes) {
    samples({"A3", "a1", "A10", "B2", "", "10"});
    MODULE21::SortBySample();
    EXPECT_EQ(sortedNumbers(active()), QStringList({"", "10", "A10", "A3", "B2", "a1"}));
}

TEST_F(SortTest, EqualNumbersKeepTheirOrder) {
    QStringList rows{"S\tN\tSym\tCol\tA\tB\tC"};
    rows << "2\tfirst\t1\t1\t1\t1\t1" << "1\tx\t1\t1\t1\t1\t1" << "2\tsecond\t1\t1\t1\t1\t1";
    fill(rows);
    MODULE21::SortBySample();
    EXPECT_EQ(cell(2, 3, active()), "first");
    EXPECT_EQ(cell(2, 4, active()), "second");
}

TEST_F(SortTest, AnEmptySheetGivesAnEmptyNewSheet) {
    MODULE21::SortBySample();
    EXPECT_NE(active(), sheet);
    EXPECT_TRUE(host->boxes.empty());
}
