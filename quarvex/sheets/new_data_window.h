// A new empty data sheet, the frame's File > New and the first sheet of a run.
#pragma once

namespace MODULE21 {

// Opens a new empty data sheet in the frame and makes it the active child.
void NewDataWindow();

}  // namespace MODULE21
