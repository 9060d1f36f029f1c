#include "quarvex/state/frame_interface.h"

#include "quarvex/runtime/child_form.h"

namespace quarvex {

namespace {
FrameInterface* installed = nullptr;
}

void FrameInterface::PlaceNewSheet(qvrt::ChildForm* sheet) { sheet->move(0, 0); }

FrameInterface* TheFrame() { return installed; }

void InstallFrame(FrameInterface* frame) { installed = frame; }

QString ActiveTag() {
    const qvrt::ChildForm* child = installed ? installed->ActiveForm() : nullptr;
    return child ? child->Tag : QString();
}

}  // namespace quarvex
