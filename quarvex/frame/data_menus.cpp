#include "quarvex/frame/data_menus.h"

#include "quarvex/frame/mdi_form1.h"
#include "quarvex/frame/program_state.h"

#include <QAction>

namespace MODULE21 {

namespace {

// Items by menu name, in the order they are switched; items the frame does
// not carry yet are passed over.
const char* const kDisableOrder[] = {
    "mnuClose", "mnuSave", "mnuSaveAs", "mnuPrint", "mnuPrintSetup", "mnuEdit1(0)", "mnuEdit1(2)",
    "mnuEdit1(1)", "mnuEdit1(3)", "mnuEdit1(4)", "mnuUndo", "mnuSearch1(0)", "mnuSearch1(1)",
    "mnuSearch1(2)", "mnuDiamond", "mnuTernary", "mnuXY", "mnuSample", "mnuGraphOptions1",
    "mnuGraphOptions2", "mnuGrid", "mnuSymbols", "mnuColors", "mnuConvert", "mnuDefCols",
    "mnuArrange", "mnuTile", "mnuCascade",
};
const char* const kEnableOrder[] = {
    "mnuArrange", "mnuTile", "mnuCascade", "mnuClose", "mnuSave", "mnuSaveAs", "mnuNew", "mnuPrint",
    "mnuPrintSetup", "mnuEdit1(0)", "mnuEdit1(2)", "mnuEdit1(1)", "mnuEdit1(3)", "mnuEdit1(4)",
    "mnuUndo", "mnuSearch1(0)", "mnuSearch1(1)", "mnuSearch1(2)", "mnuTernary", "mnuDiamond",
    "mnuXY", "mnuSample", "mnuGraphOptions1", "mnuGraphOptions2", "mnuGrid", "mnuSymbols",
    "mnuColors", "mnuConvert", "mnuDefCols",
};

template <size_t N>
void setAll(const char* const (&names)[N], bool on) {
    quarvex::MDIForm1* frame = quarvex::MDIForm1::Instance();
    if (!frame) return;
    for (const char* name : names)
        if (QAction* item = frame->MenuItem(QString::fromLatin1(name))) item->setEnabled(on);
}

}  // namespace

void EnableDataMenus() {
    setAll(kEnableOrder, true);
    quarvex::DataMenusEnabled = -1;
}

void DisableDataMenus() {
    setAll(kDisableOrder, false);
    quarvex::DataMenusEnabled = 0;
}

}  // namespace MODULE21
