#include "quarvex/runtime/surface.h"

#include "quarvex/runtime/errors.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace qvrt {

namespace {

constexpr int kColumnsPerZone = 14;
constexpr double kMaxFontPoints = 2160;
// Slack for comparing device positions that went through a scale and back.
constexpr double kDeviceSlack = 1e-6;

bool HasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

QStringList SplitLines(const QString& text) {
    // Nearly every text is one line: skip the copy and the list.
    if (!HasLineBreak(text)) return QStringList{text};
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.split(QLatin1Char('\n'));
}

}  // namespace

Surface::Surface() { ResetProperties(); }

void Surface::ResetProperties() {
    userScale_ = false;
    scaleLeft_ = scaleTop_ = 0;
    scaleWidth_ = scaleHeight_ = 1;
    currentX_ = currentY_ = 0;
    flowing_ = false;
    face_ = {QStringLiteral("MS Sans Serif"), FontKind::Text, QStringLiteral("DejaVu Sans")};
    fontSize_ = 8.25;
    fontBold_ = fontItalic_ = false;
    fontTransparent_ = true;
    foreColor_ = fillColor_ = 0;
    backColor_ = 0xFFFFFF;
    drawStyle_ = vbSolid;
    drawWidth_ = 1;
    fillStyle_ = vbFSTransparent;
}

double Surface::DeviceWidth() const { return std::max(DeviceSize().width(), 1.0); }
double Surface::DeviceHeight() const { return std::max(DeviceSize().height(), 1.0); }

double Surface::ScaleLeft() const { return userScale_ ? scaleLeft_ : 0.0; }
double Surface::ScaleTop() const { return userScale_ ? scaleTop_ : 0.0; }
double Surface::ScaleWidth() const {
    return userScale_ ? scaleWidth_ : DeviceWidth() * TwipsPerDeviceUnit().width();
}
double Surface::ScaleHeight() const {
    return userScale_ ? scaleHeight_ : DeviceHeight() * TwipsPerDeviceUnit().height();
}

// Setting one scale member keeps the others as they read at that moment.
void Surface::FreezeScale() {
    if (userScale_) return;
    scaleLeft_ = ScaleLeft();
    scaleTop_ = ScaleTop();
    scaleWidth_ = ScaleWidth();
    scaleHeight_ = ScaleHeight();
    userScale_ = true;
}

void Surface::Scale(double x1, double y1, double x2, double y2) {
    if (x2 == x1 || y2 == y1 || !std::isfinite(x2 - x1) || !std::isfinite(y2 - y1)) Raise(ErrInvalidProperty);
    userScale_ = true;
    scaleLeft_ = x1;
    scaleTop_ = y1;
    scaleWidth_ = x2 - x1;
    scaleHeight_ = y2 - y1;
}

void Surface::Scale() { userScale_ = false; }

void Surface::SetScaleLeft(double value) {
    FreezeScale();
    scaleLeft_ = value;
}

void Surface::SetScaleTop(double value) {
    FreezeScale();
    scaleTop_ = value;
}

void Surface::SetScaleWidth(double value) {
    if (value == 0 || !std::isfinite(value)) Raise(ErrInvalidProperty);
    FreezeScale();
    scaleWidth_ = value;
}

void Surface::SetScaleHeight(double value) {
    if (value == 0 || !std::isfinite(value)) Raise(ErrInvalidProperty);
    FreezeScale();
    scaleHeight_ = value;
}

QPointF Surface::ToDevice(double x, double y) const {
    return {(x - ScaleLeft()) * DeviceWidth() / ScaleWidth(), (y - ScaleTop()) * DeviceHeight() / ScaleHeight()};
}

double Surface::FromDeviceX(double deviceX) const { return ScaleLeft() + deviceX * ScaleWidth() / DeviceWidth(); }
double Surface::FromDeviceY(double deviceY) const { return ScaleTop() + deviceY * ScaleHeight() / DeviceHeight(); }

// A name that spells the current face (in any case) resolves to that very
// face again, so it needs no look-up: the plot glyphs name their font once
// per sample.
void Surface::SetFontName(const QString& name) {
    if (name == face_.name || QStringView(name).trimmed().compare(face_.name, Qt::CaseInsensitive) == 0) return;
    face_ = ResolveFont(name);
}

void Surface::SetFontSize(double points) {
    if (!(points > 0 && points <= kMaxFontPoints)) Raise(ErrInvalidProperty);
    fontSize_ = points;
}

void Surface::SetDrawStyle(int style) {
    if (style < vbSolid || style > vbInsideSolid) Raise(ErrInvalidProperty);
    drawStyle_ = style;
}

void Surface::SetDrawWidth(int width) {
    if (width < 1 || width > 32767) Raise(ErrInvalidProperty);
    drawWidth_ = width;
}

void Surface::SetFillStyle(int style) {
    if (style < vbFSSolid || style > vbDiagonalCross) Raise(ErrInvalidProperty);
    fillStyle_ = style;
}

void Surface::Line(double x1, double y1, double x2, double y2, std::optional<uint32_t> color, LineShape shape) {
    BeforeDrawing();
    LineOp op{shape, x1, y1, x2, y2, ToDevice(x1, y1), ToDevice(x2, y2), color ? (*color & 0xFFFFFF) : foreColor_};
    PaintLine(op);
    currentX_ = x2;
    currentY_ = y2;
}

double Surface::TextWidth(const QString& text) const {
    if (!HasLineBreak(text)) return MeasureDevice(text).width() * ScaleWidth() / DeviceWidth();
    double widest = 0;
    for (const QString& line : SplitLines(text)) widest = std::max(widest, MeasureDevice(line).width());
    return widest * ScaleWidth() / DeviceWidth();
}

double Surface::TextHeight(const QString& text) const {
    const auto lines = HasLineBreak(text) ? SplitLines(text).size() : 1;
    return double(lines) * MeasureDevice(QString()).height() * ScaleHeight() / DeviceHeight();
}

double Surface::PointsHeight(double points) const {
    return points * kTwipsPerPoint / TwipsPerDeviceUnit().height() * ScaleHeight() / DeviceHeight();
}

void Surface::PrintLines(const QString& text) {
    BeforeDrawing();
    if (!HasLineBreak(text)) {
        PrintLine(text);
        return;
    }
    const QStringList lines = SplitLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) NewLine();
        PrintLine(lines[i]);
    }
}

void Surface::PrintLine(const QString& line) {
    if (flowing_ && FlowsOverPages()) {
        const double top = ToDevice(currentX_, currentY_).y();
        if (top > 0 && top + MeasureDevice(line).height() > DeviceHeight() + kDeviceSlack) {
            const double x = currentX_;
            StartFlowPage();
            currentX_ = x;
            currentY_ = ScaleTop();
        }
    }
    PaintText(TextOp{currentX_, currentY_, ToDevice(currentX_, currentY_), line});
    currentX_ += MeasureDevice(line).width() * ScaleWidth() / DeviceWidth();
}

void Surface::NewLine() {
    currentX_ = ScaleLeft();
    currentY_ += MeasureDevice(QString()).height() * ScaleHeight() / DeviceHeight();
    flowing_ = true;
}

void Surface::Print(const QString& text) {
    PrintLines(text);
    NewLine();
}

void Surface::PrintKeep(const QString& text) { PrintLines(text); }

void Surface::NextZone() {
    const double zone = kColumnsPerZone * AverageCharWidthDevice();
    if (zone <= 0) return;
    const double x = ToDevice(currentX_, currentY_).x();
    const double next = (std::floor(x / zone + kDeviceSlack) + 1) * zone;
    if (next >= DeviceWidth()) {
        NewLine();
        return;
    }
    currentX_ = FromDeviceX(next);
}

void Surface::Tab(int column) {
    const double target = std::max(column - 1, 0) * AverageCharWidthDevice();
    if (ToDevice(currentX_, currentY_).x() > target + kDeviceSlack) NewLine();
    currentX_ = FromDeviceX(target);
}

void Surface::HomePosition() {
    currentX_ = ScaleLeft();
    currentY_ = ScaleTop();
    flowing_ = false;
}

void Surface::Cls() {
    PaintClear();
    HomePosition();
}

}  // namespace qvrt
