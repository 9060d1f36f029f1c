#include "quarvex/norm/standard_norm.h"

#include "quarvex/norm/norm_arithmetic.h"
#include "quarvex/norm/norm_constants.h"

#include <algorithm>

namespace norm {

using detail::Divide;
using detail::RowFailure;
using detail::Single;

namespace {

constexpr const char* kHeadings[] = {
    "Q",  "ap", "or", "ab", "an", "ne", "lc", "kp", "hl", "th", "ac", "il",    "mt", "hm", "sp", "ru", "ns", "ks",
    "cs", "wo", "ol", "di", "hy", "c",  "pv", "Total", "A", "M", "F", "Q", "M", "L", "Q", "Ab", "Or"};

// Weight per cation of items 1 to 13 (0 for the two waters, which are not
// converted but dropped).
constexpr double kWeights[14] = {0,           kWeightSiO2, kWeightTiO2, kWeightAl2O3, kWeightFe2O3,
                                 kWeightFeO,  kWeightMnO,  kWeightMgO,  kWeightCaO,   kWeightNa2O,
                                 kWeightK2O,  0,           0,           kWeightP2O5};

struct Cations {
    double Si, Ti, Al, Fe3, Fe2, Mg, Ca, Na, K, P;
};

// Mineral amounts in cations (or, after weighting, in weight percent).
struct Minerals {
    double Q = 0, ap = 0, orth = 0, ab = 0, an = 0, ne = 0, lc = 0, kp = 0, ac = 0, il = 0, mt = 0, hm = 0,
           sp = 0, ru = 0, ns = 0, ks = 0, cs = 0, wo = 0, ol = 0, di = 0, hy = 0, c = 0;
};

// The allocation of one analysis. mgr is Mg/(Fe2+ + Mg) of the ferromagnesian
// silicates; it keeps the previous row's value when there is neither.
Minerals Allocate(Cations a, double& mgr) {
    Minerals m;
    double& Si = a.Si;
    double& Ti = a.Ti;
    double& Al = a.Al;
    double& Fe3 = a.Fe3;
    double& Fe2 = a.Fe2;
    double& Ca = a.Ca;
    double& Na = a.Na;

    // Apatite takes at most the Ca there is. A high-silica rock can carry more
    // P2O5 than its CaO would bind; that rest of the P2O5 is left out of the
    // norm instead of being drawn from the anorthite as negative Ca.
    const double apatiteP = std::clamp(Ca / 1.667, 0.0, a.P);
    m.ap = 2.667 * apatiteP;
    Ca -= 1.667 * apatiteP;

    if (Fe2 >= Ti) {
        m.il = 2 * Ti;
        Fe2 -= Ti;
        Ti = 0;
    } else {
        m.il = 2 * Fe2;
        Ti -= Fe2;
        Fe2 = 0;
    }

    const double k0 = a.K;
    m.orth = 5 * a.K;
    Al -= a.K;
    if (Al < 0) {
        m.orth += 5 * Al;
        Al = 0;
        m.ks = 1.5 * (k0 - m.orth / 5);
        Si -= m.ks / 3;
    }

    if (Na < Al) {
        m.ab = 5 * Na;
        Al -= Na;
        Na = 0;
    } else {
        m.ab = 5 * Al;
        Na -= Al;
        if (Fe3 > Na) {
            m.ac = 4 * Na;
        } else {
            m.ac = 4 * Fe3;
            Na -= Fe3;
            m.ns = 1.5 * Na;
            Si -= m.ns / 3;
            Na -= 2 * m.ns / 3;
        }
        Al -= m.ab / 5;
        Fe3 -= m.ac / 4;
    }

    if (Al >= 2 * Ca) {
        m.an = 5 * Ca;
        Ca = 0;
        m.c = Al - 2 * m.an / 5;
    } else {
        m.an = 2.5 * Al;
        Ca -= Al / 2;
    }
    Al = 0;

    if (Ti <= Ca) {
        m.sp = 3 * Ti;
        Ca -= Ti;
    } else {
        m.sp = 3 * Ca;
        Ti -= Ca;
        m.ru = Ti;
        Ca = 0;
    }
    Si -= m.sp / 3;
    Ti = 0;

    if (Fe2 >= 0.5 * Fe3) {
        m.mt = 1.5 * Fe3;
    } else {
        m.mt = 3 * Fe2;
        m.hm = Fe3 - 2 * m.mt / 3;
    }

    Si -= 0.6 * (m.ab + m.orth) + 0.4 * m.an + 0.5 * m.ac;
    Fe2 -= m.mt / 3;
    Fe3 = 0;

    double fm = Fe2 + a.Mg;
    if (fm > 0) mgr = a.Mg / fm;

    if (fm > Ca && Al == 0) {
        m.di = 4 * Ca;
        fm -= m.di / 4;
    } else {
        m.di = 4 * fm;
        m.wo = 2 * (Ca - fm);
        fm = 0;
    }
    Si -= (m.di + m.wo) / 2;
    Ca = 0;

    m.hy = 2 * fm;
    m.Q = Si - fm;
    if (m.Q < 0) {
        m.hy += 4 * m.Q;
        m.Q = 0;
    }
    if (m.hy < 0) m.hy = 0;

    fm -= m.hy / 2;
    m.ol = 3 * (fm / 2);
    if (m.hy > 0) return m;

    Si -= m.ol / 3;

    // From here on each step frees silica for a deficit. An analysis with
    // neither Fe2+ nor Mg reaches this point with quartz left; going on would
    // turn the surplus into negative nepheline, leucite and orthosilicate.
    if (Si >= 0) return m;

    // Sphene gives up silica; perovskite is not formed in this norm.
    if (m.sp > 0) {
        double d = -Si;
        if (d > 2 * m.sp / 3) d = m.sp;
        m.sp -= 1.5 * d;
        Si += d;
        if (m.sp < 0) m.sp = 0;
    }
    if (Si >= 0) return m;

    m.ne = 1.5 * (-Si);
    if (m.ne > 0.6 * m.ab) m.ne = 0.6 * m.ab;
    m.ab -= 5 * m.ne / 3;
    if (m.ab > 0.0001) return m;
    Si += 2 * m.ne / 3;
    if (m.ab < 0) m.ab = 0;
    if (Si >= 0) return m;

    m.lc = 4 * (-Si);
    if (m.lc > 0.8 * m.orth) m.lc = 0.8 * m.orth;
    m.orth -= 5 * m.lc / 4;
    if (m.orth > 0.0001) return m;
    Si += m.lc / 4;
    if (Si >= 0) return m;

    if (m.wo != 0) {
        if (m.wo / 2 > -Si) {
            m.cs = -Si;
            m.wo += 2 * Si;
            return m;
        }
        if (m.wo / 2 < -Si) {
            m.cs = m.wo / 2;
            Si += m.wo / 2;
            m.wo = 0;
        }
    }
    if (Si >= 0) return m;

    if (m.di > -Si) {
        m.cs -= Si / 2;
        m.ol -= Si / 2;
        m.di += Si;
        return m;
    }
    if (m.di > 0 && m.di < -Si) {
        m.cs += m.di / 2;
        m.ol += m.di / 2;
        Si += m.di;
        m.di = 0;
    }
    if (Si >= 0) return m;

    m.kp = 3 * (-Si);
    if (m.kp > 0.75 * m.lc) m.kp = 0.75 * m.lc;
    m.lc -= 4 * m.kp / 3;
    return m;
}

// Weight norm: each mineral by its weight per cation, then the set scaled to
// the anhydrous total. Corundum is weighted too (51, half of Al2O3) so that
// a peraluminous rock's set still adds up to its analysis.
void ToWeights(Minerals& m, double mgr, double anhydrousTotal) {
    m.Q *= 60.1;
    m.ap *= 62;
    m.orth *= 55.6;
    m.ab *= 52.4;
    m.an *= 55.6;
    m.ne *= 47.3;
    m.lc *= 54.5;
    m.kp *= 52.7;
    m.ac *= 57.75;
    m.il *= 76;
    m.mt *= 77.3;
    m.hm *= 80;
    m.sp *= 65.3;
    m.ru *= 79.9;
    m.ns *= 40.7;
    m.ks *= 51.3;
    m.cs *= 57.3;
    m.wo *= 58;
    m.ol *= 68 - 21.1 * mgr;
    m.di *= 62 - 7.75 * mgr;
    m.hy *= 66 - 16 * mgr;
    m.c *= 51;
    double* all[] = {&m.Q,  &m.ap, &m.orth, &m.ab, &m.an, &m.ne, &m.lc, &m.kp, &m.ac, &m.il, &m.mt,
                     &m.hm, &m.c,  &m.sp,   &m.ru, &m.ns, &m.ks, &m.cs, &m.wo, &m.ol, &m.di, &m.hy};
    double w = 0;
    for (double* v : all) w += *v;
    w = Divide(w, anhydrousTotal, "anhydrous total");
    for (double* v : all) *v = Divide(*v, w, "weight sum");
}

}  // namespace

const char* StandardHeading(int item) {
    if (item < StdQ || item > StdQaoOr) return "";
    return kHeadings[item - StdQ];
}

NormRun CalcStandardNorm(const std::vector<StandardInputs>& rows, int mode, IronChoice iron) {
    const int count = static_cast<int>(rows.size());
    NormRun run = NewNormRun(count, kStandardItems, kStandardItems);
    NormTable& t = run.results;
    SampleValues& sv = run.sampleValues;

    bool anyQAbOr = false;
    double mgr = 0;
    int r = 0;
    try {
        for (r = 1; r <= count; ++r) {
            for (int k = 1; k <= 13; ++k) t.at(r, k) = Single(rows[r - 1][k - 1], "input");
        }
        if (iron.apply) {
            for (r = 1; r <= count; ++r) {
                const IronSplit split = ResplitIron(t.at(r, OxFe2O3), t.at(r, OxFeO), iron.ratio);
                t.at(r, OxFe2O3) = Single(split.fe2o3, "Fe2O3");
                t.at(r, OxFeO) = Single(split.feo, "FeO");
            }
        }
        std::vector<double> anhydrous(static_cast<size_t>(count) + 1, 0.0);
        for (r = 1; r <= count; ++r) {
            double sum = 0;
            for (int k = 1; k <= 13; ++k) sum += t.at(r, k);
            t.at(r, 14) = Single(sum, "total");
            anhydrous[r] = double(t.at(r, 14)) - t.at(r, OxH2OPlus) - t.at(r, OxH2OMinus);
        }

        for (r = 1; r <= count; ++r) {
            if (t.at(r, OxSiO2) == 0 && t.at(r, OxMgO) == 0 && t.at(r, OxNa2O) == 0) {
                // No analysis in this row: it keeps its place, empty.
                run.noAnalysis[r] = 1;
                sv.Resize(r);
                continue;
            }

            // F of A-M-F takes Fe2O3 times 1.1113, the factor the program has
            // always plotted with; changing it would move every plotted point.
            const double alk = double(t.at(r, OxNa2O)) + t.at(r, OxK2O);
            const double mgv = t.at(r, OxMgO);
            const double fev = t.at(r, OxFeO) + kFeOToFe2O3 * t.at(r, OxFe2O3);
            const double amfSum = mgv + alk + fev;
            t.at(r, StdAmfA) = Single(Divide(alk * 100, amfSum, "A-M-F sum"), "A");
            t.at(r, StdAmfM) = Single(Divide(mgv * 100, amfSum, "A-M-F sum"), "M");
            t.at(r, StdAmfF) = Single(Divide(fev * 100, amfSum, "A-M-F sum"), "F");

            const double weightSum = t.at(r, 14);
            for (int k = 1; k <= 13; ++k) {
                t.at(r, k) = kWeights[k] == 0 ? 0.0f : Single(t.at(r, k) / kWeights[k], "cation amount");
            }
            double molar = 0;
            for (int k = 1; k <= 13; ++k) molar += t.at(r, k);
            for (int k = 1; k <= 13; ++k) {
                const double scaled = mode == kWeightNormMode ? Divide(weightSum * t.at(r, k), molar, "cation sum")
                                                              : Divide(t.at(r, k) * 100.0, molar, "cation sum");
                t.at(r, k) = Single(scaled, "cation amount");
            }
            double normalised = 0;
            for (int k = 1; k <= 13; ++k) normalised += t.at(r, k);
            t.at(r, 14) = Single(normalised, "cation sum");

            const Cations cations{t.at(r, OxSiO2), t.at(r, OxTiO2), t.at(r, OxAl2O3),
                                  t.at(r, OxFe2O3), double(t.at(r, OxFeO)) + t.at(r, OxMnO), t.at(r, OxMgO),
                                  t.at(r, OxCaO), t.at(r, OxNa2O), t.at(r, OxK2O), t.at(r, OxP2O5)};
            Minerals m = Allocate(cations, mgr);
            if (mode == kWeightNormMode) ToWeights(m, mgr, anhydrous[r]);

            const double stored[] = {m.Q,  m.ap, m.orth, m.ab, m.an, m.ne, m.lc, m.kp, 0,    0,    m.ac, m.il, m.mt,
                                     m.hm, m.sp, m.ru,   m.ns, m.ks, m.cs, m.wo, m.ol, m.di, m.hy, m.c,  0};
            for (int k = StdQ; k <= StdPv; ++k) t.at(r, k) = Single(stored[k - StdQ], StandardHeading(k));
            t.at(r, StdTotal) = Single(mode == kWeightNormMode ? anhydrous[r] : double(t.at(r, 14)), "Total");

            sv.Resize(r);
            auto item = [&](int k) { return double(t.at(r, k)); };
            const double mafic = item(StdHy) + item(StdDi) + item(StdOl) + item(StdWo) + item(StdRu) + item(StdSp) +
                                 item(StdHm) + item(StdMt) + item(StdIl) + item(StdAc) + item(StdAp);
            sv.x[r] = t.at(r, StdQ);
            sv.y[r] = t.at(r, StdOr);
            sv.z[r] = Single(item(StdAn) + item(StdAb), "an + ab");
            sv.f[r] = Single(item(StdLc) + item(StdNe), "lc + ne");
            sv.anorthitePercent[r] = t.at(r, StdAn);
            sv.maficPercent[r] = Single(mafic, "mafic sum");
            sv.maficPlagioclasePercent[r] = Single(mafic + item(StdAn) + item(StdAb), "mafic and plagioclase");
            sv.pyroxenePercent[r] = Single(item(StdAc) + item(StdWo) + item(StdDi) + item(StdHy), "pyroxene");
            sv.olivinePercent[r] = t.at(r, StdOl);
            sv.silicaPercent[r] = t.at(r, OxSiO2);

            double q = m.Q + m.ol / 3 - (m.mt + m.il + m.hm) - 2 * (m.ne + m.kp) / 3 - m.lc / 4;
            double mv = m.di + m.hy + 4 * m.ol / 3 + 2 * (m.mt + m.il + m.hm) + m.wo + m.ac;
            double l = m.orth + m.ab + m.an + 5 * (m.ne + m.kp) / 3 + 5 * m.lc / 4;
            q = 100 + q;
            l = Divide(l, l + mv + 0.0001, "Q-M-L sum") * 100;
            mv = Divide(mv, l + mv + 0.0001, "Q-M-L sum") * 100;
            const double qml = q + mv + l;
            t.at(r, StdQmlQ) = Single(Divide(q * 100, qml, "Q-M-L total"), "Q");
            t.at(r, StdQmlM) = Single(Divide(mv * 100, qml, "Q-M-L total"), "M");
            t.at(r, StdQmlL) = Single(Divide(l * 100, qml, "Q-M-L total"), "L");
            run.resultCols = StdQmlL;

            if (!(m.Q <= 0 || m.Q + m.ab + m.orth < 60)) {
                const double s = m.Q + m.ab + m.orth + 0.0001;
                t.at(r, StdQaoQ) = Single(100 * m.Q / s, "Q");
                t.at(r, StdQaoAb) = Single(100 * m.ab / s, "Ab");
                t.at(r, StdQaoOr) = Single(100 * m.orth / s, "Or");
                anyQAbOr = true;
            }
        }
    } catch (const RowFailure& failure) {
        run.failure = NormFailure{r, failure.reason};
        return run;
    }

    // Q-Ab-Or is shown when any row has it; the other rows show 0 there.
    run.resultCols = anyQAbOr ? StdQaoOr : StdQmlL;

    // Keep the items whose column is not all 0, in their order from item 1
    // on; row 0 records which item each position came from.
    std::vector<int> kept;
    for (int k = StdQ; k <= run.resultCols; ++k) {
        double sum = 0;
        for (int row = 1; row <= run.resultRows; ++row) sum += t.at(row, k);
        if (sum != 0) kept.push_back(k);
    }
    for (int k = 0; k <= kStandardItems; ++k) t.at(0, k) = 0;
    run.headings.assign(kept.size() + 1, std::string());
    for (size_t j = 0; j < kept.size(); ++j) {
        const int position = static_cast<int>(j) + 1;
        t.at(0, position) = static_cast<float>(kept[j]);
        for (int row = 1; row <= run.resultRows; ++row) t.at(row, position) = t.at(row, kept[j]);
        run.headings[position] = StandardHeading(kept[j]);
    }
    run.resultCols = static_cast<int>(kept.size());
    return run;
}

}  // namespace norm
