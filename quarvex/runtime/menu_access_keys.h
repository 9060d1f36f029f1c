// Menus of one bar that share an access key (Alt+O for both "S&ort" and
// "&Options"): the key opens the first, and pressed again while a menu
// carrying it is open it moves on to the next, so every menu can be reached
// from the keyboard.
#pragma once

class QMenuBar;

namespace qvrt {

// Watches the bar's menus, also those added to it later.
void CycleSharedAccessKeys(QMenuBar* bar);

}  // namespace qvrt
