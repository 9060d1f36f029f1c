// Speed and size of the sheet grid: an empty sheet, a 15,000 x 50 fill,
// loading and saving 15,000 x 25 through the block text, scrolling to the
// end and typing into a cell. Run by hand: bench_grid (offscreen by default).
#include "quarvex/runtime/spread_grid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <malloc.h>

using qvrt::SpreadGrid;

namespace {

size_t heapInUse() { return mallinfo2().uordblks; }

double ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

QString lineOf(int row, int cols) {
    QStringList fields;
    for (int c = 1; c <= cols; ++c) fields << QString::number(row * 0.37 + c, 'f', 3);
    return fields.join('\t');
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);

    const size_t before = heapInUse();
    auto* empty = new SpreadGrid;
    std::printf("empty 50 x 15000 sheet: %.2f MB of heap\n", (heapInUse() - before) / 1e6);
    delete empty;

    SpreadGrid grid;
    grid.resize(900, 600);
    grid.show();
    QCoreApplication::processEvents();

    QElapsedTimer t;
    t.start();
    grid.setReDraw(false);
    for (int r = 1; r <= 15000; ++r)
        for (int c = 1; c <= 50; ++c) grid.SetText(c, r, QString::number(r * 100 + c));
    grid.setReDraw(true);
    std::printf("fill 15000 x 50 cell by cell (SetText): %.1f ms\n", ms(t));
    std::printf("  heap with 750,000 cells: %.2f MB\n", (heapInUse() - before) / 1e6);

    // A load: one block assignment per line, as the sheets open a file.
    std::vector<QString> lines;
    for (int r = 1; r <= 15000; ++r) lines.push_back(lineOf(r, 25));
    SpreadGrid loaded;
    t.restart();
    loaded.setReDraw(false);
    for (int r = 1; r <= 15000; ++r) {
        loaded.setRow(r);
        loaded.setRow2(r);
        loaded.setCol(1);
        loaded.setCol2(50);
        loaded.setClip(lines[static_cast<size_t>(r - 1)]);
    }
    loaded.setReDraw(true);
    std::printf("load 15000 x 25 by Clip per line: %.1f ms\n", ms(t));
    t.restart();
    const QByteArray file = loaded.TabFileBytes();
    std::printf("save text 15000 x 25 (TabFileBytes, %lld bytes): %.1f ms\n", static_cast<long long>(file.size()), ms(t));
    t.restart();
    int nonEmpty = 0;
    for (int r = 1; r <= 15000; ++r)
        for (int c = 1; c <= 25; ++c) nonEmpty += !loaded.GetText(c, r).isEmpty();
    std::printf("read 15000 x 25 cell by cell (GetText): %.1f ms (%d cells)\n", ms(t), nonEmpty);

    QAbstractItemView* view = grid.view();
    t.restart();
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    view->viewport()->repaint();
    std::printf("scroll to the end and paint: %.2f ms\n", ms(t));
    t.restart();
    for (int i = 0; i < 100; ++i) {
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() * i / 100);
        view->viewport()->repaint();
    }
    std::printf("100 scroll steps with a paint each: %.2f ms per step\n", ms(t) / 100);

    grid.setCol(50);
    grid.setRow(15000);
    grid.setAction(0);
    view->setFocus();
    QCoreApplication::processEvents();
    t.restart();
    for (const char* k = "123.45"; *k; ++k) QTest::keyClick(QApplication::focusWidget(), *k);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    std::printf("type \"123.45\" and Enter in cell (50, 15000): %.2f ms, cell now \"%s\"\n", ms(t),
                qPrintable(grid.GetText(50, 15000)));
    // A file longer than a new sheet raises MaxRows once per extra line.
    SpreadGrid longer;
    longer.show();
    t.restart();
    longer.setReDraw(false);
    for (int r = 1; r <= 30000; ++r) {
        if (r > 15000) longer.setMaxRows(r);
        longer.setRow(r);
        longer.setRow2(r);
        longer.setCol(1);
        longer.setCol2(50);
        longer.setClip(lines[static_cast<size_t>((r - 1) % 15000)]);
    }
    longer.setReDraw(true);
    QCoreApplication::processEvents();
    std::printf("load 30000 x 25, growing row by row past 15000: %.1f ms\n", ms(t));

    // A one-megabyte cell (a file line without tabs) in view.
    longer.SetText(1, 1, QString(1 << 20, u'7'));
    longer.view()->scrollToTop();
    t.restart();
    longer.view()->viewport()->repaint();
    std::printf("paint with a 1 MB cell in view: %.2f ms\n", ms(t));

    t.restart();
    grid.setRow(2);
    grid.setMaxRows(grid.MaxRows() + 1);
    grid.setAction(SpreadGrid::ActionInsertRow);
    std::printf("insert a row at row 2 of 15001: %.2f ms\n", ms(t));
    return 0;
}
