// Recording surfaces for tests: they draw nothing and log every operation in
// user units with the pen and font in force, so a test asserts what a
// drawing procedure drew without looking at pixels.
//
// Their metrics are fixed and simple, in twips, with em = FontSize * 20
// (one point is 20 twips):
//   - line height (TextHeight of one line): 1 em, for every font;
//   - character width: 0.5 em for text fonts, 1 em for "Symbol" and
//     "Wingdings" characters;
//   - average character width (print zones, Tab): as the character width.
// Device units are twips, so until a scale is set user units are twips too.
#pragma once

#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/surface.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace qvrt {

struct DrawOp {
    enum Kind { Line, Box, FilledBox, Text, Cls, NewPage, EndDoc, KillDoc };
    Kind kind = Line;
    // Line, Box, FilledBox: the two corners. Text: (x1, y1) is the top-left
    // corner and (x2, y2) the bottom-right one of the text's box.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    // The same two corners on the surface, in twips from its top-left corner.
    QPointF device1, device2;
    QString text;
    uint32_t color = 0;  // the line's colour, or ForeColor for a text
    int drawStyle = 0, drawWidth = 1, fillStyle = 1;
    uint32_t fillColor = 0;
    QString fontName;
    double fontSize = 0;
    bool bold = false, italic = false, transparent = true;
    int page = 1;  // printer page (1 for a picture)
};

// A readable line for test failure messages.
QString Describe(const DrawOp& op);

class RecordingSurface : public Surface {
public:
    // The drawable area in twips (a picture box of that size).
    explicit RecordingSurface(double widthTwips = 6000, double heightTwips = 4500);

    const std::vector<DrawOp>& Ops() const { return ops_; }
    void ClearOps() { ops_.clear(); }
    // Only the operations of one kind, in order.
    std::vector<DrawOp> OpsOf(DrawOp::Kind kind) const;

protected:
    QSizeF DeviceSize() const override { return size_; }
    QSizeF TwipsPerDeviceUnit() const override { return {1, 1}; }
    QSizeF MeasureDevice(const QString& text) const override;
    double AverageCharWidthDevice() const override;
    void PaintLine(const LineOp& op) override;
    void PaintText(const TextOp& op) override;
    void PaintClear() override;

private:
    QSizeF size_;
    std::vector<DrawOp> ops_;
};

class RecordingPrinter : public PrinterSurface {
public:
    // An A4 page by default (11906 x 16838 twips), printable all over.
    explicit RecordingPrinter(double pageWidthTwips = 11906, double pageHeightTwips = 16838);

    const std::vector<DrawOp>& Ops() const { return ops_; }
    void ClearOps() { ops_.clear(); }
    std::vector<DrawOp> OpsOf(DrawOp::Kind kind) const;
    bool DocumentOpen() const { return open_; }
    int Page() const { return page_; }
    int DocumentsEnded() const { return documentsEnded_; }
    int DocumentsKilled() const { return documentsKilled_; }

    // From now on every drawing, NewPage and EndDoc raises this error
    // number (482 for a printer that fails); 0 stops failing.
    void FailWith(int errorNumber) { failWith_ = errorNumber; }

    double Width() const override;
    double Height() const override;
    int Orientation() const override { return orientation_; }
    void SetOrientation(int orientation) override;
    void NewPage() override;
    void EndDoc() override;
    // Marks the open document discarded (a KillDoc operation); the
    // operations recorded before it stay for tests to read.
    void KillDoc() override;

protected:
    QSizeF DeviceSize() const override { return {Width(), Height()}; }
    QSizeF TwipsPerDeviceUnit() const override { return {1, 1}; }
    QSizeF MeasureDevice(const QString& text) const override;
    double AverageCharWidthDevice() const override;
    void BeforeDrawing() override;
    void PaintLine(const LineOp& op) override;
    void PaintText(const TextOp& op) override;
    void PaintClear() override {}

private:
    void FailIfAsked() const;

    double portraitWidth_, portraitHeight_;
    int orientation_ = vbPRORPortrait;
    std::vector<DrawOp> ops_;
    bool open_ = false;
    int page_ = 1;
    int documentsEnded_ = 0;
    int documentsKilled_ = 0;
    int failWith_ = 0;
};

}  // namespace qvrt
