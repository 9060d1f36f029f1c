// FAP triangles (F apex, A left, P right) on the ternary frame's FAP branch,
// which turns y over so that F lies at the bottom of the picture.
#include "quarvex/overlays/diagram_tables.h"
#include "quarvex/overlays/table_rows.h"

namespace quarvex::overlays {
namespace {
using namespace rows;

// ---- FAP-Plutonic ---------------------------------------------------------

constexpr Segment kPlutonicSegments[] = {
    Line(5, 10, 95, 10),        // F = 10
    Line(30, 60, 70, 60),       // F = 60
    Line(10, 0, 34, 60),        // 0.10
    Line(35, 0, 36.5, 10),      // 0.35
    Line(65, 0, 63.5, 10),      // 0.65
    ScreenOnly(90, 0, 86, 10),  // 0.90 to F = 10, on the last segment
    Line(50, 10, 50, 60),       // 0.50
    Line(90, 0, 66, 60),        // 0.90
};

constexpr Letter kPlutonicLetters[] = {
    Centred("A", Chord(1, 0.03), 1),
    At("B", Chord(1, 0.12), 1),
    At("C", Chord(1, 0.37), 1),
    At("D", Chord(1, 0.67), 1),
    At("E", Chord(1, 0.92), 1),
    At("F", Chord(11, 0.03), 11),
    At("G", Chord(11, 0.12), 11),
    At("H", Chord(11, 0.52), 11),
    At("I", Chord(11, 0.92), 11),
    At("J", Chord(61, 0.05), 61),
};

constexpr KeyRow kPlutonicKeys[] = {
    {"A.", "Foid Bearing Alkali Feldspar Syenite"},
    {"B.", "Foid Bearing Syenite"},
    {"C.", "Foid Bearing Monzonite"},
    {"D.", "Foid Bearing Monzodiorite (An < 50%)"},
    {"D.", "Foid Bearing Monzogabbro (An > 50%)"},
    {"E.", "Foid Bearing Diorite (An < 50%)"},
    {"E.", "Foid Bearing Gabbro (An > 50%)"},
    {"E.", "Foid Bearing Anorthosite (M < 10%)"},
    {"F.", "Foid Syenite"},
    {"G.", "Foid Monzosyenite"},
    {"H.", "Foid Monzodiorite (An < 50%)"},
    {"H.", "Foid Monzogabbro (An > 50%)"},
    {"I.", "Foid Diorite (An < 50%)"},
    {"I.", "Foid Gabbro (An > 50%)"},
    {"I.", "Foid Anorthosite (M < 10%)"},
    {"J", "Foidolite"},
};

constexpr Half kPlutonicHalves[] = {
    {.segments = kPlutonicSegments, .keys = kPlutonicKeys, .letters = kPlutonicLetters,
     .paperFont = StartFont::Arial},
};

// ---- FAP-Volcanic ---------------------------------------------------------

constexpr Segment kVolcanicSegments[] = {
    Line(5, 10, 95, 10),        // F = 10
    Line(30, 60, 70, 60),       // F = 60
    Line(45, 90, 55, 90),       // F = 90
    Line(10, 0, 34, 60),        // 0.10
    Line(35, 0, 36.5, 10),      // 0.35
    Line(65, 0, 63.5, 10),      // 0.65
    Line(50, 10, 50, 90),       // 0.50
    Line(86, 10, 66, 60),       // 0.90, F = 10 to 60
};

constexpr Letter kVolcanicLetters[] = {
    Centred("A", Chord(1, 0.03), 1),
    At("B", Chord(1, 0.12), 1),
    At("C", Chord(1, 0.37), 1),
    At("D", Chord(1, 0.67), 1),
    At("E", Chord(11, 0.03), 11),
    At("F", Chord(11, 0.12), 11),
    At("G", Chord(11, 0.52), 11),
    At("H", Chord(11, 0.92), 11),
    At("I", Chord(61, 0.05), 61),
    At("J", Chord(61, 0.52), 61),
    Centred("K", Chord(91, 0.5), 91),
};

constexpr KeyRow kVolcanicKeys[] = {
    {"A.", "Foid Bearing Alkali Feldspar Trachyte"},
    {"B.", "Foid Bearing Trachyte"},
    {"C.", "Foid Bearing Latite"},
    {"D.", "Basalt (M = 35-90% or SiO2 > 52%)"},
    {"D.", "Andesite (M = 0-35% or SiO2 < 52%)"},
    {"E.", "Phonolite"},
    {"F.", "Tephritic Phonolite"},
    {"G.", "Phonolitic Basanite (Olivene > 10%)"},
    {"G.", "Phonolitic Tephrite (Olivene < 10%)"},
    {"H.", "Basanite (Olivene > 10%)"},
    {"H.", "Tephrite (Olivene < 10%)", "Tephrite (Olivene < 10%"},
    {"I.", "Phonolitic Foidite"},
    {"J.", "Tephritic Foidite"},
    {"K.", "Foidite"},
};

constexpr Half kVolcanicHalves[] = {
    {.segments = kVolcanicSegments, .keys = kVolcanicKeys, .letters = kVolcanicLetters,
     .paperFont = StartFont::Arial},
};

}  // namespace

// The printed key starts past the apex level, at y = 110.
constinit const Diagram kFapPlutonic{.type = "FAP-Plutonic", .halves = kPlutonicHalves, .rows = 27,
                                     .keyY = 110};

constinit const Diagram kFapVolcanic{.type = "FAP-Volcanic", .halves = kVolcanicHalves, .rows = 27,
                                     .keyY = 110};

}  // namespace quarvex::overlays
