// Analyses and look-ups shared by the norm tests.
#pragma once

#include "quarvex/norm/extended_norm.h"
#include "quarvex/norm/standard_norm.h"

#include <optional>
#include <string>

namespace normtest {

// Inputs in OxideColumns order: SiO2, TiO2, Al2O3, Fe2O3, FeO, MnO, MgO,
// CaO, Na2O, K2O, H2O+, H2O-, P2O5.
inline const norm::StandardInputs kBasalt = {49.20, 1.84, 15.74, 3.79, 7.13, 0.20, 6.73,
                                             9.47,  2.91, 1.10,  0.95, 0.43, 0.35};
inline const norm::StandardInputs kGranite = {72.04, 0.30, 14.42, 1.22, 1.68, 0.05, 0.71,
                                              1.82,  3.69, 4.12,  0.64, 0.13, 0.12};
inline const norm::StandardInputs kNephelinite = {40.60, 2.66, 14.33, 5.48, 6.17, 0.26, 6.39,
                                                  11.89, 4.79, 3.46,  1.65, 0.54, 1.07};
inline const norm::StandardInputs kPeridotite = {43.54, 0.81, 3.99, 2.51, 9.84, 0.21, 34.02,
                                                 3.46,  0.56, 0.25, 0.60, 0.0,  0.05};
inline const norm::StandardInputs kBoninite = {57.50, 0.15, 11.00, 1.50, 7.00, 0.15, 12.50,
                                               8.00,  1.50, 0.60,  1.00, 0.20, 0.03};
inline const norm::StandardInputs kAlkaliBasalt = {45.78, 2.63, 14.64, 3.16, 8.73, 0.20, 9.39,
                                                   10.74, 2.63, 0.95,  0.76, 0.0,  0.39};

// Value of the kept item with this heading in a sample row; occurrence
// counts headings that repeat ("Q" is quartz, then Q of Q-M-L, then of
// Q-Ab-Or). Empty when the item was not kept.
inline std::optional<float> Item(const norm::NormRun& run, int sample, const std::string& heading,
                                 int occurrence = 1) {
    for (int k = 1; k <= run.resultCols; ++k) {
        if (run.headings[k] == heading && --occurrence == 0) return run.results.at(sample, k);
    }
    return std::nullopt;
}

// A mineral's value: only the items before "Total", so that an absent
// quartz is not mistaken for the Q of Q-M-L.
inline std::optional<float> Mineral(const norm::NormRun& run, int sample, const std::string& heading) {
    for (int k = 1; k <= run.resultCols && run.headings[k] != "Total"; ++k) {
        if (run.headings[k] == heading) return run.results.at(sample, k);
    }
    return std::nullopt;
}

inline bool Kept(const norm::NormRun& run, const std::string& heading) {
    return Item(run, 1, heading).has_value();
}

}  // namespace normtest
