// The one icon of all of the program's windows: the frame, its sheets and
// graph windows, its dialogs and message boxes.
#pragma once

#include <QIcon>

namespace quarvex {

// The diagram of the splash picture, cut to a square.
QIcon ProgramIcon();

}  // namespace quarvex
