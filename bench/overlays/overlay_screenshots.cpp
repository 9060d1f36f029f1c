// Writes one picture per classification diagram: a graph window with a few
// samples and its field lines and letters on, for looking at by eye.
// Run: xvfb-run -a build/bench/overlays/overlay_screenshots <folder>
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/overlaydraw/graph_overlays.h"
#include "quarvex/overlays/overlay_table.h"
#include "quarvex/runtime/painter_surface.h"
#include "quarvex/state/reset.h"

#include <QApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    quarvex::ResetProgramState();
    quarvex::InstallGraphOverlays();
    for (const quarvex::overlays::Diagram* d : quarvex::overlays::AllDiagrams()) {
        quarvex::Graph2 g;
        g.InitSymbolTable();
        g.DiagramType = QString::fromLatin1(d->type);
        g.AxesColor = 0x800000;
        g.TitleFont = {QStringLiteral("Arial"), 1, 12, 0, 0};
        g.AxesTFont = {QStringLiteral("Arial"), 0, 10, 0, 0};
        g.DiagramTitle = g.DiagramType;
        for (int k = 1; k <= 4; ++k) g.AxisLabels[size_t(k)] = QStringLiteral("C%1").arg(k);
        const float xs[] = {20, 50, 10, 33, 5}, ys[] = {60, 20, 10, 33, 80}, fs[] = {0, 0, 30, 10, 0};
        const float tasX[] = {45, 55, 62, 70, 50}, tasY[] = {3, 6, 9, 10, 12};
        const int n = 5;
        for (auto* v : {&g.SampleX, &g.SampleY, &g.SampleZ, &g.SampleF, &g.SamplePlagRatio, &g.SampleColour})
            v->assign(n + 1, 0.0f);
        g.SampleSymbol.assign(n + 1, 0);
        g.SampleSymbolChar.assign(n + 1, 0);
        g.SampleLabel.assign(n + 1, QString());
        const bool tas = g.DiagramType == QStringLiteral("TAS-Volcanic");
        for (int i = 1; i <= n; ++i) {
            const size_t k = size_t(i);
            g.SampleX[k] = tas ? tasX[i - 1] : xs[i - 1];
            g.SampleY[k] = tas ? tasY[i - 1] : ys[i - 1];
            g.SampleZ[k] = 100 - xs[i - 1] - ys[i - 1];
            g.SampleF[k] = fs[i - 1];
            g.SamplePlagRatio[k] = float(20 * i - 10);
            g.SampleSymbol[k] = int16_t(i + 2);
            g.SampleLabel[k] = QString::number(i).leftJustified(12);
            g.AssignSymbolChars(i);
        }
        g.SampleCount = n;
        g.Grid3->SetCols(2);
        g.Grid3->SetRows(10);
        g.Grid3->SetFixedRows(1);
        g.Grid3->SetColWidth(0, 390);
        g.Grid3->SetColWidth(1, 5460);
        g.Grid3->SetTextMatrix(0, 1, QStringLiteral("Rockname"));
        g.ShowFieldLines = g.ShowFieldLetters = -1;
        g.resize(900, 520);
        g.show();
        g.Picture2->show();
        g.Grid3->show();
        app.processEvents();
        g.RedrawGraph();
        app.processEvents();
        const QString file = folder + QLatin1Char('/') + g.DiagramType + QStringLiteral(".png");
        g.grab().save(file);
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
