// The diagram heading sets: standard headings written into row 1 of the
// active sheet at the columns of the column assignment, and the sheet's
// diagram type, which the status panel shows and by which plotting and
// classification choose. The two oxide sets also lay out the norm's input
// columns. Each acts on the frame's active child, marking it modified, and
// does nothing when that is not a data sheet.
#pragma once

#include <cstdint>

namespace quarvex::HeadingSets {

// Options > Insert Ternary / Diamond / XY Headings.
void InsertTernary();
void InsertDiamond();
void InsertXY();

// The classification families, by selector (see the frame's operations of
// the same names).
void InsertPlutonic(const int16_t& selector);
void InsertVolcanic(const int16_t& selector);
void InsertGabbroic(const int16_t& selector);
void InsertUltramafic(const int16_t& selector);
void InsertMelilite(const int16_t& selector);
void InsertCharnockite(const int16_t& selector);
void InsertSandstone(const int16_t& selector);

// The oxide layouts of the standard (total in column 19) and the extended
// (total in column 25) norm.
void InsertOxide();
void InsertOxideExtended();

}  // namespace quarvex::HeadingSets
