// Speed of the rock classification on 15,000 samples: the rule evaluation
// alone for every classifier. Run by hand: bench_classify.
#include "quarvex/classify/classifiers.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSamples = 15000;
constexpr int kRuns = 9;

// Answers like "Ignore All": the row reads what MaficInputs hold.
class IgnoreAll final : public classify::MaficSource {
public:
    void Ask(classify::Sample&) override {}
};

// Normalised three-component rows spread over the whole triangle, with a
// fourth component on every third row.
std::vector<classify::Sample> Rows() {
    std::vector<classify::Sample> rows(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        const float a = static_cast<float>((i * 37) % 101), b = static_cast<float>((i * 53) % (101 - (i * 37) % 101));
        classify::Sample& s = rows[static_cast<size_t>(i)];
        s[classify::kFirst] = i % 3 == 0 ? 0 : a;
        s[classify::kFourth] = i % 3 == 0 ? a : 0;
        s[classify::kSecond] = b;
        s[classify::kThird] = 100 - a - b;
        s[classify::kMafic] = static_cast<float>(i % 100);
        s[classify::kAnorthite] = static_cast<float>((i * 7) % 100);
        s[classify::kOlivine] = static_cast<float>((i * 11) % 100);
        s[classify::kPyroxene] = static_cast<float>((i * 13) % 100);
        s[classify::kMaficPlag] = static_cast<float>(80 + i % 20);
        s[classify::kSilica] = static_cast<float>(45 + i % 15);
        s.Oxide(classify::kSiO2) = 40 + i % 30;
        s.Oxide(classify::kMgO) = i % 25;
        s.Oxide(classify::kTiO2) = (i % 30) / 10.0;
        s.Oxide(classify::kAlkalis) = (i % 40) / 10.0;
    }
    return rows;
}

}  // namespace

int main() {
    const std::vector<classify::Sample> rows = Rows();
    std::printf("%-20s %12s %8s\n", "classifier", "best ms", "named");
    for (const classify::ClassifierInfo& info : classify::Classifiers()) {
        if (!info.hasBody) continue;
        double best = 1e9;
        int named = 0;
        for (int run = 0; run < kRuns; ++run) {
            std::vector<classify::Sample> work = rows;
            IgnoreAll mafics;
            const auto start = std::chrono::steady_clock::now();
            for (classify::Sample& s : work) classify::NameSample(info, s, mafics);
            const auto stop = std::chrono::steady_clock::now();
            best = std::min(best, std::chrono::duration<double, std::milli>(stop - start).count());
            named = static_cast<int>(std::count_if(work.begin(), work.end(), [](const auto& s) { return s.name; }));
        }
        std::printf("%-20s %12.3f %8d\n", info.procedure, best, named);
    }
    return 0;
}
