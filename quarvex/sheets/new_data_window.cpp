#include "quarvex/sheets/new_data_window.h"

#include "quarvex/runtime/host.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/data_menus.h"
#include "quarvex/state/window_tables.h"

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
