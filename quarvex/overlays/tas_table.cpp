// Total alkali against silica: x is SiO2 (35 to 77), y Na2O + K2O (0 to 16),
// wt %. Every point is a literal of the diagram; nothing is computed.
#include "quarvex/overlays/diagram_tables.h"
#include "quarvex/overlays/table_rows.h"

namespace quarvex::overlays {
namespace {
using namespace rows;

// The upright boundaries stop at alkali 0.5, short of the silica axis.
constexpr Segment kSegments[] = {
    Line(41, 3, 45, 3),
    Line(45, 5, 52, 5),
    Line(41, 0.5, 41, 3),
    SolidLine(41, 3, 41, 7),
    Line(41, 7, 45, 9.4),
    SolidLine(45, 9.4, 52.5, 14),
    Line(45, 5, 61, 13.5),
    Line(49.4, 7.3, 45, 9.4),
    Line(52, 0.5, 52, 5),
    Line(52, 5, 49.4, 7.3),
    Line(52, 5, 69, 8),
    Line(57, 0.5, 57, 5.9),
    Line(57, 5.9, 53, 9.3),
    Line(53, 9.3, 48, 11.5),
    Line(63, 0.5, 63, 7),
    Line(63, 7, 57.6, 11.7),
    Line(57.6, 11.7, 49, 15.6),
    Line(69, 8, 69.1, 13),      // leans slightly, as drawn
    Line(76.5, 0.5, 69, 8),
    Line(45, 0.5, 45, 5),
};

constexpr Letter kLetters[] = {
    At("A", 37, 11),
    At("B", 42, 2.7),
    At("C", 42, 6.9),
    At("D", 46.2, 9.8),
    Moved("E", 49.8, 11.8, 49.5, 11.5),
    At("F", 52.5, 15),
    At("G", 46, 4.7),
    At("H", 47, 5.8),
    At("I", 50.7, 7.7),
    Moved("J", 54.3, 9.6, 54, 9.3),
    At("K", 58.7, 11.7),
    At("L", 53, 5),
    At("M", 58, 5.8),
    At("N", 64, 6.8),
    At("O", 71, 8),
};

constexpr KeyRow kKeys[] = {
    {"A.", "Foidite"},
    {"B.", "Picrobasalt"},
    {"C.", "Basanite (Olivene > 10%)"},
    {"C.", "Tephrite (Olivene < 10%)"},
    {"D.", "Phonotephrite"},
    {"E.", "Tephriphonolite"},
    {"F.", "Phonolite"},
    {"G.", "Basalt"},
    {"H.", "Trachybasalt"},
    {"I.", "Basaltic Trachyandesite"},
    {"J.", "Trachyandesite"},
    {"K.", "Trachyte (Quartz < 20%)"},
    {"K", "Trachydacite (Quartz > 20%)"},
    {"L.", "Basaltic Andesite"},
    {"M.", "Andesite"},
    {"N.", "Dacite"},
    {"O.", "Rhyolite"},
};

constexpr Half kHalves[] = {
    {.segments = kSegments, .keys = kKeys, .letters = kLetters},
};

}  // namespace

// The printed key stays in the diagram colour and runs below the silica
// axis, each line at its own place: x 35, y -2 down to -10.
constinit const Diagram kTasVolcanic{.type = "TAS-Volcanic", .halves = kHalves, .rows = 27,
                                     .paperBlackKey = false, .paperKey = PaperKey::Positioned,
                                     .keyX = 35, .keyY = -2, .keyStep = -0.5, .keyEmptyLines = 0};

}  // namespace quarvex::overlays
