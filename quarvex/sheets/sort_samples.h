// Sort > Sample #: a copy of the active sheet sorted by sample number in a
// new sheet; the sheet sorted stays as it was.
#pragma once

namespace MODULE21 {

// Ascending by the sample-number column, numerically when the first
// sample's number is not 0 and by character codes otherwise; equal numbers
// keep their order. A sample number that is not a number in a numeric sort
// shows "Sort Error" and opens no sheet.
void SortBySample();

}  // namespace MODULE21
