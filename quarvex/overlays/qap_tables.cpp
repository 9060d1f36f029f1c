// QAP triangles (Q apex, A left, P right) on the ternary frame.
#include "quarvex/overlays/diagram_tables.h"
#include "quarvex/overlays/quartz_keys.h"
#include "quarvex/overlays/table_rows.h"

namespace quarvex::overlays {
namespace {
using namespace rows;

// ---- QAP-Plutonic ---------------------------------------------------------

constexpr Segment kPlutonicSegments[] = {
    Line(45, 90, 55, 90),      // Q = 90
    Line(30, 60, 70, 60),      // Q = 60
    Line(10, 20, 90, 20),      // Q = 20
    Line(2.5, 5, 97.5, 5),     // Q = 5
    Line(10, 0, 34, 60),       // P/(A+P) = 10 %
    Line(35, 0, 44, 60),       // 35 %
    Line(65, 0, 56, 60),       // 65 %
    Line(90, 0, 66, 60),       // 90 %
};

constexpr Letter kPlutonicLetters[] = {
    Centred("A", Chord(97, 0.5), 97),
    At("B", Chord(89, 0.04), 89),
    At("C", Chord(59, 0.02), 59),
    At("D", Chord(59, 0.12), 59),
    At("E", Chord(59, 0.37), 59),
    At("F", Chord(59, 0.68), 59),
    At("G", Chord(59, 0.94), 59),
    At("H", Chord(19, 0.02), 19),
    At("I", Chord(19, 0.12), 19),
    At("J", Chord(19, 0.37), 19),
    At("K", Chord(19, 0.67), 19),
    At("L", Chord(19, 0.93), 19),
    At("M", Chord(4, 0.02), 4),
    At("N", Chord(4, 0.12), 4),
    At("O", Chord(4, 0.37), 4),
    At("P", Chord(4, 0.67), 4),
    At("Q", Chord(4, 0.92), 4),
};

constexpr Half kPlutonicHalves[] = {
    {.segments = kPlutonicSegments, .keys = kQuartzPlutonicKeys, .letters = kPlutonicLetters,
     .screenFont = StartFont::ArialBold, .paperFont = StartFont::ArialBold},
};

// ---- QAP-Volcanic ---------------------------------------------------------

constexpr Segment kVolcanicSegments[] = {
    Line(45, 90, 55, 90),      // Q = 90
    Line(30, 60, 70, 60),      // Q = 60
    Line(10, 20, 90, 20),      // Q = 20
    Line(2.5, 5, 64.25, 5),    // Q = 5, to P/(A+P) = 65 %
    Line(10, 0, 34, 60),       // 10 %
    Line(35, 0, 38, 20),       // 35 %, up to Q = 20
    Line(65, 0, 56, 60),       // 65 %
    Broken(82, 20, 66, 60),    // 90 %, Q = 20 to 60
    Broken(38, 20, 44, 60),    // 35 %, Q = 20 to 60
};

constexpr Letter kVolcanicLetters[] = {
    At("A", Chord(59, 0.02), 59),
    At("B", Chord(59, 0.12), 59),
    At("C", Chord(59, 0.68), 59),
    At("D", Chord(19, 0.02), 19),
    At("E", Chord(19, 0.12), 19),
    At("F", Chord(19, 0.37), 19),
    At("G", Chord(19, 0.67), 19),
    At("H", Chord(4, 0.02), 4),
    At("I", Chord(4, 0.12), 4),
    At("J", Chord(4, 0.37), 4),
};

constexpr Half kVolcanicHalves[] = {
    {.segments = kVolcanicSegments, .keys = kQuartzVolcanicKeys, .letters = kVolcanicLetters,
     .screenFont = StartFont::ArialBold, .paperFont = StartFont::ArialBold},
};

}  // namespace

constinit const Diagram kQapPlutonic{.type = "QAP-Plutonic", .halves = kPlutonicHalves, .rows = 27};

// Its printed key stays in the diagram colour.
constinit const Diagram kQapVolcanic{.type = "QAP-Volcanic", .halves = kVolcanicHalves, .rows = 27,
                                     .paperBlackKey = false};

}  // namespace quarvex::overlays
