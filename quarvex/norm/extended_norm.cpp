#include "quarvex/norm/extended_norm.h"

#include "quarvex/norm/norm_arithmetic.h"
#include "quarvex/norm/norm_constants.h"
#include "quarvex/norm/standard_norm.h"

#include <algorithm>

namespace norm {

using detail::Divide;
using detail::RowFailure;
using detail::Single;

namespace {

constexpr const char* kHeadings[] = {
    "Q",  "ab", "an", "kf", "ap", "hl", "th", "pr", "cm", "cc", "ma", "il", "nc", "kc", "kp", "ne", "cn", "ac",  "ns",
    "ks", "c",  "pv", "mt", "di", "ol", "me", "hm", "ru", "fl", "wo", "ak", "gh", "zn", "ba", "tn", "lc", "hy",
    "Excess CO2", "Total"};

constexpr std::array<double, 18> kWeights = {kWeightSiO2,  kWeightTiO2, kWeightAl2O3, kWeightFe2O3, kWeightFeO,
                                             kWeightMnO,   kWeightMgO,  kWeightCaO,   kWeightNa2O,  kWeightK2O,
                                             kWeightP2O5,  kWeightCO2,  kWeightCl,    kWeightF,     kWeightS,
                                             kWeightSO3,   kWeightCr2O3, kWeightZrO2};

enum Input { InSi, InTi, InAl, InFe3, InFe2, InMn, InMg, InCa, InNa, InK, InP, InCO2, InCl, InF, InS, InSO3, InCr, InZr };

// The allocation of one analysis into items 1 to 38 (in units), plus the
// calcium orthosilicate that is weighed but never reported.
struct Allocation {
    std::array<double, ExTotal> item{};  // index = item, 0 unused
    double cs = 0;
    double m = 0;  // Mg/(Mg + Fe2+) of the ferromagnesian silicates
};

Allocation Allocate(const std::array<double, 18>& p) {
    Allocation out;
    auto& x = out.item;
    double Si = p[InSi], Ti = p[InTi], Al = p[InAl], Fe3 = p[InFe3], Fe2 = p[InFe2] + p[InMn], Mg = p[InMg],
           Ca = p[InCa], Na = p[InNa], K = p[InK];

    // Apatite, fluorite and calcite each take at most the Ca that is left, so
    // no later mineral is built on negative Ca. The P2O5 and F beyond it are
    // left out of the norm; the CO2 beyond it is the "Excess CO2" item.
    const double apatiteP = std::clamp(Ca / 1.667, 0.0, double(p[InP]));
    x[ExAp] = 2.667 * apatiteP;
    Ca -= 1.667 * apatiteP;
    x[ExHl] = 2 * p[InCl];
    Na -= p[InCl];
    const double fluoriteF = std::clamp(2 * Ca, 0.0, double(p[InF]));
    x[ExFl] = 1.5 * fluoriteF;
    Ca -= fluoriteF / 2;
    x[ExTh] = 3 * p[InSO3];
    Na -= 2 * p[InSO3];
    x[ExPr] = 1.5 * p[InS];
    Fe2 -= x[ExPr] / 3;
    x[ExCm] = 1.5 * p[InCr];
    Fe2 -= 0.5 * p[InCr];
    x[ExZn] = 2 * p[InZr];
    Si -= p[InZr];
    const double calciteCO2 = std::clamp(Ca, 0.0, double(p[InCO2]));
    x[ExCc] = 2 * calciteCO2;
    Ca -= calciteCO2;
    x[ExExcessCO2] = p[InCO2] - calciteCO2;
    if (Fe2 >= Ti) {
        x[ExIl] = 2 * Ti;
        Fe2 -= Ti;
        Ti = 0;
    } else {
        x[ExIl] = 2 * Fe2;
        Ti -= Fe2;
        Fe2 = 0;
    }

    x[ExKf] = 5 * K;
    Al -= K;
    if (Al < 0) {
        x[ExKf] += 5 * Al;
        Al = 0;
        x[ExKs] = 1.5 * (K - x[ExKf] / 5);
        Si -= x[ExKs] / 3;
    }
    if (Na < Al) {
        x[ExAb] = 5 * Na;
        Al -= Na;
    } else {
        x[ExAb] = 5 * Al;
        Na -= Al;
        Al = 0;
        if (Fe3 > Na) {
            x[ExAc] = 4 * Na;
            Fe3 -= Na;
        } else {
            x[ExAc] = 4 * Fe3;
            Na -= Fe3;
            x[ExNs] = 1.5 * Na;
            Si -= x[ExNs] / 3;
            Fe3 = 0;
        }
    }
    if (Al >= 2 * Ca) {
        x[ExAn] = 5 * Ca;
        x[ExC] = Al - 2 * Ca;
        Ca = 0;
    } else {
        x[ExAn] = 2.5 * Al;
        Ca -= Al / 2;
    }
    if (Si != 0 && Ti <= Ca) {
        x[ExTn] = 3 * Ti;
        Ca -= Ti;
        Si -= Ti;
    } else {
        x[ExTn] = 3 * Ca;
        Ti -= Ca;
        x[ExRu] = Ti;
        Si -= x[ExTn] / 3;
        Ca = 0;
    }
    Si -= 0.6 * (x[ExKf] + x[ExAb]) + 0.4 * x[ExAn] + 0.5 * x[ExAc];

    if (Fe2 >= 0.5 * Fe3) {
        x[ExMt] = 1.5 * Fe3;
    } else {
        x[ExMt] = 3 * Fe2;
        x[ExHm] = Fe3 - 2 * x[ExMt] / 3;
    }
    Fe2 -= x[ExMt] / 3;
    double fm = Mg + Fe2;
    // A rock without Mg and Fe2+ forms no ferromagnesian silicate; m only
    // weighs them, so 0 serves.
    out.m = fm == 0 ? 0 : Mg / fm;

    if (fm > Ca) {
        x[ExDi] = 4 * Ca;
        fm -= Ca;
    } else {
        x[ExDi] = 4 * fm;
        x[ExWo] = 2 * (Ca - fm);
        fm = 0;
    }
    Si -= (x[ExWo] + x[ExDi]) / 2;
    x[ExHy] = 2 * fm;
    x[ExQ] = Si - fm;
    if (x[ExQ] < 0) {
        x[ExHy] += 4 * x[ExQ];
        x[ExQ] = 0;
    }
    if (x[ExHy] < 0) x[ExHy] = 0;
    fm -= x[ExHy] / 2;
    x[ExOl] = 1.5 * fm;
    if (x[ExHy] > 0) return out;

    // Each stage below frees silica for a deficit and runs only while one is
    // left; without the checks a rock with no Fe2+ or Mg would turn its quartz
    // into negative feldspathoids.
    Si -= x[ExOl] / 3;
    if (Si >= 0) return out;
    if (x[ExTn] > 0) {
        x[ExPv] = std::min(-Si, 2 * x[ExTn] / 3);
        x[ExTn] -= 1.5 * x[ExPv];
        Si += x[ExPv];
        if (x[ExTn] < 0) x[ExTn] = 0;
    }
    if (Si >= 0) return out;

    x[ExNe] = std::min(1.5 * -Si, 3 * x[ExAb] / 5);
    x[ExAb] -= 5 * x[ExNe] / 3;
    if (x[ExAb] > 0.0001) return out;
    Si += 2 * x[ExNe] / 3;
    if (x[ExAb] < 0) x[ExAb] = 0;
    if (Si >= 0) return out;

    x[ExLc] = std::min(4 * -Si, 4 * x[ExKf] / 5);
    x[ExKf] -= 5 * x[ExLc] / 4;
    if (x[ExKf] > 0.0001) return out;
    Si += x[ExLc] / 4;
    if (Si >= 0) return out;

    double fromWo = 0;
    double fromDi = 0;
    if (x[ExWo] > 0) {
        fromWo = std::min(3 * -Si, 3 * x[ExWo] / 4);
        x[ExWo] -= 4 * fromWo / 3;
        Si += fromWo / 3;
    }
    if (Si < 0 && x[ExDi] > 0) {
        fromDi = std::min(1.5 * -Si, 3 * x[ExDi] / 8);
        x[ExDi] -= 8 * fromDi / 3;
        x[ExOl] += fromDi;
        Si += 2 * fromDi / 3;
    }
    out.cs = fromWo + fromDi;
    if (Si >= 0 || x[ExDi] > 0) return out;

    x[ExKp] = std::min(3 * -Si, 3 * x[ExLc] / 4);
    x[ExLc] -= 4 * x[ExKp] / 3;
    return out;
}

// Weight per unit of each item in the weight norm; 0 for the items that are
// always 0. Corundum is half of Al2O3.
double ItemWeight(int item, double m) {
    switch (item) {
    case ExQ: return 60.1;
    case ExC: return 51;
    case ExCm: return 74.7;
    case ExZn: return 91.5;
    case ExAp: return 62;
    case ExKf: return 55.6;
    case ExAb: return 52.4;
    case ExAn: return 55.6;
    case ExNe: return 47.3;
    case ExLc: return 54.5;
    case ExKp: return 52.7;
    case ExHl: return 58.4;
    case ExTh: return 47.3;
    case ExAc: return 57.75;
    case ExIl: return 76;
    case ExMt: return 77.3;
    case ExHm: return 80;
    case ExTn: return 65.3;
    case ExRu: return 79.9;
    case ExCc: return 50;
    case ExExcessCO2: return kWeightCO2;
    case ExPr: return 60;
    case ExFl: return 39;
    case ExPv: return 68;
    case ExNs: return 40.7;
    case ExKs: return 51.3;
    case ExWo: return 58;
    case ExOl: return 68 - 21.1 * m;
    case ExDi: return 62 - 7.75 * m;
    case ExHy: return 66 - 16 * m;
    default: return 0;
    }
}

constexpr double kCalciumOrthosilicateWeight = 57.3;

}  // namespace

const char* ExtendedHeading(int item) {
    if (item < ExQ || item > ExTotal) return "";
    return kHeadings[item - ExQ];
}

NormRun CalcExtendedNorm(const std::vector<ExtendedInputs>& rows, int mode, IronChoice iron) {
    const int count = static_cast<int>(rows.size());
    NormRun run = NewNormRun(count, kExtendedItems, ExTotal);
    NormTable& t = run.results;
    SampleValues& sv = run.sampleValues;

    int r = 0;
    try {
        for (r = 1; r <= count; ++r) {
            std::array<float, 18> input{};
            for (size_t i = 0; i < input.size(); ++i) input[i] = Single(rows[r - 1][i], "input");
            if (iron.apply) {
                const IronSplit split = ResplitIron(input[InFe3], input[InFe2], iron.ratio);
                input[InFe3] = Single(split.fe2o3, "Fe2O3");
                input[InFe2] = Single(split.feo, "FeO");
            }
            // Only a blank row is left empty: a carbonatite without SiO2, MgO
            // or Na2O is still an analysis this norm is meant for.
            if (std::all_of(input.begin(), input.end(), [](float v) { return v == 0; })) {
                run.noAnalysis[r] = 1;
                sv.Resize(r);
                continue;
            }

            double anhydrous = 0;
            for (float v : input) anhydrous += v;
            std::array<float, 18> proportion{};
            double sum = 0;
            for (size_t i = 0; i < input.size(); ++i) {
                proportion[i] = Single(input[i] / kWeights[i], "proportion");
                sum += proportion[i];
            }
            std::array<double, 18> units{};
            for (size_t i = 0; i < input.size(); ++i) {
                proportion[i] = Single(Divide(proportion[i] * 100.0, sum, "sum of proportions"), "proportion");
                units[i] = proportion[i];
            }

            Allocation a = Allocate(units);
            for (int k = ExQ; k < ExTotal; ++k) {
                if (k == ExAn) continue;
                if (a.item[k] < 0.01 || a.item[k] > 100) a.item[k] = 0;
            }
            if (mode == kWeightNormMode) {
                double w = a.cs * kCalciumOrthosilicateWeight;
                for (int k = ExQ; k < ExTotal; ++k) {
                    a.item[k] *= ItemWeight(k, a.m);
                    w += a.item[k];
                }
                const double scale = Divide(w, anhydrous, "anhydrous total");
                for (int k = ExQ; k < ExTotal; ++k) a.item[k] = Divide(a.item[k], scale, "weight sum");
            }
            double total = 0;
            for (int k = ExQ; k < ExTotal; ++k) {
                t.at(r, k) = Single(a.item[k], ExtendedHeading(k));
                total += t.at(r, k);
            }
            t.at(r, ExTotal) = Single(total, "Total");

            sv.Resize(r);
            auto item = [&](int k) { return double(t.at(r, k)); };
            sv.x[r] = t.at(r, ExQ);
            sv.y[r] = t.at(r, ExKf);
            sv.z[r] = Single(item(ExAb) + item(ExAn), "ab + an");
            sv.f[r] = Single(item(ExNe) + item(ExLc), "ne + lc");
            sv.anorthitePercent[r] = t.at(r, ExAn);
            sv.maficPercent[r] = Single(item(ExHy) + item(ExTn) + item(ExWo) + item(ExRu) + item(ExHm) + item(ExDi) +
                                            item(ExC) + item(ExMt) + item(ExAc) + item(ExIl) + item(ExCc),
                                        "mafic sum");
            // Titanite, as the classifiers have always been given it here.
            sv.olivinePercent[r] = t.at(r, ExTn);
            sv.silicaPercent[r] = t.at(r, ExQ);
        }
    } catch (const RowFailure& failure) {
        run.failure = NormFailure{r, failure.reason};
        return run;
    }

    std::vector<int> kept;
    for (int k = ExQ; k <= ExTotal; ++k) {
        double sum = 0;
        for (int row = 1; row <= count; ++row) sum += t.at(row, k);
        if (sum > 0) kept.push_back(k);
    }
    run.headings.assign(kept.size() + 1, std::string());
    for (size_t j = 0; j < kept.size(); ++j) {
        const int position = static_cast<int>(j) + 1;
        for (int row = 1; row <= count; ++row) t.at(row, position) = t.at(row, kept[j]);
        run.headings[position] = ExtendedHeading(kept[j]);
    }
    run.resultCols = static_cast<int>(kept.size());
    return run;
}

}  // namespace norm
