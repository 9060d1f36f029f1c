#include "quarvex/state/window_tables.h"

#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"

#include <cmath>

namespace quarvex {

void ResetWindowTables() {
    WindowTable.assign(1, WindowRecord{});
    DataWindows.assign(1, QPointer<Main1>());
    GraphWindows.assign(1, nullptr);
    CurrentDataWindow = 0;
    SheetCounter = 0;
    CurrentFileName.clear();
    SheetMaxRows = 15000;
}

WindowRecord& RecordByTag(const QString& tag) {
    // The index is the rounded number, so the bounds are checked on that.
    const double index = std::nearbyint(qvrt::Val(tag));
    if (!(index >= 0 && index < static_cast<double>(WindowTable.size()))) qvrt::Raise(qvrt::ErrSubscript);
    return WindowTable[static_cast<size_t>(index)];
}

int16_t GrowWindowTables() {
    const size_t next = DataWindows.size();
    if (next > 32767) qvrt::Raise(qvrt::ErrOverflow);
    WindowTable.resize(next + 1);
    DataWindows.resize(next + 1);
    return static_cast<int16_t>(next);
}

}  // namespace quarvex
