// Names of the gabbroic and ultramafic modal triangles. The components are
// percentages of their sum; no ratio step.
#include "quarvex/classify/classifiers.h"

namespace classify {

namespace {

namespace olopxcpx {
constexpr Letter Ol{kFirst}, OPx{kSecond}, CPx{kThird};
constexpr Rule kRules[] = {
    /* 1 */ {"Orthopyroxenite", {Ol <= 5, CPx <= 10}},
    /* 2 */ {"Websterite", {Ol <= 5, CPx > 10, CPx <= 90}},
    /* 3 */ {"Clinopyroxenite", {Ol <= 5, CPx >= 90}},
    /* 4 */ {"Olivene Orthopyroxenite", {Ol > 5, Ol <= 40, OPx > 5, OPx <= 90, CPx <= 5}},
    /* 5 */ {"Harzburgite", {Ol > 40, Ol <= 90, OPx >= 40, OPx <= 90, CPx <= 5}},
    /* 6 */ {"Dunite", {Ol > 90, Ol <= 100}},
    /* 7 */ {"Olivene Websterite", {Ol > 5, Ol <= 40, OPx > 5, OPx <= 90, CPx > 5, CPx <= 90}},
    /* 8 */ {"Lherzolite", {Ol > 40, Ol <= 90, OPx > 5, OPx <= 90, CPx > 5, CPx <= 90}},
    /* 9 */ {"Olivene Clinopyroxenite", {Ol > 5, Ol <= 40, OPx <= 5, CPx > 60, CPx <= 90}},
    /* 10 */ {"Wehrilite", {Ol > 40, Ol <= 90, OPx <= 5, CPx > 10, CPx <= 60}},
};
}  // namespace olopxcpx

namespace olpxhbl {
constexpr Letter Ol{kFirst}, Px{kSecond}, Hbl{kThird};
constexpr Rule kRules[] = {
    /* 1 */ {"Pyroxenite", {Ol <= 5, Hbl <= 10}},
    /* 2 */ {"Pyroxene Hornblendite", {Ol <= 5, Px > 50, Px <= 90, Hbl > 10, Hbl <= 50}},
    /* 3 */ {"Hornblende Pyroxenite", {Ol <= 5, Px > 10, Px <= 50, Hbl > 50, Hbl <= 90}},
    /* 4 */ {"Hornblendite", {Ol <= 5, Px <= 10}},
    /* 5 */ {"Olivene Pyroxenite", {Ol > 5, Ol <= 40, Px > 60, Px <= 90, Hbl <= 5}},
    /* 6 */ {"Pyroxene Peridotite", {Ol > 40, Ol <= 90, Px > 10, Px <= 60, Hbl > 10, Hbl <= 60}},
    /* 7 */ {"Dunite", {Ol >= 90, Ol <= 100}},
    /* 8 */ {"Olivene Hornblende Pyroxenite", {Ol > 5, Ol <= 40, Hbl > 10, Hbl <= 50}},
    /* 9 */ {"Pyroxene Hornblende Peridotite", {Ol > 40, Ol <= 90, Px <= 5, Hbl > 10, Hbl <= 60}},
    /* 10 */ {"Olivene Pyroxene Hornblendite", {Ol > 5, Ol <= 40, Hbl > 50, Hbl <= 90}},
    /* 11 */ {"Olivene Hornblendite", {Ol > 5, Ol <= 40, Px <= 5, Hbl > 60, Hbl <= 90}},
    /* 12 */ {"Hornblende Peridotite", {Ol > 40, Ol <= 90, Px <= 5, Hbl > 10, Hbl < 60}},
};
}  // namespace olpxhbl

namespace plagopxcpx {
constexpr Letter P{kFirst}, OPx{kSecond}, CPx{kThird};
constexpr Rule kRules[] = {
    /* 1 */ {"Plagioclase-Bearing Pyroxenite", {P <= 10}},
    /* 2 */ {"Norite", {P > 10, P <= 90, OPx > 10, OPx <= 90, CPx <= 5}},
    /* 3 */ {"Clinopyroxene Norite", {P > 10, P <= 90, CPx > 5, CPx <= 50}},
    /* 4 */ {"Orthopyroxene Gabbro", {P > 10, P <= 90, CPx > 50, CPx <= 95}},
    /* 5 */ {"Gabbro", {P > 10, P <= 90, OPx <= 5, CPx > 10, CPx <= 90}},
};
}  // namespace plagopxcpx

namespace plagpxhbl {
constexpr Letter P{kFirst}, Px{kSecond}, Hbl{kThird};
constexpr Rule kRules[] = {
    /* 1 */ {"Plagioclase Bearing Pyroxenite", {P <= 10, Hbl <= 10}},
    /* 2 */ {"Plagioclase Bearing Hornblende Pyroxenite", {P <= 10, Hbl > 10, Hbl <= 50}},
    /* 3 */ {"Plagioclase Bearing Pyroxene Hornblendite", {P <= 10, Hbl > 50, Hbl <= 90}},
    /* 4 */ {"Plagioclase Bearing Hornblendite", {P <= 10, Hbl > 90}},
    /* 5 */ {"Norite", {P > 10, P <= 35, Hbl <= 5}},
    /* 6 */ {"Gabbronorite", {P > 35, P <= 65, Hbl <= 5}},
    /* 7 */ {"Gabbro", {P > 65, P <= 90, Hbl <= 5}},
    /* 8 */ {"Anorthosite", {P > 90}},
    /* 9 */ {"Pyroxene Hornblende Norite", {P > 10, P <= 35, Hbl > 5, Hbl <= 95}},
    /* 10 */ {"Pyroxene Hornblende Gabbronorite", {P > 35, P <= 65, Hbl > 5, Hbl <= 95}},
    /* 11 */ {"Pyroxene Hornblende Gabbro", {P > 65, P <= 90, Hbl > 5, Hbl <= 95}},
    // Hbl above 90 with P above 10 is no sample at all; the pyroxene-poor
    // corner is where a hornblende gabbro lies.
    {"Hornblende Gabbro", {P > 10, P <= 90, Px <= 5}},
};
}  // namespace plagpxhbl

namespace plagpxol {
constexpr Letter P{kFirst}, Px{kSecond}, Ol{kThird};
constexpr Rule kRules[] = {
    /* 1 */ {"Ultramafic Rock", {P <= 10}},
    {"Norite", {P > 10, P <= 35, Ol <= 5}},
    {"Gabbronorite", {P > 35, P <= 65, Ol <= 5}},
    {"Gabbro", {P > 65, P <= 90, Ol <= 5}},
    /* 2 */ {"Anorthosite", {P >= 90}},
    /* 3 */ {"Olivene Norite", {P > 10, P <= 35, Ol > 5, Ol <= 95}},
    /* 4 */ {"Olivene Gabbronorite", {P > 35, P <= 65, Ol > 5, Ol <= 95}},
    /* 5 */ {"Olivene Gabbro", {P > 65, P <= 90, Ol > 5, Ol <= 95}},
    // Plagioclase and olivine with hardly any pyroxene.
    {"Troctolite", {P > 10, P <= 90, Px <= 5}},
};
}  // namespace plagpxol

}  // namespace

void NameOlOpxCpxUMafic(Sample& s, MaficSource& m) { ApplyRules(olopxcpx::kRules, s, m); }
void NameOlPxHblUMafic(Sample& s, MaficSource& m) { ApplyRules(olpxhbl::kRules, s, m); }
void NamePlagOpxCpx(Sample& s, MaficSource& m) { ApplyRules(plagopxcpx::kRules, s, m); }
void NamePlagPxHblGabbroic(Sample& s, MaficSource& m) { ApplyRules(plagpxhbl::kRules, s, m); }
void NamePlagPxOlGabbroic(Sample& s, MaficSource& m) { ApplyRules(plagpxol::kRules, s, m); }

}  // namespace classify
