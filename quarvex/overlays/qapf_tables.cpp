// QAPF diagrams on the diamond frame: the Q half above the A-P edge at
// y = -Q, the F half below it at y = F. Each half is drawn, keyed and
// lettered before the next.
#include "quarvex/overlays/diagram_tables.h"
#include "quarvex/overlays/quartz_keys.h"
#include "quarvex/overlays/table_rows.h"

namespace quarvex::overlays {
namespace {
using namespace rows;

// ---- QAPF-Plutonic --------------------------------------------------------

constexpr Segment kPlutonicQSegments[] = {
    Line(45, -90, 55, -90),    // Q = 90
    Line(30, -60, 70, -60),    // Q = 60
    Line(10, -20, 90, -20),    // Q = 20
    Line(2.5, -5, 97.5, -5),   // Q = 5
    Line(10, 0, 34, -60),      // P/(A+P) = 10 %
    Line(35, 0, 44, -60),      // 35 %
    Line(65, 0, 56, -60),      // 65 %
    Line(90, 0, 66, -60),      // 90 %
};

constexpr Segment kPlutonicFSegments[] = {
    Line(5, 10, 95, 10),       // F = 10
    Line(30, 60, 70, 60),      // F = 60
    Line(10, 0, 34, 60),       // P/(A+P) = 10 %
    Line(35, 0, 36.5, 10),     // 35 %
    Line(65, 0, 63.5, 10),     // 65 %
    ScreenOnly(90, 0, 86, 10), // 90 % to F = 10, on the next segment
    Line(50, 10, 50, 60),      // 50 %
    Line(90, 0, 66, 60),       // 90 %
};

// The row M to Q hangs from the Q = 5 line but takes its x from the chord at 4.
constexpr Letter kPlutonicQLetters[] = {
    Centred("A", Chord(97, 0.5), -97),
    At("B", Chord(89, 0.04), -89),
    At("C", Chord(59, 0), -59),
    At("D", Chord(59, 0.12), -59),
    At("E", Chord(59, 0.37), -59),
    At("F", Chord(59, 0.68), -59),
    At("G", Chord(59, 0.94), -59),
    At("H", Chord(19, 0.02), -19),
    At("I", Chord(19, 0.12), -19),
    At("J", Chord(19, 0.37), -19),
    At("K", Chord(19, 0.67), -19),
    At("L", Chord(19, 0.93), -19),
    At("M", Chord(4, 0.02), -5),
    At("N", Chord(4, 0.12), -5),
    At("O", Chord(4, 0.37), -5),
    At("P", Chord(4, 0.67), -5),
    At("Q", Chord(4, 0.93), -5),
};

constexpr Letter kPlutonicFLetters[] = {
    Moved("A2", Chord(1, 0.05), 1, Chord(1, 0.04), 1, Place::Centred),
    At("B2", Chord(1, 0.13), 1),
    At("C2", Chord(1, 0.37), 1),
    At("D2", Chord(1, 0.67), 1),
    Moved("E2", Chord(1, 0.91), 1, Chord(1, 0.92), 1),
    At("F2", Chord(11, 0.03), 11),
    At("G2", Chord(11, 0.12), 11),
    At("H2", Chord(11, 0.52), 11),
    At("I2", Chord(11, 0.92), 11),
    At("J2", Chord(61, 0.08), 61),
};

constexpr KeyRow kPlutonicFKeys[] = {
    {"A2.", "Foid Bearing Alkali Felds. Syenite", "Foid Bearing Alkali Feldspar Syenite"},
    {"B2.", "Foid Bearing Syenite"},
    {"C2.", "Foid Bearing Monzonite"},
    {"D2.", "Foid Bearing Monzodiorite (An < 50%)"},
    {"D2.", "Foid Bearing Monzogabbro (An > 50%)"},
    {"E2.", "Foid Bearing Diorite (An < 50%)"},
    {"E2.", "Foid Bearing Gabbro (An > 50%)"},
    {"E2.", "Foid Bearing Anorthosite (M < 10%)"},
    {"F2.", "Foid Syenite"},
    {"G2.", "Foid Monzosyenite"},
    {"H2.", "Foid Monzodiorite (An < 50%)"},
    {"H2.", "Foid Monzogabbro (An > 50%)"},
    {"I2.", "Foid Diorite (An < 50%)"},
    {"I2.", "Foid Gabbro (An > 50%)"},
    {"I2.", "Foid Anorthosite (M < 10%)"},
    {"J2", "Foidolite"},
};

constexpr Half kPlutonicHalves[] = {
    {.segments = kPlutonicQSegments, .keys = kQuartzPlutonicKeys, .letters = kPlutonicQLetters,
     .paperLetterFont = PaperLetterFont::Arial6Bold},
    {.segments = kPlutonicFSegments, .keys = kPlutonicFKeys, .letters = kPlutonicFLetters,
     .screenRecolour = false, .paperLetterFont = PaperLetterFont::Arial6Bold},
};

// ---- QAPF-Volcanic --------------------------------------------------------

constexpr Segment kVolcanicQSegments[] = {
    Line(45, -90, 55, -90),     // Q = 90
    Line(30, -60, 70, -60),     // Q = 60
    Line(10, -20, 90, -20),     // Q = 20
    Line(2.5, -5, 64.25, -5),   // Q = 5, to P/(A+P) = 65 %
    Line(10, 0, 34, -60),       // 10 %
    Line(35, 0, 38, -20),       // 35 %, up to Q = 20
    Line(65, 0, 56, -60),       // 65 %
    Broken(82, -20, 66, -60),   // 90 %, Q = 20 to 60
    Broken(38, -20, 44, -60),   // 35 %, Q = 20 to 60
};

constexpr Segment kVolcanicFSegments[] = {
    Line(5, 10, 95, 10),        // F = 10
    Line(30, 60, 70, 60),       // F = 60
    Line(45, 90, 55, 90),       // F = 90
    Line(10, 0, 34, 60),        // 10 %
    Line(35, 0, 36.5, 10),      // 35 %
    Line(65, 0, 63.5, 10),      // 65 %
    Line(50, 10, 50, 90),       // 50 %
    Line(86, 10, 66, 60),       // 90 %, F = 10 to 60
};

constexpr Letter kVolcanicQLetters[] = {
    At("A", Chord(59, 0), -59),
    At("B", Chord(59, 0.12), -59),
    At("C", Chord(59, 0.68), -59),
    At("D", Chord(19, 0.02), -19),
    At("E", Chord(19, 0.12), -19),
    At("F", Chord(19, 0.37), -19),
    At("G", Chord(19, 0.67), -19),
    At("H", Chord(5, 0.02), -5),
    At("I", Chord(5, 0.12), -5),
    Moved("J", Chord(5, 0.37), -5, Chord(5, 0.38), -5),
};

constexpr Letter kVolcanicFLetters[] = {
    Moved("A2", Chord(1, 0.05), 1, Chord(1, 0.04), 1, Place::Centred),
    At("B2", Chord(1, 0.12), 1),
    At("C2", Chord(1, 0.37), 1),
    At("D2", Chord(1, 0.67), 1),
    At("E2", Chord(11, 0.03), 11),
    At("F2", Chord(11, 0.14), 11),
    At("G2", Chord(11, 0.52), 11),
    Moved("H2", Chord(11, 0.9), 11, Chord(11, 0.92), 11),
    At("I2", Chord(61, 0.09), 61),
    At("J2", Chord(61, 0.53), 61),
    Centred("K2", Chord(91, 0.5), 91),
};

constexpr KeyRow kVolcanicFKeys[] = {
    {"A2.", "Foid Bearing Alkali Feldspar Trachyte"},
    {"B2.", "Foid Bearing Trachyte"},
    {"C2.", "Foid Bearing Latite"},
    {"D2.", "Basalt (M = 35-90% or SiO2 > 52%)"},
    {"D2.", "Andesite (M = 0-35% or SiO2 < 52%)"},
    {"E2.", "Phonolite"},
    {"F2.", "Tephritic Phonolite"},
    {"G2.", "Phonolitic Basanite (Olivene > 10%)"},
    {"G2.", "Phonolitic Tephrite (Olivene < 10%)"},
    {"H2.", "Basanite (Olivene > 10%)"},
    {"H2.", "Tephrite (Olivene < 10%)", "Tephrite (Olivene < 10%"},
    {"I2.", "Phonolitic Foidite"},
    {"J2.", "Tephritic Foidite"},
    {"K2.", "Foidite"},
};

// Paper sets "Arial" bold between the halves, so its F letters only size the font.
constexpr Half kVolcanicHalves[] = {
    {.segments = kVolcanicQSegments, .keys = kQuartzVolcanicKeys, .letters = kVolcanicQLetters,
     .paperLetterFont = PaperLetterFont::Arial6Bold},
    {.segments = kVolcanicFSegments, .keys = kVolcanicFKeys, .letters = kVolcanicFLetters,
     .paperFont = StartFont::ArialBold, .paperLetterFont = PaperLetterFont::Size6},
};

}  // namespace

constinit const Diagram kQapfPlutonic{.type = "QAPF-Plutonic", .halves = kPlutonicHalves, .rows = 45,
                            .gridHeight = 12000, .paperKey = PaperKey::OwnPage, .keyEmptyLines = 0};

constinit const Diagram kQapfVolcanic{.type = "QAPF-Volcanic", .halves = kVolcanicHalves, .rows = 30,
                            .paperKey = PaperKey::OwnPage, .keyEmptyLines = 0};

}  // namespace quarvex::overlays
