// The graph window: one plotted diagram of one data sheet. Creating it
// (Form_Load) copies everything it draws from the program-wide plot
// settings and sample arrays, so each window is a snapshot that later
// changes of the settings or of the sheet never reach.
//
// Picture1 is the runtime's picture box; every frame draws in user
// coordinates on Picture() (Picture1's persistent image, or a recording
// surface that a test installs), and RedrawGraph repaints all of it from the
// window state.
#pragma once

#include "quarvex/runtime/child_form.h"
#include "quarvex/runtime/common_dialog.h"
#include "quarvex/state/program_state.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QMenuBar;
class QScrollBar;
class QToolBar;
class QWidget;

namespace qvrt {
class PictureBox;
class Surface;
}  // namespace qvrt

namespace quarvex {

class SimpleGrid;
class Graph2;

// A list of annotations: a count and entries 1..Count (element 0 unused).
// Undo only lowers the count; the next append overwrites what it hid.
template <typename Entry>
struct AnnotationList {
    int16_t Count = 0;
    std::vector<Entry> Items{Entry{}};

    void Append(const Entry& entry) {
        if (Count == INT16_MAX) return;
        ++Count;
        if (static_cast<int>(Items.size()) <= Count) Items.resize(static_cast<size_t>(Count) + 1);
        Items[static_cast<size_t>(Count)] = entry;
    }
    Entry& operator[](int k) { return Items.at(static_cast<size_t>(k)); }
    const Entry& operator[](int k) const { return Items.at(static_cast<size_t>(k)); }
    void Clear() {
        Count = 0;
        Items.assign(1, Entry{});
    }
};

// Box or line, in user coordinates of the diagram.
struct Segment {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
};

struct TextLabel {
    QString Text;
    float X = 0, Y = 0;
    QString FontName;
    float FontSize = 0;
    int16_t Bold = 0, Italic = 0;
    double Color = 0;
};

// A sample-point label placed from the point table; X, Y is the text's
// top-left corner.
struct PointLabel {
    QString Text;
    double Color = 0;
    float X = 0, Y = 0;
    float Extra = 0;
};

// Which list the next undo shortens: point label, box, line, text.
struct DrawKinds {
    int16_t PointLabel = 0, Box = 0, Line = 0, Text = 0;
};

// The window's copy of a font record, taken when the window is made.
using WindowFont = FontRecord;

struct TextFontRecord {
    QString Name;
    float Size = 0;
    int16_t Bold = 0, Italic = 0;
};

// One segment of a loaded template: six fields for a ternary graph, the
// first four (x1, y1, x2, y2) for an XY plot.
using TemplateSegment = std::array<int16_t, 6>;

struct ScaleWindowRect {
    float Width = 0, Top = 0, Height = 0, Left = 0;
};

struct Extents {
    float X = 0, Y = 0;    // origin (or drag start)
    double W = 0, H = 0;   // extents (or drag end)
};

// What the layers above the graph window draw on it and print of it; each
// is installed at start-up by its layer and does nothing while empty.
struct GraphSeams {
    // The classification overlay of the window's DiagramType (the ternary
    // diagrams, through the field dispatcher).
    std::function<void(Graph2&)> DrawFieldNames;
    std::function<void(Graph2&)> DrawFieldsTAS;
    std::function<void(Graph2&)> DrawFieldsQAPFPlutonic;
    std::function<void(Graph2&)> DrawFieldsQAPFVolcanic;
    // Prints the window on the Printer.
    std::function<void(Graph2&)> PrintDiagram;
    // Shows the About box, not modal.
    std::function<void()> ShowAbout;
    // The formatting dialogs, modal: the font dialog (fills FontChoice, or
    // sets DialogCancelled), the title dialog and the symbol descriptions.
    // While one is not installed its command does nothing.
    std::function<void()> ShowFont1;
    std::function<void()> ShowSETTITLE;
    std::function<void(bool modal)> ShowSymbolDesc;
};
GraphSeams& Graph2Seams();

class Graph2 : public qvrt::ChildForm {
    Q_OBJECT

public:
    // The window is created hidden; the launcher runs Form_Load and shows it.
    explicit Graph2(QWidget* parent = nullptr);
    ~Graph2() override;

    // --- Events ------------------------------------------------------------
    // Sets the window up from the program-wide plot settings and the sample
    // arrays and draws the first picture. On an error it reports and closes
    // the window; returns false then.
    bool Form_Load();
    // Back to automatic XY scaling and reading the sheet for the next plot.
    void Form_Unload();

    // --- Drawing -----------------------------------------------------------
    // Where frames draw: Picture1's image, or the surface a test installs.
    qvrt::Surface& Picture();
    void UseSurface(qvrt::Surface* surface) { testSurface_ = surface; }

    // Repaints the whole graph from the window state: frame, overlay,
    // boxes, lines, text labels, point labels, template lines. Errors reach
    // the caller.
    void RedrawGraph();
    // RedrawGraph for a command: an error shows under "Plotting Error" and
    // the window stays usable.
    void RedrawForCommand();
    // The frame (or XY plot) and overlay of DiagramType, as the redraw, the
    // first drawing and the undo pair them.
    void DrawFrameAndOverlay();
    void DrawTernaryFrame();
    void DrawDiamondFrame();
    void DrawTASFrame();
    void DrawXYPlot();
    // Overlay seams (see GraphSeams).
    void DrawFieldNames();
    void DrawFieldsTAS();
    void DrawFieldsQAPFPlutonic();
    void DrawFieldsQAPFVolcanic();
    // Boxes, lines, text labels and point labels at their stored places.
    void ReplayAnnotations();
    void DrawTemplateLines();

    // --- Symbols -----------------------------------------------------------
    void InitSymbolTable();
    void AssignSampleColours();
    void MeasureSymbols();
    void AssignSymbolChars(int i);

    // --- Commands of the menus and the toolbar ------------------------------
    void mnuOpenTem_Click();
    void mnuSaveGraphAs_Click();
    void mnuPrint_Click();
    void mnuClose_Click();
    void mnuUndo_Click();
    void mnuCopyGraph_Click();
    void mnuAxesColor_Click();
    void mnuAxesFont_Click();
    void mnuTitle_Click();
    void mnuBox_Click();
    void mnuLine_Click();
    void mnuText_Click();
    void mnuFont_Click();
    void mnuSmall_Click();
    void mnuMedium_Click();
    void mnuLarge_Click();
    void mnuTables_Click();
    void mnuCurveFit_Click();
    void mnuLegends_Click(int index);
    void mnuGrid_Click();
    void mnuSymbolDesc_Click();
    void mnuTickMarks_Click();
    void mnuHelpContents_Click();
    void mnuHelpSearch_Click();
    void mnuHelpHow_Click();
    void mnuAbout_Click();
    void Toolbar1_ButtonClick(const QString& key);
    void ToggleFieldLetters();
    void ToggleFieldOverlay();
    void CloseGraph();

    // Printing, templates, annotations, curve fit and text font: the
    // window's later commands (their own files).
    void PrintDiagram();
    void LoadTemplate();
    void UndoLastDrawing();
    void UndoDraw();
    void DeleteAllDrawing();
    void BoxDraw1();
    void LineDraw1();
    void InsertText1();
    void SelectTextFont();
    void Curvefit1();

    // Annotation tools on Picture1 (X, Y in its user coordinates; Button 1
    // is the left button alone).
    void Picture1_MouseDown(int button, int shift, float x, float y);
    void Picture1_MouseMove(int button, int shift, float x, float y);
    void Picture1_MouseUp(int button, int shift, float x, float y);
    void Picture1_KeyPress(int keyAscii);
    // The point table: marking the selected sample and labelling it.
    void Grid1_SelChange();
    void Grid1_DblClick();
    void Grid1_KeyPress(int keyAscii);
    // The curve fit's sample order and its panel's buttons (0 "Print",
    // 1 "Close").
    void SortSamplesByX();
    void SSCommand1_Click(int index);
    // Centres the glyphs for the Printer (changes the Printer's font).
    void MeasurePrinterSymbols();

    // The window's own menu bar, which the frame shows in place of its own
    // while this window is the active child.
    QMenuBar* MenuBar() const { return menuBar_; }
    // Sizes the key table to all its rows and columns, so that the panel's
    // bars reach every row and the whole of each name; the overlays call it
    // when they set the key's rows.
    void FitKeyTable();

    // A menu item by its control name ("mnuGrid", "mnuLegends(1)").
    QAction* MenuItem(const QString& name) const;
    QToolBar* Toolbar1 = nullptr;

    // --- Controls ------------------------------------------------------------
    qvrt::PictureBox* Picture1 = nullptr;
    SimpleGrid* Grid1 = nullptr;  // point table
    SimpleGrid* Grid3 = nullptr;  // field-name key table
    QWidget* Picture2 = nullptr;  // panel of the key table
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QWidget* Picture3 = nullptr;  // curve-fit panel
    QLabel* Label1 = nullptr;     // "Label Text:"
    QLabel* Label2 = nullptr;     // "Points:"
    QLabel* Label3 = nullptr;     // the point count
    QLineEdit* Text1 = nullptr;   // label text
    // The curve-fit panel's captions and values (0-5 "Coef1:".."Coef6:",
    // 6-11 their values, 15 "Standard Deviation:", 16 the degree), the
    // deviation, the fitted values and the buttons.
    std::array<QLabel*, 17> Label4{};
    QLabel* Label5 = nullptr;
    SimpleGrid* Grid2 = nullptr;
    std::array<QPushButton*, 2> SSCommand1{};
    qvrt::CommonDialog CMDialog1;

    // --- Window state --------------------------------------------------------
    int16_t LastSelectedRow = 1;
    int16_t TasTickValue = 0;
    int16_t PointTableReady = 0;
    std::vector<int16_t> SampleSymbolChar;
    std::array<int16_t, 21> SymbolChars{};
    std::vector<float> PointX, PointY;
    AnnotationList<PointLabel> PointLabelList;
    struct Legend {
        int16_t Count = 0;
        std::array<QString, 23> Descriptions;
        std::array<int16_t, 23> GlyphCodes{};
        std::array<int16_t, 23> SymbolNumbers{};
    } LegendSymbols;
    std::array<double, 26> TasTickPositions{};
    std::vector<float> SampleColour;
    QString DiagramType;
    int16_t SampleCount = 0;
    float TasTickOffset = 0;
    int16_t PointSelectCount = 0;
    QString DiagramFileName;
    std::vector<int16_t> SampleSymbol;
    std::vector<QString> SampleLabel;  // 12 characters each
    int16_t ShowSampleNumbers = 0;
    int16_t BoxDrawMode = 0, LineDrawMode = 0, TextInsertMode = 0;
    AnnotationList<Segment> BoxList;
    AnnotationList<TextLabel> TextLabelList;
    AnnotationList<Segment> LineList;
    Extents DiagramExtents;
    DrawKinds LastDrawKind;
    TextFontRecord TextFont;
    // Vertical (minus half the glyph height) and horizontal (half its
    // width) offsets by symbol number, in the user units of the last frame.
    std::array<float, 20> SymbolCentringV{}, SymbolCentringH{};
    QString DiagramTitle;
    // The data sheet this graph was drawn from, as its caption names it
    // ("Plot-" and this); the program-wide SheetCaption moves on with the
    // next plot or printed table, the fit report names this one.
    QString SourceSheetCaption;
    std::vector<float> SampleX, SampleY, SampleZ, SampleF;
    struct {
        std::vector<double> Color;
        std::vector<float> X, Y;
        int16_t Count = 0;
    } SymbolDescMarks;
    double SymbolDescColor = 0;
    int16_t SymbolDescPlacing = 0;
    WindowFont AxesTFont, TitleFont;
    std::array<QString, 5> AxisLabels;  // 1..4
    double AxesColor = 0;
    double TextColor = 0;
    int16_t ShowFieldLetters = 0;
    QString DiagramSize;
    int16_t ShowTickMarks = 0;
    int16_t ShowFieldLines = 0;
    std::vector<TemplateSegment> TemplateLines{TemplateSegment{}};
    int16_t TemplateLineCount = 0;
    std::vector<float> SamplePlagRatio;
    QString XAxisTitle, YAxisTitle;
    int16_t TemplateLoaded = 0;
    int16_t ShowGrid = 0;
    int16_t CurveFitShown = 0;
    float SurfaceWidth = 0, SurfaceHeight = 0;
    ScaleWindowRect ScaleWindow;
    float ScaleMinX = 0, ScaleMinY = 0, ScaleMaxX = 0, ScaleMaxY = 0;
    float XYDataLimits[4] = {0, 0, 0, 0};
    float PlotMinX = 0, PlotMaxX = 0, PlotMinY = 0, PlotMaxY = 0;
    // The AutoScale flag this window was created with: closing another
    // window resets the program-wide flag, which must not turn a manually
    // scaled window into an automatically scaled one.
    int16_t AutoScale = -1;
    // The fitted values of this window's own fit (one per sample index),
    // with its coefficients (1..degree + 1, the array bound degree + 2), its
    // deviation and degree: another window's fit never reaches them.
    std::vector<float> FittedY;
    std::vector<float> FitCoefficients;
    float FitStdDeviation = 0;
    int16_t FitDegree = 0;
    // The last press on Picture1; in text mode the running insertion point.
    struct {
        float X = 0, Y = 0;
    } DragStart;
    // The text label that typing extends (index into TextLabelList); 0 when
    // none, as after an undo or Delete All, so typing starts a new label.
    int16_t TypingLabel = 0;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void BuildToolbar();
    void FillPointTable();
    void ApplyTablesLayout();
    // Hides the field-key table, its panel and scroll bars.
    void HideKeyTable();
    void SetKeyTableShown(bool shown);
    // The column of the tables beside the picture; hidden, the picture is
    // centred.
    void ShowTablesColumn(bool shown);
    // Window size and place on opening, and the picture's square side.
    void PlaceOnOpening();
    void PlaceKeyScrollBars();
    // Whether DiagramType has a field overlay, and with it a key.
    bool HasFieldKey() const;
    // The frames' shared sample loop: glyph of sample i at (x, y).
    void DrawSampleGlyph(int i, double x, double y);
    void SetSmallFont();
    void SetWindowFont(const WindowFont& font);
    void SetSizeChecks();
    void ReportFrameError(const std::exception& e, bool lowerCaseFonts);
    void ConnectAnnotationEvents();
    void ConnectPointTable();
    void BuildCurveFitPanel();
    // Removes the last entry of each list LastDrawKind names.
    void ShortenLastDrawn();
    // Appends an empty text label at DragStart in TextFont and TextColor and
    // applies its font to the picture; false (nothing stored) when full.
    bool PlaceTextLabel();
    void ApplyLabelFont(const TextLabel& label);
    void DrawMark(int row, uint32_t colour);
    void PlacePointLabel(bool byEnter);
    void PrintFitReport();
    void CloseCurveFitPanel();
    bool markPressPending_ = false;

    QWidget* tablesPane_ = nullptr;
    QWidget* keyCorner_ = nullptr;
    QHBoxLayout* row_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    qvrt::Surface* testSurface_ = nullptr;
    bool unloaded_ = false;
};

}  // namespace quarvex
