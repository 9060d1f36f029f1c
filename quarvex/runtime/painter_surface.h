// The QPainter backend: the picture box's persistent image, the widget that
// shows it, and the painting shared with the printer.
#pragma once

#include "quarvex/runtime/surface.h"

#include <QImage>
#include <QLineF>
#include <QRectF>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QPaintDevice;

namespace qvrt {

// Paints surface operations with a QPainter on a device of known
// resolution; the picture box and the printer share it so that both draw
// texts, glyphs and lines the same way.
class PainterBackend {
public:
    // penPixelInches: the length of one DrawWidth pixel on this device.
    explicit PainterBackend(double penPixelInches) : penPixelInches_(penPixelInches) {}

    QSizeF Measure(const Surface& s, const QPaintDevice& device, const QString& text) const;
    double AverageCharWidth(const Surface& s, const QPaintDevice& device) const;
    void PaintLine(QPainter& painter, const Surface& s, const QPaintDevice& device, const LineOp& op) const;
    void PaintText(QPainter& painter, const Surface& s, const QPaintDevice& device, const TextOp& op) const;

private:
    double penPixelInches_;
};

// A picture box's drawing: a persistent image that keeps what was drawn
// until Cls, which is also what "Save Diagram As" and the clipboard take.
class PictureSurface : public Surface {
public:
    // dpi 0 takes the screen's logical resolution.
    explicit PictureSurface(QSize pixels = QSize(1, 1), double dpi = 0);
    ~PictureSurface() override;

    // New size in pixels; the drawing stays at the top left and new area is
    // BackColor. A user scale keeps its values and stretches.
    void Resize(QSize pixels);
    // Ends the drawing pass first, so the image holds everything drawn.
    const QImage& Image() const;
    // Writes the image as a Windows bitmap, replacing a file as a sheet's
    // save does: one that cannot be written whole (61 Disk full, 75 ...)
    // leaves the old file as it was.
    void SavePicture(const QString& path) const;
    // Called after every change of the image (the widget repaints).
    void SetChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }

    // Device pixels of the screen per pixel of the picture (2 at 200 %
    // scaling). Above 1 the surface also draws everything into a finer
    // image for the window, in the same user units; the picture itself,
    // which saving and copying take, stays as it is. A new ratio starts
    // the finer image from the picture until the next drawing.
    void SetScreenRatio(double ratio);
    double ScreenRatio() const { return ratio_; }
    // What the window shows: the finer image (ratio times the picture's
    // pixels each way), or the picture at ratio 1.
    const QImage& ScreenImage() const;

protected:
    QSizeF DeviceSize() const override;
    QSizeF TwipsPerDeviceUnit() const override;
    QSizeF MeasureDevice(const QString& text) const override;
    double AverageCharWidthDevice() const override;
    void PaintLine(const LineOp& op) override;
    void PaintText(const TextOp& op) override;
    void PaintClear() override;

private:
    void Changed();
    // One painter stays open on the image from the first drawing after a
    // look at the image until the next look (or a resize or Cls): a
    // diagram of thousands of glyphs then opens it once, not per glyph.
    // Opening it is what tells the widget to repaint.
    QPainter& Painter();
    QPainter& ScreenPainter();
    void EndPainting() const;
    bool Fine() const { return ratio_ != 1.0; }
    void StampGlyphs(QPainter& painter, const TextOp& op, double ratio);
    void RemakeScreen();

    double dpi_;
    QImage image_;
    mutable std::unique_ptr<QPainter> painter_;
    double ratio_ = 1.0;
    QImage screen_;
    mutable std::unique_ptr<QPainter> screenPainter_;
    PainterBackend backend_;
    std::function<void()> changed_;
};

// The picture box control: shows its PictureSurface and reports the mouse
// in the surface's user coordinates. Buttons are 1 left, 2 right, 4 middle;
// shift is 1 Shift, 2 Ctrl, 4 Alt.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The picture, sized to the widget (also before the widget is shown,
    // when Qt has not yet sent it a resize event).
    PictureSurface& surface();

    // 0 default, 2 cross, 3 I-beam, 11 hourglass.
    void SetMousePointer(int shape);
    int MousePointer() const { return mousePointer_; }

    // The drag feedback shapes, drawn over the picture but not into it: a
    // dotted rectangle between two corners and a line, in user units.
    void ShowRubberBox(double x1, double y1, double x2, double y2);
    void HideRubberBox();
    void ShowRubberLine(double x1, double y1, double x2, double y2);
    void HideRubberLine();

signals:
    void MouseDown(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);
    void KeyPress(int keyAscii);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    PictureSurface surface_;
    int mousePointer_ = 0;
    std::optional<QRectF> rubberBox_;  // user units, two corners
    std::optional<QLineF> rubberLine_;
};

}  // namespace qvrt
