#include "quarvex/classify/rule_table.h"

namespace classify {

namespace {

template <typename T>
bool Compare(T value, Op op, T threshold) {
    switch (op) {
    case Op::Lt: return value < threshold;
    case Op::Le: return value <= threshold;
    case Op::Gt: return value > threshold;
    case Op::Ge: return value >= threshold;
    case Op::Eq: return value == threshold;
    case Op::Ne: return value != threshold;
    }
    return false;
}

bool Holds(const Test& t, const Sample& s) {
    if (t.against != kSlotCount) return Compare(s.single[t.slot], t.op, s.single[t.against]);
    if (t.slot < kSingleSlots) return Compare(s.single[t.slot], t.op, static_cast<float>(t.threshold));
    return Compare(s.oxide[t.slot - kSingleSlots], t.op, t.threshold);
}

}  // namespace

bool Holds(const Rule& rule, const Sample& sample) {
    for (int k = 0; k < rule.testCount; ++k)
        if (!Holds(rule.tests[static_cast<size_t>(k)], sample)) return false;
    return true;
}

void ApplyRules(std::span<const Rule> rules, Sample& sample, MaficSource& mafics) {
    for (const Rule& rule : rules) {
        if (!Holds(rule, sample)) continue;
        if (rule.subRules.empty()) {
            sample.name = rule.name;
            continue;
        }
        if (rule.asks) mafics.Ask(sample);
        ApplyRules(rule.subRules, sample, mafics);
    }
}

}  // namespace classify
