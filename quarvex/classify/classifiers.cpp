#include "quarvex/classify/classifiers.h"

#include <cmath>
#include <iterator>

namespace classify {

namespace {

void NameNothing(Sample&, MaficSource&) {}

using enum ClassifierId;

// procedure, ratio step made by the run before the rules, fourth component,
// from the norm, has a body. The plutonic norm classifier makes its ratio
// step itself, on the rows that take the QAPF branch.
constexpr ClassifierInfo kClassifiers[] = {
    {QAPPlutonic, "QAPPlutonic", true, false, false, true, NameQAPPlutonic},
    {QAPFPlutonic, "QAPFPlutonic", true, true, false, true, NameQAPFPlutonic},
    {QAPFPlutonicC, "QAPFPlutonicC", false, true, true, true, NameQAPFPlutonicC},
    {QAPFVolcanicC, "QAPFVolcanicC", true, true, true, true, NameQAPFVolcanicC},
    {QAPFVolcanic, "QAPFVolcanic", true, true, false, true, NameQAPFVolcanic},
    {QAPVolcanic, "QAPVolcanic", true, false, false, true, NameQAPVolcanic},
    {TASVolcanic, "TASVolcanic", false, false, false, false, NameNothing},
    {FAPPlutonic, "FAPPlutonic", true, false, false, true, NameFAPPlutonic},
    {FAPVolcanic, "FAPVolcanic", true, false, false, true, NameFAPVolcanic},
    {Charnockites, "Charnockites", true, false, false, true, NameCharnockites},
    {OlOpxCpxUMafic, "OlOpxCpxUMafic", false, false, false, true, NameOlOpxCpxUMafic},
    {OlPxHblUMafic, "OlPxHblUMafic", false, false, false, true, NameOlPxHblUMafic},
    {PlagOpxCpx, "PlagOpxCpx", false, false, false, true, NamePlagOpxCpx},
    {PlagPxHblGabbroic, "PlagPxHblGabbroic", false, false, false, true, NamePlagPxHblGabbroic},
    {PlagPxOlGabbroic, "PlagPxOlGabbroic", false, false, false, true, NamePlagPxOlGabbroic},
    {Arenites, "Arenites", false, false, false, true, NameArenites},
    {Sandstones, "Sandstones", false, false, false, true, NameSandstones},
    {Wackes, "Wackes", false, false, false, true, NameWackes},
    {Carbonatites, "Carbonatites", false, false, false, true, NameCarbonatites},
    {MelilitePlutonic, "MelilitePlutonic", false, false, false, true, NameMelilitePlutonic},
    {MeliliteVolcanic, "MeliliteVolcanic", false, false, false, true, NameMeliliteVolcanic},
};

constexpr bool InEnumOrder() {
    for (size_t k = 0; k < std::size(kClassifiers); ++k)
        if (static_cast<size_t>(kClassifiers[k].id) != k) return false;
    return true;
}
static_assert(InEnumOrder(), "Info() indexes the table by ClassifierId");

}  // namespace

std::span<const ClassifierInfo> Classifiers() { return kClassifiers; }

const ClassifierInfo& Info(ClassifierId id) { return kClassifiers[static_cast<size_t>(id)]; }

void NameSample(const ClassifierInfo& info, Sample& sample, MaficSource& mafics) {
    if (info.fromNorm) NormFelsicProportions(sample);
    if (info.ratioStep) {
        const RatioResult ratio = RatioStep(sample[kSecond], sample[kThird]);
        sample.fault = ratio.fault;
        if (ratio.fault != MathFault::None) return;
        sample[kThird] = ratio.value;
    }
    if (!info.readsFourth) sample[kFourth] = 0;
    info.name(sample, mafics);
}

void NormFelsicProportions(Sample& s) {
    const double plag = s[kThird];
    s[kAnorthite] = plag > 0 ? static_cast<float>(100.0 * s[kAnorthite] / plag) : 0.0f;
    const bool foids = s[kFourth] != 0;
    const Slot parts[] = {foids ? kFourth : kFirst, kSecond, kThird};
    double sum = 0;
    for (Slot k : parts) sum += s[k];
    if (!(sum > 0)) return;
    for (Slot k : parts) s[k] = static_cast<float>(100.0 * s[k] / sum);
}

RatioResult RatioStep(float second, float third) {
    if (!(second > 0) && !(third > 0)) return {};
    const float sum = second + third;
    if (sum == 0.0f) return {0, MathFault::DivisionByZero};
    const float value = third / sum * 100.0f;
    if (!std::isfinite(value)) return {0, MathFault::Overflow};
    return {value, MathFault::None};
}

}  // namespace classify
