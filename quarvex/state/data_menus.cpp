#include "quarvex/state/data_menus.h"

#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"

namespace MODULE21 {

void EnableDataMenus() {
    if (quarvex::FrameInterface* frame = quarvex::TheFrame()) frame->SetDataMenusEnabled(true);
    quarvex::DataMenusEnabled = -1;
}

void DisableDataMenus() {
    if (quarvex::FrameInterface* frame = quarvex::TheFrame()) frame->SetDataMenusEnabled(false);
    quarvex::DataMenusEnabled = 0;
}

}  // namespace MODULE21
