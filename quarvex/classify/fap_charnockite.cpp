// Names of the foid-bearing FAP triangles (plutonic and volcanic) and of the
// charnockite series.
#include "quarvex/classify/classifiers.h"
#include "quarvex/classify/qapf_letters.h"

namespace classify {

namespace {

using qapf::An;
using qapf::M;
using qapf::Ol;
using qapf::P;
constexpr Letter F{kFirst};  // foids stand in the first column of FAP sheets
constexpr Letter Q{kFirst};  // quartz on charnockite sheets

constexpr Rule k7[] = {
    {"Foid-Bearing Monzodiorite", {An <= 50}},
    {"Foid-Bearing Monzogabbro", {An > 50}},
};
constexpr Rule k8[] = {
    {"Foid Monzodiorite", {An <= 50}},
    {"Foid Monzogabbro", {An > 50}},
};
constexpr Rule k9[] = {
    {"Foid-Bearing Diorite", {An <= 50}},
    {"Foid-Bearing Gabbro", {An > 50}},
    {"Foid-Bearing Anorthosite", {M <= 10}},
};
constexpr Rule k10[] = {
    {"Foid Diorite", {An <= 50}},
    {"Foid Gabbro", {An > 50}},
};

constexpr Rule kPlutonic[] = {
    /* 1 */ {"Foid-Bearing Alkali Feldspar Syenite", {F <= 10, P <= 10}},
    /* 2 */ {"Foid Syenite", {F > 10, F <= 60, P <= 10}},
    /* 3 */ {"Foidolite", {F > 60}},
    /* 4 */ {"Foid-Bearing Monzonite", {F <= 10, P > 35, P <= 65}},
    /* 5 */ {"Foid Monzosyenite", {F > 10, F <= 60, P > 10, P <= 50}},
    /* 6 */ {"Foid-Bearing Syenite", {F <= 10, P > 10, P <= 35}},
    /* 7 */ Asks({F <= 10, P > 65, P <= 90}, k7),
    /* 8 */ Asks({F > 10, F <= 60, P > 50, P <= 90}, k8),
    /* 9 */ Asks({F <= 10, P > 90, P <= 100}, k9),
    /* 10 */ Asks({F > 10, F <= 60, P > 90, P <= 100}, k10),
};

constexpr Rule kV9[] = {
    {"Andesite", {M <= 50}},
    {"Basalt", {M > 50}},
};
constexpr Rule kV10[] = {
    {"Phonolitic Basanite", {Ol > 10}},
    {"Phonolitic Tephrite", {Ol <= 10}},
};
constexpr Rule kV11[] = {
    {"Tephrite", {Ol <= 10}},
    {"Basanite", {Ol > 10}},
};

constexpr Rule kVolcanic[] = {
    /* 1 */ {"Foid-Bearing Alkali Feldspar Trachyte", {F <= 10, P <= 10}},
    /* 2 */ {"Phonolite", {F > 10, F <= 60, P <= 10}},
    /* 3 */ {"Phonolitic Foidite", {F > 60, F <= 90, P <= 50}},
    /* 4 */ {"Tephritic Foidite", {F > 60, F <= 90, P > 50}},
    /* 5 */ {"Foidite", {F > 90}},
    /* 6 */ {"Foid-Bearing Latite", {F <= 10, P > 35, P <= 65}},
    /* 7 */ {"Tephritic Phonolite", {F > 10, F <= 60, P > 10, P <= 50}},
    /* 8 */ {"Foid-Bearing Trachyte", {F <= 10, P > 10, P <= 35}},
    /* 9 */ Asks({F <= 10, P > 65, P <= 100}, kV9),
    /* 10 */ Asks({F > 10, F <= 60, P > 50, P <= 90}, kV10),
    /* 11 */ Asks({F > 10, F <= 60, P > 90, P <= 100}, kV11),
};

constexpr Rule kCharnockites[] = {
    /* 1 */ {"Hypersthene Alkali Feldspar Syenite", {Q <= 20, P <= 10}},
    /* 2 */ {"Alkali Feldspar Charnockite", {Q > 20, Q <= 60, P <= 10}},
    /* 3 */ {"Hypersthene Syenite", {Q <= 20, P > 10, P <= 35}},
    /* 4 */ {"Mangerite", {Q <= 20, P > 35, P <= 65}},
    /* 5 */ {"Charnockite", {Q > 20, Q <= 60, P > 10, P <= 65}},
    /* 6 */ {"Jotunite", {Q <= 20, P > 65, P <= 90}},
    /* 7 */ {"Opdalite", {Q > 20, Q <= 60, P > 65, P <= 90}},
    /* 8 */ {"Norite", {Q <= 20, P > 90, P <= 100}},
    /* 9 */ {"Enderbite", {Q > 20, Q <= 60, P > 90, P <= 100}},
};

}  // namespace

void NameFAPPlutonic(Sample& s, MaficSource& m) { ApplyRules(kPlutonic, s, m); }
void NameFAPVolcanic(Sample& s, MaficSource& m) { ApplyRules(kVolcanic, s, m); }
void NameCharnockites(Sample& s, MaficSource& m) { ApplyRules(kCharnockites, s, m); }

}  // namespace classify
