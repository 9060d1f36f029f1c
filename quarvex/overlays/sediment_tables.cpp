// Sandstones, arenites and wackes on the ternary frame. For a point (x, y)
// the right corner's share is x - y/2 and the left corner's 100 - y - (x - y/2).
#include "quarvex/overlays/diagram_tables.h"
#include "quarvex/overlays/table_rows.h"

namespace quarvex::overlays {
namespace {
using namespace rows;

// ---- Sandstones -----------------------------------------------------------------

constexpr Segment kSandstoneSegments[] = {
    Line(25, 0, 12.5, 25),      // left share 75 %
    Line(72.5, 25, 42.5, 85),   // left share 15 %, from 0.8 of the 25 chord
    Line(50, 90, 47.5, 95),     // left share 5 %
    Line(50, 90, 52.5, 95),     // right share 5 %
    Line(62.5, 75, 25, 0),      // right share 25 %
    Line(72.5, 25, 80, 40),     // right share 60 %
    Line(60, 0, 72.5, 25),
};

// D stands 2 units right of its fraction point; F sits at a fixed point
// near the left corner.
constexpr Letter kSandstoneLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(89, 0.04), 89),
    At("C", Chord(54, 0.02), 54),
    At("D", Chord(54, 0.52, 2), 54),
    At("E", Chord(54, 0.75), 54),
    At("F", 4, 5),
};

// Rows 7 and 8 name groups of fields and have no letter of their own.
constexpr KeyRow kSandstoneKeys[] = {
    {"A.", "Quartz Arenite (Orthoquartzite)"},
    {"B.", "Subarkose (Protoquartzite)"},
    {"C.", "Quartz Wacke"},
    {"D.", "Greywacke"},
    {"E.", "Arkose"},
    {"F.", "Mudrocks (Clay > 75%)"},
    {"C,D.", "Wackes (Clay > 15% and < 75%)"},
    {"A,B,E.", "Arenites (Clay < 15%)"},
};

constexpr Half kSandstoneHalves[] = {
    {.segments = kSandstoneSegments, .keys = kSandstoneKeys, .letters = kSandstoneLetters,
     .screenFont = StartFont::ArialBold, .paperFont = StartFont::ArialBold},
};

// ---- Arenites -------------------------------------------------------------------

// Two Vs opening towards the apex, on the midline at 90 and at 55.
constexpr Segment kAreniteSegments[] = {
    Line(50, 0, 50, 90),
    Line(50, 90, 47.5, 95),
    Line(50, 90, 52.5, 95),
    Line(50, 55, 37.5, 75),
    Line(50, 55, 62.5, 75),
};

constexpr Letter kAreniteLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(89, 0.04), 89),
    At("C", Chord(89, 0.65), 89),
    At("D", Chord(55, 0.04), 55),
    At("E", Chord(55, 0.54), 55),
};

// "(Felds <75%)" without its blank and "Litharenite " with its trailing one
// are kept: printed keys and saved sheets carry them.
constexpr KeyRow kAreniteKeys[] = {
    {"A.", "Quartz Arenite"},
    {"B.", "Subarkose"},
    {"C.", "Sublitharenite"},
    {"D.", "Arkosic Arenite or Arkose (Felds > 75%)"},
    {"D.", "Arkosic Arenite or Lithic Arkose (Felds <75%)"},
    {"E.", "Litharenite "},
};

constexpr Half kAreniteHalves[] = {
    {.segments = kAreniteSegments, .keys = kAreniteKeys, .letters = kAreniteLetters},
};

// ---- Wackes ---------------------------------------------------------------------

constexpr Segment kWackeSegments[] = {
    Line(50, 0, 50, 90),
    Line(50, 90, 47.5, 95),
    Line(50, 90, 52.5, 95),
};

constexpr Letter kWackeLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(89, 0.04), 89),
    At("C", Chord(89, 0.6), 89),
};

constexpr KeyRow kWackeKeys[] = {
    {"A.", "Quartz Wacke"},
    {"B.", "Feldspathic Wacke"},
    {"C.", "Lithic Wacke"},
};

constexpr Half kWackeHalves[] = {
    {.segments = kWackeSegments, .keys = kWackeKeys, .letters = kWackeLetters,
     .screenFont = StartFont::ArialBold, .paperFont = StartFont::ArialBold},
};

}  // namespace

constinit const Diagram kSandstones{.type = "Sandstones", .halves = kSandstoneHalves, .rows = 27,
                                    .solidAfterSegments = true};
constinit const Diagram kArenites{.type = "Arenites", .halves = kAreniteHalves, .rows = 27};
constinit const Diagram kWackes{.type = "Wackes", .halves = kWackeHalves, .rows = 27};

}  // namespace quarvex::overlays
