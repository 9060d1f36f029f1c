// The order in which the frame switches its data menu items.
#include "quarvex/frame/mdi_form1.h"

#include <QAction>

namespace quarvex {

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
void setAll(MDIForm1& frame, const char* const (&names)[N], bool on) {
    for (const char* name : names)
        if (QAction* item = frame.MenuItem(QString::fromLatin1(name))) item->setEnabled(on);
}

}  // namespace

void MDIForm1::SetDataMenusEnabled(bool on) {
    if (on) setAll(*this, kEnableOrder, true);
    else setAll(*this, kDisableOrder, false);
}

}  // namespace quarvex
