// Names of the melilite, olivine and clinopyroxene triangle, plutonic and
// volcanic. The components are percentages of their sum; no ratio step.
#include "quarvex/classify/classifiers.h"

namespace classify {

namespace {

constexpr Letter Mel{kFirst}, Ol{kSecond}, CPx{kThird};

constexpr Rule kPlutonic[] = {
    /* 1 */ {"Melilitolite", {Mel > 90}},
    /* 2 */ {"Pyroxene Melilitolite", {Mel > 10, Mel <= 90, Ol <= 10, CPx > 10, CPx <= 90}},
    /* 3 */ {"Olivene Melilitolite", {Mel > 10, Mel <= 90, Ol > 10, Ol <= 90, CPx <= 10}},
    /* 4 */ {"Pyroxene Olivene Melilitolite", {Mel > 10, Mel <= 80, CPx <= 50}},
    /* 5 */ {"Olivene Pyroxene Melilitolite", {Mel > 10, CPx > 50, CPx <= 90}},
    /* 6 */ {"Melilite-Bearing Peridotite and Pyroxenite", {Mel <= 10}},
};

constexpr Rule kVolcanic[] = {
    /* 1 */ {"Melilitite", {Mel > 10, Ol <= 10, CPx > 10}},
    // The olivine-rich side of the melilitites.
    {"Olivene Melilitite", {Mel > 10, Ol > 10}},
    /* 2 */ {"Melilite-Bearing Ultramafics", {Mel <= 10}},
};

}  // namespace

void NameMelilitePlutonic(Sample& s, MaficSource& m) { ApplyRules(kPlutonic, s, m); }
void NameMeliliteVolcanic(Sample& s, MaficSource& m) { ApplyRules(kVolcanic, s, m); }

}  // namespace classify
