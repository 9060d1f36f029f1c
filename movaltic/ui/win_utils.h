// Small helpers every Movaltic form shares: number texts, clamping, the key
// filter of numeric edits, form set-up and the three fixed message boxes.
#pragma once

#include <QChar>
#include <QColor>
#include <QString>
#include <functional>

class QDialog;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace movaltic {

// Accepts "." and "," as the decimal separator and ignores "+"; text that is
// not a number gives 0. Independent of the desktop's locale.
double TextToReal(const QString& text);
// Whole number in the text, or fallback when the text is not one.
int IntOrDefault(const QString& text, int fallback);
void ClampInt(int& value, int low, int high);
void ClampReal(double& value, double low, double high);
// Nearest integer, halves to the even neighbour.
int RoundEven(double x);
// Control characters, "+", "-" and digits pass; anything else becomes the
// decimal separator when decimals are allowed, else is dropped (QChar()).
QChar NumericKeyFilter(QChar key, bool allowDecimals);
// Puts NumericKeyFilter in front of an edit's key presses.
void InstallNumericFilter(QLineEdit* edit, bool allowDecimals);
// allowDecimals asked anew at each key press (the dialogs switch modes).
void InstallNumericFilterLive(QLineEdit* edit, std::function<bool()> allowDecimals);

// Fixed-format texts of the parameter dialogs.
QString FixedText(double value, int decimals);

// The three fixed message boxes: "Error" (error icon, OK), "Message"
// (exclamation, OK), "Confirm" (question, Yes and No, No the default).
// True only when Confirm is answered Yes.
enum class FixedBox { Error, Message, Confirm };
bool ShowFixedBox(FixedBox kind, const QString& text);

// The right-aligned OK (the default button) and Cancel row of a dialog.
// Cancel rejects; what OK does is left to the dialog, as some record their
// values before accepting.
QHBoxLayout* OkCancelRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel);

// Contrast of two colours by their relative luminance, from 1 (the same)
// to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// The colour itself when text in it is readable (4.5:1) on the background,
// else the nearest shade of it toward white or black that is.
QColor ReadableOn(const QColor& colour, const QColor& background);
// Text of the widget in the colour, or in its shade readable on the
// widget's background; kept readable when the palette changes (a dark
// desktop palette, a theme switched while running).
void SetTextColour(QWidget* widget, const QColor& colour);

void SetupDialogForm(QWidget* form);
void SetupMainForm(QWidget* form);

}  // namespace movaltic
