// Carbonatites (CaO apex, MgO left, FeO+Fe2O3+MnO right), charnockites
// (Q, A, P) and melilite rocks (Mel, Ol, CPx) on the ternary frame.
#include "quarvex/overlays/diagram_tables.h"
#include "quarvex/overlays/table_rows.h"

namespace quarvex::overlays {
namespace {
using namespace rows;

// ---- Carbonatites -------------------------------------------------------------

constexpr Segment kCarbonatiteSegments[] = {
    Line(40, 80, 60, 80),
    Line(50, 0, 50, 80),
};

constexpr Letter kCarbonatiteLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(79, 0.02), 79),
    At("C", Chord(79, 0.54), 79),
};

constexpr KeyRow kCarbonatiteKeys[] = {
    {"A.", "Calciocarbonatite"},
    {"B.", "Magnesiocarbonatite"},
    {"C.", "Ferrocarbonatite"},
};

constexpr Half kCarbonatiteHalves[] = {
    {.segments = kCarbonatiteSegments, .keys = kCarbonatiteKeys, .letters = kCarbonatiteLetters},
};

// ---- Charnockites -------------------------------------------------------------

constexpr Segment kCharnockiteSegments[] = {
    Line(30, 60, 70, 60),
    Line(10, 20, 90, 20),
    Line(10, 0, 34, 60),
    Line(35, 0, 38, 20),
    Line(65, 0, 56, 60),
    Line(90, 0, 66, 60),
};

constexpr Letter kCharnockiteLetters[] = {
    At("A", Chord(59, 0.02), 59),
    At("B", Chord(59, 0.12), 59),
    At("C", Chord(59, 0.68), 59),
    At("D", Chord(59, 0.94), 59),
    At("E", Chord(19, 0.02), 19),
    At("F", Chord(19, 0.12), 19),
    At("G", Chord(19, 0.37), 19),
    At("H", Chord(19, 0.67), 19),
    At("I", Chord(19, 0.93), 19),
};

constexpr KeyRow kCharnockiteKeys[] = {
    {"A.", "Alkali Feldspar Charnockite"},
    {"B.", "Charnockite"},
    {"C.", "Opdalite or Charno-enderbite"},
    {"D.", "Enderbite"},
    {"E.", "Hypersthene Alkali Feldspar Syenite"},
    {"F.", "Hypersthene Syenite"},
    {"G.", "Mangerite"},
    {"H.", "Jotunite"},
    {"I.", "Norite"},
    {"I.", "Anorthosite (M < 10%)"},
};

constexpr Half kCharnockiteHalves[] = {
    {.segments = kCharnockiteSegments, .keys = kCharnockiteKeys, .letters = kCharnockiteLetters},
};

// ---- Melilite-Plutonic ----------------------------------------------------------

// Segments 2 and 3 cross near (50, 79.8), where the midline ends.
constexpr Segment kMelilitePlutonicSegments[] = {
    Line(5, 10, 95, 10),
    Line(15.8, 10, 55, 90),     // 0.12 at y 10 to the right end of the 90 chord
    Line(84.2, 10, 45, 90),     // 0.88 at y 10 to its left end
    Line(50, 10, 50, 80),
};

constexpr Letter kMelilitePlutonicLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(87, 0.02), 87),
    At("C", Chord(75, 0.4), 75),
    At("D", Chord(75, 0.53), 75),
    At("E", Chord(87, 0.87), 87),
    At("F", Chord(9, 0.02), 9),
};

// "bearing" is lower case here and capitalised in the volcanic key, and the
// two keys list their split last field in opposite orders.
constexpr KeyRow kMelilitePlutonicKeys[] = {
    {"A.", "Melilitolite"},
    {"B.", "Olivene Melilitolite (Kugdite)"},
    {"C.", "Pyroxene Olivene Melilitolite"},
    {"D.", "Olivene Pyroxene Melilitolite (Olivene Uncompahgrite)"},
    {"E.", "Pyroxene Melilitolite (Uncompahgrite)"},
    {"F.", "Melilite bearing Peridotite (Olivene > 40%)"},
    {"F.", "Melilite bearing Pyroxenite (Olivene < 40%)"},
};

constexpr Half kMelilitePlutonicHalves[] = {
    {.segments = kMelilitePlutonicSegments, .keys = kMelilitePlutonicKeys,
     .letters = kMelilitePlutonicLetters},
};

// ---- Melilite-Volcanic ----------------------------------------------------------

constexpr Segment kMeliliteVolcanicSegments[] = {
    Line(5, 10, 95, 10),
    Line(84.2, 10, 45, 90),
};

constexpr Letter kMeliliteVolcanicLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(87, 0.02), 87),
    At("C", Chord(9, 0.02), 9),
};

constexpr KeyRow kMeliliteVolcanicKeys[] = {
    {"A.", "Melilite"},
    {"B.", "Olivene Melilite"},
    {"C.", "Melilite Bearing Pyroxenite (Olivene < 40%)"},
    {"C.", "Melilite Bearing Peridotite (Olivene > 40%)"},
};

constexpr Half kMeliliteVolcanicHalves[] = {
    {.segments = kMeliliteVolcanicSegments, .keys = kMeliliteVolcanicKeys,
     .letters = kMeliliteVolcanicLetters},
};

}  // namespace

// The printed carbonatite key runs on from wherever the last print left off.
constinit const Diagram kCarbonatites{.type = "Carbonatites", .halves = kCarbonatiteHalves, .rows = 27,
                                      .paperKey = PaperKey::FromPosition};
constinit const Diagram kCharnockites{.type = "Charnockites", .halves = kCharnockiteHalves, .rows = 27,
                                      .keyEmptyLines = 8};
constinit const Diagram kMelilitePlutonic{.type = "Melilite-Plutonic", .halves = kMelilitePlutonicHalves,
                                          .rows = 27, .keyEmptyLines = 5};
constinit const Diagram kMeliliteVolcanic{.type = "Melilite-Volcanic", .halves = kMeliliteVolcanicHalves,
                                          .rows = 27, .keyEmptyLines = 5};

}  // namespace quarvex::overlays
