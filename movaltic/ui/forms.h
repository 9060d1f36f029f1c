// Program start: the forms in their order of creation and the message loop.
#pragma once

namespace movaltic {

// Creates the main window (which shows the About box), then the dialogs and
// the progress window, shows the main window and runs until it closes.
int RunMovaltic();

}  // namespace movaltic
