// Sample symbols: the glyph-code table, each sample's colour and the
// offsets that centre a glyph on its point.
#include "quarvex/graph/graph2.h"

#include "quarvex/runtime/surface.h"
#include "quarvex/state/data_table.h"

namespace quarvex {

namespace {

// Plot symbols 1 and 2 are "Symbol" characters, 3 to 14 "Wingdings" ones.
constexpr std::array<int16_t, 14> kSymbolCodes{196, 197, 117, 164, 165, 171, 173, 176, 177, 181, 178, 120, 179, 119};

// Colour value of a sample whose colour number is outside the palette.
constexpr float kOutOfRangeColour = 5;

}  // namespace

void Graph2::InitSymbolTable() {
    for (size_t s = 1; s <= 14; ++s) SymbolChars[s] = kSymbolCodes[s - 1];
}

void Graph2::AssignSymbolChars(int i) {
    const int k = SampleSymbol.at(size_t(i));
    if (k >= 1 && k <= 14) SampleSymbolChar.at(size_t(i)) = kSymbolCodes[size_t(k - 1)];
}

void Graph2::AssignSampleColours() {
    SampleColour.assign(1, 0.0f);
    SampleColour.reserve(size_t(SampleCount) + 1);
    for (int i = 1; i <= SampleCount; ++i) {
        SampleColour.push_back(0.0f);
        const float n = SampleColors(i);
        if (n < 1 || n > 14) SampleColour[size_t(i)] = kOutOfRangeColour;
        // Colour 15 is tested too and takes palette entry 15, which is never
        // set: it draws black. A fractional number matches nothing (black).
        for (int k = 1; k <= 15; ++k) {
            if (n == float(k)) SampleColour[size_t(i)] = static_cast<float>(ColorPalette[size_t(k)]);
        }
    }
}

void Graph2::MeasureSymbols() {
    qvrt::Surface& p = Picture();
    auto measure = [&](const char* font, size_t first, size_t last) {
        p.SetFontSize(9.75);
        p.SetFontName(QString::fromLatin1(font));
        p.SetFontSize(9.75);
        p.SetFontBold(false);
        for (size_t s = first; s <= last; ++s) {
            const QString g = QString(QChar(SymbolChars[s]));
            SymbolCentringV[s] = static_cast<float>(-p.TextHeight(g) / 2);
            SymbolCentringH[s] = static_cast<float>(p.TextWidth(g) / 2);
        }
    };
    measure("Symbol", 1, 2);
    measure("WingDings", 3, 14);
}

}  // namespace quarvex
