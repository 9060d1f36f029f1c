// Classification rules as data: each rule is a conjunction of comparisons
// and a rock name, or a conjunction that opens a list of sub-rules. Every
// rule of a list is tested in order and each one that holds overwrites the
// name, so the last one that holds decides.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace classify {

// What a rule can compare. The first ten values are single precision, as
// the sample arrays are; the oxide values of the volcanic norm rules are
// double precision, as the cells they come from are read.
enum Slot : uint8_t {
    kFirst,      // XValues
    kSecond,     // YValues
    kThird,      // ZValues (after the ratio step where a diagram takes it)
    kFourth,     // FValues
    kMafic,      // MaficPercent
    kAnorthite,  // AnorthitePercent
    kOlivine,    // OlivinePercent
    kPyroxene,   // PyroxenePercent (norm only)
    kMaficPlag,  // MaficPlagioclasePercent (norm only)
    kSilica,     // SilicaPercent (norm only)
    kSingleSlots,
    kSiO2 = kSingleSlots,
    kTiO2,
    kMgO,
    kNa2O,
    kK2O,
    kAlkalis,  // Na2O + K2O
    kSlotCount,
};

enum class Op : uint8_t { Lt, Le, Gt, Ge, Eq, Ne };

// slot op threshold, or slot op another slot when `against` names one.
struct Test {
    Slot slot = kFirst;
    Op op = Op::Lt;
    double threshold = 0;
    Slot against = kSlotCount;
};

// A component as the rule tables name it (Q, P, Ol, ...); comparing it with
// a number makes a Test, so a table row reads `Q > 5, Q < 20`.
struct Letter {
    Slot slot;
    constexpr Test operator<(double t) const { return {slot, Op::Lt, t}; }
    constexpr Test operator<=(double t) const { return {slot, Op::Le, t}; }
    constexpr Test operator>(double t) const { return {slot, Op::Gt, t}; }
    constexpr Test operator>=(double t) const { return {slot, Op::Ge, t}; }
    constexpr Test operator==(double t) const { return {slot, Op::Eq, t}; }
    constexpr Test operator!=(double t) const { return {slot, Op::Ne, t}; }
    constexpr Test operator>(Letter other) const { return {slot, Op::Gt, 0, other.slot}; }
};

struct Rule {
    static constexpr int kMaxTests = 6;

    const char* name = nullptr;  // null for a rule that opens sub-rules
    std::array<Test, kMaxTests> tests{};
    uint8_t testCount = 0;
    bool asks = false;  // runs the mafic-composition question before its sub-rules
    std::span<const Rule> subRules{};

    constexpr Rule(const char* rockName, std::initializer_list<Test> conditions) : name(rockName) {
        setTests(conditions);
    }
    constexpr Rule(std::initializer_list<Test> conditions, std::span<const Rule> subs, bool asksMafics)
        : asks(asksMafics), subRules(subs) {
        setTests(conditions);
    }

private:
    constexpr void setTests(std::initializer_list<Test> conditions) {
        // More than kMaxTests comparisons fail to compile in a constexpr table.
        if (conditions.size() > kMaxTests) throw "too many comparisons in one rule";
        for (const Test& t : conditions) tests[testCount++] = t;
    }
};

// A rule whose comparisons open sub-rules after the mafic question.
template <size_t N>
constexpr Rule Asks(std::initializer_list<Test> conditions, const Rule (&subs)[N]) {
    return Rule(conditions, std::span<const Rule>(subs), true);
}
// A rule whose comparisons open sub-rules without a question.
template <size_t N>
constexpr Rule Then(std::initializer_list<Test> conditions, const Rule (&subs)[N]) {
    return Rule(conditions, std::span<const Rule>(subs), false);
}

// A step of the run that the runtime would have stopped with an error.
enum class MathFault : uint8_t { None, DivisionByZero, Overflow };

// One sample as the rules see it, and the name they gave it (null: no rule
// held, the name cell keeps its text).
struct Sample {
    std::array<float, kSingleSlots> single{};
    std::array<double, kSlotCount - kSingleSlots> oxide{};
    const char* name = nullptr;
    MathFault fault = MathFault::None;  // set by a ratio step that failed

    float& operator[](Slot s) { return single[s]; }
    float operator[](Slot s) const { return single[s]; }
    double& Oxide(Slot s) { return oxide[s - kSingleSlots]; }
};

// The mafic-composition step: asked when a rule marked so holds; it stores
// the row's MaficPercent, AnorthitePercent and OlivinePercent into the
// sample as they stand after the question.
class MaficSource {
public:
    virtual ~MaficSource() = default;
    virtual void Ask(Sample& sample) = 0;
};

// Tests every rule of the list in order (sub-rules where their rule holds).
void ApplyRules(std::span<const Rule> rules, Sample& sample, MaficSource& mafics);

// True when every comparison of the rule holds for the sample.
bool Holds(const Rule& rule, const Sample& sample);

}  // namespace classify
