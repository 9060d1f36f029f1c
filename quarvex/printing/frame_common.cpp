#include "quarvex/printing/frame_common.h"

#include "quarvex/printing/graph_print.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/printer.h"

#include <stdexcept>

namespace quarvex::printing {

namespace {

size_t centringIndex(int symbol) {
    if (symbol < 0 || symbol > 19) qvrt::Raise(qvrt::ErrSubscript);
    return size_t(symbol);
}

}  // namespace

float CentringV(const PrintedGraph& g, int symbol) { return g.SymbolCentringV[centringIndex(symbol)]; }
float CentringH(const PrintedGraph& g, int symbol) { return g.SymbolCentringH[centringIndex(symbol)]; }

void PrintSampleGlyphs(PrintedGraph& g, qvrt::PrinterSurface& p) {
    const QString symbolFont = QStringLiteral("Symbol"), wingdings = QStringLiteral("Wingdings");
    for (int s = 1; s <= g.SampleCount; ++s) {
        const int k = g.SampleSymbol[size_t(s)];
        p.SetFontName(k < 3 ? symbolFont : wingdings);
        p.SetFontBold(false);
        p.SetFontSize(9.75);
        p.SetCurrentX(double(g.PointX[size_t(s)]) - double(CentringH(g, k)));
        p.SetCurrentY(double(g.PointY[size_t(s)]) + double(CentringV(g, k)));
        p.SetForeColor(PrinterColor(g.SampleColour[size_t(s)]));
        p.Print(GlyphText(g.SampleSymbolChar[size_t(s)]));
    }
}

void PrintSampleNumbers(const PrintedGraph& g, qvrt::PrinterSurface& p, bool below) {
    if (g.ShowSampleNumbers != -1) return;
    for (int s = 1; s <= g.SampleCount; ++s) {
        const int k = g.SampleSymbol[size_t(s)];
        const double v = CentringV(g, k);
        p.SetCurrentX(double(g.PointX[size_t(s)]) + double(CentringH(g, k)));
        p.SetCurrentY(double(g.PointY[size_t(s)]) + (below ? -v : v));
        p.Print(g.SampleLabel[size_t(s)]);
    }
}

void PrintSampleMarks(const PrintedGraph& g, qvrt::PrinterSurface& p, uint32_t axes, bool below) {
    p.SetFontName(QStringLiteral("Arial"));
    p.SetFontSize(6);
    p.SetFontBold(false);
    p.SetForeColor(axes);
    PrintSampleNumbers(g, p, below);
    PrintPointLabels(g, p);
}

void PrintPointLabels(const PrintedGraph& g, qvrt::PrinterSurface& p) {
    for (size_t i = 1; i < g.PointLabelList.size(); ++i) {
        const PrintPointLabel& label = g.PointLabelList[i];
        p.SetCurrentX(static_cast<float>(label.x));
        p.SetCurrentY(static_cast<float>(label.y));
        p.SetForeColor(static_cast<uint32_t>(label.color));
        p.Print(label.text);
    }
}

void RunFrame(const PrintedGraph& g, const std::function<void()>& body) {
    int number = 0;
    QString text;
    try {
        body();
        return;
    } catch (const qvrt::RuntimeError& e) {
        number = e.number();
        text = QString::fromStdString(e.description());
    } catch (const std::domain_error&) {
        number = qvrt::ErrDivisionByZero;
        text = QString::fromStdString(qvrt::ErrorText(number));
    }
    if (number == qvrt::ErrInvalidProperty)
        qvrt::host().MsgBox(g.TextFont + QStringLiteral(" is not available for drawing.  Select a new font"),
                            qvrt::vbExclamation, QStringLiteral("Font Error"));
    else
        qvrt::host().MsgBox(text, qvrt::vbExclamation, QStringLiteral("Plotting Error"));
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

}  // namespace quarvex::printing
