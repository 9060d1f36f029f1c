// Checks shared by both norms: every value stored into the single-precision
// result table must fit, and every division must have a divisor, so that no
// infinity or NaN ever reaches a sheet.
#pragma once

#include <cmath>
#include <limits>
#include <string>

namespace norm::detail {

// Thrown inside a norm run; the run ends there and reports the row.
struct RowFailure {
    std::string reason;
};

inline float Single(double value, const char* what) {
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
        throw RowFailure{std::string(what) + " out of range"};
    }
    return static_cast<float>(value);
}

inline double Divide(double dividend, double divisor, const char* what) {
    if (divisor == 0) throw RowFailure{std::string(what) + " is 0"};
    return dividend / divisor;
}

}  // namespace norm::detail
