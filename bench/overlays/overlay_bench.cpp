// Screen overlay drawing on a graph-window-sized picture: every segment and
// letter and the key rows, for QAPF-Plutonic and for every diagram.
// Run: QT_QPA_PLATFORM=offscreen build/bench/overlays/bench_overlays
#include "quarvex/overlaydraw/field_overlay.h"
#include "quarvex/overlays/overlay_table.h"
#include "quarvex/runtime/painter_surface.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// Keeps the texts as a grid model would, without a view.
class KeySink : public quarvex::FieldKeyTable {
public:
    void SetRows(int rows) override { cells.resize(size_t(rows) * 2); }
    void SetHeight(int) override {}
    void SetText(int row, int col, const QString& text) override {
        const size_t i = size_t(row) * 2 + size_t(col);
        if (i < cells.size()) cells[i] = text;
    }
    void SetLeft(double) override {}
    void SetTop(double) override {}
    std::vector<QString> cells;
};

template <class F>
double MedianMs(int runs, F&& body) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        body();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    std::nth_element(ms.begin(), ms.begin() + runs / 2, ms.end());
    return ms[size_t(runs / 2)];
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qvrt::PictureSurface picture(QSize(760, 560));
    KeySink keys;
    const quarvex::OverlayTarget target{picture, keys, 0, -1, -1};

    picture.Scale(-20, -120, 120, 120);  // the diamond frame's user units
    const double qapf = MedianMs(200, [&] {
        picture.Cls();
        quarvex::DrawFieldsQAPFPlutonic(target);
    });
    std::printf("%-22s %8.3f ms  (Cls + 16 segments, 27 letters, 39 key rows)\n", "QAPF-Plutonic", qapf);

    for (const quarvex::overlays::Diagram* d : quarvex::overlays::AllDiagrams()) {
        const double ms = MedianMs(100, [&] {
            picture.Cls();
            quarvex::DrawScreenOverlay(*d, target);
        });
        std::printf("%-22s %8.3f ms\n", d->type, ms);
    }
    return 0;
}
