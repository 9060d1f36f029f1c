#include "quarvex/runtime/host.h"

#include "quarvex/runtime/qt_host.h"

namespace qvrt {

int DefaultCloseAnswer(int style) {
    switch (style & 7) {
    case vbOKCancel:
    case vbYesNoCancel:
    case vbRetryCancel: return vbCancel;
    case vbAbortRetryIgnore: return vbAbort;
    case vbYesNo: return vbNo;
    default: return vbOK;
    }
}

int FirstButtonAnswer(int style) {
    switch (style & 7) {
    case vbAbortRetryIgnore: return vbAbort;
    case vbYesNoCancel:
    case vbYesNo: return vbYes;
    case vbRetryCancel: return vbRetry;
    default: return vbOK;
    }
}

namespace {

std::unique_ptr<Host>& hostSlot() {
    static std::unique_ptr<Host> slot;
    return slot;
}

}  // namespace

Host& host() {
    auto& slot = hostSlot();
    if (!slot) slot = std::make_unique<QtHost>();
    return *slot;
}

void SetHost(std::unique_ptr<Host> newHost) { hostSlot() = std::move(newHost); }

}  // namespace qvrt
