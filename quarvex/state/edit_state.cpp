#include "quarvex/state/edit_state.h"

namespace quarvex {

void ResetEditState() {
    SearchRecord = SearchState();
    ClipBlock = {};
    UndoSheetTag.clear();
}

}  // namespace quarvex
