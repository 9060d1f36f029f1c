// A whole graph-window redraw of a QAPF-Plutonic diagram (diamond frame,
// grid, 1,999 samples, every segment, letter and key row) beside the same
// redraw with the field lines and letters off.
// Run: QT_QPA_PLATFORM=offscreen build/bench/overlays/bench_graph_redraw
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/overlaydraw/graph_overlays.h"
#include "quarvex/runtime/painter_surface.h"
#include "quarvex/state/reset.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

double MedianMs(quarvex::Graph2& g, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        g.RedrawGraph();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::nth_element(ms.begin(), ms.begin() + runs / 2, ms.end());
    return ms[size_t(runs / 2)];
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quarvex::ResetProgramState();
    quarvex::InstallGraphOverlays();
    quarvex::Graph2 g;
    g.InitSymbolTable();
    g.DiagramType = QStringLiteral("QAPF-Plutonic");
    g.AxesColor = 0x800000;
    g.TitleFont = {QStringLiteral("Arial"), 1, 12, 0, 0};
    g.AxesTFont = {QStringLiteral("Arial"), 0, 10, 0, 0};
    g.ShowGrid = -1;
    g.Grid3->SetCols(2);

    constexpr int n = 1999;
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pct(0, 100);
    for (auto* v : {&g.SampleX, &g.SampleY, &g.SampleZ, &g.SampleF, &g.SamplePlagRatio, &g.SampleColour})
        v->assign(n + 1, 0.0f);
    g.SampleSymbol.assign(n + 1, 0);
    g.SampleSymbolChar.assign(n + 1, 0);
    g.SampleLabel.assign(n + 1, QString());
    for (int i = 1; i <= n; ++i) {
        const float q = pct(rng) * 0.5f, a = pct(rng) * 0.5f;
        g.SampleX[size_t(i)] = q;
        g.SampleY[size_t(i)] = a;
        g.SampleZ[size_t(i)] = 100 - q - a;
        g.SampleF[size_t(i)] = i % 2 ? 0 : q;
        g.SamplePlagRatio[size_t(i)] = pct(rng);
        g.SampleSymbol[size_t(i)] = int16_t(1 + i % 14);
        g.SampleColour[size_t(i)] = float(1 + i % 14);
        g.SampleLabel[size_t(i)] = QString::number(i).leftJustified(12);
    }
    g.SampleCount = n;
    for (int i = 1; i <= n; ++i) g.AssignSymbolChars(i);
    g.Picture1->resize(400, 400);

    g.ShowFieldLines = g.ShowFieldLetters = 0;
    const double frameOnly = MedianMs(g, 30);
    g.ShowFieldLines = g.ShowFieldLetters = -1;
    const double full = MedianMs(g, 30);
    quarvex::Graph2Seams() = {};
    const double noOverlay = MedianMs(g, 30);
    std::printf("QAPF-Plutonic redraw, 1999 samples, grid on, 400x400 picture\n");
    std::printf("  lines and letters off (frame, samples, key rows): %8.2f ms\n", frameOnly);
    std::printf("  lines and letters on (every segment and letter):  %8.2f ms\n", full);
    std::printf("  frame and samples alone, no overlay:             %8.2f ms\n", noOverlay);
    return 0;
}
