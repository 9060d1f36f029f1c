// The main frame: the one MDI parent of every data sheet and graph window,
// with the menus, the status panels and the common dialog. Its load reads
// the settings store and its unload writes it; nothing else touches it.
#pragma once

#include "quarvex/runtime/child_form.h"
#include "quarvex/runtime/common_dialog.h"
#include "quarvex/state/frame_interface.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;

namespace quarvex {

class Toolbar1;

class MDIForm1 : public QMainWindow, public FrameInterface {
    Q_OBJECT

public:
    explicit MDIForm1(QWidget* parent = nullptr);
    ~MDIForm1() override;

    // The frame of the run, or null before the splash has shown it.
    static MDIForm1* Instance();
    // Creates the frame, runs its load and shows it; the splash's one call.
    static MDIForm1* ShowFrame();

    // The frame's active child window, or null.
    qvrt::ChildForm* ActiveForm() const override;

    // What the layers below reach of the frame; the frame installs itself
    // as their FrameInterface while it exists.
    QWidget* FrameWindow() override { return this; }
    void SetPanelText(StatusPanel panel, const QString& text) override;
    void SetUndoEnabled(bool on) override;
    void SetDataMenusEnabled(bool on) override;
    void AddChildWindow(qvrt::ChildForm* child) override;
    void ActivateChild(qvrt::ChildForm* child) override;
    void NewDataWindow() override;
    qvrt::CommonDialog& CommonDialog() override { return CMDialog1; }
    QString RecentFileCaption(int index) const override { return FileUpdateCaption(index); }
    void SetRecentFileCaption(int index, const QString& caption) override;
    // Cascades a new sheet from the active child, inside the client area
    // (mdi_form1_placement.cpp).
    void PlaceNewSheet(qvrt::ChildForm* sheet) override;
    QMdiArea* mdiArea() const { return mdiArea_; }
    // A menu item by its name ("mnuSave", "mnuEdit1(3)"); null when the frame has none.
    QAction* MenuItem(const QString& name) const;

    // Event procedures.
    void MDIForm_Load();
    // Asks every open sheet its close question; false when one was cancelled.
    bool MDIForm_QueryUnload();
    void MDIForm_Unload();
    void mnuRestore_Click();
    void mnuNew_Click();
    void mnuClose_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuExit_Click();
    void mnuFileUpdate_Click(int index);
    void mnuGrid2_Click(int index);

    // Menu and toolbar handlers of the frame's commands (frame_menus.cpp).
    void mnuPrint_Click();
    void mnuPrintSetup_Click();
    void mnuUndo_Click();
    void mnuEdit1_Click(int index);
    void mnuSearch1_Click(int index);
    void mnuSample_Click();
    void mnuGraphOptions1_Click();
    void mnuGraphOptions2_Click();
    void mnuDefCols_Click();
    void mnuTernary_Click();
    void mnuDiamond_Click();
    void mnuXY_Click();
    void mnuAssignSymbols_Click();
    void mnuAutoSymbols_Click();
    void mnuSymbols2_Click();
    void mnuColors_Click();
    void mnuConvert_Click();
    void mnuCascade_Click();
    void mnuTile_Click();
    void mnuArrange_Click();
    void mnuHelpContents_Click();
    void mnuHelpSearch_Click();
    void mnuHelpAbout_Click();
    void mnuHelpHow_Click();
    void Toolbar1_ButtonClick(const QString& key);

    // Operations of the frame that no menu item, button or event reaches.
    void ShowToolbarHint(int16_t index);
    void ShowPlotOptions();
    void ReplotFromMemory();
    void AssignColors();
    void ShowHelpIndex();
    void PrepareNormColumns(int16_t index);
    void InsertPlutonicHeadings(const int16_t& selector);
    void InsertVolcanicHeadings(const int16_t& selector);
    void InsertGabbroicHeadings(const int16_t& selector);
    void InsertUltramaficHeadings(const int16_t& selector);
    void InsertMeliliteHeadings(const int16_t& selector);
    void InsertCharnockiteHeadings(const int16_t& selector);
    void InsertSandstoneHeadings(const int16_t& selector);
    void InsertOxideHeadings();
    void InsertOxideHeadingsExtended();
    void StartDatabase();
    // The norm launchers and the classification dispatchers (Calculate menu).
    void RunNormCalculation2();
    void RunNormCalculation2Weight();
    void RunNormCalculation();
    void RunNormMode2();
    void RunNormMode4();
    void RunNormNoSheet();
    void ClassifyRockGroup();
    void ClassifyFromNorm();

    // Reads and writes the settings store (load step 6, unload step 1).
    static void ReadSettings();
    static void WriteSettings();

    // True once the unload has run: the program has ended.
    bool Ended() const { return ended_; }

    // The desktop's session manager asks before logging out: the questions
    // and the unload of Exit. False when the user cancelled, which keeps the
    // session (and the program) going.
    bool SessionCommitData();
    // SIGTERM: the settings are written and the program ends without
    // asking; unsaved sheets are not saved.
    void EndBySignal();

    qvrt::CommonDialog CMDialog1;
    QLabel* Panel3D1 = nullptr;  // diagram type of the active sheet
    QLabel* Panel3D4 = nullptr;  // hint panel
    QLabel* Panel3D2 = nullptr;  // cell position
    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuClose = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuSaveAs = nullptr;
    QAction* mnuExit = nullptr;
    std::array<QAction*, 4> mnuFileUpdate{};
    QAction* mnuUndo = nullptr;
    std::array<QAction*, 2> mnuGrid2{};  // "Move &Right", "Move &Down"
    QAction* mnuAutoSymbols = nullptr;
    quarvex::Toolbar1* Toolbar1 = nullptr;

    // The text of a recent-file entry (its caption as stored, '&' included).
    QString FileUpdateCaption(int index) const;
    void setFileUpdateCaption(int index, const QString& caption);

protected:
    void closeEvent(QCloseEvent* event) override;

    // Menus are built here; items are registered under their names so the
    // data-menu switching and later menus find them.
    void BuildMenus();
    QAction* AddMenuItem(QMenu* menu, const QString& name, const QString& caption,
                         const QKeySequence& shortcut = QKeySequence());
    void RegisterMenuItem(const QString& name, QAction* item);

private:
    void buildStatusBar();
    void onSubWindowActivated(QMdiSubWindow* window);
    void showMenusOf(QMdiSubWindow* window);

    QMdiArea* mdiArea_ = nullptr;
    QHash<QString, QAction*> menuItems_;
    QPointer<QMdiSubWindow> lastActive_;
    QList<QAction*> frameMenus_;
    QPointer<QMdiSubWindow> menuOwner_;  // the graph window whose menus show
    bool ended_ = false;
};

}  // namespace quarvex
