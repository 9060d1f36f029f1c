// Volcanic names of the QAPF double triangle and of its quartz-bearing QAP
// triangle from modal components. The TAS sheets have a classifier of the
// same family that names nothing.
#include "quarvex/classify/classifiers.h"
#include "quarvex/classify/qapf_letters.h"

namespace classify {

namespace {

using namespace qapf;

// Mafic minerals split andesite from basalt at 35 here, at 50 on the foid
// side.
constexpr Rule k9[] = {
    {"Andesite", {M <= 35}},
    {"Basalt", {M > 35}},
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
    /* 9 */ Asks({Q < 20, P > 65, P <= 100}, k9),
    /* 10 */ {"Dacite", {Q > 20, Q < 60, P > 65, P <= 100}},
};

// The same rows without the foid condition of rules 1, 3 and 6.
constexpr Rule kQapRules[] = {
    /* 1 */ {"Alkali Feldspar Trachyte", {Q <= 5, P <= 10}},
    /* 2 */ {"Quartz Alkali Feldspar Trachyte", {Q > 5, Q < 20, P <= 10}},
    /* 3 */ {"Latite", {Q <= 5, P > 35, P <= 65}},
    /* 4 */ {"Quartz Latite", {Q > 5, Q <= 20, P > 35, P <= 65}},
    /* 5 */ {"Rhyolite", {Q > 20, Q < 60, P > 35, P <= 65}},
    /* 6 */ {"Trachyte", {Q <= 5, P > 10, P <= 35}},
    /* 7 */ {"Quartz Trachyte", {Q > 5, Q <= 20, P > 10, P <= 35}},
    /* 8 */ {"Rhyolite", {Q > 20, Q <= 60, P > 10, P <= 35}},
    /* 9 */ Asks({Q < 20, P > 65, P <= 100}, k9),
    /* 10 */ {"Dacite", {Q > 20, Q < 60, P > 65, P <= 100}},
};

constexpr Rule k19[] = {
    {"Andesite", {M <= 50}},
    {"Basalt", {M > 50}},
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
    /* 19 */ Asks({F <= 10, P > 65, P <= 100, Q == 0}, k19),
    /* 20 */ Asks({F > 10, F <= 60, P > 50, P <= 90, Q == 0}, k20),
    /* 21 */ Asks({F > 10, F <= 60, P > 90, P <= 100, Q == 0}, k21),
};

}  // namespace

void NameQAPFVolcanic(Sample& s, MaficSource& m) {
    ApplyRules(kQuartzSide, s, m);
    if (s[kFourth] != 0) ApplyRules(kFoidSide, s, m);
}

void NameQAPVolcanic(Sample& s, MaficSource& m) { ApplyRules(kQapRules, s, m); }

}  // namespace classify
