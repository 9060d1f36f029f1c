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

}  // namespace graphcore
