#include "quarvex/norm/oxide_headings.h"

#include "quarvex/norm/norm_constants.h"

#include <array>
#include <string>

namespace norm {

namespace {

constexpr std::array<const char*, kOxideEntries + 1> kOxideHeadings = {
    "",     "SiO2", "TiO2", "Al2O3", "Fe2O3", "FeO", "MnO", "MgO", "CaO", "Na2O", "K2O",
    "H2O+", "H2O-", "P2O5", "CO2",   "CL",    "F",   "S",   "SO3", "CR2O3", "ZRO2"};

bool isAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

std::string folded(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

// What may follow a formula without making it another one: nothing,
// punctuation ("(wt%)", ".", "*", "[ppm]") or a unit written out.
bool endsFormula(std::string_view rest) {
    if (rest.empty() || !isAlnum(rest.front())) return true;
    for (std::string_view unit : {"wt", "mol", "ppm"})
        if (rest.starts_with(unit)) return true;
    return false;
}

bool namesOxide(std::string_view heading, std::string_view spelling) {
    if (!heading.starts_with(spelling)) return false;
    std::string_view rest = heading.substr(spelling.size());
    if (endsFormula(rest)) return true;
    // Total iron is written "Fe2O3T", "FeOt", "FeO total".
    for (std::string_view total : {"total", "tot", "t"})
        if (rest.starts_with(total) && endsFormula(rest.substr(total.size()))) return true;
    return false;
}

}  // namespace

const char* OxideHeading(int entry) {
    return entry >= 1 && entry <= kOxideEntries ? kOxideHeadings[static_cast<size_t>(entry)] : "";
}

HeadingMeaning ReadHeading(std::string_view heading) {
    const std::string h = folded(heading);
    if (h.empty()) return {};
    for (int entry = 1; entry <= kOxideEntries; ++entry)
        if (namesOxide(h, folded(kOxideHeadings[static_cast<size_t>(entry)]))) return {HeadingMeaning::Oxide, entry};
    if (h.starts_with("total") || h.starts_with("sum")) {
        if (h.find("fe") != std::string::npos || h.find("iron") != std::string::npos) return {};
        return {HeadingMeaning::Total, 0};
    }
    return {};
}

bool NamesOtherThan(std::string_view heading, int entry) {
    const HeadingMeaning m = ReadHeading(heading);
    return m.kind == HeadingMeaning::Total || (m.kind == HeadingMeaning::Oxide && m.entry != entry);
}

}  // namespace norm
