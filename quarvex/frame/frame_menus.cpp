// The frame's menu tree, its toolbar and the handlers of both.
#include "quarvex/frame/about.h"
#include "quarvex/classifysheet/dispatchers.h"
#include "quarvex/classifysheet/norm_launchers.h"
#include "quarvex/frame/frame_commands.h"
#include "quarvex/frame/mdi_form1.h"
#include "quarvex/frame/startdb.h"
#include "quarvex/frame/toolbar.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/sheets/clipboard_edit.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/def_cols.h"
#include "quarvex/sheets/find_replace.h"
#include "quarvex/sheets/heading_sets.h"
#include "quarvex/sheets/row_editing.h"
#include "quarvex/sheets/sort_samples.h"
#include "quarvex/sheets/table_print.h"
#include "quarvex/state/program_state.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace quarvex {

namespace {

const char* const kHelpContext = "HelpContextID";

// F1 on a highlighted menu item opens that item's help topic.
class MenuHelpFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
            return false;
        auto* menu = qobject_cast<QMenu*>(watched);
        QAction* item = menu ? menu->activeAction() : nullptr;
        if (!item || !item->property(kHelpContext).isValid()) return false;
        const int context = item->property(kHelpContext).toInt();
        qvrt::Guard([context] { FrameCommands::HelpContext(context); });
        return true;
    }
};

void setHelp(QAction* item, int context) {
    if (context) item->setProperty(kHelpContext, context);
}

}  // namespace

void MDIForm1::BuildMenus() {
    auto* helpFilter = new MenuHelpFilter(this);
    // A top-level menu with its help context; F1 works in all of them.
    auto topMenu = [&](const char* name, const char* caption, int context) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(caption));
        RegisterMenuItem(QString::fromLatin1(name), menu->menuAction());
        setHelp(menu->menuAction(), context);
        menu->installEventFilter(helpFilter);
        return menu;
    };
    auto subMenu = [&](QMenu* parent, const char* name, const char* caption, int context = 0) {
        QMenu* menu = parent->addMenu(QString::fromLatin1(caption));
        RegisterMenuItem(QString::fromLatin1(name), menu->menuAction());
        setHelp(menu->menuAction(), context);
        menu->installEventFilter(helpFilter);
        return menu;
    };
    // An item calling a handler of the frame, guarded like every event.
    auto item = [&](QMenu* menu, const QString& name, const char* caption, const QKeySequence& shortcut,
                    int context, std::function<void()> handler) {
        QAction* a = AddMenuItem(menu, name, QString::fromLatin1(caption), shortcut);
        setHelp(a, context);
        connect(a, &QAction::triggered, this, qvrt::Guarded([handler](bool) { handler(); }));
        return a;
    };
    auto indexed = [](const char* name, int index) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index); };
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
    const auto ctrlShift = [](Qt::Key key) { return QKeySequence(Qt::CTRL | Qt::SHIFT | key); };

    mnuFile = topMenu("mnuFile", "&File", 5);
    mnuNew = item(mnuFile, "mnuNew", "&New", {}, 10, [this] { mnuNew_Click(); });
    mnuClose = item(mnuFile, "mnuClose", "&Close", Qt::Key_F11, 12, [this] { mnuClose_Click(); });
    mnuFile->addSeparator();
    mnuOpen = item(mnuFile, "mnuOpen", "&Open...", ctrl(Qt::Key_O), 15, [this] { mnuOpen_Click(); });
    mnuSave = item(mnuFile, "mnuSave", "&Save", ctrl(Qt::Key_S), 20, [this] { mnuSave_Click(); });
    // Ctrl+A is Save As here, not select-all: users' hands know it so.
    mnuSaveAs = item(mnuFile, "mnuSaveAs", "Save &As...", ctrl(Qt::Key_A), 25, [this] { mnuSaveAs_Click(); });
    mnuFile->addSeparator();
    item(mnuFile, "mnuPrint", "&Print...", ctrl(Qt::Key_P), 30, [this] { mnuPrint_Click(); });
    item(mnuFile, "mnuPrintSetup", "Print Set&up...", ctrl(Qt::Key_B), 35, [this] { mnuPrintSetup_Click(); });
    mnuFile->addSeparator();
    mnuExit = item(mnuFile, "mnuExit", "&Exit", Qt::Key_F7, 45, [this] { mnuExit_Click(); });
    mnuFile->addSeparator();
    for (int i = 0; i < 4; ++i)
        mnuFileUpdate[i] = item(mnuFile, indexed("mnuFileUpdate", i), "", {}, 0, [this, i] { mnuFileUpdate_Click(i); });

    QMenu* edit = topMenu("mnuEdit", "&Edit", 50);
    mnuUndo = item(edit, "mnuUndo", "&Undo", ctrl(Qt::Key_U), 0, [this] { mnuUndo_Click(); });
    edit->addSeparator();
    const struct {
        const char* caption;
        Qt::Key key;
        int context;
    } editItems[] = {{"&Copy", Qt::Key_C, 60}, {"Cu&t", Qt::Key_X, 65}, {"&Paste", Qt::Key_V, 70},
                     {"&Insert Row", Qt::Key_I, 72}, {"&Delete Row", Qt::Key_E, 73}};
    for (int i = 0; i < 5; ++i)
        item(edit, indexed("mnuEdit1", i), editItems[i].caption, ctrl(editItems[i].key), editItems[i].context,
             [this, i] { mnuEdit1_Click(i); });

    QMenu* search = topMenu("mnuSearch", "&Search", 80);
    item(search, indexed("mnuSearch1", 0), "&Find...", ctrl(Qt::Key_F), 82, [this] { mnuSearch1_Click(0); });
    item(search, indexed("mnuSearch1", 1), "Find &Next", Qt::Key_F3, 84, [this] { mnuSearch1_Click(1); });
    item(search, indexed("mnuSearch1", 2), "&Replace...", ctrl(Qt::Key_R), 85, [this] { mnuSearch1_Click(2); });

    QMenu* sort = topMenu("mnuSort", "S&ort", 95);
    item(sort, "mnuSample", "&Sample #", ctrl(Qt::Key_N), 95, [this] { mnuSample_Click(); });

    QMenu* options = topMenu("mnuOptions", "&Options", 310);
    item(options, "mnuGraphOptions1", "Set Ternary &Options...", ctrl(Qt::Key_J), 260,
         [this] { mnuGraphOptions1_Click(); });
    item(options, "mnuGraphOptions2", "Set &XY Options...", ctrl(Qt::Key_H), 0, [this] { mnuGraphOptions2_Click(); });
    item(options, "mnuDefCols", "&Define Columns...", ctrl(Qt::Key_M), 262, [this] { mnuDefCols_Click(); });
    options->addSeparator();
    QMenu* grid = subMenu(options, "mnuGrid", "&Grid");
    mnuGrid2[0] = item(grid, indexed("mnuGrid2", 0), "Move &Right", ctrlShift(Qt::Key_F7), 0, [this] { mnuGrid2_Click(0); });
    mnuGrid2[1] = item(grid, indexed("mnuGrid2", 1), "Move &Down", ctrlShift(Qt::Key_F8), 0, [this] { mnuGrid2_Click(1); });
    for (QAction* a : mnuGrid2) a->setCheckable(true);
    mnuGrid2[0]->setChecked(true);
    options->addSeparator();
    item(options, "mnuTernary", "Insert Ternary Headings", ctrl(Qt::Key_T), 0, [this] { mnuTernary_Click(); });
    item(options, "mnuDiamond", "Insert Diamond Headings", ctrl(Qt::Key_D), 0, [this] { mnuDiamond_Click(); });
    item(options, "mnuXY", "Insert XY Headings", ctrl(Qt::Key_Y), 0, [this] { mnuXY_Click(); });
    options->addSeparator();
    QMenu* symbols = subMenu(options, "mnuSymbols", "Sym&bols");
    item(symbols, "mnuAssignSymbols", "A&ssign Symbols", ctrlShift(Qt::Key_F1), 0, [this] { mnuAssignSymbols_Click(); });
    mnuAutoSymbols = AddMenuItem(symbols, "mnuAutoSymbols", "&Auto Symbols", ctrlShift(Qt::Key_F2));
    mnuAutoSymbols->setCheckable(true);
    connect(mnuAutoSymbols, &QAction::triggered, this, qvrt::Guarded([this](bool checked) {
                // Undo the click's own toggle: the handler toggles by the mark it finds.
                mnuAutoSymbols->setChecked(!checked);
                mnuAutoSymbols_Click();
            }));
    item(symbols, "mnuSymbols2", "Sym&bols", ctrlShift(Qt::Key_F3), 270, [this] { mnuSymbols2_Click(); });
    item(options, "mnuColors", "&Colors", {}, 265, [this] { mnuColors_Click(); });
    options->addSeparator();
    item(options, "mnuConvert", "Con&vert to Coord", ctrl(Qt::Key_Z), 135, [this] { mnuConvert_Click(); });
    options->addSeparator();
    item(options, "mnuRestore", "&Restore All Settings", ctrl(Qt::Key_G), 0, [this] { mnuRestore_Click(); });

    // The norms, the two classification commands and the heading sets that
    // no other menu reaches; all act on the active data sheet.
    QMenu* calculate = topMenu("mnuCalculate", "&Calculate", 400);
    item(calculate, "mnuNormCalculation2", "&Extended Norm...", {}, 410, [this] { RunNormCalculation2(); });
    item(calculate, "mnuNormCalculation2Weight", "Extended Norm by &Weight...", {}, 410,
         [this] { RunNormCalculation2Weight(); });
    item(calculate, "mnuNormCalculation", "Norm &by Weight...", {}, 410, [this] { RunNormCalculation(); });
    item(calculate, "mnuNormMode2", "&Norm...", {}, 410, [this] { RunNormMode2(); });
    item(calculate, "mnuNormMode4", "Norm, &Last Layout...", {}, 410, [this] { RunNormMode4(); });
    item(calculate, "mnuNormNoSheet", "Norm without &Sheet...", {}, 410, [this] { RunNormNoSheet(); });
    calculate->addSeparator();
    item(calculate, "mnuClassifyRockGroup", "Classify &Rock Group...", {}, 420, [this] { ClassifyRockGroup(); });
    item(calculate, "mnuClassifyFromNorm", "Classify &from Norm...", {}, 430, [this] { ClassifyFromNorm(); });
    calculate->addSeparator();
    QMenu* headings = subMenu(calculate, "mnuHeadingSets", "Insert &Headings", 440);
    const struct {
        const char* caption;
        void (MDIForm1::*insert)(const int16_t&);
        std::initializer_list<std::pair<int16_t, const char*>> sets;
    } families[] = {
        {"&Plutonic", &MDIForm1::InsertPlutonicHeadings, {{0, "QAPF"}, {1, "QAP"}, {2, "FAP"}}},
        {"&Volcanic", &MDIForm1::InsertVolcanicHeadings, {{0, "QAPF"}, {1, "QAP"}, {2, "FAP"}, {3, "TAS"}}},
        {"&Gabbroic", &MDIForm1::InsertGabbroicHeadings, {{1, "Plag-Px-Ol"}, {2, "Plag-Px-Hbl"}, {3, "Plag-OPx-CPx"}}},
        {"&Ultramafic", &MDIForm1::InsertUltramaficHeadings, {{1, "Ol-OPx-CPx"}, {2, "Ol-Px-Hbl"}}},
        {"&Melilite", &MDIForm1::InsertMeliliteHeadings, {{1, "Plutonic"}, {2, "Volcanic"}}},
        {"&Carbonatites and Charnockites", &MDIForm1::InsertCharnockiteHeadings, {{1, "Carbonatites"}, {2, "Charnockites"}}},
        {"&Sandstones", &MDIForm1::InsertSandstoneHeadings, {{1, "Sandstones"}, {2, "Arenites"}, {3, "Wackes"}}},
    };
    int familyIndex = 0;
    for (const auto& family : families) {
        QMenu* sets = subMenu(headings, indexed("mnuHeadingFamily", familyIndex++).toLatin1().constData(),
                              family.caption, 440);
        for (auto [selector, caption] : family.sets) {
            const auto insert = family.insert;
            item(sets, indexed(QStringLiteral("mnuHeadingSet%1").arg(familyIndex).toLatin1().constData(), selector),
                 caption, {}, 440, [this, insert, selector] { (this->*insert)(selector); });
        }
    }
    item(headings, "mnuOxideHeadings", "&Oxides", {}, 440, [this] { InsertOxideHeadings(); });
    item(headings, "mnuOxideHeadingsExtended", "Oxides, &Extended", {}, 440, [this] { InsertOxideHeadingsExtended(); });

    QMenu* window = topMenu("mnuWindow", "&Window", 0);
    item(window, "mnuCascade", "&Cascade", {}, 0, [this] { mnuCascade_Click(); });
    item(window, "mnuTile", "&Tile", {}, 0, [this] { mnuTile_Click(); });
    item(window, "mnuArrange", "&Arrange Icons", {}, 0, [this] { mnuArrange_Click(); });
    // The open child windows are listed below the items, the active one checked.
    auto* windowList = new QActionGroup(window);
    connect(window, &QMenu::aboutToShow, this, qvrt::Guarded([this, window, windowList] {
                for (QAction* a : windowList->actions()) delete a;
                const QList<QMdiSubWindow*> children = mdiArea()->subWindowList();
                if (!children.isEmpty()) windowList->addAction(window->addSeparator());
                int n = 0;
                for (QMdiSubWindow* child : children) {
                    QAction* a = window->addAction(QStringLiteral("&%1 %2").arg(++n).arg(child->windowTitle()));
                    a->setCheckable(true);
                    a->setChecked(child == mdiArea()->activeSubWindow());
                    windowList->addAction(a);
                    QPointer<QMdiSubWindow> target(child);
                    connect(a, &QAction::triggered, this, [this, target](bool) {
                        if (target) mdiArea()->setActiveSubWindow(target);
                    });
                }
            }));

    QMenu* help = topMenu("mnuHelp", "&Help", 0);
    item(help, "mnuHelpContents", "&Contents", {}, 0, [this] { mnuHelpContents_Click(); });
    item(help, "mnuHelpSearch", "&Search For", {}, 0, [this] { mnuHelpSearch_Click(); });
    help->addSeparator();
    item(help, "mnuHelpAbout", "&About", {}, 0, [this] { mnuHelpAbout_Click(); });
    help->addSeparator();
    item(help, "mnuHelpHow", "&How To Use Help", {}, 0, [this] { mnuHelpHow_Click(); });

    Toolbar1 = new quarvex::Toolbar1([this](const QString& key) { Toolbar1_ButtonClick(key); }, this);
    addToolBar(Qt::TopToolBarArea, Toolbar1);
}

void MDIForm1::mnuPrint_Click() { MODULE21::PrintDataTable(); }
void MDIForm1::mnuPrintSetup_Click() { FrameCommands::PrintSetup(); }
void MDIForm1::mnuUndo_Click() { MODULE21::UndoLastEdit(); }

void MDIForm1::mnuEdit1_Click(int index) {
    if (index >= 0 && index <= 2) MODULE21::EditClipboard(index);
    else if (index == 3) MODULE21::InsertGridRow();
    else if (index == 4) MODULE21::DeleteGridRow();
}

void MDIForm1::mnuSearch1_Click(int index) {
    if (index >= 0 && index <= 2) MODULE21::SearchMenu(index);
}

void MDIForm1::mnuSample_Click() {
    MODULE21::SortBySample();
    EnableUndo(false);
}

void MDIForm1::mnuGraphOptions1_Click() {
    if (GraphDialogOpeners.Options) GraphDialogOpeners.Options();
}
void MDIForm1::mnuGraphOptions2_Click() {
    if (GraphDialogOpeners.SetUp) GraphDialogOpeners.SetUp();
}
void MDIForm1::mnuDefCols_Click() { DefCols::Show(); }
void MDIForm1::mnuTernary_Click() { HeadingSets::InsertTernary(); }
void MDIForm1::mnuDiamond_Click() { HeadingSets::InsertDiamond(); }
void MDIForm1::mnuXY_Click() { HeadingSets::InsertXY(); }
void MDIForm1::mnuAssignSymbols_Click() { FrameCommands::AssignSymbols(); }
void MDIForm1::mnuAutoSymbols_Click() { FrameCommands::AutoSymbolsClick(*mnuAutoSymbols); }
void MDIForm1::mnuSymbols2_Click() {
    if (GraphDialogOpeners.Symbols1) GraphDialogOpeners.Symbols1();
}
void MDIForm1::mnuColors_Click() {
    if (GraphDialogOpeners.Colors1) GraphDialogOpeners.Colors1();
}
void MDIForm1::mnuConvert_Click() { FrameCommands::ConvertToCoord(true); }
void MDIForm1::mnuCascade_Click() { FrameCommands::CascadeWindows(*mdiArea()); }
void MDIForm1::mnuTile_Click() { FrameCommands::TileWindows(*mdiArea()); }
void MDIForm1::mnuArrange_Click() { FrameCommands::ArrangeIcons(*mdiArea()); }
void MDIForm1::mnuHelpContents_Click() { FrameCommands::HelpContents(); }
void MDIForm1::mnuHelpSearch_Click() { FrameCommands::HelpSearch(); }
void MDIForm1::mnuHelpAbout_Click() { About::Show(); }
void MDIForm1::mnuHelpHow_Click() { FrameCommands::HelpHowTo(); }
void MDIForm1::Toolbar1_ButtonClick(const QString& key) { FrameCommands::ToolbarButtonClick(key); }

void MDIForm1::ShowToolbarHint(int16_t index) { FrameCommands::ShowToolbarHint(index, *Panel3D4); }
void MDIForm1::ShowPlotOptions() { FrameCommands::ShowPlotOptions(); }
void MDIForm1::ReplotFromMemory() { FrameCommands::ReplotFromMemory(); }
void MDIForm1::AssignColors() { FrameCommands::AssignColors(); }
void MDIForm1::ShowHelpIndex() { FrameCommands::ShowHelpIndex(); }
void MDIForm1::PrepareNormColumns(int16_t index) { FrameCommands::PrepareNormColumns(index); }
void MDIForm1::InsertPlutonicHeadings(const int16_t& selector) { HeadingSets::InsertPlutonic(selector); }
void MDIForm1::InsertVolcanicHeadings(const int16_t& selector) { HeadingSets::InsertVolcanic(selector); }
void MDIForm1::InsertGabbroicHeadings(const int16_t& selector) { HeadingSets::InsertGabbroic(selector); }
void MDIForm1::InsertUltramaficHeadings(const int16_t& selector) { HeadingSets::InsertUltramafic(selector); }
void MDIForm1::InsertMeliliteHeadings(const int16_t& selector) { HeadingSets::InsertMelilite(selector); }
void MDIForm1::InsertCharnockiteHeadings(const int16_t& selector) { HeadingSets::InsertCharnockite(selector); }
void MDIForm1::InsertSandstoneHeadings(const int16_t& selector) { HeadingSets::InsertSandstone(selector); }
void MDIForm1::InsertOxideHeadings() { HeadingSets::InsertOxide(); }
void MDIForm1::InsertOxideHeadingsExtended() { HeadingSets::InsertOxideExtended(); }
void MDIForm1::StartDatabase() { quarvex::StartDatabase(); }
void MDIForm1::RunNormCalculation2() { RockClassification::RunNormCalculation2(); }
void MDIForm1::RunNormCalculation2Weight() { RockClassification::RunNormCalculation2Weight(); }
void MDIForm1::RunNormCalculation() { RockClassification::RunNormCalculation(); }
void MDIForm1::RunNormMode2() { RockClassification::RunNormMode2(); }
void MDIForm1::RunNormMode4() { RockClassification::RunNormMode4(); }
void MDIForm1::RunNormNoSheet() { RockClassification::RunNormNoSheet(); }
void MDIForm1::ClassifyRockGroup() { RockClassification::ClassifyRockGroup(); }
void MDIForm1::ClassifyFromNorm() { RockClassification::ClassifyFromNorm(); }

}  // namespace quarvex
