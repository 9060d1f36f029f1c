// The annotation tools (box, line, text on Picture1) and the drawing undo.
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/fonts.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/painter_surface.h"

#include <QAction>
#include <QToolBar>
#include <algorithm>
#include <cmath>

namespace quarvex {

namespace {

// A list counts in 16 bits.
constexpr int kListLimit = INT16_MAX;

// Surfaces whose y grows downwards: the rubber band's top is the smaller y.
bool YDown(const QString& type) {
    return type == QStringLiteral("FAP-Volcanic") || type == QStringLiteral("FAP-Plutonic") ||
           type == QStringLiteral("QAPF-Plutonic") || type == QStringLiteral("QAPF-Volcanic");
}

// Checked before anything is drawn, so the picture never shows an item the
// list could not keep.
bool RefuseWhenFull(int count, const char* what) {
    if (count < kListLimit) return false;
    qvrt::host().MsgBox(QStringLiteral("A graph holds at most 32767 %1; no more can be added.").arg(QLatin1String(what)),
                        qvrt::vbExclamation, QStringLiteral("Drawing Error"));
    qvrt::host().SetMousePointer(qvrt::vbDefault);
    return true;
}

// Shows the armed tool pressed on the toolbar, whichever way it was armed.
void CheckToolButton(QToolBar* toolbar, const char* key) {
    if (QAction* a = toolbar->findChild<QAction*>(QString::fromLatin1(key))) a->setChecked(true);
}

}  // namespace

void Graph2::ConnectAnnotationEvents() {
    connect(Picture1, &qvrt::PictureBox::MouseDown, this, qvrt::Guarded([this](int b, int s, double x, double y) {
                Picture1_MouseDown(b, s, float(x), float(y));
            }));
    connect(Picture1, &qvrt::PictureBox::MouseMove, this, qvrt::Guarded([this](int b, int s, double x, double y) {
                Picture1_MouseMove(b, s, float(x), float(y));
            }));
    connect(Picture1, &qvrt::PictureBox::MouseUp, this, qvrt::Guarded([this](int b, int s, double x, double y) {
                Picture1_MouseUp(b, s, float(x), float(y));
            }));
    connect(Picture1, &qvrt::PictureBox::KeyPress, this,
            qvrt::Guarded([this](int keyAscii) { Picture1_KeyPress(keyAscii); }));
}

// --- Arming ----------------------------------------------------------------

void Graph2::BoxDraw1() {
    Picture1->SetMousePointer(2);
    BoxDrawMode = -1;
    LineDrawMode = 0;
    TextInsertMode = 0;
    LastDrawKind.Box = -1;
    LastDrawKind.Line = 0;
    LastDrawKind.Text = 0;
    Picture1->HideRubberLine();
    CheckToolButton(Toolbar1, "Box Draw");
}

void Graph2::LineDraw1() {
    Picture1->SetMousePointer(2);
    LastDrawKind = {0, 0, -1, 0};
    LineDrawMode = -1;
    BoxDrawMode = 0;
    TextInsertMode = 0;
    Picture1->HideRubberLine();
    CheckToolButton(Toolbar1, "Line Draw");
}

void Graph2::InsertText1() {
    Picture1->SetMousePointer(3);
    TextInsertMode = -1;
    BoxDrawMode = 0;
    LineDrawMode = 0;
    LastDrawKind.Text = -1;
    LastDrawKind.Box = 0;
    LastDrawKind.Line = 0;
    CheckToolButton(Toolbar1, "Insert Text");
}

// --- Mouse and keys ----------------------------------------------------------

void Graph2::Picture1_MouseDown(int, int, float x, float y) {
    qvrt::Surface& p = Picture();
    p.SetForeColor(ColorValue(AxesColor));
    DragStart = {x, y};
    if (LineDrawMode == -1) Picture1->ShowRubberLine(x, y, x, y);
    if (TextInsertMode == -1) {
        p.SetForeColor(ColorValue(TextColor));
        DragStart.Y = float(y - p.TextHeight(QStringLiteral("A")) / 2);
        p.SetCurrentX(DragStart.X);
        p.SetCurrentY(DragStart.Y);
    }
}

void Graph2::Picture1_MouseMove(int button, int, float x, float y) {
    Picture().SetForeColor(ColorValue(AxesColor));
    if (button != 1) return;
    if (BoxDrawMode == -1) {
        const float width = std::fabs(x - DragStart.X), height = std::fabs(y - DragStart.Y);
        const float left = std::min(x, DragStart.X);
        const bool down = YDown(DiagramType);
        const float top = down ? std::min(y, DragStart.Y) : std::max(y, DragStart.Y);
        Picture1->ShowRubberBox(left, top, left + width, down ? top + height : top - height);
    } else if (LineDrawMode == -1) {
        Picture1->ShowRubberLine(DragStart.X, DragStart.Y, x, y);
    }
}

void Graph2::Picture1_MouseUp(int, int, float x, float y) {
    qvrt::Surface& p = Picture();
    try {
        const uint32_t axes = ColorValue(AxesColor);
        p.SetForeColor(axes);
        if (BoxDrawMode == -1) {
            Picture1->HideRubberBox();
            if (RefuseWhenFull(BoxList.Count, "boxes")) return;
            LastDrawKind = {0, -1, 0, 0};
            MenuItem(QStringLiteral("mnuUndo"))->setEnabled(true);
            p.Line(DragStart.X, DragStart.Y, x, y, axes, qvrt::LineShape::Box);
            BoxList.Append({DragStart.X, DragStart.Y, x, y});
        } else if (LineDrawMode == -1) {
            Picture1->HideRubberLine();
            if (RefuseWhenFull(LineList.Count, "lines")) return;
            LastDrawKind = {0, 0, -1, 0};
            MenuItem(QStringLiteral("mnuUndo"))->setEnabled(true);
            p.Line(DragStart.X, DragStart.Y, x, y, axes);
            LineList.Append({DragStart.X, DragStart.Y, x, y});
        } else if (TextInsertMode == -1) {
            if (RefuseWhenFull(TextLabelList.Count, "text labels")) return;
            LastDrawKind = {0, 0, 0, -1};
            MenuItem(QStringLiteral("mnuUndo"))->setEnabled(true);
            PlaceTextLabel();
        }
    } catch (const qvrt::RuntimeError& e) {
        if (e.number() == qvrt::ErrInvalidProperty) {
            qvrt::host().MsgBox(TextFont.Name + QStringLiteral(" is not available for drawing.  Select a true type font"),
                                qvrt::vbExclamation, QStringLiteral("Font Error"));
            // The label just placed goes again.
            if (TextInsertMode == -1 && TextLabelList.Count >= 1) TextLabelList.Count--;
            TypingLabel = 0;
        } else {
            qvrt::host().MsgBox(QString::fromStdString(e.description()), qvrt::vbExclamation,
                                QStringLiteral("Drawing Error"));
        }
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    } catch (const std::exception& e) {
        qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Drawing Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

void Graph2::ApplyLabelFont(const TextLabel& label) {
    qvrt::Surface& p = Picture();
    p.SetForeColor(ColorValue(label.Color));
    p.SetFontSize(label.FontSize);
    p.SetFontName(qvrt::DrawableTextFont(label.FontName));
    p.SetFontSize(label.FontSize);  // a change of face may change the size
    p.SetFontBold(label.Bold != 0);
    p.SetFontItalic(label.Italic != 0);
}

bool Graph2::PlaceTextLabel() {
    if (TextLabelList.Count >= kListLimit) return false;
    TextLabel label;
    label.X = DragStart.X;
    label.Y = DragStart.Y;
    label.FontName = TextFont.Name;
    label.FontSize = TextFont.Size;
    label.Bold = TextFont.Bold;
    label.Italic = TextFont.Italic;
    label.Color = double(ColorValue(TextColor));
    TextLabelList.Append(label);
    TypingLabel = TextLabelList.Count;
    ApplyLabelFont(label);
    return true;
}

void Graph2::Picture1_KeyPress(int keyAscii) {
    // Backspace erases nothing; other control keys have no character to show.
    if (TextInsertMode != -1 || keyAscii < 32) return;
    if (TypingLabel < 1 || TypingLabel > TextLabelList.Count) {
        // After an undo or Delete All the characters start a label of their
        // own at the insertion point, never an older or erased one.
        if (RefuseWhenFull(TextLabelList.Count, "text labels")) return;
        try {
            PlaceTextLabel();
        } catch (const qvrt::RuntimeError& e) {
            if (e.number() != qvrt::ErrInvalidProperty) throw;
            TextLabelList.Count--;
            TypingLabel = 0;
            qvrt::host().MsgBox(TextFont.Name + QStringLiteral(" is not available for drawing.  Select a true type font"),
                                qvrt::vbExclamation, QStringLiteral("Font Error"));
            return;
        }
    }
    TextLabel& label = TextLabelList[TypingLabel];
    qvrt::Surface& p = Picture();
    // The label's own font: a redraw in between leaves the picture in another.
    ApplyLabelFont(label);
    const QString ch = QString(QChar(char16_t(keyAscii)));
    const double width = p.TextWidth(ch);
    PrintAt(p, DragStart.X, DragStart.Y, ch);
    label.Text += ch;
    DragStart.X = float(DragStart.X + width);
}

// --- Undo and Delete All -------------------------------------------------------

void Graph2::ShortenLastDrawn() {
    if (LastDrawKind.Box != 0 && BoxList.Count > 0) BoxList.Count--;
    if (LastDrawKind.Line != 0 && LineList.Count > 0) LineList.Count--;
    if (LastDrawKind.Text != 0 && TextLabelList.Count > 0) TextLabelList.Count--;
    TextLabelList.Items.resize(size_t(TextLabelList.Count) + 1);
    if (LastDrawKind.PointLabel != 0 && PointLabelList.Count > 0) PointLabelList.Count--;
    TypingLabel = 0;
}

void Graph2::UndoDraw() {
    try {
        qvrt::host().SetMousePointer(qvrt::vbHourglass);
        Picture().Cls();
        Picture().SetForeColor(0);
        ShortenLastDrawn();
        RedrawGraph();
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    } catch (const std::exception& e) {
        const auto* rt = dynamic_cast<const qvrt::RuntimeError*>(&e);
        qvrt::host().MsgBox(rt ? QString::fromStdString(rt->description()) : QString::fromStdString(e.what()),
                            qvrt::vbExclamation, QStringLiteral("Plotting Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

void Graph2::UndoLastDrawing() {
    try {
        qvrt::host().SetMousePointer(qvrt::vbHourglass);
        Picture().Cls();
        DrawFrameAndOverlay();
        Picture().SetForeColor(0);
        ShortenLastDrawn();
        ReplayAnnotations();
        DrawTemplateLines();
        if (BoxList.Count == 0 && LineList.Count == 0 && TextLabelList.Count == 0 && PointLabelList.Count == 0)
            MenuItem(QStringLiteral("mnuUndo"))->setEnabled(false);
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    } catch (const std::exception& e) {
        const auto* rt = dynamic_cast<const qvrt::RuntimeError*>(&e);
        qvrt::host().MsgBox(rt ? QString::fromStdString(rt->description()) : QString::fromStdString(e.what()),
                            qvrt::vbExclamation, QStringLiteral("Plotting Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

void Graph2::DeleteAllDrawing() {
    MenuItem(QStringLiteral("mnuUndo"))->setEnabled(false);
    PointLabelList.Clear();
    BoxList.Clear();
    TextLabelList.Clear();
    LineList.Clear();
    TypingLabel = 0;
    ShowSampleNumbers = 0;
    Picture().Cls();
    RedrawGraph();
    qvrt::host().SetMousePointer(qvrt::vbDefault);
}

}  // namespace quarvex
