// What a sheet's column heading names, as far as the norms can tell: one of
// their oxides, the analysis total, or nothing they know of.
#pragma once

#include <string_view>

namespace norm {

// The oxide heading sets' spelling of an OxideColumns entry (1 to 20).
const char* OxideHeading(int entry);

struct HeadingMeaning {
    enum Kind { Unknown, Oxide, Total } kind = Unknown;
    int entry = 0;  // the OxideColumns entry when kind is Oxide
};

// Case and blanks are ignored. An oxide is named by its spelling followed by
// nothing, by a unit or qualifier ("SiO2 (wt%)", "Al2O3 wt.%", "MgO*"), or
// by a "T" or "total" for total iron ("Fe2O3T"), but not by a longer formula
// ("SO3" names no S). The total is named by a heading that begins with
// "total" or "sum", unless it speaks of iron ("Total Fe").
HeadingMeaning ReadHeading(std::string_view heading);

// Whether a column headed so holds something other than the entry the norm
// reads there: another oxide or the total. Unknown names are the user's own.
bool NamesOtherThan(std::string_view heading, int entry);

}  // namespace norm
