// The keys of the quartz-bearing fields: the QAP triangles and the Q halves
// of the QAPF diamonds name them alike.
#pragma once

#include "quarvex/overlays/overlay_table.h"

namespace quarvex::overlays {

inline constexpr KeyRow kQuartzPlutonicKeys[] = {
    {"A.", "Quartzolite"},
    {"B.", "Quartz Rich Granitoids"},
    {"C.", "Alkali Feldspar Granite"},
    {"D.", "Syenogranite (Granite)"},
    {"E.", "Monzogranite (Granite)"},
    {"F.", "Granodiorite"},
    {"G.", "Tonalite"},
    {"H.", "Quartz Alkali Feldspar Syenite"},
    {"I.", "Quartz Syenite"},
    {"J.", "Quartz Monzonite"},
    {"K.", "Quartz Monzodiorite (An < 50%)"},
    {"K.", "Quartz Monzogabbro (An > 50%)"},
    {"L", "Quartz Diorite (An < 50%)"},
    {"L.", "Quartz Gabbro (An > 50%)"},
    {"L.", "Quartz Anorthosite (M < 10%)"},
    {"M.", "Alkali Feldspar Syenite"},
    {"N.", "Syenite"},
    {"O.", "Monzonite"},
    {"P.", "Monzodiorite (An < 50%)"},
    {"P.", "Monzogabbro (An > 50%)"},
    {"Q.", "Diorite (An < 50%)"},
    {"Q.", "Gabbro (An > 50%)"},
    {"Q.", "Anorthosite (M < 10%)"},
};

// Row 7 lacks its per cent sign after "35-90" and row 8 has "0r" with a
// zero: keys already printed and saved carry these texts.
inline constexpr KeyRow kQuartzVolcanicKeys[] = {
    {"A.", "Alkali Feldspar Rhyolite"},
    {"B.", "Rhyolite"},
    {"C.", "Dacite"},
    {"D.", "Quartz Alkali Feldspar Trachyte"},
    {"E.", "Quartz Trachyte"},
    {"F.", "Quartz Latite"},
    {"G.", "Basalt (M = 35-90 or SiO2 < 52%)"},
    {"G.", "Andesite (M = 0-35% 0r SiO2 > 52%)"},
    {"H.", "Alkali Feldspar Trachyte"},
    {"I.", "Trachyte"},
    {"J.", "Latite"},
};

}  // namespace quarvex::overlays
