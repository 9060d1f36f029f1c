// The key of the quartz-bearing plutonic fields: the QAP-Plutonic triangle
// and the Q half of the QAPF-Plutonic diamond name them alike.
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

}  // namespace quarvex::overlays
