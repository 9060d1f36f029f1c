// The four modal dialogs that edit the job settings: input options, output
// options, the output size and the ZUV compression options. Each works on its
// own copy of the values: the caller fills it, shows the dialog and reads it
// back.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QVBoxLayout;

namespace movaltic {

struct InputOptions {
    int32_t frameCount = 0;
    int32_t framesToProcess = 0;
    int32_t previewFrame = 1;
    uint8_t accepted = 0;
};

class TfmInOpt : public QDialog {
    Q_OBJECT
public:
    explicit TfmInOpt(QWidget* parent = nullptr);
    InputOptions Values;

    QLineEdit* Edit1;
    QScrollBar* ScrollBar1;
    QLineEdit* Edit2;
    QScrollBar* ScrollBar2;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void FormShow();
    void FormClose();
    void done(int r) override;

protected:
    void showEvent(QShowEvent* event) override;
};

struct OutputOptions {
    uint8_t allow8 = 0, allow16 = 0, allow24 = 0, allowCompressed = 0, allowSinglePalette = 1;
    uint8_t compressed = 0;
    uint8_t copySound = 1;
    int32_t width = 0, height = 0, bytesPerPixel = 3, bitsPerPixel = 24;
    double frameRate = 0;
    uint8_t singlePalette = 1;
    QString extension;  // without the dot: "AVI"
    uint8_t useResample = 1, rescaleAtStart = 0;
    uint8_t fast = 1, dosPlayable = 1;
    int32_t keyFrameInterval = 0;
    uint8_t compressorPending = 0;
    // Handed on to the size dialog.
    int32_t inputWidth = 0, inputHeight = 0;
    uint8_t input24 = 0;
};

class TfmOutOpt : public QDialog {
    Q_OBJECT
public:
    explicit TfmOutOpt(QWidget* parent = nullptr);
    OutputOptions Values;

    QLabel* InfoPanel;
    QPushButton* btnRescale;
    QRadioButton* RadioButton1;  // 24-bit
    QRadioButton* RadioButton2;  // 16-bit
    QRadioButton* RadioButton3;  // 8-bit
    QCheckBox* chkSinglePal;
    QCheckBox* chkCompressed;
    QPushButton* btnCompr;
    QLineEdit* edFPS;
    QCheckBox* chkCopySound;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void FormShow();
    void ShowControls();
    void ReadControls();
    void SinglePaletteRule();
    void btnRescaleClick();
    void btnComprClick();
    void btnOKClick();
    // The compressor (AVI) or ZUV options; asked explicitly by its button, or
    // by OK while a new AVI output still needs its compressor.
    void CompressionChoice(bool askedExplicitly);

protected:
    void showEvent(QShowEvent* event) override;

private:
    uint8_t busy_ = 0;
    int32_t shownWidth_ = 0, shownHeight_ = 0, shownBytes_ = 0;
};

struct SizeOptions {
    int32_t width = 320, height = 240;
    double ratio = 4.0 / 3.0;
    uint8_t rescaleAtStart = 0, useResample = 1;
    int32_t inputWidth = 0, inputHeight = 0;
    uint8_t input24 = 0, output24 = 0;
};

class TfmEditXY : public QDialog {
    Q_OBJECT
public:
    explicit TfmEditXY(QWidget* parent = nullptr);
    SizeOptions Values;

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QCheckBox* CheckBox1;
    QLineEdit* Edit3;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QRadioButton* radAtStart;
    QRadioButton* radAtEnd;
    QRadioButton* radResample;
    QRadioButton* radResize;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void ShowValues();
    void ReadValues();
    void Edit1Exit();
    void Edit2Exit();
    void Edit3Exit();
    void CheckBox1Click();
    void Preset(int width, int height);
    void FormDeactivate();
    void done(int r) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Keep { Width, Height };
    void Recalculate(Keep keep);
};

struct ZuvOptions {
    uint8_t fast = 1, dosPlayable = 1;
    int32_t keyFrameInterval = 0;
};

class TfmZUVOpt : public QDialog {
    Q_OBJECT
public:
    explicit TfmZUVOpt(QWidget* parent = nullptr);
    ZuvOptions Values;

    QRadioButton* radFast;
    QRadioButton* radBest;
    QCheckBox* chkDOS;
    QLineEdit* Edit1;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void FormShow();
    void FormClose();
    void done(int r) override;

protected:
    void showEvent(QShowEvent* event) override;
};

// The one instance of each, created at program start and kept to the end.
// Shared by the dialogs: a fixed-size window laid out by layout.
void FixedDialog(QDialog* dialog, QVBoxLayout* layout);

void CreateOptionDialogs();
void DestroyOptionDialogs();
TfmInOpt& fmInOpt();
TfmOutOpt& fmOutOpt();
TfmEditXY& fmEditXY();
TfmZUVOpt& fmZUVOpt();

}  // namespace movaltic
