// The graph window's menu bar and toolbar, and the commands of both.
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/painter_surface.h"
#include "quarvex/state/graph_state.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>

namespace quarvex {

namespace {

QAction* AddItem(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut,
                 std::function<void()> handler) {
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(shortcut);
    QObject::connect(a, &QAction::triggered, menu, [a, handler = std::move(handler)](bool checked) {
        // A click toggles a checkable item before its handler runs; the
        // handler alone decides the check, so the click's toggle is undone.
        if (a->isCheckable()) a->setChecked(!checked);
        try {
            handler();
        } catch (const std::exception& e) {
            qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Error"));
            qvrt::host().SetMousePointer(qvrt::vbDefault);
        }
    });
    return a;
}

void AddSeparator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromLatin1(name)); }

QKeySequence Ctrl(int key) { return QKeySequence(Qt::CTRL | key); }

}  // namespace

QAction* Graph2::MenuItem(const QString& name) const { return menuBar_->findChild<QAction*>(name); }

void Graph2::BuildMenus() {
    menuBar_ = new QMenuBar;
    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* openTem = AddItem(file, "mnuOpenTem", "&Open Template...", Ctrl(Qt::Key_O), [this] { mnuOpenTem_Click(); });
    openTem->setEnabled(false);
    AddItem(file, "mnuSaveGraphAs", "Save Diagram &As...", Ctrl(Qt::Key_A), [this] { mnuSaveGraphAs_Click(); });
    AddItem(file, "mnuPrint", "&Print Diagram...", Ctrl(Qt::Key_P), [this] { mnuPrint_Click(); });
    AddItem(file, "mnuClose", "&Close", QKeySequence(Qt::Key_F11), [this] { mnuClose_Click(); });

    QMenu* edit = menuBar_->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    AddItem(edit, "mnuUndo", "&Undo Draw", Ctrl(Qt::Key_U), [this] { mnuUndo_Click(); });
    AddSeparator(edit, "mnuSepBar2");
    AddItem(edit, "mnuCopyGraph", "&Copy Diagram", Ctrl(Qt::Key_C), [this] { mnuCopyGraph_Click(); });
    AddSeparator(edit, "mnusepbar31");
    AddItem(edit, "mnuAxesColor", "&Diagram Color...", Ctrl(Qt::Key_F1), [this] { mnuAxesColor_Click(); });
    AddItem(edit, "mnuAxesFont", "&Axes Label Font...", Ctrl(Qt::Key_F2), [this] { mnuAxesFont_Click(); });
    AddItem(edit, "mnuTitle", "Set &Title...", Ctrl(Qt::Key_F3), [this] { mnuTitle_Click(); });
    AddSeparator(edit, "mnusepbar3");
    AddItem(edit, "mnuBox", "&Box Draw", QKeySequence(Qt::Key_F2), [this] { mnuBox_Click(); });
    AddItem(edit, "mnuLine", "&Line Draw", QKeySequence(Qt::Key_F3), [this] { mnuLine_Click(); });
    AddItem(edit, "mnuText", "&Insert Text", QKeySequence(Qt::Key_F4), [this] { mnuText_Click(); });
    AddItem(edit, "mnuFont", "&Fonts....", QKeySequence(Qt::Key_F5), [this] { mnuFont_Click(); });

    QMenu* options = menuBar_->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    QMenu* size = options->addMenu(QStringLiteral("&Diagram Size"));
    size->setObjectName(QStringLiteral("mnuGraphSize"));
    for (QAction* a : {AddItem(size, "mnuSmall", "&Small", Ctrl(Qt::Key_S), [this] { mnuSmall_Click(); }),
                       AddItem(size, "mnuMedium", "&Medium", Ctrl(Qt::Key_M), [this] { mnuMedium_Click(); }),
                       AddItem(size, "mnuLarge", "&Large", Ctrl(Qt::Key_L), [this] { mnuLarge_Click(); })})
        a->setCheckable(true);
    AddItem(options, "mnuTables", "Dis&play Tables", Ctrl(Qt::Key_E), [this] { mnuTables_Click(); })->setCheckable(true);
    AddItem(options, "mnuCurveFit", "Least Square Curve Fit", Ctrl(Qt::Key_V), [this] { mnuCurveFit_Click(); })
        ->setEnabled(false);
    AddItem(options, "mnuLegends(1)", "Print &Symbol Legend", Ctrl(Qt::Key_D), [this] { mnuLegends_Click(1); })
        ->setCheckable(true);
    // The key of the printed classification fields, off when a window opens.
    AddItem(options, "mnuLegends(2)", "Print Field &Key", {}, [this] { mnuLegends_Click(2); })->setCheckable(true);
    AddItem(options, "mnuGrid", "Show &Grid", Ctrl(Qt::Key_G), [this] { mnuGrid_Click(); })->setCheckable(true);
    AddItem(options, "mnuSymbolDesc", "S&ymbol Descriptions...", Ctrl(Qt::Key_Y), [this] { mnuSymbolDesc_Click(); });
    QAction* ticks = AddItem(options, "mnuTickMarks", "&Tick Marks", Ctrl(Qt::Key_T), [this] { mnuTickMarks_Click(); });
    ticks->setCheckable(true);
    ticks->setChecked(true);
    // The field overlay switches, off at creation like the window's flags.
    options->addSeparator();
    AddItem(options, "mnuFieldLines", "Field &Lines", {}, [this] { ToggleFieldOverlay(); })->setCheckable(true);
    AddItem(options, "mnuFieldLetters", "Field L&etters", {}, [this] { ToggleFieldLetters(); })->setCheckable(true);

    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    AddItem(help, "mnuHelpContents", "&Contents", {}, [this] { mnuHelpContents_Click(); });
    AddItem(help, "mnuHelpSearch", "&Search For", {}, [this] { mnuHelpSearch_Click(); });
    AddSeparator(help, "mnuSepBar5");
    AddItem(help, "mnuAbout", "&About", {}, [this] { mnuAbout_Click(); });
    AddSeparator(help, "mnuSepBar6");
    AddItem(help, "mnuHelpHow", "&How to Use Help", {}, [this] { mnuHelpHow_Click(); });
}

void Graph2::BuildToolbar() {
    auto button = [this](const char* key) {
        QAction* a = Toolbar1->addAction(QString::fromLatin1(key));
        a->setObjectName(QString::fromLatin1(key));
        a->setToolTip(QString::fromLatin1(key));
        const QString k = QString::fromLatin1(key);
        connect(a, &QAction::triggered, this, [this, k] { Toolbar1_ButtonClick(k); });
        return a;
    };
    button("Print");
    Toolbar1->addSeparator();
    button("Undo");
    button("Delete All");
    Toolbar1->addSeparator();
    auto* tools = new QActionGroup(Toolbar1);
    for (const char* key : {"Line Draw", "Box Draw", "Insert Text"}) {
        QAction* a = button(key);
        a->setCheckable(true);
        tools->addAction(a);
    }
    Toolbar1->addSeparator();
    button("Show Fonts");
}

void Graph2::Toolbar1_ButtonClick(const QString& key) {
    try {
        if (key == QStringLiteral("Print")) PrintDiagram();
        else if (key == QStringLiteral("Delete All")) DeleteAllDrawing();
        else if (key == QStringLiteral("Undo")) UndoDraw();
        else if (key == QStringLiteral("Box Draw")) BoxDraw1();
        else if (key == QStringLiteral("Line Draw")) LineDraw1();
        else if (key == QStringLiteral("Insert Text")) InsertText1();
        else if (key == QStringLiteral("Show Fonts")) SelectTextFont();
    } catch (const std::exception& e) {
        qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Plotting Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

// --- File ---------------------------------------------------------------------

void Graph2::mnuOpenTem_Click() { LoadTemplate(); }

void Graph2::mnuSaveGraphAs_Click() {
    for (;;) {
        try {
            CMDialog1.CancelError = true;
            CMDialog1.Filter = QStringLiteral("Bitmap File (*.BMP)|*.BMP|");
            CMDialog1.Flags = 0x802;
            CMDialog1.DefaultExt = QStringLiteral("bmp");
            CMDialog1.ShowSave();
            // A name typed without an extension is a bitmap; a dialog that
            // did not add the extension did not ask about that file either.
            QString name = CMDialog1.FileName;
            if (QFileInfo(name).suffix().isEmpty()) {
                name += QStringLiteral(".bmp");
                if (QFileInfo::exists(name) &&
                    qvrt::host().MsgBox(name + QStringLiteral(" already exists.\nDo you want to replace it?"),
                                        qvrt::vbYesNo | qvrt::vbExclamation,
                                        QStringLiteral("Save Diagram As")) != qvrt::vbYes)
                    continue;
            }
            Picture1->surface().SavePicture(name);
            DiagramFileName = name;
            return;
        } catch (const qvrt::RuntimeError& e) {
            if (e.number() == qvrt::ErrDialogCancelled) return;
            if (e.number() == qvrt::ErrInvalidFileName) {
                qvrt::host().MsgBox(QStringLiteral("Filename is invalid.  Enter new filename."), qvrt::vbExclamation,
                                    QStringLiteral("Error"));
                continue;
            }
            qvrt::host().MsgBox(QString::fromStdString(e.description()), qvrt::vbExclamation,
                                QStringLiteral("Save File Error"));
            return;
        }
    }
}

void Graph2::mnuPrint_Click() { PrintDiagram(); }
void Graph2::mnuClose_Click() { CloseGraph(); }

// --- Edit ---------------------------------------------------------------------

void Graph2::mnuUndo_Click() { UndoLastDrawing(); }

void Graph2::mnuCopyGraph_Click() {
    qvrt::HourglassPointer busy;
    qvrt::host().ClipboardClear();
    QGuiApplication::clipboard()->setImage(Picture1->surface().Image());
}

void Graph2::mnuAxesColor_Click() {
    try {
        CMDialog1.CancelError = true;
        CMDialog1.Color = ColorValue(AxesColor);
        CMDialog1.ShowColor();
        quarvex::DefaultColor = CMDialog1.Color;
        AxesColor = double(quarvex::DefaultColor);
        Picture().SetForeColor(quarvex::DefaultColor);
        Picture().Cls();
        RedrawGraph();
    } catch (const qvrt::RuntimeError& e) {
        if (e.number() == qvrt::ErrDialogCancelled) return;
        qvrt::host().MsgBox(QString::fromStdString(e.description()), qvrt::vbExclamation, QStringLiteral("Color Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    } catch (const std::exception& e) {
        qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Color Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

void Graph2::mnuAxesFont_Click() {
    if (!Graph2Seams().ShowFont1) return;
    FontChoice.Color = AxesColor;
    FontChoice.TitleFlag = 0;
    Graph2Seams().ShowFont1();
    if (DialogCancelled == -1) {
        DialogCancelled = 0;
        return;
    }
    try {
        AxesTFont = {FontChoice.Name, FontChoice.Bold, FontChoice.Size, FontChoice.Italic, FontChoice.Color};
        quarvex::AxesTFont = {FontChoice.Name, FontChoice.Bold, FontChoice.Size, FontChoice.Italic, FontChoice.Color};
        qvrt::host().SetMousePointer(qvrt::vbHourglass);
        Picture().Cls();
        RedrawGraph();
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    } catch (const std::exception& e) {
        const auto* rt = dynamic_cast<const qvrt::RuntimeError*>(&e);
        if (!rt || rt->number() != qvrt::ErrDialogCancelled) {
            const QString text = rt && rt->number() == qvrt::ErrInvalidProperty
                                     ? TextFont.Name + QStringLiteral(" is not available for drawing.  Select a true type font")
                                     : QString::fromStdString(e.what());
            qvrt::host().MsgBox(text, qvrt::vbExclamation, QStringLiteral("Font Error"));
        }
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

void Graph2::mnuTitle_Click() {
    if (!Graph2Seams().ShowSETTITLE) return;
    Graph2Seams().ShowSETTITLE();
    if (FontChoice.TitleFlag == -1) {
        TitleFont = {FontChoice.Name, FontChoice.Bold, FontChoice.Size, FontChoice.Italic, FontChoice.Color};
        quarvex::TitleFont = {FontChoice.Name, FontChoice.Bold, FontChoice.Size, FontChoice.Italic, FontChoice.Color};
        FontChoice.TitleFlag = 0;
    }
    FontChoice.OtherFlag = 0;
    if (TitleChanged == -1) {
        Picture().Cls();
        DiagramTitle = GraphTitle;
        RedrawForCommand();
        TitleChanged = 0;
    }
}

void Graph2::mnuBox_Click() { BoxDraw1(); }
void Graph2::mnuLine_Click() { LineDraw1(); }
void Graph2::mnuText_Click() { InsertText1(); }
void Graph2::mnuFont_Click() { SelectTextFont(); }

// --- Options ------------------------------------------------------------------

namespace {

void ChooseSize(Graph2& g, const QString& size) {
    for (const char* name : {"Small", "Medium", "Large"})
        g.MenuItem(QStringLiteral("mnu") + QLatin1String(name))->setChecked(size == QLatin1String(name));
    g.DiagramSize = size;
    quarvex::DiagramSize = size;
}

}  // namespace

void Graph2::mnuSmall_Click() { ChooseSize(*this, QStringLiteral("Small")); }
void Graph2::mnuMedium_Click() { ChooseSize(*this, QStringLiteral("Medium")); }
void Graph2::mnuLarge_Click() { ChooseSize(*this, QStringLiteral("Large")); }

void Graph2::mnuTables_Click() {
    QAction* item = MenuItem(QStringLiteral("mnuTables"));
    if (quarvex::ShowTables != 0) {
        quarvex::ShowTables = 0;
    } else {
        quarvex::ShowTables = -1;
    }
    ApplyTablesLayout();
    item->setChecked(quarvex::ShowTables != 0);
}

void Graph2::mnuCurveFit_Click() { Curvefit1(); }

void Graph2::mnuLegends_Click(int index) {
    QAction* item = MenuItem(QStringLiteral("mnuLegends(%1)").arg(index));
    if (!item) return;
    item->setChecked(!item->isChecked());
}

void Graph2::mnuGrid_Click() {
    QAction* item = MenuItem(QStringLiteral("mnuGrid"));
    Picture().Cls();
    ShowGrid = ShowGrid == -1 ? 0 : -1;
    item->setChecked(ShowGrid == -1);
    RedrawForCommand();
}

void Graph2::mnuSymbolDesc_Click() {
    if (Graph2Seams().ShowSymbolDesc) Graph2Seams().ShowSymbolDesc(true);
}

void Graph2::mnuTickMarks_Click() {
    QAction* item = MenuItem(QStringLiteral("mnuTickMarks"));
    Picture().Cls();
    ShowTickMarks = ShowTickMarks == -1 ? 0 : -1;
    quarvex::ShowTickMarks = ShowTickMarks;
    item->setChecked(ShowTickMarks == -1);
    RedrawForCommand();
}

void Graph2::ToggleFieldLetters() {
    Picture().Cls();
    ShowFieldLetters = ShowFieldLetters == -1 ? 0 : -1;
    quarvex::ShowFieldLetters = ShowFieldLetters;
    MenuItem(QStringLiteral("mnuFieldLetters"))->setChecked(ShowFieldLetters == -1);
    RedrawForCommand();
}

void Graph2::ToggleFieldOverlay() {
    Picture().Cls();
    const int16_t on = ShowFieldLines == -1 ? 0 : -1;
    ShowFieldLines = ShowFieldLetters = on;
    quarvex::ShowFieldLines = quarvex::ShowFieldLetters = on;
    MenuItem(QStringLiteral("mnuFieldLines"))->setChecked(on == -1);
    MenuItem(QStringLiteral("mnuFieldLetters"))->setChecked(on == -1);
    RedrawForCommand();
}

// --- Help ---------------------------------------------------------------------

void Graph2::mnuHelpContents_Click() { qvrt::host().Help(HelpFilePath, qvrt::HELP_CONTENTS, 0); }
void Graph2::mnuHelpSearch_Click() { qvrt::host().Help(HelpFilePath, qvrt::HELP_PARTIALKEY, 0); }
void Graph2::mnuHelpHow_Click() { qvrt::host().Help(HelpFilePath, qvrt::HELP_HELPONHELP, 0); }
void Graph2::mnuAbout_Click() {
    if (Graph2Seams().ShowAbout) Graph2Seams().ShowAbout();
}

}  // namespace quarvex
