// Gabbroic triangles: plagioclase at the apex (so its percentage is y), the
// second component at the left corner, the third at the right.
#include "quarvex/overlays/diagram_tables.h"
#include "quarvex/overlays/table_rows.h"

namespace quarvex::overlays {
namespace {
using namespace rows;

// ---- PlagOPxCPx-Gabbroic ----------------------------------------------------

// The three sloping boundaries meet in the middle of the 90 chord.
constexpr Segment kOPxCPxSegments[] = {
    Line(45, 90, 55, 90),
    Line(5, 10, 95, 10),
    Line(10.85, 10, 50, 90),    // 0.065 at y 10 to the middle at y 90
    Line(89.15, 10, 50, 90),    // 0.935 at y 10
    Line(50, 10, 50, 90),
};

constexpr Letter kOPxCPxLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(82, 0.02), 82),
    At("C", Chord(82, 0.3), 82),
    At("D", Chord(82, 0.55), 82),
    At("E", Chord(82, 0.87), 82),
    At("F", Chord(9, 0.02), 9),
};

constexpr KeyRow kOPxCPxKeys[] = {
    {"A.", "Anorthosite"},
    {"B.", "Norite"},
    {"C.", "Clinopyroxene Norite (Gabbronorite)"},
    {"D.", "Orthopyroxene Gabbro (Gabbronorite)"},
    {"E.", "Gabbro"},
    {"F.", "Plagioclase Bearing Pyroxenite"},
};

constexpr Half kOPxCPxHalves[] = {
    {.segments = kOPxCPxSegments, .keys = kOPxCPxKeys, .letters = kOPxCPxLetters,
     .paperFont = StartFont::ArialBold},
};

// ---- PlagPxHbl-Gabbroic -----------------------------------------------------

// The broken chords at 65 and 35 split the band between 10 and 90 into the
// gabbro, gabbronorite and norite zones.
constexpr Segment kPxHblSegments[] = {
    Line(45, 90, 55, 90),
    Broken(32.5, 65, 67.5, 65),
    Broken(17.5, 35, 82.5, 35),
    Line(5, 10, 95, 10),
    Line(10.85, 10, 50, 90),
    Line(89.15, 10, 50, 90),
    Line(5, 10, 10, 0),
    Line(50, 10, 50, 0),
    Line(95, 10, 90, 0),
};

constexpr Letter kPxHblLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(87, 0.02), 87),
    Centred("C", Chord(87, 0.48), 87),
    At("D", Chord(87, 0.8), 87),
    At("E", Chord(64, 0.03), 64),
    At("F", Chord(64, 0.2), 64),
    At("G", Chord(34, 0.02), 34),
    At("H", Chord(34, 0.12), 34),
    At("I", Chord(5, 0.01), 5),
    At("J", Chord(5, 0.09), 5),
    At("K", Chord(5, 0.52), 5),
    At("L", Chord(5, 0.96), 5),
};

constexpr KeyRow kPxHblKeys[] = {
    {"A.", "Anorthosite"},
    {"B.", "Gabbro"},
    {"C.", "Pyroxene Hornblende Gabbro"},
    {"D.", "Hornblende Gabbro"},
    {"E.", "Gabbronorite"},
    {"F.", "Hornblende Gabbronorite"},
    {"G.", "Norite"},
    {"H.", "Pyroxene Hornblende Norite"},
    {"I.", "Plagioclase Bearing Pyroxenite"},
    {"J.", "Plagioclase Bearing Hornblende Pyroxenite"},
    {"K.", "Plagioclase Bearing Pyroxene Hornblendite"},
    {"L.", "Plagioclase Bearing Hornblendite"},
};

constexpr Half kPxHblHalves[] = {
    {.segments = kPxHblSegments, .keys = kPxHblKeys, .letters = kPxHblLetters,
     .screenFont = StartFont::Arial, .paperFont = StartFont::ArialBold},
};

// ---- PlagPxOl-Gabbroic ------------------------------------------------------

constexpr Segment kPxOlSegments[] = {
    Line(45, 90, 55, 90),
    Broken(32.5, 65, 67.5, 65),
    Broken(17.5, 35, 82.5, 35),
    Line(5, 10, 95, 10),
    Line(10.85, 10, 50, 90),
    Line(89.15, 10, 50, 90),
};

constexpr Letter kPxOlLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(87, 0.02), 87),
    Centred("C", Chord(87, 0.48), 87),
    At("D", Chord(87, 0.8), 87),
    At("E", Chord(64, 0.03), 64),
    At("F", Chord(64, 0.22), 64),
    At("G", Chord(34, 0.02), 34),
    At("H", Chord(34, 0.15), 34),
    At("I", Chord(9, 0.02), 9),
};

constexpr KeyRow kPxOlKeys[] = {
    {"A.", "Anorthosite"},
    {"B.", "Gabbro"},
    {"C.", "Olivene Gabbro"},
    {"D.", "Troctolite"},
    {"E.", "Gabbronorite"},
    {"F.", "Olivene Gabbronorite"},
    {"G.", "Norite"},
    {"H.", "Olivene Norite"},
    {"I.", "Plagioclase Bearing UMafics"},
};

constexpr Half kPxOlHalves[] = {
    {.segments = kPxOlSegments, .keys = kPxOlKeys, .letters = kPxOlLetters,
     .screenFont = StartFont::ArialBold, .paperFont = StartFont::ArialBold},
};

}  // namespace

constinit const Diagram kPlagOPxCPx{.type = "PlagOPxCPx-Gabbroic", .halves = kOPxCPxHalves, .rows = 27};
constinit const Diagram kPlagPxHbl{.type = "PlagPxHbl-Gabbroic", .halves = kPxHblHalves, .rows = 27};
constinit const Diagram kPlagPxOl{.type = "PlagPxOl-Gabbroic", .halves = kPxOlHalves, .rows = 27};

}  // namespace quarvex::overlays
