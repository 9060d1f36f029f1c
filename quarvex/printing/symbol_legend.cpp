#include "quarvex/printing/graph_print.h"

#include "quarvex/runtime/printer.h"

namespace quarvex::printing {

void ListUsedSymbols(PrintedGraph& g) {
    LegendList& list = g.LegendSymbols;
    list.count = 0;
    list.glyphCode.assign(1, 0);
    list.symbolNumber.assign(1, 0);
    for (int s = 1; s <= 20; ++s) {
        for (int i = 1; i <= g.SampleCount; ++i) {
            if (g.SampleSymbol[size_t(i)] != s) continue;
            ++list.count;
            list.symbolNumber.push_back(static_cast<int16_t>(s));
            list.glyphCode.push_back(g.SampleSymbolChar[size_t(i)]);
            list.description[size_t(list.count)] = g.SymbolDescriptions[size_t(s)];
            break;
        }
    }
}

// All rows go on the one page; at most 20 rows of 9.75 points fit an A4
// page with room to spare, so the page never needs to break. The page sets
// italic off with its other font properties: it is the same legend whatever
// the last text label printed before it.
void PrintSymbolLegend(PrintedGraph& g) {
    qvrt::PrinterSurface& p = qvrt::Printer();
    const LegendList& list = g.LegendSymbols;
    p.NewPage();
    p.SetForeColor(0);
    p.Scale(0, 0, 100, 100);
    p.SetFontName(QStringLiteral("Arial"));
    p.SetFontBold(true);
    p.SetFontItalic(false);
    p.SetFontSize(14);
    const QString title = QStringLiteral("Symbol Legend");
    p.SetCurrentY(10);
    p.SetCurrentX(50 - p.TextWidth(title) / 2);
    p.Print(title);
    double y = 0;
    p.SetFontSize(9.75);
    for (int r = 1; r <= list.count; ++r) {
        p.SetFontName(list.symbolNumber[size_t(r)] >= 3 ? QStringLiteral("Wingdings") : QStringLiteral("Symbol"));
        p.SetFontBold(true);
        p.SetFontSize(9.75);
        p.SetCurrentX(10);
        p.SetCurrentY(y + 15);
        p.Print(GlyphText(list.glyphCode[size_t(r)]));
        p.SetCurrentX(13);
        p.SetCurrentY(y + 15);
        p.SetFontSize(9.75);
        y += p.TextHeight(QStringLiteral("1")) + 1;
        p.SetFontName(QStringLiteral("Arial"));
        p.SetFontBold(false);
        p.Print(list.description[size_t(r)]);
    }
}

}  // namespace quarvex::printing
