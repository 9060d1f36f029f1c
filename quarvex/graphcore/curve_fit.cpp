#include "quarvex/graphcore/curve_fit.h"

#include <algorithm>
#include <numeric>

namespace graphcore {

std::vector<int> OrderByX(int n, const std::vector<float>& x) {
    std::vector<int> order(n + 1);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin() + 1, order.end(), [&x](int a, int b) { return x[a] < x[b]; });
    return order;
}

float EvaluateFit(const std::vector<float>& coefficients, int terms, float x) {
    double sum = 0.0;
    double power = 1.0;
    for (int k = 1; k <= terms; ++k) {
        sum += double(coefficients[k]) * power;
        power *= x;
    }
    return static_cast<float>(sum);
}

}  // namespace graphcore
