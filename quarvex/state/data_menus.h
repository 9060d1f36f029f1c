// Switching the menu items that need a data sheet on and off, and the flag
// that says which way they were last switched.
#pragma once

namespace MODULE21 {

// Enables every data menu item the frame has, then DataMenusEnabled := -1.
void EnableDataMenus();
// Disables them, then DataMenusEnabled := 0.
void DisableDataMenus();

}  // namespace MODULE21
