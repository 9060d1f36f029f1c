// Plutonic names of the quartz-bearing QAP triangle.
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
constexpr Rule k21[] = {
    {"Diorite", {An <= 50}},
    {"Gabbro", {An > 50}},
    {"Anorthosite", {M < 10}},
};
constexpr Rule k22[] = {
    {"Quartz Diorite", {An <= 50}},
    {"Quartz Gabbro", {An > 50}},
    {"Quartz Anorthosite", {M < 10}},
};

// Rules 4 to 6 and 15 to 17 repeat earlier rows, some with other bounds.
constexpr Rule kRules[] = {
    /* 1 */ {"Alkali Feldspar Syenite", {Q <= 5, P <= 10}},
    /* 2 */ {"Quartz Alkali Feldspar Syenite", {Q > 5, Q < 20, P <= 10}},
    /* 3 */ {"Alkali Feldspar Granite", {Q > 20, Q < 60, P <= 10}},
    /* 4 */ {"Alkali Feldspar Syenite", {Q <= 5, P <= 10}},
    /* 5 */ {"Quartz Alkali Feldspar Syenite", {Q > 5, Q < 20, P <= 10}},
    /* 6 */ {"Alkali Feldspar Granite", {Q > 20, Q < 60, P <= 10}},
    /* 7 */ {"Quartz Rich Granitoids", {Q > 60, Q <= 90}},
    /* 8 */ {"Quartzolite", {Q > 90}},
    /* 9 */ {"Monzonite", {Q <= 5, P > 35, P <= 65}},
    /* 10 */ {"Quartz Monzonite", {Q > 5, Q <= 20, P > 35, P <= 65}},
    /* 11 */ {"Monzogranite", {Q > 20, Q < 60, P > 35, P <= 65}},
    /* 12 */ {"Syenite", {Q <= 5, P > 10, P <= 35}},
    /* 13 */ {"Quartz Syenite", {Q > 5, Q <= 20, P > 10, P <= 35}},
    /* 14 */ {"Syenogranite", {Q > 20, Q <= 60, P > 10, P <= 35}},
    /* 15 */ {"Monzonite", {Q <= 5, P > 35, P <= 65}},
    /* 16 */ {"Quartz Monzonite", {Q > 5, Q < 20, P > 35, P <= 65}},
    /* 17 */ {"Monzogranite", {Q > 20, Q < 60, P > 35, P <= 65}},
    /* 18 */ Asks({Q <= 5, P > 65, P <= 90}, k18),
    /* 19 */ Asks({Q > 5, Q < 20, P > 65, P <= 90}, k19),
    /* 20 */ {"Granodiorite", {Q > 20, Q < 60, P > 65, P <= 90}},
    /* 21 */ Asks({Q <= 5, P > 90, P <= 100}, k21),
    /* 22 */ Asks({Q > 5, Q < 20, P > 90, P <= 100}, k22),
    /* 23 */ {"Tonalite", {Q > 20, Q < 60, P > 90, P <= 100}},
};

}  // namespace

void NameQAPPlutonic(Sample& s, MaficSource& m) { ApplyRules(kRules, s, m); }

}  // namespace classify
