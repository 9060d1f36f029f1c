// Ultramafic triangles: olivine at the apex (so its percentage is y), the
// second component at the left corner, the third at the right.
#include "quarvex/overlays/diagram_tables.h"
#include "quarvex/overlays/table_rows.h"

namespace quarvex::overlays {
namespace {
using namespace rows;

// The y 5 line stops at the feet of the two sloping boundaries, which meet
// in the middle of the 90 chord. The pyroxene-hornblende diagram adds the
// midline below y 40.
constexpr Segment kOpxCpxSegments[] = {
    Line(45, 90, 55, 90),
    Line(20, 40, 80, 40),
    Line(7.25, 5, 92.75, 5),    // 0.05 to 0.95 of the chord
    Line(7.25, 5, 50, 90),
    Line(92.75, 5, 50, 90),
    Line(5, 10, 10, 0),         // cuts off the left corner
    Line(95, 10, 90, 0),        // and the right one
};

constexpr Segment kPxHblSegments[] = {
    Line(45, 90, 55, 90),
    Line(20, 40, 80, 40),
    Line(7.25, 5, 92.75, 5),    // 0.05 to 0.95 of the chord
    Line(7.25, 5, 50, 90),
    Line(92.75, 5, 50, 90),
    Line(5, 10, 10, 0),         // cuts off the left corner
    Line(95, 10, 90, 0),        // and the right one
    Line(50, 0, 50, 40),
};

// ---- OlOpxCpx-UMafic ----------------------------------------------------------

constexpr Letter kOpxCpxLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(87, 0.03), 87),
    Centred("C", Chord(87, 0.5), 87),
    Centred("D", Chord(87, 0.84), 87),
    At("E", Chord(39, 0.02), 39),
    At("F", Chord(39, 0.12), 39),
    At("G", Chord(39, 0.88), 39),
    At("H", Chord(4, 0.02), 4),
    At("I", Chord(4, 0.12), 4),
    At("J", Chord(4, 0.96), 4),
};

// The printed key has always spelt row 4 "Wherlite".
constexpr KeyRow kOpxCpxKeys[] = {
    {"A.", "Dunite"},
    {"B.", "Harzburgite"},
    {"C.", "Lherzolite"},
    {"D.", "Wehrlite", "Wherlite"},
    {"E.", "Olivene Orthopyroxenite"},
    {"F.", "Olivene Websterite"},
    {"G.", "Olivene Clinopyroxenite"},
    {"H.", "Orthopyroxenite"},
    {"I.", "Websterite"},
    {"J.", "Clinopyroxenite"},
};

constexpr Half kOpxCpxHalves[] = {
    {.segments = kOpxCpxSegments, .keys = kOpxCpxKeys, .letters = kOpxCpxLetters},
};

// ---- OlPxHbl-UMafic -----------------------------------------------------------

constexpr Letter kPxHblLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(87, 0.03), 87),
    Centred("C", Chord(87, 0.5), 87),
    Centred("D", Chord(87, 0.84), 87),
    At("E", Chord(39, 0.02), 39),
    At("F", Chord(39, 0.1), 39),
    At("G", Chord(39, 0.52), 39),
    At("H", Chord(39, 0.95), 39),
    At("I", Chord(4, 0.02), 4),
    At("J", Chord(4, 0.1), 4),
    At("K", Chord(4, 0.52), 4),
    At("L", Chord(4, 0.96), 4),
};

constexpr KeyRow kPxHblKeys[] = {
    {"A.", "Dunite"},
    {"B.", "Pyroxene Peridotite"},
    {"C.", "Proxene Hornblende Peridotite"},
    {"D.", "Hornblende Peridotite"},
    {"E.", "Olivene Pyroxenite"},
    {"F.", "Olivene Hornblende Pyroxenite"},
    {"G.", "Olivene Pyroxene Hornblendite"},
    {"H.", "Olivene Hornblendite"},
    {"I.", "Proxenite"},
    {"J.", "Pyroxene Hornblendite"},
    {"K.", "Hornblende Pyroxenite"},
    {"L.", "Hornblendite"},
};

constexpr Half kPxHblHalves[] = {
    {.segments = kPxHblSegments, .keys = kPxHblKeys, .letters = kPxHblLetters,
     .paperFont = StartFont::ArialBold},
};

}  // namespace

constinit const Diagram kOlOpxCpx{.type = "OlOpxCpx-UMafic", .halves = kOpxCpxHalves, .rows = 27};
constinit const Diagram kOlPxHbl{.type = "OlPxHbl-UMafic", .halves = kPxHblHalves, .rows = 27};

}  // namespace quarvex::overlays
