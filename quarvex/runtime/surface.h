// The drawing surface of a picture box and of the printer, with the members
// the forms runtime gave both: a user scale, a print position, a font, a pen
// and the Line, Print, TextWidth/TextHeight and Cls methods.
//
// Coordinates are user units of the current scale: x runs from ScaleLeft to
// ScaleLeft + ScaleWidth across the surface and y from ScaleTop to
// ScaleTop + ScaleHeight down it, so a negative ScaleHeight makes y grow
// upwards. Until a scale is set the units are twips. Text measures carry the
// sign of the scale: TextHeight is negative on a y-up surface, so that
// "y - TextHeight / 2" centres a text on y either way.
//
// Colours are 32-bit values red + 256 * green + 65536 * blue.
//
// Backends: PictureSurface (a persistent image, painter_surface.h),
// QtPrinterSurface (printer or PDF file, printer.h) and the recording
// surfaces of recording_surface.h, which log every operation in user units.
#pragma once

#include "quarvex/runtime/fonts.h"

#include <QPointF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <optional>

namespace qvrt {

inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kTwipsPerPoint = 20.0;

// What Line draws between its two corners: the segment, the outline of the
// rectangle ("B") or the filled rectangle ("BF").
enum class LineShape { Segment, Box, FilledBox };

// DrawStyle values.
enum DrawStyleValue : int {
    vbSolid = 0,
    vbDash = 1,
    vbDot = 2,
    vbDashDot = 3,
    vbDashDotDot = 4,
    vbInvisible = 5,
    vbInsideSolid = 6,
};

// FillStyle values: 0 solid, 1 transparent (the default), 2..7 hatches.
enum FillStyleValue : int {
    vbFSSolid = 0,
    vbFSTransparent = 1,
    vbHorizontalLine = 2,
    vbVerticalLine = 3,
    vbUpwardDiagonal = 4,
    vbDownwardDiagonal = 5,
    vbCross = 6,
    vbDiagonalCross = 7,
};

// Splits a colour value into its red, green and blue bytes.
inline int RedOf(uint32_t color) { return int(color & 0xFF); }
inline int GreenOf(uint32_t color) { return int((color >> 8) & 0xFF); }
inline int BlueOf(uint32_t color) { return int((color >> 16) & 0xFF); }
constexpr uint32_t RGB(int red, int green, int blue) {
    return uint32_t(red & 0xFF) | (uint32_t(green & 0xFF) << 8) | (uint32_t(blue & 0xFF) << 16);
}

// One Line call as the backends receive it.
struct LineOp {
    LineShape shape;
    double x1, y1, x2, y2;  // user units
    QPointF p1, p2;         // device units
    uint32_t color;
};

// One line of printed text.
struct TextOp {
    double x, y;      // user units of the top-left corner
    QPointF topLeft;  // device units
    QString text;     // one line, no line feeds; may be empty
};

class Surface {
public:
    virtual ~Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // --- Scale -----------------------------------------------------------
    // Scale (x1, y1)-(x2, y2): the user coordinates of the top-left and the
    // bottom-right corner. Equal x or y coordinates raise 380.
    void Scale(double x1, double y1, double x2, double y2);
    // Scale without arguments: back to twips with the origin top left.
    void Scale();
    double ScaleLeft() const;
    double ScaleTop() const;
    double ScaleWidth() const;
    double ScaleHeight() const;
    void SetScaleLeft(double value);
    void SetScaleTop(double value);
    // Zero raises 380: a surface cannot be zero units wide.
    void SetScaleWidth(double value);
    void SetScaleHeight(double value);

    // --- Print position --------------------------------------------------
    double CurrentX() const { return currentX_; }
    double CurrentY() const { return currentY_; }
    void SetCurrentX(double x) { currentX_ = x; }
    void SetCurrentY(double y) {
        currentY_ = y;
        flowing_ = false;
    }

    // --- Font ------------------------------------------------------------
    // An unknown name raises 380 and leaves the font as it was.
    QString FontName() const { return face_.name; }
    void SetFontName(const QString& name);
    double FontSize() const { return fontSize_; }
    // Sizes outside (0, 2160] points raise 380.
    void SetFontSize(double points);
    bool FontBold() const { return fontBold_; }
    void SetFontBold(bool on) { fontBold_ = on; }
    bool FontItalic() const { return fontItalic_; }
    void SetFontItalic(bool on) { fontItalic_ = on; }
    // False paints each text on a box of BackColor.
    bool FontTransparent() const { return fontTransparent_; }
    void SetFontTransparent(bool on) { fontTransparent_ = on; }
    const FontFace& Face() const { return face_; }

    // --- Pen and fill ----------------------------------------------------
    uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(uint32_t color) { foreColor_ = color & 0xFFFFFF; }
    uint32_t BackColor() const { return backColor_; }
    void SetBackColor(uint32_t color) { backColor_ = color & 0xFFFFFF; }
    // 0 solid, 1 dash, 2 dot (3 dash-dot, 4 dash-dot-dot, 5 invisible,
    // 6 inside solid); anything else raises 380. Styles other than solid
    // apply to lines one pixel wide, as they did.
    int DrawStyle() const { return drawStyle_; }
    void SetDrawStyle(int style);
    // Pen width in pixels of the device (on paper, 1/300 inch); 1..32767.
    int DrawWidth() const { return drawWidth_; }
    void SetDrawWidth(int width);
    // How boxes drawn with "B" are filled: 1 transparent (default), 0 solid
    // in FillColor, 2..7 hatches; anything else raises 380.
    int FillStyle() const { return fillStyle_; }
    void SetFillStyle(int style);
    uint32_t FillColor() const { return fillColor_; }
    void SetFillColor(uint32_t color) { fillColor_ = color & 0xFFFFFF; }

    // --- Drawing ---------------------------------------------------------
    // Line (x1, y1)-(x2, y2) [, colour] [, B | BF]: without a colour the
    // pen takes ForeColor. Afterwards CurrentX/Y is (x2, y2).
    void Line(double x1, double y1, double x2, double y2, std::optional<uint32_t> color = std::nullopt,
              LineShape shape = LineShape::Segment);

    // Print text: the text with its top-left corner at (CurrentX, CurrentY),
    // then the next line: CurrentX back to ScaleLeft, CurrentY one text
    // height further down. Print("") only moves to the next line (and on the
    // printer opens the document). Line feeds in the text start new lines.
    // On the printer, lines that run on from earlier lines past the foot of
    // the page continue at the top of a new page; a text placed by setting
    // CurrentY prints where it was put.
    void Print(const QString& text = QString());
    // Print text; -- the position stays right after the text.
    void PrintKeep(const QString& text);
    // Print ..., -- moves to the start of the next print zone (zones are 14
    // average character widths of the current font, from ScaleLeft); past
    // the right edge the next line starts.
    void NextZone();
    // Print Tab(n); -- moves to character column n (1 is the left edge); if
    // the position is already past it, to column n of the next line.
    void Tab(int column);

    // Size of a text in the current font and user units, signed like the
    // scale. TextHeight of any single-line text (also "") is the line height.
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;
    // A height given in points (the current FontSize, say), in user units
    // signed like the scale.
    double PointsHeight(double points) const;

    // Clears to BackColor; the print position goes to the top-left corner.
    void Cls();

    // The scale, print position, font, colours, pen and fill as a new
    // surface has them.
    void ResetProperties();

    // User coordinates to the backend's device units and back.
    QPointF ToDevice(double x, double y) const;
    double FromDeviceX(double deviceX) const;
    double FromDeviceY(double deviceY) const;

protected:
    Surface();

    // The drawable area in device units, and what one unit is in twips.
    virtual QSizeF DeviceSize() const = 0;
    virtual QSizeF TwipsPerDeviceUnit() const = 0;
    // One line of text in the current font, in device units (width, line height).
    virtual QSizeF MeasureDevice(const QString& text) const = 0;
    // The average character width of the current font, in device units.
    virtual double AverageCharWidthDevice() const = 0;
    // Called before anything is drawn or printed (the printer opens its
    // document here, raising 482 when it cannot).
    virtual void BeforeDrawing() {}
    virtual void PaintLine(const LineOp& op) = 0;
    // Empty texts arrive too: Print "" counts as printing.
    virtual void PaintText(const TextOp& op) = 0;
    virtual void PaintClear() = 0;

    // Puts the print position at the top-left corner of the scale.
    void HomePosition();
    // Whether running text breaks onto a new page (the printer), and how.
    virtual bool FlowsOverPages() const { return false; }
    virtual void StartFlowPage() {}

private:
    void PrintLines(const QString& text);
    // One line at the print position; the position moves past it.
    void PrintLine(const QString& line);
    void NewLine();
    double DeviceWidth() const;
    double DeviceHeight() const;
    void FreezeScale();

    // Their starting values are set in one place, ResetProperties.
    bool userScale_;  // false: twips from the top-left corner
    double scaleLeft_, scaleTop_, scaleWidth_, scaleHeight_;
    double currentX_, currentY_;
    bool flowing_;  // the position came from a line advance
    FontFace face_;
    double fontSize_;
    bool fontBold_, fontItalic_, fontTransparent_;
    uint32_t foreColor_, backColor_, fillColor_;
    int drawStyle_, drawWidth_, fillStyle_;
};

}  // namespace qvrt
