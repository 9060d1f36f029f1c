#include "quarvex/classify/rock_group.h"

namespace classify {

namespace {

struct RockGroupKey {
    std::string_view kind;
    ClassifierId classifier;
};

// Tested in this order, each key on its own.
constexpr RockGroupKey kRockGroups[] = {
    {"Charnockites", ClassifierId::Charnockites},   {"QAP-Plutonic", ClassifierId::QAPFPlutonic},
    {"FAP-Plutonic", ClassifierId::FAPPlutonic},    {"QAPF-Plutonic", ClassifierId::QAPFPlutonic},
    {"QAP-Volcanic", ClassifierId::QAPVolcanic},    {"FAP-Volcanic", ClassifierId::FAPVolcanic},
    {"QAPF-Volcanic", ClassifierId::QAPFVolcanic},
};

constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

}  // namespace

std::vector<ClassifierId> RockGroupClassifiers(std::string_view kind) {
    std::vector<ClassifierId> run;
    for (const RockGroupKey& key : kRockGroups)
        if (key.kind == kind) run.push_back(key.classifier);
    return run;
}

std::vector<std::string_view> RockGroupKinds() {
    std::vector<std::string_view> kinds;
    for (const RockGroupKey& key : kRockGroups) kinds.push_back(key.kind);
    return kinds;
}

std::optional<ClassifierId> FromNormClassifier(int msgBoxAnswer) {
    if (msgBoxAnswer == kAnswerYes) return ClassifierId::QAPFPlutonicC;
    if (msgBoxAnswer == kAnswerNo) return ClassifierId::QAPFVolcanicC;
    return std::nullopt;
}

}  // namespace classify
