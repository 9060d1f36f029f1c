// Speed of a degree-4 curve fit on 15,000 samples in random X order: the
// window's sort by X (six per-sample arrays carried along), the fit, and
// the fitted value at every sample. Run by hand: bench_curve_fit.
#include "quarvex/graphcore/curve_fit.h"
#include "quarvex/graphcore/lst_squares.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSamples = 15000;
constexpr int kRuns = 9;

template <class T>
void Permute(std::vector<T>& v, const std::vector<int>& order) {
    std::vector<T> out(v.size());
    for (std::size_t i = 0; i < order.size(); ++i) out[i] = v[order[i]];
    v.swap(out);
}

}  // namespace

int main() {
    std::mt19937 rng(12);
    std::uniform_real_distribution<float> ux(40.0f, 77.0f), noise(-0.5f, 0.5f);
    std::vector<float> x0(kSamples + 1), y0(kSamples + 1);
    for (int i = 1; i <= kSamples; ++i) {
        x0[i] = ux(rng);
        const double t = x0[i] - 58.0;
        y0[i] = static_cast<float>(3 + 0.2 * t - 0.01 * t * t + 1e-4 * t * t * t + noise(rng));
    }
    std::vector<double> times;
    float sd = 0;
    std::vector<float> coef;
    for (int run = 0; run < kRuns; ++run) {
        auto x = x0, y = y0;
        std::vector<float> colour(kSamples + 1, 0xC0C0C0), symbol(kSamples + 1, 3);
        std::vector<int> chars(kSamples + 1, 117);
        std::vector<std::string> label(kSamples + 1, "S-000000    ");
        const auto start = std::chrono::steady_clock::now();
        const auto order = graphcore::OrderByX(kSamples, x);
        Permute(x, order);
        Permute(y, order);
        Permute(colour, order);
        Permute(symbol, order);
        Permute(chars, order);
        Permute(label, order);
        std::vector<float> fittedY;
        coef.assign(7, 0.0f);
        int16_t degree = 4;
        LstSquares::PolyFit(kSamples, x, y, degree, sd, coef, fittedY);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("degree-4 fit of %d samples, sort included: median %.2f ms (min %.2f, max %.2f)\n",
                kSamples, times[kRuns / 2], times.front(), times.back());
    std::printf("coefficients %g %g %g %g %g, deviation %g\n", coef[1], coef[2], coef[3], coef[4],
                coef[5], sd);
    return 0;
}
