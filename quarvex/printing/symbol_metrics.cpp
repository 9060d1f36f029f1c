#include "quarvex/printing/graph_print.h"

#include "quarvex/runtime/printer.h"

#include <array>

namespace quarvex::printing {

namespace {

// Glyph codes of symbol numbers 1 to 14; 1 and 2 are "Symbol" characters,
// the rest "Wingdings" ones.
constexpr std::array<int, 15> kSymbolChars = {0, 196, 197, 117, 164, 165, 171, 173, 176, 177, 181, 178, 120, 179, 119};

void measure(PrintedGraph& g, qvrt::PrinterSurface& p, int first, int last) {
    for (int n = first; n <= last; ++n) {
        const QString glyph = GlyphText(kSymbolChars[size_t(n)]);
        g.SymbolCentringV[size_t(n)] = static_cast<float>(-p.TextHeight(glyph) / 2);
        g.SymbolCentringH[size_t(n)] = static_cast<float>(p.TextWidth(glyph) / 2);
    }
}

void glyphFont(qvrt::PrinterSurface& p, const QString& name) {
    p.SetFontSize(9.75);
    p.SetFontName(name);
    p.SetFontSize(9.75);
    p.SetFontBold(false);
}

}  // namespace

void MeasurePrinterSymbols(PrintedGraph& g) {
    qvrt::PrinterSurface& p = qvrt::Printer();
    glyphFont(p, QStringLiteral("Symbol"));
    measure(g, p, 1, 2);
    glyphFont(p, QStringLiteral("WingDings"));
    measure(g, p, 3, 14);
}

}  // namespace quarvex::printing
