// Plutonic names of the QAPF double triangle from modal components, with the
// gabbroic and ultramafic names of plagioclase-rich rows by their mafic
// composition.
#include "quarvex/classify/classifiers.h"
#include "quarvex/classify/qapf_letters.h"

namespace classify {

namespace {

using namespace qapf;

constexpr Rule k18[] = {
    {"Monzodiorite", {An <= 50}},
    {"Monzogabbro", {An > 50}},
};
constexpr Rule k19[] = {
    {"Quartz Monzodiorite", {An <= 50}},
    {"Quartz Monzogabbro", {An > 50}},
};
// A "Gabbro" row on P + M > 90 would hold for every row here (P is above
// 90) and leave "Diorite" and "Anorthosite" unreachable, so it is left out.
constexpr Rule k21[] = {
    {"Diorite", {An <= 50}},
    {"Gabbro", {An > 50}},
    {"Anorthosite", {M < 10}},
    {"Peridotite", {M > 90, Ol > 40, Ol <= 90}},
    {"Pyroxenite or Hornblendite", {M > 90, Ol <= 40}},
    {"Dunite", {M > 90, Ol > 90, Ol <= 100}},
};
constexpr Rule k22[] = {
    {"Quartz Diorite", {An <= 50}},
    {"Quartz Gabbro", {An > 50}},
    {"Quartz Anorthosite", {M < 10}},
};

constexpr Rule kQuartzSide[] = {
    /* 1 */ {"Alkali Feldspar Syenite", {Q <= 5, P <= 10, F == 0}},
    /* 2 */ {"Quartz Alkali Feldspar Syenite", {Q > 5, Q < 20, P <= 10}},
    /* 3 */ {"Alkali Feldspar Granite", {Q > 20, Q < 60, P <= 10}},
    /* 4 */ {"Alkali Feldspar Syenite", {Q <= 5, P <= 10, F == 0}},
    /* 5 */ {"Quartz Alkali Feldspar Syenite", {Q > 5, Q < 20, P <= 10}},
    /* 6 */ {"Alkali Feldspar Granite", {Q > 20, Q < 60, P <= 10}},
    /* 7 */ {"Quartz Rich Granitoids", {Q > 60, Q <= 90}},
    /* 8 */ {"Quartzolite", {Q > 90}},
    /* 9 */ {"Monzonite", {Q <= 5, P > 35, P <= 65}},
    /* 10 */ {"Quartz Monzonite", {Q > 5, Q <= 20, P > 35, P <= 65}},
    /* 11 */ {"Monzogranite", {Q > 20, Q < 60, P > 35, P <= 65}},
    /* 12 */ {"Syenite", {Q <= 5, P > 10, P <= 35, F == 0}},
    /* 13 */ {"Quartz Syenite", {Q > 5, Q <= 20, P > 10, P <= 35}},
    /* 14 */ {"Syenogranite", {Q > 20, Q <= 60, P > 10, P <= 35}},
    /* 15 */ {"Monzonite", {Q <= 5, P > 35, P <= 65, F == 0}},
    /* 16 */ {"Quartz Monzonite", {Q > 5, Q < 20, P > 35, P <= 65}},
    /* 17 */ {"Monzogranite", {Q > 20, Q < 60, P > 35, P <= 65}},
    /* 18 */ Asks({Q <= 5, P > 65, P <= 90, F == 0}, k18),
    /* 19 */ Asks({Q > 5, Q < 20, P > 65, P <= 90}, k19),
    /* 20 */ {"Granodiorite", {Q > 20, Q < 60, P > 65, P <= 90}},
    /* 21 */ Asks({Q <= 5, P > 90, P <= 100, F == 0}, k21),
    /* 22 */ Asks({Q > 5, Q < 20, P > 90, P <= 100}, k22),
    /* 23 */ {"Tonalite", {Q > 20, Q < 60, P > 90, P <= 100}},
};

constexpr Rule k30[] = {
    {"Foid-Bearing Monzodiorite", {An <= 50}},
    {"Foid-Bearing Monzogabbro", {An > 50}},
};
constexpr Rule k31[] = {
    {"Foid Monzodiorite", {An <= 50}},
    {"Foid Monzogabbro", {An > 50}},
};
constexpr Rule k32[] = {
    {"Foid-Bearing Diorite", {An <= 50}},
    {"Foid-Bearing Gabbro", {An > 50}},
    {"Foid-Bearing Anorthosite", {M <= 10}},
};
constexpr Rule k33[] = {
    {"Foid Diorite", {An <= 50}},
    {"Foid Gabbro", {An > 50}},
};

constexpr Rule kFoidSide[] = {
    /* 24 */ {"Foid-Bearing Alkali Feldspar Syenite", {F <= 10, P <= 10, Q == 0}},
    /* 25 */ {"Foid Syenite", {F > 10, F <= 60, P <= 10, Q == 0}},
    /* 26 */ {"Foidolite", {F > 60, Q == 0}},
    /* 27 */ {"Foid-Bearing Monzonite", {F <= 10, P > 35, P <= 65, Q == 0}},
    /* 28 */ {"Foid Monzosyenite", {F > 10, F <= 60, P > 10, P <= 50, Q == 0}},
    /* 29 */ {"Foid-Bearing Syenite", {F <= 10, P > 10, P <= 35, Q == 0}},
    /* 30 */ Asks({F <= 10, P > 65, P <= 90, Q == 0}, k30),
    /* 31 */ Asks({F > 10, F <= 60, P > 50, P <= 90, Q == 0}, k31),
    /* 32 */ Asks({F <= 10, P > 90, P <= 100, Q == 0}, k32),
    /* 33 */ Asks({F > 10, F <= 60, P > 90, P <= 100, Q == 0}, k33),
};

}  // namespace

void NameQAPFPlutonic(Sample& s, MaficSource& m) {
    ApplyRules(kQuartzSide, s, m);
    if (s[kFourth] != 0) ApplyRules(kFoidSide, s, m);
}

}  // namespace classify
