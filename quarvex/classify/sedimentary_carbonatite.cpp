// Names of the sandstone triangles (arenites, wackes, sandstones) and of the
// carbonatites. The components are percentages of their sum; no ratio step.
#include "quarvex/classify/classifiers.h"

namespace classify {

namespace {

namespace arenites {
constexpr Letter Quartz{kFirst}, Felds{kSecond}, RF{kThird};
// Feldspar above 50 of the whole is "Litharenite", as the diagram's key has it.
constexpr Rule kRules[] = {
    /* 1 */ {"Arkosic Arenite", {Quartz <= 75, Felds <= 50}},
    /* 2 */ {"Litharenite", {Quartz <= 75, Felds > 50}},
    /* 3 */ {"Subarkose", {Quartz > 75, Quartz <= 95, Felds <= 50}},
    // Felds above 50 cannot happen beside that much quartz: the two minor
    // components decide between each other instead.
    {"Sublitharenite", {Quartz > 75, Quartz <= 95, RF > Felds}},
    /* 4 */ {"Quartz Arenite", {Quartz > 95, Quartz <= 100}},
};
}  // namespace arenites

namespace wackes {
constexpr Letter Quartz{kFirst}, Felds{kSecond};
constexpr Rule kRules[] = {
    /* 1 */ {"Feldspathic Wacke", {Quartz <= 95, Felds <= 50}},
    /* 2 */ {"Lithic Wacke", {Quartz <= 95, Felds > 50}},
    /* 3 */ {"Quartz Wacke", {Quartz > 95, Quartz <= 100}},
};
}  // namespace wackes

namespace sandstones {
constexpr Letter Quartz{kFirst}, Clay{kSecond}, Feldspar{kThird};
constexpr Rule kRules[] = {
    /* 1 */ {"Mudstone", {Quartz <= 25, Clay > 75}},
    /* 2 */ {"Quartz Wacke", {Quartz > 25, Quartz <= 85, Clay > 15}},
    /* 3 */ {"Greywacke", {Quartz <= 60, Clay > 40, Clay <= 75}},
    // Feldspar above 85 would never go with quartz above 40.
    {"Arkose", {Quartz > 40, Quartz <= 75, Clay <= 15, Feldspar > 25}},
    /* 4 */ {"Quartz Arenite", {Quartz > 95, Quartz <= 100, Clay < 5, Feldspar < 5}},
    /* 5 */ {"Arkose", {Quartz > 60, Quartz <= 95, Clay > 5, Clay <= 15}},
};
}  // namespace sandstones

namespace carbonatites {
constexpr Letter CaO{kFirst}, FeMn{kThird};  // FeO + Fe2O3 + MnO
constexpr Rule kRules[] = {
    /* 1 */ {"Magnesiocarbonatite", {CaO <= 80, FeMn <= 50}},
    /* 2 */ {"Ferrocarbonatite", {CaO <= 80, FeMn > 50}},
    /* 3 */ {"Calciocarbonatite", {CaO > 80}},
};
}  // namespace carbonatites

}  // namespace

void NameArenites(Sample& s, MaficSource& m) { ApplyRules(arenites::kRules, s, m); }
void NameWackes(Sample& s, MaficSource& m) { ApplyRules(wackes::kRules, s, m); }
void NameSandstones(Sample& s, MaficSource& m) { ApplyRules(sandstones::kRules, s, m); }
void NameCarbonatites(Sample& s, MaficSource& m) { ApplyRules(carbonatites::kRules, s, m); }

}  // namespace classify
