// The sparse cell store under the grid: texts by column and row, row moves
// and the tab-delimited file text.
#include "quarvex/runtime/spread_grid_cells.h"

#include <gtest/gtest.h>

#include <string>

namespace qvrt {
namespace {

using namespace std::string_view_literals;

TEST(GridCells, KeepsEachCellsTextApartFromItsNeighbours) {
    GridCells cells(50, 100);
    cells.set(3, 7, "abc");
    cells.set(1, 7, "x");
    cells.set(50, 7, "last");
    cells.set(3, 8, "below");
    EXPECT_EQ(cells.get(3, 7), "abc");
    EXPECT_EQ(cells.get(1, 7), "x");
    EXPECT_EQ(cells.get(50, 7), "last");
    EXPECT_EQ(cells.get(2, 7), "");
    EXPECT_EQ(cells.get(3, 8), "below");
    EXPECT_EQ(cells.count(), 4);
}

TEST(GridCells, OverwritingAndEmptyingACellLeavesNoTrace) {
    GridCells cells(50, 10);
    cells.set(2, 2, "first");
    const std::string longText(20000, 'q');  // needs a three-byte length
    cells.set(2, 2, longText);
    cells.set(3, 2, "after");
    EXPECT_EQ(cells.get(2, 2), longText);
    EXPECT_EQ(cells.get(3, 2), "after");
    cells.set(3, 2, "");
    cells.set(2, 2, "");
    EXPECT_EQ(cells.get(2, 2), "");
    EXPECT_EQ(cells.count(), 0);
    EXPECT_EQ(cells.lastUsedRow(), 0);
}

TEST(GridCells, KeepsEveryByteValueIncludingNulAndHighBytes) {
    GridCells cells(5, 5);
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\t' && b != '\r' && b != '\n') all.push_back(static_cast<char>(b));
    cells.set(2, 3, all);
    EXPECT_EQ(cells.get(2, 3), all);
}

TEST(GridCells, ARunOfFieldsIsCutAtTheLastColumn) {
    GridCells cells(3, 5);
    cells.set(1, 2, "keep");
    cells.setRun(2, 2, {"a"sv, "b"sv, "c"sv, "d"sv});
    EXPECT_EQ(cells.get(1, 2), "keep");
    EXPECT_EQ(cells.get(2, 2), "a");
    EXPECT_EQ(cells.get(3, 2), "b");
    EXPECT_EQ(cells.count(), 3);
}

TEST(GridCells, ARunMayCopyACellOfItsOwnRow) {
    GridCells cells(5, 2);
    cells.set(1, 1, "source");
    cells.set(3, 1, "other");
    const std::string_view src = cells.get(1, 1);
    cells.setRun(1, 2, {src});
    EXPECT_EQ(cells.get(2, 1), "source");
    EXPECT_EQ(cells.get(3, 1), "other");
}

TEST(GridCells, InsertingAndRemovingRowsMoveTheRowsBelowAndKeepTheRowCount) {
    GridCells cells(2, 4);
    for (int r = 1; r <= 4; ++r) cells.set(1, r, std::to_string(r));
    cells.insertRow(2);  // 1, -, 2, 3: row 4 dropped off the end
    EXPECT_EQ(cells.rows(), 4);
    EXPECT_EQ(cells.get(1, 2), "");
    EXPECT_EQ(cells.get(1, 4), "3");
    cells.removeRow(1);  // -, 2, 3, -
    EXPECT_EQ(cells.rows(), 4);
    EXPECT_EQ(cells.get(1, 2), "2");
    EXPECT_EQ(cells.get(1, 4), "");
}

TEST(GridCells, ShrinkingDropsTheTextsOfTheLostRowsAndColumns) {
    GridCells cells(5, 5);
    cells.set(5, 1, "col5");
    cells.set(1, 5, "row5");
    cells.setCols(4);
    cells.setRows(4);
    cells.setCols(5);
    cells.setRows(5);
    EXPECT_EQ(cells.get(5, 1), "");
    EXPECT_EQ(cells.get(1, 5), "");
}

TEST(GridCells, FileTextHasOneCrLfLinePerRowWithoutTrailingEmptyCellsOrRows) {
    GridCells cells(50, 15000);
    cells.set(1, 1, "SiO2");
    cells.set(3, 1, "MgO");
    cells.set(2, 2, "\xe9\x80");
    cells.set(50, 4, "z");
    EXPECT_EQ(cells.tabText().toStdString(),
              "SiO2\t\tMgO\r\n"
              "\t\xe9\x80\r\n"
              "\r\n" +
                  std::string(49, '\t') + "z\r\n");
}

TEST(GridCells, AnEmptySheetHasEmptyFileText) {
    GridCells cells(50, 15000);
    EXPECT_TRUE(cells.tabText().isEmpty());
}

// A save compares the cells with the file only once their count of
// changes has moved: every change of what the grid holds must move it.
TEST(GridCells, EveryChangeMovesTheCountOfChangesAndReadingDoesNot) {
    using Change = void (*)(GridCells&);
    int kind = 0;
    for (const Change change : {+[](GridCells& c) { c.set(1, 1, ""); }, +[](GridCells& c) { c.setRun(3, 1, {"a"sv}); },
                                +[](GridCells& c) { c.clear(1, 1, 5, 5); }, +[](GridCells& c) { c.insertRow(1); },
                                +[](GridCells& c) { c.removeRow(1); }, +[](GridCells& c) { c.setRows(5); },
                                +[](GridCells& c) { c.setCols(11); }}) {
        SCOPED_TRACE(++kind);
        GridCells cells(10, 10);
        cells.set(1, 1, "a");
        const quint64 before = cells.changes();
        cells.setRows(10);
        cells.setCols(10);
        (void)cells.tabText(true);
        EXPECT_EQ(cells.changes(), before);
        change(cells);
        EXPECT_NE(cells.changes(), before);
    }
}

// Only cells still as read keep their bytes in UTF-8 (here every such cell
// may: "\xC3\xA9" is then "é", else "Ã©"); the rows changed since the
// watch tell whether the cells were put back, rows inserted that nobody knows.
TEST(GridCells, CellsWrittenSinceTheReadLoseTheirBytesAndPutBackCellsAreTheSame) {
    using Watch = GridCells::SinceWatch;
    const struct {
        void (*change)(GridCells&);
        std::string text;
        Watch since;
    } cases[] = {
        {[](GridCells&) {}, "\xC3\xA9\tx\n\xC3\xA9\n", Watch::Same},
        {[](GridCells& c) { c.set(1, 1, "\xC3\xA9"); }, "\xC3\x83\xC2\xA9\tx\n\xC3\xA9\n", Watch::Same},
        {[](GridCells& c) { c.setRun(1, 2, {"\xC3\xA9"sv}); }, "\xC3\xA9\t\xC3\x83\xC2\xA9\n\xC3\xA9\n", Watch::Changed},
        {[](GridCells& c) { c.clear(2, 1, 2, 1); }, "\xC3\xA9\n\xC3\xA9\n", Watch::Changed},
        {[](GridCells& c) { c.set(2, 3, "y"), c.clear(1, 3, 5, 3); }, "\xC3\xA9\tx\n\xC3\xA9\n", Watch::Same},
        {[](GridCells& c) { c.insertRow(1); }, "\n\xC3\xA9\tx\n\xC3\xA9\n", Watch::Unknown},
        {[](GridCells& c) { c.set(1, 5, "y"), c.setRows(4); }, "\xC3\xA9\tx\n\xC3\xA9\n", Watch::Same},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        GridCells cells(5, 5);
        cells.setReading(true);
        cells.setRun(1, 1, {"\xC3\xA9"sv, "x"sv});
        cells.set(1, 2, "\xC3\xA9");
        cells.setReading(false);
        cells.watch(true);
        c.change(cells);
        EXPECT_EQ(cells.tabText(true, "\n", nullptr, [](std::string_view) { return true; }).toStdString(), c.text);
        EXPECT_EQ(cells.sinceWatch(), c.since);
    }
}

}  // namespace
}  // namespace qvrt
