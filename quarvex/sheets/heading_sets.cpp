#include "quarvex/sheets/heading_sets.h"

#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/norm_state.h"
#include "quarvex/state/program_state.h"

#include <QAction>
#include <QLabel>
#include <initializer_list>

namespace quarvex::HeadingSets {

namespace {

// One member of a family: its diagram type and the headings of the three
// components and of the fourth (null: none).
struct HeadingSet {
    const char* diagramType;
    const char* top;
    const char* left;
    const char* right;
    const char* bottom;
    // The total-alkali-silica set writes its Y heading before its X one, so
    // "SiO2" is the one left when both share a column.
    bool leftFirst = false;
};

struct Selected {
    int selector;
    HeadingSet set;
};

constexpr HeadingSet kTernary{"Ternary", "Top", "Left", "Right", nullptr};
constexpr HeadingSet kDiamond{"Diamond Plot", "Top", "Left", "Right", "Bottom"};
constexpr HeadingSet kXY{"XY Plot", "X", "Y", nullptr, nullptr};

constexpr Selected kPlutonic[] = {
    {0, {"QAPF-Plutonic", "Q", "A", "P", "F"}},
    {1, {"QAP-Plutonic", "Q", "A", "P", nullptr}},
    {2, {"FAP-Plutonic", "F", "A", "P", nullptr}},
};
constexpr Selected kVolcanic[] = {
    {0, {"QAPF-Volcanic", "Q", "A", "P", "F"}},
    {1, {"QAP-Volcanic", "Q", "A", "P", nullptr}},
    {2, {"FAP-Volcanic", "F", "A", "P", nullptr}},
    {3, {"TAS-Volcanic", "SiO2", "K2O + Na2O", nullptr, nullptr, true}},
};
constexpr Selected kGabbroic[] = {
    {1, {"PlagPxOl-Gabbroic", "P", "Px", "Ol", nullptr}},
    {2, {"PlagPxHbl-Gabbroic", "P", "Px", "Hbl", nullptr}},
    {3, {"PlagOPxCPx-Gabbroic", "P", "OPx", "CPx", nullptr}},
};
constexpr Selected kUltramafic[] = {
    {1, {"OlOpxCpx-UMafic", "Ol", "OPx", "CPx", nullptr}},
    {2, {"OlPxHbl-UMafic", "Ol", "Px", "Hbl", nullptr}},
};
constexpr Selected kMelilite[] = {
    {1, {"Melilite-Plutonic", "Mel", "Ol", "CPx", nullptr}},
    {2, {"Melilite-Volcanic", "Mel", "Ol", "CPx", nullptr}},
};
constexpr Selected kCharnockite[] = {
    {1, {"Carbonatites", "CaO", "MgO", "FeO+Fe2O3+MnO", nullptr}},
    {2, {"Charnockites", "Q", "A", "P", nullptr}},
};
constexpr Selected kSandstone[] = {
    {1, {"Sandstones", "Quartz", "Clay", "Feldspar", nullptr}},
    {2, {"Arenites", "Quartz", "Felds", "RF", nullptr}},
    {3, {"Wackes", "Quartz", "Felds", "RF", nullptr}},
};

// The oxide headings in the order they are written, entries 1 to 20 of the
// norm's column table.
constexpr const char* kOxideHeadings[] = {
    "SiO2", "TiO2", "Al2O3", "Fe2O3", "FeO", "MnO", "MgO", "CaO", "Na2O", "K2O",
    "H2O+", "H2O-", "P2O5", "CO2", "CL", "F", "S", "SO3", "CR2O3", "ZRO2",
};

const char* const kMenuName = "Name";
const char* const kRockName = "Rockname";

// A heading goes only into a column of the sheet: 0 means "no such column",
// and nothing is written beside the sheet's 50 columns.
void writeHeading(Main1& sheet, int column, const char* text) {
    if (column >= 1 && column <= 50) sheet.Grid1->SetText(column, 1, QString::fromLatin1(text));
}

// The sheet a heading set writes into. New headings are a change of the
// sheet: closing it must ask to save them.
Main1* sheetToChange() {
    Main1* sheet = ActiveDataSheet();
    if (sheet) MarkModified(*sheet);
    return sheet;
}

void disableUndo() {
    if (FrameInterface* f = TheFrame()) f->SetUndoEnabled(false);
}

void clearHeadingRow(Main1& sheet) {
    for (int c = 1; c <= 50; ++c) sheet.Grid1->SetText(c, 1, QString());
}

void setDiagramType(Main1& sheet, const char* type) {
    WindowRecord& record = sheet.Record();
    record.DiagramType = QString::fromLatin1(type);
    if (FrameInterface* f = TheFrame()) f->SetPanelText(StatusPanel::DiagramType, record.DiagramType);
}

void writeRoleHeadings(Main1& sheet, const char* nameHeading) {
    writeHeading(sheet, SampleCol, "Sample #");
    writeHeading(sheet, NameCol, nameHeading);
    writeHeading(sheet, SymbolCol, "Symbol");
    writeHeading(sheet, ColorCol, "Color");
}

void writeComponentHeadings(Main1& sheet, const HeadingSet& set) {
    const int x = XCol, y = YCol, z = ZCol;
    if (set.leftFirst) writeHeading(sheet, y, set.left);
    if (set.top) writeHeading(sheet, x, set.top);
    if (set.left && !set.leftFirst) writeHeading(sheet, y, set.left);
    if (set.right) writeHeading(sheet, z, set.right);
    if (set.bottom && z != 0) writeHeading(sheet, z + 1, set.bottom);
}

// Steps 3 to 6: type, panel, headings.
void applySet(Main1& sheet, const HeadingSet& set, const char* nameHeading) {
    setDiagramType(sheet, set.diagramType);
    writeRoleHeadings(sheet, nameHeading);
    writeComponentHeadings(sheet, set);
}

template <size_t N>
const HeadingSet* find(const Selected (&family)[N], int selector) {
    for (const Selected& s : family)
        if (s.selector == selector) return &s.set;
    return nullptr;
}

// A family: Undo off and row 1 cleared whatever the selector; a selector
// outside the family ends it there.
template <size_t N>
void insertFamily(const Selected (&family)[N], int selector) {
    Main1* sheet = sheetToChange();
    if (!sheet) return;
    disableUndo();
    clearHeadingRow(*sheet);
    if (const HeadingSet* set = find(family, selector)) applySet(*sheet, *set, kRockName);
}

void insertMenuSet(const HeadingSet& set) {
    Main1* sheet = sheetToChange();
    if (!sheet) return;
    disableUndo();
    clearHeadingRow(*sheet);
    applySet(*sheet, set, kMenuName);
}

void insertOxides(const norm::OxideLayout& layout, int lastEntry) {
    Main1* sheet = sheetToChange();
    if (!sheet) return;
    // Every entry is set, those the layout does not use to "no column", so
    // that a later norm never reads another layout's column (the total
    // among them) as an oxide.
    NORM3B::OxideColumns = layout.columns;
    NORM3B::OxideTotalColumn = layout.total;
    clearHeadingRow(*sheet);
    writeRoleHeadings(*sheet, kRockName);
    for (int entry = 1; entry <= lastEntry; ++entry)
        writeHeading(*sheet, NORM3B::OxideColumns[static_cast<size_t>(entry)], kOxideHeadings[entry - 1]);
    writeHeading(*sheet, NORM3B::OxideTotalColumn, "Total");
    setDiagramType(*sheet, kTernary.diagramType);
}

}  // namespace

void InsertTernary() { insertMenuSet(kTernary); }

void InsertDiamond() {
    // The diamond adds to row 1 without clearing it and leaves Undo alone.
    Main1* sheet = sheetToChange();
    if (!sheet) return;
    applySet(*sheet, kDiamond, kMenuName);
}

void InsertXY() { insertMenuSet(kXY); }

void InsertPlutonic(const int16_t& selector) { insertFamily(kPlutonic, selector); }
void InsertVolcanic(const int16_t& selector) { insertFamily(kVolcanic, selector); }
void InsertGabbroic(const int16_t& selector) { insertFamily(kGabbroic, selector); }
void InsertUltramafic(const int16_t& selector) { insertFamily(kUltramafic, selector); }
void InsertCharnockite(const int16_t& selector) { insertFamily(kCharnockite, selector); }
void InsertSandstone(const int16_t& selector) { insertFamily(kSandstone, selector); }

void InsertMelilite(const int16_t& selector) {
    // Both members share their headings, which are written before the
    // selector is looked at: an unknown selector leaves them and no type.
    Main1* sheet = sheetToChange();
    if (!sheet) return;
    disableUndo();
    clearHeadingRow(*sheet);
    writeRoleHeadings(*sheet, kRockName);
    writeComponentHeadings(*sheet, kMelilite[0].set);
    if (const HeadingSet* set = find(kMelilite, selector)) setDiagramType(*sheet, set->diagramType);
}

void InsertOxide() { insertOxides(norm::kShortLayout, norm::OxCO2); }

void InsertOxideExtended() {
    if (!ActiveDataSheet()) return;
    disableUndo();
    insertOxides(norm::kExtendedLayout, norm::kOxideEntries);
}

}  // namespace quarvex::HeadingSets
