// Names one sample the way the classification run does, with the mafic
// answers a test scripts.
#pragma once

#include "quarvex/classify/classifiers.h"

#include <string>

namespace classify::testing {

// Answers every question with the same M, An and Ol and counts them.
class ScriptedMafics final : public MaficSource {
public:
    ScriptedMafics(float m = 0, float an = 0, float ol = 0) : m_(m), an_(an), ol_(ol) {}
    void Ask(Sample& s) override {
        ++asked;
        s[kMafic] = m_;
        s[kAnorthite] = an_;
        s[kOlivine] = ol_;
    }
    int asked = 0;

private:
    float m_, an_, ol_;
};

// The rock name ("" when no rule holds) of components first..fourth.
inline std::string Name(ClassifierId id, float first, float second, float third, float fourth = 0,
                        MaficSource* mafics = nullptr) {
    Sample s;
    s[kFirst] = first;
    s[kSecond] = second;
    s[kThird] = third;
    s[kFourth] = fourth;
    NoMafics none;
    NameSample(Info(id), s, mafics ? *mafics : none);
    return s.name ? s.name : "";
}

// QAPF-style rows given as the rules see them: Q (or F) and P after the
// ratio step, which is therefore not made again.
inline std::string NameQP(ClassifierId id, float q, float p, MaficSource* mafics = nullptr, float f = 0) {
    Sample s;
    s[kFirst] = q;
    s[kSecond] = 100 - p;
    s[kThird] = p;
    s[kFourth] = f;
    NoMafics none;
    Info(id).name(s, mafics ? *mafics : none);
    return s.name ? s.name : "";
}

}  // namespace classify::testing
