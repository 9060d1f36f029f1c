// Which classifier the two dispatchers run: by the active sheet's diagram
// kind, and by the answer to the plutonic-or-volcanic question.
#pragma once

#include "quarvex/classify/classifiers.h"

#include <optional>
#include <string_view>
#include <vector>

namespace classify {

// Every classifier whose key equals the kind exactly (case and spaces
// count), in the dispatcher's order; none for any other kind.
std::vector<ClassifierId> RockGroupClassifiers(std::string_view kind);
// The kinds that run a classifier, in the dispatcher's order.
std::vector<std::string_view> RockGroupKinds();

// Yes (6): plutonic, No (7): volcanic, anything else: none.
std::optional<ClassifierId> FromNormClassifier(int msgBoxAnswer);

}  // namespace classify
