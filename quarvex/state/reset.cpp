#include "quarvex/state/reset.h"

#include "quarvex/state/classify_state.h"
#include "quarvex/state/data_table.h"
#include "quarvex/state/edit_state.h"
#include "quarvex/state/format_state.h"
#include "quarvex/state/graph_state.h"
#include "quarvex/state/norm_state.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

namespace quarvex {

void ResetProgramState() {
    ResetFrameState();
    ResetWindowTables();
    ResetDataTable();
    ResetEditState();
    ResetFormatState();
    ResetGraphState();
    NORM3B::ResetNormState();
    ResetClassifyState();
}

}  // namespace quarvex
