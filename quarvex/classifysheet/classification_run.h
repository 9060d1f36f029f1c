// The classification run of one classifier on the active sheet: read,
// normalise (or run the standard norm), name every row by the classifier's
// rules, and write the names into a new sheet. The source sheet is not
// changed. Errors reach the caller (the dispatchers report them).
#pragma once

#include "quarvex/classify/classifiers.h"

namespace quarvex::RockClassification {

void RunClassifier(classify::ClassifierId id);

}  // namespace quarvex::RockClassification
