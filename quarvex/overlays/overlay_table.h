// The fixed data of one classification diagram's overlay: boundary
// segments, field letters and field-name key rows, for the screen and for
// paper in one table, so that the two can never drift apart.
//
// Coordinates are user units of the diagram's frame: ternary (0, 0),
// (100, 0), (50, 100); diamond A (0, 0), P (100, 0), Q apex (50, -100),
// F apex (50, 100); TAS SiO2 across, Na2O + K2O up.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quarvex::overlays {

// The chord rule of a triangle: the horizontal chord at height h runs from
// x = h/2 to x = 100 - h/2, and the point at the fraction f of it lies at
// h/2 + f * (100 - h). The sum is formed in double precision and handed to
// the drawing call as a single, which is what the diagrams' tables list.
constexpr float Chord(double h, double f, double offset = 0) {
    return float(h / 2 + f * (100 - h) + offset);
}

// How a boundary segment is drawn on one medium.
enum class Pen : std::uint8_t {
    Solid,   // in the solid style the frame leaves on the surface
    Dotted,  // DrawStyle 2, the broken line of the screen
    Dashed,  // DrawStyle 1, the broken line of paper
    None,    // not drawn on this medium
};

struct Segment {
    float x1, y1, x2, y2;
    Pen screen;
    Pen paper;
    // DrawStyle 0 is set just before this segment, on both media.
    bool solidBefore = false;
};

enum class Place : std::uint8_t { Left, Centred };

// A field letter. Its point is the top-left corner of the text, or, when it
// is centred, the middle of the text's top edge.
struct Letter {
    const char* text;
    float x, y;            // on screen
    float paperX, paperY;  // on paper
    Place place;
};

// One row of the field-name key.
struct KeyRow {
    const char* cell;  // column 0: the letter with a full stop ("A."), a few without
    const char* name;  // column 1
    // The printed key's spelling of the name where it differs from the screen's.
    const char* paperName = nullptr;
};

// Fonts set at the start of an overlay (or of a half), whatever the flags.
enum class StartFont : std::uint8_t {
    None,       // the font stays as found
    Arial,      // FontName "Arial", boldness as found
    ArialBold,  // FontName "Arial", then FontBold on
};

// How the paper overlay sets the letter font before its letters.
enum class PaperLetterFont : std::uint8_t {
    Arial6,      // FontName "Arial", FontSize 6
    Arial6Bold,  // FontSize 6, FontName "Arial", FontSize 6, FontBold on
    Size6,       // FontSize 6 only
};

// Where the printed key goes.
enum class PaperKey : std::uint8_t {
    Run,           // CurrentY := keyY, then the empty lines, then one line after another
    FromPosition,  // as Run, but from where the last print left the position
    Positioned,    // line n at (keyX, keyY + (n - 1) * keyStep), no empty lines
    OwnPage,       // a new page headed "Legend"
};

// One pass of segments, key rows and letters. The ternary and TAS diagrams
// have one; the diamond diagrams draw their Q half, then their F half.
struct Half {
    std::span<const Segment> segments;
    std::span<const KeyRow> keys;
    std::span<const Letter> letters;
    StartFont screenFont = StartFont::None;
    StartFont paperFont = StartFont::None;
    // ForeColor := AxesColor at the start of this half (the first half always does).
    bool screenRecolour = true;
    bool paperRecolour = true;
    PaperLetterFont paperLetterFont = PaperLetterFont::Arial6;
};

struct Diagram {
    const char* type;  // the DiagramType that selects it
    std::span<const Half> halves;
    // Key table: Rows, and Height in twips (0 leaves the height alone).
    int rows;
    int gridHeight = 0;
    // DrawStyle 0 once more after the segments, on both media.
    bool solidAfterSegments = false;
    // Paper only.
    bool paperBlackKey = true;  // ForeColor := 0 before the key
    PaperKey paperKey = PaperKey::Run;
    float keyX = 0, keyY = 0, keyStep = 0;
    int keyEmptyLines = 4;
};

// The printed key line of a row: the letter cell without its full stop, a
// blank, a hyphen, a blank and the (paper) name: "A - Quartzolite".
std::string PaperKeyLine(const KeyRow& row);

// The overlay of a diagram type, compared exactly and case-sensitively;
// nullptr for any other text ("Ternary", "XY Plot", "qap-plutonic").
const Diagram* FindDiagram(std::string_view diagramType);

// Every diagram: the seventeen of the dispatcher in the order of its tests,
// then the two diamond diagrams, which their frame's caller draws directly.
std::span<const Diagram* const> AllDiagrams();

}  // namespace quarvex::overlays
