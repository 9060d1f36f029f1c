// Volcanic names of the QAPF double triangle from the standard norm, and the
// high-magnesium volcanic rocks named from the oxides of the analysis.
#include "quarvex/classify/classifiers.h"
#include "quarvex/classify/qapf_letters.h"

namespace classify {

namespace {

using namespace qapf;
constexpr Letter Si{kSilica};  // the norm's cation percent of Si
constexpr Letter SiO2{kSiO2}, TiO2{kTiO2}, MgO{kMgO}, NaK{kAlkalis};

constexpr Rule k9[] = {
    {"Andesite", {Si > 52}},
    {"Basalt", {Si <= 52}},
};

constexpr Rule kQuartzSide[] = {
    /* 1 */ {"Alkali Feldspar Trachyte", {Q <= 5, P <= 10, F == 0}},
    /* 2 */ {"Quartz Alkali Feldspar Trachyte", {Q > 5, Q < 20, P <= 10}},
    /* 3 */ {"Latite", {Q <= 5, P > 35, P <= 65, F == 0}},
    /* 4 */ {"Quartz Latite", {Q > 5, Q <= 20, P > 35, P <= 65}},
    /* 5 */ {"Rhyolite", {Q > 20, Q < 60, P > 35, P <= 65}},
    /* 6 */ {"Trachyte", {Q <= 5, P > 10, P <= 35, F == 0}},
    /* 7 */ {"Quartz Trachyte", {Q > 5, Q <= 20, P > 10, P <= 35}},
    /* 8 */ {"Rhyolite", {Q > 20, Q <= 60, P > 10, P <= 35}},
    /* 9 */ Then({Q < 20, P > 65, P <= 100}, k9),
    /* 10 */ {"Dacite", {Q > 20, Q < 60, P > 65, P <= 100}},
};

constexpr Rule k19[] = {
    {"Andesite", {Si > 52}},
    {"Basalt", {Si <= 52}},
};
constexpr Rule k20[] = {
    {"Phonolitic Basanite", {Ol > 10}},
    {"Phonolitic Tephrite", {Ol <= 10}},
};
constexpr Rule k21[] = {
    {"Tephrite", {Ol <= 10}},
    {"Basanite", {Ol > 10}},
};

constexpr Rule kFoidSide[] = {
    /* 11 */ {"Foid-Bearing Alkali Feldspar Trachyte", {F <= 10, P <= 10, Q == 0}},
    /* 12 */ {"Phonolite", {F > 10, F <= 60, P <= 10, Q == 0}},
    /* 13 */ {"Phonolitic Foidite", {F > 60, F <= 90, P <= 50, Q == 0}},
    /* 14 */ {"Tephritic Foidite", {F > 60, F <= 90, P > 50, Q == 0}},
    /* 15 */ {"Foidite", {F > 90, Q == 0}},
    /* 16 */ {"Foid-Bearing Latite", {F <= 10, P > 35, P <= 65, Q == 0}},
    /* 17 */ {"Tephritic Phonolite", {F > 10, F <= 60, P > 10, P <= 50, Q == 0}},
    /* 18 */ {"Foid-Bearing Trachyte", {F <= 10, P > 10, P <= 35, Q == 0}},
    /* 19 */ Then({F <= 10, P > 65, P <= 100, Q == 0}, k19),
    /* 20 */ Then({F > 10, F <= 60, P > 50, P <= 90, Q == 0}, k20),
    /* 21 */ Then({F > 10, F <= 60, P > 90, P <= 100, Q == 0}, k21),
};

// Oxides in weight percent as the analysis gives them.
constexpr Rule kOxideRules[] = {
    /* 22 */ {"Komatiite", {F != 0, SiO2 < 53, NaK < 1, MgO > 18, TiO2 < 1}},
    /* 23 */ {"Meimechite", {F != 0, SiO2 < 53, NaK < 1, MgO > 18, TiO2 > 1}},
    /* 24 */ {"Picrite", {F != 0, SiO2 < 53, NaK > 1, NaK < 2, MgO > 18}},
    /* 25 */ {"Boninite", {F == 0, MgO > 8, TiO2 < 0.5}},
};

}  // namespace

void NameQAPFVolcanicC(Sample& s, MaficSource& m) {
    ApplyRules(kQuartzSide, s, m);
    if (s[kFourth] != 0) ApplyRules(kFoidSide, s, m);
    ApplyRules(kOxideRules, s, m);
}

}  // namespace classify
