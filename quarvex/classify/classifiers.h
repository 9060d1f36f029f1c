// Every classifier of the frame: what its run does around the rules (ratio
// step, fourth component, norm) and the function that names one sample.
#pragma once

#include "quarvex/classify/rule_table.h"

#include <span>

namespace classify {

enum class ClassifierId : uint8_t {
    QAPPlutonic,
    QAPFPlutonic,
    QAPFPlutonicC,
    QAPFVolcanicC,
    QAPFVolcanic,
    QAPVolcanic,
    TASVolcanic,
    FAPPlutonic,
    FAPVolcanic,
    Charnockites,
    OlOpxCpxUMafic,
    OlPxHblUMafic,
    PlagOpxCpx,
    PlagPxHblGabbroic,
    PlagPxOlGabbroic,
    Arenites,
    Sandstones,
    Wackes,
    Carbonatites,
    MelilitePlutonic,
    MeliliteVolcanic,
};

// Names one sample in place (sample.name); the ratio step, where the run
// takes one, has already been made, except for the plutonic norm classifier,
// which decides itself which rows take it (and sets sample.fault when it
// fails).
using NameFunction = void (*)(Sample& sample, MaficSource& mafics);

struct ClassifierInfo {
    ClassifierId id;
    const char* procedure;  // the frame procedure's name
    bool ratioStep;
    bool readsFourth;
    bool fromNorm;     // runs the standard norm instead of normalising
    bool hasBody;      // false only for TASVolcanic, which does nothing
    NameFunction name;
};

std::span<const ClassifierInfo> Classifiers();
const ClassifierInfo& Info(ClassifierId id);

// The ratio step in single precision: third / (second + third) x 100, 0 when
// neither is above 0. A zero sum otherwise (negative components) or a result
// that does not fit is a fault the run reports.
struct RatioResult {
    float value = 0;
    MathFault fault = MathFault::None;
};
RatioResult RatioStep(float second, float third);

// The QAPF fields are defined on the felsic minerals alone, so a norm's whole-
// rock weights are first recalculated: Q, A and P to percent of their sum
// where F is 0, else A, P and F to percent of theirs. The diorite/gabbro
// splits are on the plagioclase's composition, so An becomes the anorthite
// share of ab + an (the third component as the norm gives it), 0 without
// plagioclase. Every other value stays as it is.
void NormFelsicProportions(Sample& sample);

// One sample through its classifier as the classification run takes it:
// the ratio step where the classifier has one (a failed step sets
// sample.fault and names nothing), the fourth component only for the
// classifiers that read it, then the rules. A classifier from the norm
// takes the norm's felsic proportions first.
void NameSample(const ClassifierInfo& info, Sample& sample, MaficSource& mafics);

// A MaficSource for runs that never ask (and for tests): leaves the values.
class NoMafics final : public MaficSource {
public:
    void Ask(Sample&) override {}
};

// The per-diagram name functions.
void NameQAPPlutonic(Sample& s, MaficSource& m);
void NameQAPFPlutonic(Sample& s, MaficSource& m);
void NameQAPFPlutonicC(Sample& s, MaficSource& m);
void NameQAPFVolcanicC(Sample& s, MaficSource& m);
void NameQAPFVolcanic(Sample& s, MaficSource& m);
void NameQAPVolcanic(Sample& s, MaficSource& m);
void NameFAPPlutonic(Sample& s, MaficSource& m);
void NameFAPVolcanic(Sample& s, MaficSource& m);
void NameCharnockites(Sample& s, MaficSource& m);
void NameOlOpxCpxUMafic(Sample& s, MaficSource& m);
void NameOlPxHblUMafic(Sample& s, MaficSource& m);
void NamePlagOpxCpx(Sample& s, MaficSource& m);
void NamePlagPxHblGabbroic(Sample& s, MaficSource& m);
void NamePlagPxOlGabbroic(Sample& s, MaficSource& m);
void NameArenites(Sample& s, MaficSource& m);
void NameSandstones(Sample& s, MaficSource& m);
void NameWackes(Sample& s, MaficSource& m);
void NameCarbonatites(Sample& s, MaficSource& m);
void NameMelilitePlutonic(Sample& s, MaficSource& m);
void NameMeliliteVolcanic(Sample& s, MaficSource& m);

}  // namespace classify
