// The fourteen plot symbols, drawn as vector shapes in place of the
// characters of the "Symbol" and "Wingdings" fonts. Each glyph sits in a
// character cell whose size follows the point size, with its ink centred in
// the cell: a caller that places the cell's top-left corner at the point
// minus half the cell (the centring every frame does with TextWidth and
// TextHeight) puts the glyph's middle exactly on the point, on screen and on
// paper alike.
#pragma once

#include "quarvex/runtime/fonts.h"

#include <QColor>
#include <QRectF>
#include <array>

class QPainter;

namespace qvrt {

// Cell of one symbol character, in ems of the point size.
inline constexpr double kGlyphCellWidthEm = 1.0;
inline constexpr double kGlyphCellHeightEm = 1.15;

struct PlotGlyph {
    FontKind face;  // FontKind::Symbol or FontKind::Wingdings
    int code;       // the character code in that font
    const char* look;
};

// Plot symbols 1 to 14 in order: Symbol 196, 197; Wingdings 117, 164, 165,
// 171, 173, 176, 177, 181, 178, 120, 179, 119.
const std::array<PlotGlyph, 14>& PlotGlyphs();

// Whether the glyph table draws this character of a symbol face. Other
// characters of those faces take their cell but leave no ink.
bool HasGlyph(FontKind face, int code);

// Draws one character of a symbol face into its cell. Bold thickens the
// strokes (the symbol legend prints its glyphs bold).
void PaintGlyph(QPainter& painter, FontKind face, int code, const QRectF& cell, const QColor& color,
                bool bold);

// PaintGlyph draws a glyph in up to kGlyphPasses passes (the filled shape,
// its bold edge, the stroked shape), each one fill of the painter. This
// draws pass `pass` alone, so that a caller can keep each pass's coverage
// and colour it later; false when the glyph has no such pass.
inline constexpr int kGlyphPasses = 3;
bool PaintGlyphPass(QPainter& painter, FontKind face, int code, const QRectF& cell, const QColor& color,
                    bool bold, int pass);
// The device width of the pen of a pass in that cell; 0 for the filled shape.
double GlyphPassPenWidth(const QRectF& cell, bool bold, int pass);

}  // namespace qvrt
