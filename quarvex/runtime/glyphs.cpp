#include "quarvex/runtime/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace qvrt {

namespace {

enum class Shape {
    CircledCross,
    CircledPlus,
    FilledDiamond,
    DottedCircle,
    Bullseye,
    FilledStar5,
    FilledStar8,
    Crosshair,
    OpenStar4,
    FilledCircle,
    OpenSquare,
    BoxedCross,
    OpenDiamond,
    FilledTriangle,
};

struct Entry {
    PlotGlyph glyph;
    Shape shape;
};

constexpr std::array<Entry, 14> kTable{{
    {{FontKind::Symbol, 196, "circle with a cross"}, Shape::CircledCross},
    {{FontKind::Symbol, 197, "circle with a plus"}, Shape::CircledPlus},
    {{FontKind::Wingdings, 117, "filled diamond"}, Shape::FilledDiamond},
    {{FontKind::Wingdings, 164, "circle with a centre dot"}, Shape::DottedCircle},
    {{FontKind::Wingdings, 165, "two rings"}, Shape::Bullseye},
    {{FontKind::Wingdings, 171, "filled five-pointed star"}, Shape::FilledStar5},
    {{FontKind::Wingdings, 173, "filled eight-pointed star"}, Shape::FilledStar8},
    {{FontKind::Wingdings, 176, "cross hair"}, Shape::Crosshair},
    {{FontKind::Wingdings, 177, "open four-pointed star"}, Shape::OpenStar4},
    {{FontKind::Wingdings, 181, "filled circle"}, Shape::FilledCircle},
    {{FontKind::Wingdings, 178, "open square"}, Shape::OpenSquare},
    {{FontKind::Wingdings, 120, "square with a cross"}, Shape::BoxedCross},
    {{FontKind::Wingdings, 179, "open diamond"}, Shape::OpenDiamond},
    {{FontKind::Wingdings, 119, "filled triangle"}, Shape::FilledTriangle},
}};

// Half the ink size and the stroke width, in ems.
constexpr double kInkHalfEm = 0.36;
constexpr double kStrokeEm = 0.085;
constexpr double kBoldStrokeEm = 0.13;

const Entry* Find(FontKind face, int code) {
    for (const Entry& e : kTable) {
        if (e.glyph.face == face && e.glyph.code == code) return &e;
    }
    return nullptr;
}

QPolygonF Star(int points, double outer, double inner, double startAngle) {
    QPolygonF poly;
    for (int i = 0; i < 2 * points; ++i) {
        const double a = startAngle + i * std::numbers::pi / points;
        const double r = (i % 2 == 0) ? outer : inner;
        poly << QPointF(r * std::cos(a), r * std::sin(a));
    }
    return poly;
}

// Shifts a polygon so that its bounding box is centred on the origin: a
// star's points are not symmetric top to bottom.
QPolygonF Centred(QPolygonF poly) {
    return poly.translated(-poly.boundingRect().center());
}

QPolygonF Diamond(double r) {
    return QPolygonF({QPointF(0, -r), QPointF(r, 0), QPointF(0, r), QPointF(-r, 0)});
}

QPolygonF Square(double r) {
    return QPolygonF({QPointF(-r, -r), QPointF(r, -r), QPointF(r, r), QPointF(-r, r)});
}

// The shape in unit coordinates (ink about -1..1, y down): one path that is
// filled and one that is stroked.
void Build(Shape shape, QPainterPath& fill, QPainterPath& stroke) {
    constexpr double kUp = -std::numbers::pi / 2;
    switch (shape) {
    case Shape::CircledCross: {
        stroke.addEllipse(QPointF(0, 0), 1, 1);
        const double d = std::sqrt(0.5);
        stroke.moveTo(-d, -d);
        stroke.lineTo(d, d);
        stroke.moveTo(d, -d);
        stroke.lineTo(-d, d);
        break;
    }
    case Shape::CircledPlus:
        stroke.addEllipse(QPointF(0, 0), 1, 1);
        stroke.moveTo(-1, 0);
        stroke.lineTo(1, 0);
        stroke.moveTo(0, -1);
        stroke.lineTo(0, 1);
        break;
    case Shape::FilledDiamond:
        fill.addPolygon(Diamond(1.1));
        fill.closeSubpath();
        break;
    case Shape::DottedCircle:
        stroke.addEllipse(QPointF(0, 0), 1, 1);
        fill.addEllipse(QPointF(0, 0), 0.32, 0.32);
        break;
    case Shape::Bullseye:
        stroke.addEllipse(QPointF(0, 0), 1, 1);
        stroke.addEllipse(QPointF(0, 0), 0.5, 0.5);
        break;
    case Shape::FilledStar5:
        fill.addPolygon(Centred(Star(5, 1.15, 0.47, kUp)));
        fill.closeSubpath();
        break;
    case Shape::FilledStar8:
        fill.addPolygon(Star(8, 1.1, 0.45, kUp));
        fill.closeSubpath();
        break;
    case Shape::Crosshair:
        // A small ring with long arms, so the arms still show at 9.75 points.
        stroke.addEllipse(QPointF(0, 0), 0.5, 0.5);
        stroke.moveTo(-1.15, 0);
        stroke.lineTo(1.15, 0);
        stroke.moveTo(0, -1.15);
        stroke.lineTo(0, 1.15);
        break;
    case Shape::OpenStar4:
        stroke.addPolygon(Star(4, 1.0, 0.36, kUp));
        stroke.closeSubpath();
        break;
    case Shape::FilledCircle:
        fill.addEllipse(QPointF(0, 0), 1, 1);
        break;
    case Shape::OpenSquare:
        stroke.addPolygon(Square(0.82));
        stroke.closeSubpath();
        break;
    case Shape::BoxedCross:
        stroke.addPolygon(Square(0.82));
        stroke.closeSubpath();
        stroke.moveTo(-0.82, -0.82);
        stroke.lineTo(0.82, 0.82);
        stroke.moveTo(0.82, -0.82);
        stroke.lineTo(-0.82, 0.82);
        break;
    case Shape::OpenDiamond:
        stroke.addPolygon(Diamond(1.05));
        stroke.closeSubpath();
        break;
    case Shape::FilledTriangle:
        fill.addPolygon(Centred(QPolygonF({QPointF(0, -1.1), QPointF(1.1, 0.8), QPointF(-1.1, 0.8)})));
        fill.closeSubpath();
        break;
    }
}

}  // namespace

const std::array<PlotGlyph, 14>& PlotGlyphs() {
    static const std::array<PlotGlyph, 14> glyphs = [] {
        std::array<PlotGlyph, 14> out{};
        for (size_t i = 0; i < kTable.size(); ++i) out[i] = kTable[i].glyph;
        return out;
    }();
    return glyphs;
}

bool HasGlyph(FontKind face, int code) { return Find(face, code) != nullptr; }

void PaintGlyph(QPainter& painter, FontKind face, int code, const QRectF& cell, const QColor& color,
                bool bold) {
    const Entry* entry = Find(face, code);
    if (!entry) return;
    const double em = cell.height() / kGlyphCellHeightEm;
    const double half = kInkHalfEm * em;
    QPainterPath fill, stroke;
    Build(entry->shape, fill, stroke);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(cell.center());
    painter.scale(half, half);
    if (!fill.isEmpty()) {
        // Bold solid shapes grow by an outline of the extra stroke width.
        QPen edge(color, (kBoldStrokeEm - kStrokeEm) * em / half);
        edge.setJoinStyle(Qt::RoundJoin);
        painter.setPen(bold ? edge : QPen(Qt::NoPen));
        painter.setBrush(color);
        painter.drawPath(fill);
    }
    if (!stroke.isEmpty()) {
        // The pen width is given in ems, so it is divided by the scale above.
        QPen pen(color, (bold ? kBoldStrokeEm : kStrokeEm) * em / half);
        // Sharp joins of the star outline would reach far past the cell.
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(stroke);
    }
    painter.restore();
}

double GlyphPassPenWidth(const QRectF& cell, bool bold, int pass) {
    const double em = cell.height() / kGlyphCellHeightEm;
    if (pass == 1) return (kBoldStrokeEm - kStrokeEm) * em;
    if (pass == 2) return (bold ? kBoldStrokeEm : kStrokeEm) * em;
    return 0;
}

bool PaintGlyphPass(QPainter& painter, FontKind face, int code, const QRectF& cell, const QColor& color,
                    bool bold, int pass) {
    const Entry* entry = Find(face, code);
    if (!entry) return false;
    QPainterPath fill, stroke;
    Build(entry->shape, fill, stroke);
    if ((pass == 0 && fill.isEmpty()) || (pass == 1 && (fill.isEmpty() || !bold)) || (pass == 2 && stroke.isEmpty()) ||
        pass < 0 || pass >= kGlyphPasses)
        return false;
    const double em = cell.height() / kGlyphCellHeightEm;
    const double half = kInkHalfEm * em;

    // The same set-up and pens as PaintGlyph.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(cell.center());
    painter.scale(half, half);
    if (pass == 0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(fill);
    } else if (pass == 1) {
        QPen edge(color, (kBoldStrokeEm - kStrokeEm) * em / half);
        edge.setJoinStyle(Qt::RoundJoin);
        painter.setPen(edge);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(fill);
    } else {
        QPen pen(color, (bold ? kBoldStrokeEm : kStrokeEm) * em / half);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(stroke);
    }
    painter.restore();
    return true;
}

}  // namespace qvrt
