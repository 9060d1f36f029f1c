#include "quarvex/graph/plot_launcher.h"

#include "quarvex/graph/frame_access.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/graphcore/xy_filter.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/graph_state.h"
#include "quarvex/state/window_tables.h"

namespace MODULE21 {

using namespace quarvex;

void FilterXYRange() {
    auto at = [](const SampleArray& a, int i) { return i <= a.Bound() ? a(i) : 0.0f; };
    const int kept = MODULE21::FilterXYRange(
        SampleCount, {ScaleMinX, ScaleMaxX, ScaleMinY, ScaleMaxY}, [&](int i) { return at(XValues, i); },
        [&](int i) { return at(YValues, i); },
        [&](int from, int to) {
            for (SampleArray* a : {&XValues, &YValues, &ZValues, &FValues, &SampleSymbols, &SampleColors, &PlagRatio})
                if (from <= a->Bound()) (*a)(to) = (*a)(from);
            if (from <= DataTable.SampleBound()) DataTable.CopySample(from, to);
        });
    SampleCount = static_cast<int16_t>(kept);
}

void PlotActiveData() {
    qvrt::host().SetMousePointer(qvrt::vbHourglass);
    try {
        SheetCaption = ActiveCaption();
        if (PlotFromMemory == 0) {
            ReadActiveGrid();
            if (LastReadFailed) {
                qvrt::host().SetMousePointer(qvrt::vbDefault);
                return;
            }
            const QString kind = ActiveSheetKind();
            const bool xy = kind == QStringLiteral("XY Plot") || kind == QStringLiteral("TAS-Volcanic");
            if (!NoDecimalCommas({XCol, YCol, ZCol, xy ? 0 : ZCol + 1, SymbolCol, ColorCol},
                                 QStringLiteral("Plotting Error")))
                return;
            if (SampleCount < 1) {
                qvrt::host().MsgBox(QStringLiteral("  Insufficient data to proceed."), qvrt::vbExclamation,
                                    QStringLiteral("Bad Data Error"));
                qvrt::host().SetMousePointer(qvrt::vbDefault);
                return;
            }
            if (kind == QStringLiteral("XY Plot")) {
                if (AutoScale == 0) FilterXYRange();
                if (SampleCount <= 0) {
                    qvrt::host().MsgBox(QStringLiteral("Insufficient data points to plot"), qvrt::vbExclamation,
                                        QStringLiteral("Plotting Error"));
                    qvrt::host().SetMousePointer(qvrt::vbDefault);
                    return;
                }
            }
            if (kind != QStringLiteral("XY Plot") && kind != QStringLiteral("TAS-Volcanic")) NormalizeQAPF();
        }
        // Indices are 16-bit: the window past the last one is an overflow.
        if (GraphWindows.size() > 32767) qvrt::Raise(qvrt::ErrOverflow);
        GraphCount = static_cast<int16_t>(GraphWindows.size());
        GraphWindows.resize(static_cast<size_t>(GraphCount) + 1);
        auto* graph = new Graph2;
        GraphWindows[static_cast<size_t>(GraphCount)] = graph;
        // Creation reads the sheet's kind and caption while the sheet is
        // still the active child; the window joins the frame afterwards.
        if (graph->Form_Load()) {
            AddToFrame(graph);
            graph->show();
        }
    } catch (const std::exception& e) {
        qvrt::host().MsgBox(QString::fromStdString(e.what()) + QStringLiteral("Check Data"), qvrt::vbExclamation,
                            QStringLiteral("Plotting Error"));
    }
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

}  // namespace MODULE21
