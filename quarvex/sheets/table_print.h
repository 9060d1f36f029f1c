// File > Print: the active sheet as a plain text table on the printer, in
// blocks of 12 columns (17 in landscape), each block on a new page under the
// sheet's caption, the time and the date.
#pragma once

#include "quarvex/sheets/data_table.h"

namespace MODULE21 {

// The active sheet into PrintTable, ColumnHeadings, HeadingCount (one more
// than the number of headings), the components and SampleCount.
void ReadGridForPrint();
// The print set-up dialog, then the printout. Cancel prints nothing and
// says nothing; a failure shows "Print Error".
void PrintDataTable();

}  // namespace MODULE21
