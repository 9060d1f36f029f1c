#include "quarvex/frame/mdi_form1.h"
#include "quarvex/sheets/new_data_window.h"

#include "quarvex/frame/about.h"
#include "quarvex/frame/frame_commands.h"
#include "quarvex/frame/help_viewer.h"
#include "quarvex/frame/program_icon.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/graph/plot_setup_dialogs.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/fonts.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/menu_access_keys.h"
#include "quarvex/runtime/settings_store.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/sheets/plt_file.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include <new>

namespace quarvex {

namespace {

MDIForm1* gFrame = nullptr;

const QString kApp = QStringLiteral("Quarvex");

int twipsToPixelsX(double twips) { return qRound(twips / qvrt::host().TwipsPerPixelX()); }
int twipsToPixelsY(double twips) { return qRound(twips / qvrt::host().TwipsPerPixelY()); }

// A stored text that is not a number leaves the value as it was.
bool toNumber(const QString& text, double* out) {
    bool ok = false;
    double v = QLocale::c().toDouble(text.trimmed(), &ok);
    if (ok) *out = v;
    return ok;
}

QString read(const char* section, const char* key, const QString& def) {
    return qvrt::GetSetting(kApp, QString::fromLatin1(section), QString::fromLatin1(key), def);
}

void readInt16(const char* section, const char* key, int def, int16_t& target) {
    double v;
    if (!toNumber(read(section, key, qvrt::CStr(def)), &v)) return;
    try {
        target = qvrt::CInt(v);
    } catch (const qvrt::RuntimeError&) {
    }
}

void readColor(const char* section, const char* key, uint32_t def, uint32_t& target) {
    double v;
    if (!toNumber(read(section, key, qvrt::CStr(static_cast<long long>(def))), &v)) return;
    try {
        target = static_cast<uint32_t>(qvrt::CLng(v));
    } catch (const qvrt::RuntimeError&) {
    }
}

void readFloat(const char* section, const char* key, int def, float& target) {
    double v;
    if (toNumber(read(section, key, qvrt::CStr(def)), &v)) target = static_cast<float>(v);
}

void readDouble(const char* section, const char* key, int def, double& target) {
    double v;
    if (toNumber(read(section, key, qvrt::CStr(def)), &v)) target = v;
}

void write(const char* section, const QString& key, const QString& value) {
    qvrt::SaveSetting(kApp, QString::fromLatin1(section), key, value);
}
void write(const char* section, const char* key, const QString& value) {
    write(section, QString::fromLatin1(key), value);
}
QString colorText(uint32_t c) { return qvrt::CStr(static_cast<long long>(static_cast<int32_t>(c))); }

// The largest size the font dialog takes.
constexpr float kMaxFontSize = 2160;

void readFont(const char* prefix, const QString& defName, int defBold, int defSize, FontRecord& font) {
    const QByteArray p(prefix);
    font.Name = read("Fonts", p.constData(), defName);
    readInt16("Fonts", (p + "Bold").constData(), defBold, font.Bold);
    readFloat("Fonts", (p + "Size").constData(), defSize, font.Size);
    readInt16("Fonts", (p + "Italic").constData(), 0, font.Italic);
    readDouble("Fonts", (p + "Color").constData(), 0, font.Color);
    // A font this machine lacks is drawn in the nearest one it has, and a
    // size no font dialog gives is the default: either would stop every plot.
    font.Name = qvrt::DrawableTextFont(font.Name);
    if (!(font.Size > 0 && font.Size <= kMaxFontSize)) font.Size = static_cast<float>(defSize);
}

void writeFont(const char* prefix, const FontRecord& font) {
    const QString p = QString::fromLatin1(prefix);
    write("Fonts", p, font.Name);
    write("Fonts", p + QStringLiteral("Bold"), qvrt::CStr(font.Bold));
    write("Fonts", p + QStringLiteral("Size"), qvrt::CStr(font.Size));
    write("Fonts", p + QStringLiteral("Italic"), qvrt::CStr(font.Italic));
    write("Fonts", p + QStringLiteral("Color"), qvrt::CStr(font.Color));
}

// Menu captions show '&' as an access key; a file name keeps its own.
QString escapeAmpersands(QString s) { return s.replace(u'&', QStringLiteral("&&")); }

}  // namespace

MDIForm1::MDIForm1(QWidget* parent) : QMainWindow(parent) {
    gFrame = this;
    InstallFrame(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Quarvex V1.0"));
    // Set for the whole program before any child exists: sheets, graph
    // windows, dialogs and boxes take it from there.
    QApplication::setWindowIcon(ProgramIcon());
    mdiArea_ = new QMdiArea(this);
    // Closing a window brings forward the one that was active before it.
    mdiArea_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this,
            qvrt::Guarded([this](QMdiSubWindow* w) { onSubWindowActivated(w); }));
    BuildMenus();
    // Graph windows show their menus in this bar too, so it serves them all.
    qvrt::CycleSharedAccessKeys(menuBar());
    buildStatusBar();
    frameMenus_ = menuBar()->actions();
    GraphDialogOpeners.Options = ShowOptions;
    GraphDialogOpeners.SetUp = ShowSetUp;
    Graph2Seams().ShowAbout = [] { About::Show(); };
}

MDIForm1::~MDIForm1() {
    // Closing the area's windows while the frame goes must not reach a half-destroyed frame.
    QObject::disconnect(mdiArea_, nullptr, this, nullptr);
    if (gFrame == this) gFrame = nullptr;
    if (TheFrame() == this) InstallFrame(nullptr);
}

MDIForm1* MDIForm1::Instance() { return gFrame; }

MDIForm1* MDIForm1::ShowFrame() {
    if (gFrame) return gFrame;  // shown once per run
    auto* frame = new MDIForm1;
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->MDIForm_Load();
    return frame;
}

qvrt::ChildForm* MDIForm1::ActiveForm() const {
    // While a dialog or another program has the focus the area reports no
    // active window; the frame's active child is then the one last activated.
    QMdiSubWindow* w = mdiArea_->activeSubWindow();
    if (!w) w = mdiArea_->currentSubWindow();
    if (!w && lastActive_ && mdiArea_->subWindowList().contains(lastActive_.data())) w = lastActive_;
    return dynamic_cast<qvrt::ChildForm*>(w);
}

QAction* MDIForm1::MenuItem(const QString& name) const { return menuItems_.value(name, nullptr); }

void MDIForm1::RegisterMenuItem(const QString& name, QAction* item) {
    item->setObjectName(name);
    menuItems_.insert(name, item);
}

QAction* MDIForm1::AddMenuItem(QMenu* menu, const QString& name, const QString& caption,
                               const QKeySequence& shortcut) {
    QAction* item = menu->addAction(caption);
    if (!shortcut.isEmpty()) item->setShortcut(shortcut);
    RegisterMenuItem(name, item);
    return item;
}

// BuildMenus: frame_menus.cpp, with the menu and toolbar handlers.

void MDIForm1::buildStatusBar() {
    auto panel = [this](const char* name, double widthTwips) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setFixedWidth(twipsToPixelsX(widthTwips));
        statusBar()->addWidget(label);
        return label;
    };
    Panel3D1 = panel("Panel3D1", 2070);
    Panel3D4 = panel("Panel3D4", 3705);
    Panel3D2 = panel("Panel3D2", 2295);
    statusBar()->setSizeGripEnabled(false);
}

QString MDIForm1::FileUpdateCaption(int index) const {
    if (index < 0 || index > 3) qvrt::Raise(qvrt::ErrSubscript);
    return mnuFileUpdate[index]->data().toString();
}

void MDIForm1::setFileUpdateCaption(int index, const QString& caption) {
    if (index < 0 || index > 3) qvrt::Raise(qvrt::ErrSubscript);
    mnuFileUpdate[index]->setData(caption);
    mnuFileUpdate[index]->setText(escapeAmpersands(caption));
}

void MDIForm1::SetRecentFileCaption(int index, const QString& caption) {
    setFileUpdateCaption(index, caption);
    mnuFileUpdate[index]->setVisible(true);
}

void MDIForm1::SetPanelText(StatusPanel panel, const QString& text) {
    QLabel* label = panel == StatusPanel::DiagramType    ? Panel3D1
                    : panel == StatusPanel::CellPosition ? Panel3D2
                                                         : Panel3D4;
    if (label) label->setText(text);
}

void MDIForm1::SetUndoEnabled(bool on) {
    if (mnuUndo) mnuUndo->setEnabled(on);
}

void MDIForm1::AddChildWindow(qvrt::ChildForm* child) { mdiArea_->addSubWindow(child); }

void MDIForm1::ActivateChild(qvrt::ChildForm* child) { mdiArea_->setActiveSubWindow(child); }

void MDIForm1::NewDataWindow() { MODULE21::NewDataWindow(); }

// A graph window's own menu bar stands in the frame's while it is the active
// child; a sheet, or no window at all, brings the frame's back.
void MDIForm1::showMenusOf(QMdiSubWindow* window) {
    auto* graph = qobject_cast<Graph2*>(window);
    if (!window && menuOwner_ && mdiArea_->subWindowList().contains(menuOwner_.data())) return;
    if (graph == menuOwner_.data() && (graph || menuBar()->actions() == frameMenus_)) return;
    QMenuBar* bar = menuBar();
    for (QAction* a : bar->actions()) bar->removeAction(a);
    menuOwner_ = graph;
    if (graph) {
        bar->addActions(graph->MenuBar()->actions());
        connect(graph, &QObject::destroyed, this, [this] {
            // A graph window that goes with the frame finds no menu bar to restore.
            if (gFrame != this) return;
            if (!menuOwner_) showMenusOf(mdiArea_->activeSubWindow());
        });
    } else {
        bar->addActions(frameMenus_);
    }
}

void MDIForm1::onSubWindowActivated(QMdiSubWindow* window) {
    showMenusOf(window);
    if (window) lastActive_ = window;
    // The Calculate menu works on data sheets only; with no sheet open at all
    // the data menus switch it off with the rest.
    if (QAction* calculate = MenuItem(QStringLiteral("mnuCalculate")); calculate && window)
        calculate->setEnabled(dynamic_cast<Main1*>(window) != nullptr);
    if (auto* sheet = dynamic_cast<Main1*>(window)) sheet->Form_Activate();
}

void MDIForm1::MDIForm_Load() {
    qvrt::Host& h = qvrt::host();
    const double screenW = h.ScreenWidthTwips();
    const double screenH = h.ScreenHeightTwips();
    // 9300 x 6500 twips filled most of the 800 x 600 screen the frame was
    // made for; a larger screen gives it the same share, so the graph
    // windows and tables fit inside it.
    const double width = 9300 * std::max(1.0, screenW / 12000), height = 6500 * std::max(1.0, screenH / 9000);
    resize(twipsToPixelsX(width), twipsToPixelsY(height));
    move(twipsToPixelsX(screenW / 2 - width / 2), twipsToPixelsY(screenH / 2 - height / 2));
    if (screenW > 9600) showNormal();
    else showMaximized();
    activateWindow();  // the splash had the focus; without this a bare X server leaves the frame inactive

    HelpFilePath = QStringLiteral("Quarvex.HLP");
    InstallHelpViewer();
    MODULE21::NewDataWindow();
    ReadSettings();
    {
        qvrt::HourglassPointer busy;
        setWindowTitle(QStringLiteral("Quarvex V1.0"));
        Panel3D1->setText(QStringLiteral("Not Defined"));
        for (int i = 0; i < 4; ++i) {
            setFileUpdateCaption(i, RecentFiles[i + 1]);
            mnuFileUpdate[i]->setVisible(true);
        }
        if (EnterMovesRight == -1) {
            mnuGrid2[0]->setChecked(true);
            mnuGrid2[1]->setChecked(false);
        } else if (EnterMovesRight == 0) {
            mnuGrid2[0]->setChecked(false);
            mnuGrid2[1]->setChecked(true);
        }
    }
}

void MDIForm1::ReadSettings() {
    for (int i = 1; i <= 4; ++i)
        RecentFiles[i] = read("Files", QStringLiteral("File%1").arg(i).toLatin1().constData(), QString());
    DiagramSize = read("Options", "Size", QStringLiteral("Medium"));
    readInt16("Options", "DisplayLabels", 0, ShowFieldLetters);
    readInt16("Options", "SampleCol", 1, SampleCol);
    readInt16("Options", "NameCol", 2, NameCol);
    readInt16("Options", "SymbolCol", 3, SymbolCol);
    readInt16("Options", "ColorCol", 4, ColorCol);
    XCol = ColumnNumber::FromText(read("Options", "XCol", QStringLiteral("5")));
    YCol = ColumnNumber::FromText(read("Options", "YCol", QStringLiteral("6")));
    ZCol = ColumnNumber::FromText(read("Options", "ZCol", QStringLiteral("7")));
    readColor("Options", "DefaultColor", 0, DefaultColor);
    readInt16("Options", "Grid", 0, EnterMovesRight);
    readInt16("Options", "Tables", -1, ShowTables);
    readInt16("Options", "Tickmarks", -1, ShowTickMarks);
    readFont("AxesTFont", QStringLiteral("Arial"), 0, 10, AxesTFont);
    readFont("TitleFont", QStringLiteral("Arial"), -1, 16, TitleFont);
    for (int i = 1; i <= 14; ++i)
        readColor("Colors", QStringLiteral("Color%1").arg(i).toLatin1().constData(), kDefaultPalette[i],
                  ColorPalette[i]);
}

void MDIForm1::WriteSettings() {
    qvrt::SettingsBatch batch(kApp);
    for (int i = 1; i <= 4; ++i) write("Files", QStringLiteral("File%1").arg(i), RecentFiles[i]);
    // "Size" is not written: a diagram size chosen in a run lasts for that run.
    write("Options", "DisplayLabels", qvrt::CStr(ShowFieldLetters));
    write("Options", "SampleCol", qvrt::CStr(SampleCol));
    write("Options", "NameCol", qvrt::CStr(NameCol));
    write("Options", "SymbolCol", qvrt::CStr(SymbolCol));
    write("Options", "ColorCol", qvrt::CStr(ColorCol));
    write("Options", "XCol", XCol.text());
    write("Options", "YCol", YCol.text());
    write("Options", "ZCol", ZCol.text());
    write("Options", "DefaultColor", colorText(DefaultColor));
    write("Options", "Grid", qvrt::CStr(EnterMovesRight));
    write("Options", "Tables", qvrt::CStr(ShowTables));
    write("Options", "Tickmarks", qvrt::CStr(ShowTickMarks));
    write("Options", "FieldLines", qvrt::CStr(ShowFieldLines));
    writeFont("AxesTFont", AxesTFont);
    writeFont("TitleFont", TitleFont);
    for (int i = 1; i <= 14; ++i) write("Colors", QStringLiteral("Color%1").arg(i), colorText(ColorPalette[i]));
    batch.Commit();
}

bool MDIForm1::MDIForm_QueryUnload() {
    // Every open sheet is asked first; one Cancel keeps them all open.
    std::vector<QPointer<Main1>> open;
    for (size_t i = 1; i < DataWindows.size(); ++i)
        if (DataWindows[i] && WindowTable[i].IsOpen == -1) open.push_back(DataWindows[i]);
    for (auto& sheet : open)
        if (sheet && sheet->Form_QueryUnload()) return false;
    for (auto& sheet : open)
        if (sheet) sheet->UnloadWithoutQuestion();
    return true;
}

void MDIForm1::MDIForm_Unload() {
    // The program still ends; the user learns the settings were not kept.
    const auto notKept = [](const std::string& reason) {
        qvrt::host().MsgBox(QString::fromStdString(reason) + QStringLiteral(": the settings could not be saved."),
                            qvrt::vbExclamation, QStringLiteral("Error"));
    };
    try {
        WriteSettings();
    } catch (const qvrt::RuntimeError& e) {
        notKept(e.description());
    } catch (const std::bad_alloc&) {
        notKept(qvrt::ErrorText(7));
    }
    qvrt::host().Help(HelpFilePath, qvrt::HELP_QUIT, 0);
    ended_ = true;
    for (QMdiSubWindow* w : mdiArea_->subWindowList()) w->deleteLater();
    QApplication::quit();
}

bool MDIForm1::SessionCommitData() {
    if (ended_) return true;
    if (!MDIForm_QueryUnload()) return false;
    MDIForm_Unload();
    return true;
}

void MDIForm1::EndBySignal() {
    if (ended_) return;
    // Nobody is at the screen to answer a box: a store that cannot be
    // written is given up silently.
    try {
        WriteSettings();
    } catch (const qvrt::RuntimeError&) {
    } catch (const std::bad_alloc&) {
    }
    qvrt::host().Help(HelpFilePath, qvrt::HELP_QUIT, 0);
    ended_ = true;
    QApplication::quit();
}

void MDIForm1::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    bool closeNow = false;
    qvrt::Guard([&] {
        if (!MDIForm_QueryUnload()) return;
        MDIForm_Unload();
        closeNow = true;
    });
    if (closeNow) event->accept();
    else event->ignore();
}

void MDIForm1::mnuRestore_Click() {
    MsgBoxAnswer = static_cast<int16_t>(qvrt::host().MsgBox(
        QStringLiteral("Restore all program settings to their factory settings?"), qvrt::vbOKCancel,
        QStringLiteral("Restore Settings?")));
    if (MsgBoxAnswer == qvrt::vbCancel) return;
    SetDefaultColumnAssignment();
    EnterMovesRight = 0;
    mnuGrid2[0]->setChecked(false);
    mnuGrid2[1]->setChecked(true);
    ShowTables = -1;
    DefaultColor = 0;
    TextColor = 0;
    PlotFromMemory = 0;
    ShowFieldLines = -1;
    SheetCounter = 0;
    NoSampleLabels = -1;
    ShowTickMarks = -1;
    ShowFieldLetters = -1;
    DiagramSize = QStringLiteral("Medium");
    AxesTFont = {QStringLiteral("Arial"), -1, 10, 0, 0};
    TitleFont = {QStringLiteral("Arial"), -1, 16, 0, 0};
    for (int i = 0; i < 4; ++i) {
        RecentFiles[i + 1].clear();
        setFileUpdateCaption(i, QString());
        mnuFileUpdate[i]->setVisible(true);
    }
    for (int i = 1; i <= 14; ++i) ColorPalette[i] = kFactoryPalette[i];
}

void MDIForm1::mnuNew_Click() { MODULE21::NewDataWindow(); }

void MDIForm1::mnuClose_Click() {
    if (QMdiSubWindow* w = ActiveForm()) w->close();
}

void MDIForm1::mnuOpen_Click() { MODULE21::OpenDataFile(); }
void MDIForm1::mnuSave_Click() { MODULE21::SaveDataFile(); }
void MDIForm1::mnuSaveAs_Click() { MODULE21::SaveDataFileAs(); }
void MDIForm1::mnuExit_Click() { close(); }

void MDIForm1::mnuFileUpdate_Click(int index) {
    if (index < 0 || index > 3) return;
    MODULE21::OpenRecentFile(index);
}

void MDIForm1::mnuGrid2_Click(int index) {
    if (index == 0) {
        EnterMovesRight = -1;
        mnuGrid2[0]->setChecked(true);
        mnuGrid2[1]->setChecked(false);
    } else if (index == 1) {
        EnterMovesRight = 0;
        mnuGrid2[0]->setChecked(false);
        mnuGrid2[1]->setChecked(true);
    }
}

}  // namespace quarvex
