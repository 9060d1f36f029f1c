// The point table beside the diagram: selecting a row marks its sample in
// red, a double click or Enter labels the sample's point.
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>

namespace quarvex {

namespace {

// Hands the table's key presses (as character codes) to the window.
class TableKeys : public QObject {
public:
    TableKeys(QObject* parent, std::function<void(int)> onKey) : QObject(parent), onKey_(std::move(onKey)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                qvrt::Guard([&] { onKey_(13); });
                return true;
            }
            if (!key->text().isEmpty()) qvrt::Guard([&] { onKey_(key->text()[0].unicode()); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int)> onKey_;
};

bool IsFap(const QString& t) { return t == QStringLiteral("FAP-Plutonic") || t == QStringLiteral("FAP-Volcanic"); }
bool IsQapf(const QString& t) { return t == QStringLiteral("QAPF-Plutonic") || t == QStringLiteral("QAPF-Volcanic"); }

}  // namespace

void Graph2::ConnectPointTable() {
    connect(Grid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            qvrt::Guarded([this](const QModelIndex&, const QModelIndex&) {
                // A click that changes the row reports the change once.
                markPressPending_ = QGuiApplication::mouseButtons() != Qt::NoButton;
                Grid1_SelChange();
            }));
    // A click on the row already current selects it again (which unmarks it).
    connect(Grid1, &QAbstractItemView::pressed, this, qvrt::Guarded([this](const QModelIndex&) {
                if (!markPressPending_) Grid1_SelChange();
                markPressPending_ = false;
            }));
    connect(Grid1, &QAbstractItemView::doubleClicked, this,
            qvrt::Guarded([this](const QModelIndex&) { Grid1_DblClick(); }));
    Grid1->installEventFilter(new TableKeys(this, [this](int keyAscii) { Grid1_KeyPress(keyAscii); }));
}

void Graph2::DrawMark(int row, uint32_t colour) {
    qvrt::Surface& p = Picture();
    const size_t r = size_t(row);
    const size_t s = size_t(SampleSymbol.at(r));
    p.SetFontBold(false);
    p.SetFontName(s < 3 ? QStringLiteral("Symbol") : QStringLiteral("Wingdings"));
    p.SetFontSize(9.75);
    p.SetCurrentX(PointX.at(r) - SymbolCentringH.at(s));
    p.SetCurrentY(PointY.at(r) + SymbolCentringV.at(s));
    p.SetForeColor(colour);
    p.Print(QString(QChar(SampleSymbolChar.at(r))));
}

void Graph2::Grid1_SelChange() {
    if (PointTableReady != 1) return;
    try {
        const int r = Grid1->Row();
        if (r < 1 || r > SampleCount) return;
        DrawMark(r, 255);
        const int previous = LastSelectedRow;
        if (previous >= 1 && previous <= SampleCount)
            DrawMark(previous, ColorValue(SampleColour.at(size_t(previous))));
        LastSelectedRow = int16_t(r);
    } catch (const std::exception&) {
        // A row without a plotted point marks nothing.
    }
}

void Graph2::Grid1_DblClick() { PlacePointLabel(false); }

void Graph2::Grid1_KeyPress(int keyAscii) {
    if (keyAscii == 13) PlacePointLabel(true);
}

void Graph2::PlacePointLabel(bool byEnter) {
    const int r = Grid1->Row();
    // The heading row and the rows past the samples have no point.
    if (r < 1 || r > SampleCount || r >= int(PointX.size()) || r >= int(PointY.size())) return;
    if (PointLabelList.Count >= INT16_MAX) {
        qvrt::host().MsgBox(QStringLiteral("A graph holds at most 32767 point labels; no more can be added."),
                            qvrt::vbExclamation, QStringLiteral("Drawing Error"));
        return;
    }
    LineDrawMode = 0;
    TextInsertMode = 0;
    LastDrawKind = {-1, 0, 0, 0};
    PointTableReady = 0;
    struct Ready {
        int16_t& flag;
        ~Ready() { flag = 1; }
    } ready{PointTableReady};

    qvrt::Surface& p = Picture();
    const uint32_t colour = ColorValue(TextColor);
    p.SetForeColor(colour);
    p.SetFontBold(false);
    PointLabel label;
    label.Color = double(colour);
    label.Text = Text1->text();
    // The window's own copy of the sample number: a later sort or read of a
    // sheet does not change what this graph labels.
    if (label.Text.isEmpty()) {
        label.Text = SampleLabel.at(size_t(r));
        while (label.Text.endsWith(QLatin1Char(' '))) label.Text.chop(1);
    }
    const size_t s = size_t(SampleSymbol.at(size_t(r)));
    const float h = SymbolCentringH.at(s), v = SymbolCentringV.at(s);
    const float y = PointY[size_t(r)];
    label.X = PointX[size_t(r)] + h / 2;
    float drawnY = y + v, storedY = y + v;
    if (IsFap(DiagramType)) {
        if (byEnter) drawnY = storedY = y - v;
        else storedY = (y + v) + 0.3f * v;
    } else if (IsQapf(DiagramType)) {
        drawnY = byEnter ? y : y - v;
        storedY = y - v;
    }
    label.Y = storedY;
    p.SetFontSize(6);
    p.SetFontName(QStringLiteral("Small Fonts"));
    p.SetFontSize(6);
    PrintAt(p, label.X, drawnY, label.Text);
    PointLabelList.Append(label);
}

}  // namespace quarvex
