#include "quarvex/runtime/painter_surface.h"

#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/glyphs.h"
#include "quarvex/runtime/safe_write.h"

#include <QBuffer>

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace qvrt {

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kMetresPerInch = 0.0254;
// Dash and dot lengths in inches (a screen pixel is 1/96 inch), so that
// dotted grids look the same on the screen and on paper.
constexpr double kDashOn = 6.0 / 96, kDashOff = 3.0 / 96, kDotOn = 1.0 / 96, kDotOff = 2.0 / 96;

QColor ToQColor(uint32_t color) { return QColor(RedOf(color), GreenOf(color), BlueOf(color)); }

bool IsGlyphFace(const FontFace& face) { return face.kind != FontKind::Text; }

QFont TextFont(const Surface& s) { return MakeQFont(s.Face(), s.FontSize(), s.FontBold(), s.FontItalic()); }

QSizeF GlyphCell(const Surface& s, const QPaintDevice& device) {
    return {s.FontSize() * device.logicalDpiX() / kPointsPerInch * kGlyphCellWidthEm,
            s.FontSize() * device.logicalDpiY() / kPointsPerInch * kGlyphCellHeightEm};
}

QBrush FillBrush(const Surface& s, const LineOp& op) {
    if (op.shape == LineShape::FilledBox) return QBrush(ToQColor(op.color));
    const QColor fill = ToQColor(s.FillColor());
    switch (s.FillStyle()) {
    case vbFSSolid: return QBrush(fill);
    case vbHorizontalLine: return QBrush(fill, Qt::HorPattern);
    case vbVerticalLine: return QBrush(fill, Qt::VerPattern);
    case vbUpwardDiagonal: return QBrush(fill, Qt::BDiagPattern);
    case vbDownwardDiagonal: return QBrush(fill, Qt::FDiagPattern);
    case vbCross: return QBrush(fill, Qt::CrossPattern);
    case vbDiagonalCross: return QBrush(fill, Qt::DiagCrossPattern);
    default: return Qt::NoBrush;
    }
}

}  // namespace

QSizeF PainterBackend::Measure(const Surface& s, const QPaintDevice& device, const QString& text) const {
    if (IsGlyphFace(s.Face())) {
        const QSizeF cell = GlyphCell(s, device);
        return {cell.width() * double(text.size()), cell.height()};
    }
    const QFontMetricsF metrics(TextFont(s), &device);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

// Print zones and Tab columns are measured in the font's average character
// width as Windows fonts state it: lower-case letters and the space weighted
// by their frequency in English text. Newer fonts (Liberation among them)
// state the plain mean of all glyphs instead, about a third wider, which
// would push a 12-column table block past the edge of the page.
double PainterBackend::AverageCharWidth(const Surface& s, const QPaintDevice& device) const {
    if (IsGlyphFace(s.Face())) return GlyphCell(s, device).width();
    static constexpr int kWeights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6, 35, 20,
                                         56, 56, 17, 4,  49, 56, 71,  31, 10, 18, 3,  18, 2};
    const QFontMetricsF metrics(TextFont(s), &device);
    double sum = 166 * metrics.horizontalAdvance(QLatin1Char(' '));
    for (int i = 0; i < 26; ++i) sum += kWeights[i] * metrics.horizontalAdvance(QLatin1Char(char('a' + i)));
    return sum / 1000.0;
}

void PainterBackend::PaintLine(QPainter& painter, const Surface& s, const QPaintDevice& device,
                               const LineOp& op) const {
    const double dpi = device.logicalDpiX();
    const double width = std::max(1.0, s.DrawWidth() * penPixelInches_ * dpi);
    // Styles apply to thin pens only; a wide pen always draws solid.
    const int style = (s.DrawWidth() > 1 && s.DrawStyle() != vbInvisible) ? vbSolid : s.DrawStyle();

    QPen pen(ToQColor(op.color), width);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(s.DrawWidth() > 1 ? Qt::RoundCap : Qt::FlatCap);
    auto pattern = [&](std::initializer_list<double> inches) {
        QList<qreal> dashes;
        for (double in : inches) dashes << in * dpi / width;
        pen.setDashPattern(dashes);
        pen.setCapStyle(Qt::FlatCap);
    };
    switch (style) {
    case vbDash: pattern({kDashOn, kDashOff}); break;
    case vbDot: pattern({kDotOn, kDotOff}); break;
    case vbDashDot: pattern({kDashOn, kDashOff, kDotOn, kDashOff}); break;
    case vbDashDotDot: pattern({kDashOn, kDashOff, kDotOn, kDashOff, kDotOn, kDashOff}); break;
    default: break;
    }

    painter.save();
    // Lines stay crisp like the old device lines; glyphs and text are smoothed.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(style == vbInvisible ? QPen(Qt::NoPen) : pen);
    if (op.shape == LineShape::Segment) {
        if (style != vbInvisible) painter.drawLine(op.p1, op.p2);
    } else {
        painter.setBrush(FillBrush(s, op));
        painter.drawRect(QRectF(op.p1, op.p2).normalized());
    }
    painter.restore();
}

void PainterBackend::PaintText(QPainter& painter, const Surface& s, const QPaintDevice& device,
                               const TextOp& op) const {
    if (op.text.isEmpty()) return;
    const QSizeF size = Measure(s, device, op.text);
    painter.save();
    if (!s.FontTransparent()) painter.fillRect(QRectF(op.topLeft, size), ToQColor(s.BackColor()));
    const QColor color = ToQColor(s.ForeColor());
    if (IsGlyphFace(s.Face())) {
        const QSizeF cell = GlyphCell(s, device);
        for (qsizetype i = 0; i < op.text.size(); ++i) {
            const QRectF box(op.topLeft + QPointF(cell.width() * double(i), 0), cell);
            PaintGlyph(painter, s.Face().kind, op.text[i].unicode(), box, color, s.FontBold());
        }
    } else {
        const QFont font = TextFont(s);
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(op.topLeft + QPointF(0, QFontMetricsF(font, &device).ascent()), op.text);
    }
    painter.restore();
}

// --- PictureSurface ------------------------------------------------------

namespace {

double ScreenDpi() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QGuiApplication::primaryScreen())
        return QGuiApplication::primaryScreen()->logicalDotsPerInch();
    return 96.0;
}

}  // namespace

// One DrawWidth unit is one pixel of the picture.
PictureSurface::PictureSurface(QSize pixels, double dpi)
    : dpi_(dpi > 0 ? dpi : ScreenDpi()), backend_(1.0 / dpi_) {
    Resize(pixels);
}

PictureSurface::~PictureSurface() { EndPainting(); }

const QImage& PictureSurface::Image() const {
    EndPainting();
    return image_;
}

QPainter& PictureSurface::Painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        Changed();
    }
    return *painter_;
}

// In picture pixels, scaled to the finer image's.
QPainter& PictureSurface::ScreenPainter() {
    if (!screenPainter_) {
        screenPainter_ = std::make_unique<QPainter>(&screen_);
        screenPainter_->scale(ratio_, ratio_);
    }
    return *screenPainter_;
}

void PictureSurface::EndPainting() const {
    painter_.reset();
    screenPainter_.reset();
}

const QImage& PictureSurface::ScreenImage() const {
    EndPainting();
    return Fine() ? screen_ : image_;
}

void PictureSurface::SetScreenRatio(double ratio) {
    ratio = ratio > 0 && std::isfinite(ratio) ? ratio : 1.0;
    if (ratio == ratio_) return;
    ratio_ = ratio;
    RemakeScreen();
    Changed();
}

// The finer image anew from the picture, enlarged: sharp again from the
// next drawing on.
void PictureSurface::RemakeScreen() {
    EndPainting();
    if (!Fine()) {
        screen_ = QImage();
        return;
    }
    screen_ = image_.scaled(QSize(int(std::ceil(image_.width() * ratio_)), int(std::ceil(image_.height() * ratio_))),
                            Qt::IgnoreAspectRatio, Qt::FastTransformation);
    screen_.setDotsPerMeterX(image_.dotsPerMeterX());
    screen_.setDotsPerMeterY(image_.dotsPerMeterY());
}

void PictureSurface::Resize(QSize pixels) {
    pixels = pixels.expandedTo(QSize(1, 1));
    if (!image_.isNull() && image_.size() == pixels) return;
    EndPainting();
    QImage next(pixels, QImage::Format_RGB32);
    const int dotsPerMetre = int(std::lround(dpi_ / kMetresPerInch));
    next.setDotsPerMeterX(dotsPerMetre);
    next.setDotsPerMeterY(dotsPerMetre);
    next.fill(ToQColor(BackColor()));
    if (!image_.isNull()) {
        QPainter painter(&next);
        painter.drawImage(0, 0, image_);
    }
    image_ = std::move(next);
    if (Fine()) {
        QImage fine(QSize(int(std::ceil(pixels.width() * ratio_)), int(std::ceil(pixels.height() * ratio_))),
                    QImage::Format_RGB32);
        fine.setDotsPerMeterX(image_.dotsPerMeterX());
        fine.setDotsPerMeterY(image_.dotsPerMeterY());
        fine.fill(ToQColor(BackColor()));
        if (!screen_.isNull()) {
            QPainter painter(&fine);
            painter.drawImage(0, 0, screen_);
        }
        screen_ = std::move(fine);
    }
    Changed();
}

void PictureSurface::SavePicture(const QString& path) const {
    // Encoded whole first and then written as a sheet is, so that a disk
    // that fills up leaves the old bitmap as it was.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Image().save(&buffer, "BMP")) Raise(ErrPathFileAccess);
    WriteFileReplacing(path, bytes);
}

QSizeF PictureSurface::DeviceSize() const { return QSizeF(image_.size()); }

QSizeF PictureSurface::TwipsPerDeviceUnit() const { return {kTwipsPerInch / dpi_, kTwipsPerInch / dpi_}; }

QSizeF PictureSurface::MeasureDevice(const QString& text) const { return backend_.Measure(*this, image_, text); }

double PictureSurface::AverageCharWidthDevice() const { return backend_.AverageCharWidth(*this, image_); }

void PictureSurface::PaintLine(const LineOp& op) {
    backend_.PaintLine(Painter(), *this, image_, op);
    if (Fine()) backend_.PaintLine(ScreenPainter(), *this, image_, op);
}

namespace {

// A plot glyph drawn once into a small transparent image, for one colour,
// size and quarter-pixel offset: a diagram of thousands of samples then
// costs one image copy per sample instead of one path fill.
struct GlyphSpriteKey {
    int face, code, cellW, cellH, offsetX, offsetY;
    uint32_t color;
    bool bold;
    bool operator==(const GlyphSpriteKey&) const = default;
};

size_t qHash(const GlyphSpriteKey& k, size_t seed = 0) {
    return qHashMulti(seed, k.face, k.code, k.cellW, k.cellH, k.offsetX, k.offsetY, k.color, k.bold);
}

constexpr int kSpriteSteps = 4;     // quarter pixels
constexpr qsizetype kMaxSprites = 4096;

// Qt's multiplication of the four bytes of x by a / 255, rounded as the
// raster engine rounds it.
uint32_t ByteMul(uint32_t x, uint32_t a) {
    uint64_t t = ((uint64_t(x) | (uint64_t(x) << 24)) & 0x00ff00ff00ff00ffULL) * a;
    t = (t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8;
    t &= 0x00ff00ff00ff00ffULL;
    return uint32_t(t) | uint32_t(t >> 24);
}

// The coverage of each pass of a glyph at one size, offset and boldness,
// whatever its colour: drawn in opaque white, whose premultiplied pixels
// are the coverage itself.
struct GlyphMaskKey {
    int face, code, cellW, cellH, offsetX, offsetY;
    bool bold;
    bool operator==(const GlyphMaskKey&) const = default;
};

size_t qHash(const GlyphMaskKey& k, size_t seed = 0) {
    return qHashMulti(seed, k.face, k.code, k.cellW, k.cellH, k.offsetX, k.offsetY, k.bold);
}

struct GlyphMask {
    int width = 0, height = 0;
    // False when a pass is a pen of at most one pixel: the engine draws such
    // a pen line by line, touching pixels more than once, so its coverage
    // cannot be coloured afterwards exactly.
    bool colourable = true;
    std::vector<std::vector<uint8_t>> passes;  // row-major coverage, one per pass drawn
};

const GlyphMask& MaskFor(const GlyphMaskKey& key, const QSizeF& cell, const QPointF& offset) {
    static QHash<GlyphMaskKey, GlyphMask> masks;
    auto it = masks.constFind(key);
    if (it != masks.constEnd()) return *it;
    if (masks.size() >= kMaxSprites) masks.clear();
    GlyphMask mask;
    // A margin of two pixels holds the antialiased edge and the offset.
    mask.width = int(std::ceil(cell.width())) + 4;
    mask.height = int(std::ceil(cell.height())) + 4;
    QImage layer(mask.width, mask.height, QImage::Format_ARGB32_Premultiplied);
    for (int pass = 0; pass < kGlyphPasses; ++pass) {
        layer.fill(Qt::transparent);
        bool drawn;
        {
            QPainter painter(&layer);
            drawn = PaintGlyphPass(painter, FontKind(key.face), key.code, QRectF(QPointF(2, 2) + offset, cell),
                                   Qt::white, key.bold, pass);
        }
        if (!drawn) continue;
        const double pen = GlyphPassPenWidth(QRectF(QPointF(), cell), key.bold, pass);
        if (pen != 0 && !(pen > 1 + 1e-6)) {
            mask.colourable = false;
            mask.passes.clear();
            break;
        }
        std::vector<uint8_t> coverage(size_t(mask.width) * size_t(mask.height));
        for (int y = 0; y < mask.height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
            uint8_t* row = coverage.data() + size_t(y) * size_t(mask.width);
            for (int x = 0; x < mask.width; ++x) row[x] = uint8_t(qAlpha(line[x]));
        }
        mask.passes.push_back(std::move(coverage));
    }
    return *masks.insert(key, std::move(mask));
}

// A sprite cut to its ink: a transparent pixel leaves the picture as it is,
// so stamping fewer of them changes nothing but the time it takes.
struct Sprite {
    QImage image;
    QPoint at;  // of its top-left pixel in the uncut sprite
};

Sprite CutToInk(const QImage& sprite) {
    int left = sprite.width(), right = -1, top = sprite.height(), bottom = -1;
    for (int y = 0; y < sprite.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(sprite.constScanLine(y));
        for (int x = 0; x < sprite.width(); ++x) {
            if (line[x] == 0) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    const QRect ink(QPoint(left, top), QPoint(right, bottom));
    return {sprite.copy(ink), ink.topLeft()};
}

// A plot glyph for one colour, size and quarter-pixel offset, ready to be
// stamped. Its passes are laid over each other the way the raster engine
// lays an opaque solid fill over what is there (colour x coverage plus
// what is there x the rest), so the sprite is byte for byte the one that
// painting the glyph in that colour gives, at the cost of a few hundred
// multiplications instead of a path fill per colour.
const Sprite& GlyphSprite(const GlyphSpriteKey& key, const QSizeF& cell, const QPointF& offset) {
    static QHash<GlyphSpriteKey, Sprite> sprites;
    auto it = sprites.constFind(key);
    if (it != sprites.constEnd()) return *it;
    if (sprites.size() >= kMaxSprites) sprites.clear();
    const GlyphMask& mask =
        MaskFor({key.face, key.code, key.cellW, key.cellH, key.offsetX, key.offsetY, key.bold}, cell, offset);
    QImage sprite(mask.width, mask.height, QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    if (!mask.colourable) {
        QPainter painter(&sprite);
        PaintGlyph(painter, FontKind(key.face), key.code, QRectF(QPointF(2, 2) + offset, cell), ToQColor(key.color),
                   key.bold);
        painter.end();
        return *sprites.insert(key, CutToInk(sprite));
    }
    const uint32_t color = ToQColor(key.color).rgba();  // opaque, so premultiplied as it is
    for (const std::vector<uint8_t>& coverage : mask.passes) {
        for (int y = 0; y < mask.height; ++y) {
            auto* line = reinterpret_cast<uint32_t*>(sprite.scanLine(y));
            const uint8_t* cov = coverage.data() + size_t(y) * size_t(mask.width);
            for (int x = 0; x < mask.width; ++x) {
                const uint32_t c = cov[x];
                if (c == 0) continue;
                line[x] = c == 255 ? color : ByteMul(color, c) + ByteMul(line[x], 255 - c);
            }
        }
    }
    return *sprites.insert(key, CutToInk(sprite));
}

}  // namespace

// The plot glyphs of a text as sprites made at the painter's device pixels
// (ratio of them per picture pixel), so the finer image gets glyphs as sharp
// as its own pixels.
void PictureSurface::StampGlyphs(QPainter& painter, const TextOp& op, double ratio) {
    const QSizeF cell = GlyphCell(*this, image_) * ratio;
    const QPointF origin = op.topLeft * ratio;
    for (qsizetype i = 0; i < op.text.size(); ++i) {
        const QPointF at = origin + QPointF(cell.width() * double(i), 0);
        const QPointF whole(std::floor(at.x()), std::floor(at.y()));
        const int ox = int(std::lround((at.x() - whole.x()) * kSpriteSteps));
        const int oy = int(std::lround((at.y() - whole.y()) * kSpriteSteps));
        const GlyphSpriteKey key{int(Face().kind), op.text[i].unicode(), int(std::lround(cell.width() * 16)),
                                 int(std::lround(cell.height() * 16)), ox, oy, ForeColor(), FontBold()};
        const Sprite& sprite = GlyphSprite(key, cell, QPointF(double(ox), double(oy)) / kSpriteSteps);
        if (sprite.image.isNull()) continue;
        painter.drawImage(whole - QPointF(2, 2) + QPointF(sprite.at), sprite.image);
    }
}

void PictureSurface::PaintText(const TextOp& op) {
    if (op.text.isEmpty()) return;
    if (Face().kind != FontKind::Text && FontTransparent()) {
        StampGlyphs(Painter(), op, 1.0);
        if (Fine()) {
            // Stamped in the finer image's own pixels.
            QPainter& fine = ScreenPainter();
            fine.setWorldTransform(QTransform());
            StampGlyphs(fine, op, ratio_);
            fine.setWorldTransform(QTransform::fromScale(ratio_, ratio_));
        }
        return;
    }
    backend_.PaintText(Painter(), *this, image_, op);
    if (Fine()) backend_.PaintText(ScreenPainter(), *this, image_, op);
}

void PictureSurface::PaintClear() {
    EndPainting();
    image_.fill(ToQColor(BackColor()));
    if (Fine()) screen_.fill(ToQColor(BackColor()));
    Changed();
}

void PictureSurface::Changed() {
    if (changed_) changed_();
}

// --- PictureBox ----------------------------------------------------------

namespace {

int ButtonOf(Qt::MouseButtons buttons) {
    int b = 0;
    if (buttons & Qt::LeftButton) b |= 1;
    if (buttons & Qt::RightButton) b |= 2;
    if (buttons & Qt::MiddleButton) b |= 4;
    return b;
}

int ShiftOf(Qt::KeyboardModifiers modifiers) {
    int s = 0;
    if (modifiers & Qt::ShiftModifier) s |= 1;
    if (modifiers & Qt::ControlModifier) s |= 2;
    if (modifiers & Qt::AltModifier) s |= 4;
    return s;
}

}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The screen it will show on, as far as can be known before it is shown.
    surface_.SetScreenRatio(devicePixelRatioF());
    surface_.Resize(size());
    surface_.SetChangedCallback([this] { update(); });
}

PictureSurface& PictureBox::surface() {
    surface_.Resize(size());
    return surface_;
}

void PictureBox::SetMousePointer(int shape) {
    mousePointer_ = shape;
    switch (shape) {
    case 2: setCursor(Qt::CrossCursor); break;
    case 3: setCursor(Qt::IBeamCursor); break;
    case 11: setCursor(Qt::WaitCursor); break;
    default: unsetCursor(); break;
    }
}

void PictureBox::ShowRubberBox(double x1, double y1, double x2, double y2) {
    rubberBox_ = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    update();
}

void PictureBox::HideRubberBox() {
    rubberBox_.reset();
    update();
}

void PictureBox::ShowRubberLine(double x1, double y1, double x2, double y2) {
    rubberLine_ = QLineF(x1, y1, x2, y2);
    update();
}

void PictureBox::HideRubberLine() {
    rubberLine_.reset();
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    // The screen's resolution may have changed since the last drawing (a
    // move to another screen, a new scaling).
    surface_.SetScreenRatio(devicePixelRatioF());
    QPainter painter(this);
    const QImage& picture = surface_.ScreenImage();
    if (surface_.ScreenRatio() == 1.0) painter.drawImage(0, 0, picture);
    else painter.drawImage(QRectF(QPointF(0, 0), QSizeF(picture.size()) / surface_.ScreenRatio()), picture);
    if (rubberBox_) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        const QPointF a = surface_.ToDevice(rubberBox_->left(), rubberBox_->top());
        const QPointF b = surface_.ToDevice(rubberBox_->right(), rubberBox_->bottom());
        painter.drawRect(QRectF(a, b).normalized());
    }
    if (rubberLine_) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(surface_.ToDevice(rubberLine_->x1(), rubberLine_->y1()),
                         surface_.ToDevice(rubberLine_->x2(), rubberLine_->y2()));
    }
}

void PictureBox::resizeEvent(QResizeEvent*) {
    surface_.SetScreenRatio(devicePixelRatioF());
    surface_.Resize(size());
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    surface_.Resize(size());
    const QPointF p = event->position();
    emit MouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers()), surface_.FromDeviceX(p.x()),
                   surface_.FromDeviceY(p.y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit MouseMove(ButtonOf(event->buttons()), ShiftOf(event->modifiers()), surface_.FromDeviceX(p.x()),
                   surface_.FromDeviceY(p.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    emit MouseUp(ButtonOf(event->button()), ShiftOf(event->modifiers()), surface_.FromDeviceX(p.x()),
                 surface_.FromDeviceY(p.y()));
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit KeyPress(text[0].unicode());
}

}  // namespace qvrt
