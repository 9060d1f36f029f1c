// Short row builders for the diagram tables, so that each table reads like
// its diagram: a row that looks the same on screen and paper is written
// once, a row that differs says how.
#pragma once

#include "quarvex/overlays/overlay_table.h"

namespace quarvex::overlays::rows {

// A solid boundary on both media.
constexpr Segment Line(float x1, float y1, float x2, float y2) {
    return {x1, y1, x2, y2, Pen::Solid, Pen::Solid};
}
// A broken boundary: dotted on screen, dashed on paper.
constexpr Segment Broken(float x1, float y1, float x2, float y2) {
    return {x1, y1, x2, y2, Pen::Dotted, Pen::Dashed};
}
// A solid boundary drawn on screen and left out of the print.
constexpr Segment ScreenOnly(float x1, float y1, float x2, float y2) {
    return {x1, y1, x2, y2, Pen::Solid, Pen::None};
}
// A solid boundary preceded by DrawStyle 0.
constexpr Segment SolidLine(float x1, float y1, float x2, float y2) {
    return {x1, y1, x2, y2, Pen::Solid, Pen::Solid, true};
}

// A letter at the same point on screen and paper.
constexpr Letter At(const char* text, float x, float y, Place place = Place::Left) {
    return {text, x, y, x, y, place};
}
constexpr Letter Centred(const char* text, float x, float y) { return At(text, x, y, Place::Centred); }
// A letter that paper places elsewhere.
constexpr Letter Moved(const char* text, float x, float y, float paperX, float paperY,
                       Place place = Place::Left) {
    return {text, x, y, paperX, paperY, place};
}

}  // namespace quarvex::overlays::rows
