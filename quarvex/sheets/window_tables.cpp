#include "quarvex/sheets/window_tables.h"

#include "quarvex/frame/data_menus.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/main1.h"

#include <cmath>

namespace quarvex {

void ResetWindowTables() {
    WindowTable.assign(1, WindowRecord{});
    DataWindows.assign(1, nullptr);
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

namespace MODULE21 {

using namespace quarvex;

void NewDataWindow() {
    qvrt::HourglassPointer busy;
    EnableDataMenus();
    CurrentFileName.clear();
    // The index is set before the window exists: its load step reads it.
    const int16_t n = GrowWindowTables();
    CurrentDataWindow = n;
    Main1* sheet = Main1::Create();
    DataWindows[n] = sheet;
    sheet->SetFocus();
    sheet->Tag = QString::number(n);
    WindowTable[n].Saved = 0;
    WindowTable[n].Modified = 0;
    WindowTable[n].DiagramType = QStringLiteral("Not Defined");
}

}  // namespace MODULE21
