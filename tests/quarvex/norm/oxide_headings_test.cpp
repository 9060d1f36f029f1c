// The norms' check of the headings over the columns they read: sheets laid
// out otherwise (units, other names for the total, shifted columns) are
// refused, the user's own spellings of the right oxide run.
#include "quarvex/norm/norm_constants.h"
#include "quarvex/norm/oxide_headings.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* heading;
    int entry;  // read in that column
    bool refused;
};

TEST(OxideHeadings, RefuseAnotherOxideOrTheTotalWhateverTheirUnits) {
    const Case cases[] = {
        // The heading sets' own spellings and the same oxides with units.
        {"SiO2", norm::OxSiO2, false},
        {" sio 2 ", norm::OxSiO2, false},
        {"SiO2 (wt%)", norm::OxSiO2, false},
        {"SiO2 wt.%", norm::OxSiO2, false},
        {"SiO2wt%", norm::OxSiO2, false},
        {"Al2O3 [wt%]", norm::OxAl2O3, false},
        {"MgO*", norm::OxMgO, false},
        {"MgO %", norm::OxMgO, false},
        {"Fe2O3T", norm::OxFe2O3, false},
        {"FeOt (wt%)", norm::OxFeO, false},
        {"H2O- (wt%)", norm::OxH2OMinus, false},
        {"Cl (ppm)", norm::OxCl, false},
        {"S", norm::OxS, false},
        {"CR2O3", norm::OxCr2O3, false},
        // Nothing known: the user's own names pass.
        {"", norm::OxSiO2, false},
        {"Silica", norm::OxSiO2, false},
        {"LOI", norm::OxH2OPlus, false},
        {"H2O", norm::OxH2OPlus, false},
        {"Total Fe", norm::OxFe2O3, false},
        {"Fe2O3x", norm::OxFe2O3, false},
        // Another oxide, units or not; a longer formula is not its prefix.
        {"Al2O3 (wt%)", norm::OxSiO2, true},
        {"TiO2 wt.%", norm::OxSiO2, true},
        {"FeO", norm::OxSiO2, true},
        {"FeOT", norm::OxFe2O3, true},
        {"H2O+", norm::OxH2OMinus, true},
        {"SO3", norm::OxS, true},
        {"SiO2", norm::OxS, true},
        {"Fe2O3", norm::OxF, true},
        // The total under its usual names.
        {"Total", norm::OxCl, true},
        {"Sum", norm::OxCl, true},
        {"SUM", norm::OxCl, true},
        {"Totals", norm::OxCl, true},
        {"Total (wt%)", norm::OxCl, true},
    };
    for (const Case& c : cases) EXPECT_EQ(norm::NamesOtherThan(c.heading, c.entry), c.refused) << '"' << c.heading << '"';
}

}  // namespace
