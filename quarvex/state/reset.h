// The one reset of all program-wide state: the frame's values, the window
// tables, the data table and sample arrays, the editing commands' memory
// and the norm's shared arrays.
// A fresh run starts from it; tests call it and nothing else.
#pragma once

namespace quarvex {

void ResetProgramState();

}  // namespace quarvex
