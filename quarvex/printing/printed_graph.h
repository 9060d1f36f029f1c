// What a graph window holds that its printout reads, and the page-fit
// members the printout writes back. The graph window fills one of these for
// each print job; every list is indexed from 1 like the window's own lists
// (element 0 is unused).
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace quarvex::printing {

// The window's copy of a font record: bold and italic are on when non-zero.
struct PrintFont {
    QString name = QStringLiteral("Arial");
    int16_t bold = 0;
    float size = 10;
    int16_t italic = 0;
    double color = 0;
};

struct PrintBox {
    float x1 = 0, x2 = 0;
    double y1 = 0, y2 = 0;
};

struct PrintLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct PrintTextLabel {
    QString text;
    float x = 0, y = 0;
    QString fontName = QStringLiteral("Arial");
    float fontSize = 10;
    int16_t bold = 0, italic = 0;
    int32_t color = 0;
};

struct PrintPointLabel {
    QString text;
    int32_t color = 0;
    double x = 0, y = 0;
};

// One template record in file order: (t1, a1, b1, t2, a2, b2) on a ternary
// graph, (x1, y1, x2, y2) on an XY plot.
using TemplateRecord = std::array<int16_t, 6>;

// Where a text printed: its top-left and bottom-right corners.
struct TextBox {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The symbol legend list: one row per symbol number the samples use.
struct LegendList {
    int16_t count = 0;
    std::vector<int16_t> glyphCode{0};     // 1..count
    std::vector<int16_t> symbolNumber{0};  // 1..count
    std::array<QString, 22> description;  // 0..21
};

struct PrintedGraph {
    // --- read --------------------------------------------------------------
    QString Caption;  // the window's, which names the print job
    QString DiagramType;
    QString DiagramSize = QStringLiteral("Large");
    QString DiagramTitle;
    QString DiagramXTitle, DiagramYTitle;
    PrintFont TitleFont, AxesTFont;
    std::vector<QString> AxisLabels = std::vector<QString>(5);
    QString TextFont = QStringLiteral("Arial");
    double AxesColor = 0;
    int16_t ShowTickMarks = -1, ShowGrid = 0, ShowSampleNumbers = 0;
    int16_t ShowFieldLines = -1, ShowFieldLetters = -1;
    // The window's two checkable print entries: the symbol legend page and
    // the key of the printed classification fields.
    bool PrintSymbolLegendChecked = false;
    bool FieldKeyChecked = false;

    int16_t SampleCount = 0;
    std::vector<float> SampleX{0}, SampleY{0};
    std::vector<int16_t> SampleSymbol{0}, SampleSymbolChar{0};
    std::vector<float> SampleColour{0};
    std::vector<QString> SampleLabel{QString()};
    std::vector<float> PointX{0}, PointY{0};

    std::vector<PrintBox> BoxList{PrintBox{}};
    std::vector<PrintLine> LineList{PrintLine{}};
    std::vector<PrintTextLabel> TextLabelList{PrintTextLabel{}};
    std::vector<PrintPointLabel> PointLabelList{PrintPointLabel{}};
    std::vector<TemplateRecord> TemplateLines{TemplateRecord{}};

    int16_t CurveFitShown = 0;
    std::array<float, 4> ManualScale{};  // MinX, MinY, MaxX, MaxY

    // --- program-wide values the printout reads ----------------------------
    int16_t AutoScale = -1;
    uint32_t DefaultColor = 0;
    std::vector<float> FittedY{0};
    std::array<QString, 21> SymbolDescriptions;

    // --- written by the printout -------------------------------------------
    float SurfaceSize[2] = {0, 0};             // width, height
    double DiagramExtents[4] = {0, 0, 0, 0};   // x origin, y origin, x extent, y extent
    float ScaleWindow[4] = {0, 0, 0, 0};       // left, top, width, height
    float PlotExtents[4] = {0, 0, 0, 0};       // MinX, MaxX, MinY, MaxY
    // What the frame printed beneath its axis (tick labels, axis title), in
    // diagram units: a key printed there keeps clear of it.
    std::vector<TextBox> TextsBelowAxis;
    // Minus half the glyph's height and half its width, by symbol number.
    // The printout keeps its own centring, so printing never changes the
    // centring the window draws its screen glyphs with.
    std::array<float, 20> SymbolCentringV{}, SymbolCentringH{};
    LegendList LegendSymbols;
};

}  // namespace quarvex::printing
