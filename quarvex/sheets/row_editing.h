// Inserting and deleting whole rows of the active sheet at its active row.
#pragma once

namespace MODULE21 {

// An empty row at the active row; the rows below move down and none is lost.
void InsertGridRow();
// Removes the active row; the rows below move up. No confirmation.
void DeleteGridRow();

}  // namespace MODULE21
