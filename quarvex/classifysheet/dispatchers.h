// The two classification commands: "Classify Rock Group" names the active
// sheet's samples by the classifier of its diagram kind, "Classify from
// Norm" by the QAPF names of their standard norm. Both report every error
// of the classifier they run in a box titled "Error".
#pragma once

namespace quarvex::RockClassification {

void ClassifyRockGroup();
void ClassifyFromNorm();

}  // namespace quarvex::RockClassification
