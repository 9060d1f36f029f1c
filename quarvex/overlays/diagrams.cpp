#include "quarvex/overlays/diagram_tables.h"

#include <array>

namespace quarvex::overlays {
namespace {

constexpr std::array<const Diagram*, 19> kAll = {
    &kCarbonatites, &kCharnockites, &kMelilitePlutonic, &kMeliliteVolcanic, &kQapPlutonic,
    &kFapPlutonic,  &kPlagPxOl,     &kPlagPxHbl,        &kOlOpxCpx,         &kOlPxHbl,
    &kPlagOPxCPx,   &kQapVolcanic,  &kFapVolcanic,      &kTasVolcanic,      &kSandstones,
    &kArenites,     &kWackes,       &kQapfPlutonic,     &kQapfVolcanic,
};

}  // namespace

std::string PaperKeyLine(const KeyRow& row) {
    std::string_view letter = row.cell;
    if (letter.ends_with('.')) letter.remove_suffix(1);
    std::string line(letter);
    line += " - ";
    line += row.paperName ? row.paperName : row.name;
    return line;
}

const Diagram* FindDiagram(std::string_view diagramType) {
    for (const Diagram* diagram : kAll) {
        if (diagramType == diagram->type) return diagram;
    }
    return nullptr;
}

std::span<const Diagram* const> AllDiagrams() { return kAll; }

}  // namespace quarvex::overlays
