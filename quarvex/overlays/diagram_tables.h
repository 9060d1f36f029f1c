// The overlay table of each classification diagram, one file per family.
#pragma once

#include "quarvex/overlays/overlay_table.h"

namespace quarvex::overlays {

extern const Diagram kQapfPlutonic;
extern const Diagram kQapfVolcanic;
extern const Diagram kQapPlutonic;
extern const Diagram kQapVolcanic;
extern const Diagram kFapPlutonic;
extern const Diagram kFapVolcanic;
extern const Diagram kTasVolcanic;
extern const Diagram kPlagOPxCPx;
extern const Diagram kPlagPxHbl;
extern const Diagram kPlagPxOl;
extern const Diagram kOlOpxCpx;
extern const Diagram kOlPxHbl;
extern const Diagram kCarbonatites;
extern const Diagram kCharnockites;
extern const Diagram kMelilitePlutonic;
extern const Diagram kMeliliteVolcanic;
extern const Diagram kSandstones;
extern const Diagram kArenites;
extern const Diagram kWackes;

}  // namespace quarvex::overlays
