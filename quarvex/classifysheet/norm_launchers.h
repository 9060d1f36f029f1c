// The six norm commands on the active sheet: the iron question and the
// iron-ratio dialog, the oxide layout, the read and its check, the norm in
// its mode and, for most, the result sheet.
#pragma once

namespace quarvex::RockClassification {

void RunNormCalculation2();        // extended norm, molar, after its notice
void RunNormCalculation2Weight();  // extended norm, weight, after its notice
void RunNormCalculation();         // standard norm, weight
void RunNormMode2();               // standard norm, molar
void RunNormMode4();               // standard norm, molar, the layout last stored
void RunNormNoSheet();             // standard norm, weight, short layout, no sheet

}  // namespace quarvex::RockClassification
