#include "quarvex/runtime/recording_surface.h"

#include "quarvex/runtime/errors.h"

#include <algorithm>
#include <utility>

namespace qvrt {

namespace {

double Em(const Surface& s) { return s.FontSize() * kTwipsPerPoint; }

double CharWidth(const Surface& s) { return s.Face().kind == FontKind::Text ? Em(s) / 2 : Em(s); }

QSizeF Measure(const Surface& s, const QString& text) { return {CharWidth(s) * double(text.size()), Em(s)}; }

DrawOp Base(const Surface& s, DrawOp::Kind kind, int page) {
    DrawOp op;
    op.kind = kind;
    op.drawStyle = s.DrawStyle();
    op.drawWidth = s.DrawWidth();
    op.fillStyle = s.FillStyle();
    op.fillColor = s.FillColor();
    op.fontName = s.FontName();
    op.fontSize = s.FontSize();
    op.bold = s.FontBold();
    op.italic = s.FontItalic();
    op.transparent = s.FontTransparent();
    op.page = page;
    return op;
}

DrawOp LineRecord(const Surface& s, const LineOp& line, int page) {
    const DrawOp::Kind kind = line.shape == LineShape::Segment ? DrawOp::Line
                              : line.shape == LineShape::Box   ? DrawOp::Box
                                                               : DrawOp::FilledBox;
    DrawOp op = Base(s, kind, page);
    op.x1 = line.x1;
    op.y1 = line.y1;
    op.x2 = line.x2;
    op.y2 = line.y2;
    op.device1 = line.p1;
    op.device2 = line.p2;
    op.color = line.color;
    return op;
}

DrawOp TextRecord(const Surface& s, const TextOp& text, int page) {
    DrawOp op = Base(s, DrawOp::Text, page);
    op.x1 = text.x;
    op.y1 = text.y;
    op.x2 = text.x + s.TextWidth(text.text);
    op.y2 = text.y + s.TextHeight(text.text);
    const QSizeF size = Measure(s, text.text);
    op.device1 = text.topLeft;
    op.device2 = text.topLeft + QPointF(size.width(), size.height());
    op.text = text.text;
    op.color = s.ForeColor();
    return op;
}

std::vector<DrawOp> Filter(const std::vector<DrawOp>& ops, DrawOp::Kind kind) {
    std::vector<DrawOp> out;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out), [kind](const DrawOp& op) { return op.kind == kind; });
    return out;
}

}  // namespace

QString Describe(const DrawOp& op) {
    static const char* const names[] = {"Line", "Box", "FilledBox", "Text", "Cls", "NewPage", "EndDoc", "KillDoc"};
    return QStringLiteral("%1 (%2, %3)-(%4, %5) \"%6\" colour %7 style %8 width %9 font %10 %11%12%13 page %14")
        .arg(QLatin1String(names[op.kind]))
        .arg(op.x1)
        .arg(op.y1)
        .arg(op.x2)
        .arg(op.y2)
        .arg(op.text)
        .arg(op.color)
        .arg(op.drawStyle)
        .arg(op.drawWidth)
        .arg(op.fontName)
        .arg(op.fontSize)
        .arg(op.bold ? QStringLiteral(" bold") : QString())
        .arg(op.italic ? QStringLiteral(" italic") : QString())
        .arg(op.page);
}

// --- RecordingSurface ----------------------------------------------------

RecordingSurface::RecordingSurface(double widthTwips, double heightTwips) : size_(widthTwips, heightTwips) {}

std::vector<DrawOp> RecordingSurface::OpsOf(DrawOp::Kind kind) const { return Filter(ops_, kind); }

QSizeF RecordingSurface::MeasureDevice(const QString& text) const { return Measure(*this, text); }

double RecordingSurface::AverageCharWidthDevice() const { return CharWidth(*this); }

void RecordingSurface::PaintLine(const LineOp& op) { ops_.push_back(LineRecord(*this, op, 1)); }

void RecordingSurface::PaintText(const TextOp& op) { ops_.push_back(TextRecord(*this, op, 1)); }

void RecordingSurface::PaintClear() { ops_.push_back(Base(*this, DrawOp::Cls, 1)); }

// --- RecordingPrinter ----------------------------------------------------

RecordingPrinter::RecordingPrinter(double pageWidthTwips, double pageHeightTwips)
    : portraitWidth_(pageWidthTwips), portraitHeight_(pageHeightTwips) {}

std::vector<DrawOp> RecordingPrinter::OpsOf(DrawOp::Kind kind) const { return Filter(ops_, kind); }

double RecordingPrinter::Width() const { return orientation_ == vbPRORLandscape ? portraitHeight_ : portraitWidth_; }

double RecordingPrinter::Height() const {
    return orientation_ == vbPRORLandscape ? portraitWidth_ : portraitHeight_;
}

void RecordingPrinter::SetOrientation(int orientation) {
    if (orientation != vbPRORPortrait && orientation != vbPRORLandscape) Raise(ErrInvalidProperty);
    orientation_ = orientation;
}

void RecordingPrinter::FailIfAsked() const {
    if (failWith_ != 0) Raise(failWith_);
}

void RecordingPrinter::BeforeDrawing() {
    FailIfAsked();
    if (!open_) {
        open_ = true;
        page_ = 1;
    }
}

void RecordingPrinter::NewPage() {
    BeforeDrawing();
    ++page_;
    ops_.push_back(Base(*this, DrawOp::NewPage, page_));
    HomePosition();
}

void RecordingPrinter::EndDoc() {
    FailIfAsked();
    if (open_) {
        ops_.push_back(Base(*this, DrawOp::EndDoc, page_));
        open_ = false;
        ++documentsEnded_;
    }
    HomePosition();
}

void RecordingPrinter::KillDoc() {
    if (open_) {
        ops_.push_back(Base(*this, DrawOp::KillDoc, page_));
        open_ = false;
        ++documentsKilled_;
    }
    HomePosition();
}

QSizeF RecordingPrinter::MeasureDevice(const QString& text) const { return Measure(*this, text); }

double RecordingPrinter::AverageCharWidthDevice() const { return CharWidth(*this); }

void RecordingPrinter::PaintLine(const LineOp& op) { ops_.push_back(LineRecord(*this, op, page_)); }

void RecordingPrinter::PaintText(const TextOp& op) { ops_.push_back(TextRecord(*this, op, page_)); }

}  // namespace qvrt
