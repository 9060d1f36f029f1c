// The classification overlays on a graph window's picture: boundary lines,
// field letters and the field-name key, drawn from the overlay tables in the
// user coordinates the frame has just set.
#pragma once

#include "quarvex/overlaydraw/field_key_table.h"
#include "quarvex/overlays/overlay_table.h"

#include <QString>
#include <cstdint>

namespace qvrt {
class Surface;
}

namespace quarvex {

// The window state an overlay reads, and where it draws and writes.
struct OverlayTarget {
    qvrt::Surface& picture;  // Picture1, scaled by the frame
    FieldKeyTable& keys;     // Grid3
    double axesColor;        // AxesColor, rounded when applied
    // Lines and letters are drawn only when their flag is -1; the key is
    // written whatever they say.
    int16_t showFieldLines;
    int16_t showFieldLetters;
};

// Draws one diagram's overlay as the screen shows it.
void DrawScreenOverlay(const overlays::Diagram& diagram, const OverlayTarget& target);

// The overlays the redraw calls right after their own frame.
void DrawFieldsQAPFPlutonic(const OverlayTarget& target);
void DrawFieldsQAPFVolcanic(const OverlayTarget& target);
void DrawFieldsTAS(const OverlayTarget& target);

// The dispatcher that runs after the ternary frame: seventeen exact,
// case-sensitive tests of DiagramType. Any other text ("Ternary",
// "XY Plot", "QAPF-Plutonic", a hand-edited name) draws and writes nothing.
void DrawFieldNames(const QString& diagramType, const OverlayTarget& target);

// The key panel's scroll bars slide the table by their value.
void HScroll1_Change(FieldKeyTable& keys, int16_t value);
void VScroll1_Change(FieldKeyTable& keys, int16_t value);

}  // namespace quarvex
