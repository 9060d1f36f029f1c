// The basic functions the forms runtime offered, with the forms' rules and
// never the C locale's: a sheet written in Germany must read the same here.
#pragma once

#include <QString>
#include <cstdint>

namespace qvrt {

// The leading-number rule: blanks, tabs and line feeds are skipped anywhere,
// then an optional sign, digits, one decimal point and an exponent (E or D)
// are read up to the first character that cannot continue the number.
// Text without a leading number is 0. A value beyond the double range
// raises Overflow (6) and one below the smallest positive double reads as 0,
// however it is written ("1" and 309 zeros "e-0" overflows).
double Val(const QString& text);

// A leading number that goes on at once with a comma and a digit ("59,98",
// "1,037", "0,5 ppm"): written with a decimal comma, which Val would read
// as the whole number before it.
bool HasDecimalComma(const QString& text);

// Conversion to a 16-bit integer, halves rounded to the even neighbour
// (2.5 -> 2, 3.5 -> 4); outside -32768..32767 raises Overflow (6).
int16_t CInt(double value);
// The same for 32-bit integers.
int32_t CLng(double value);

// Conversion to a 32-bit float, as storing into a Single did: a value whose
// magnitude is past the float range raises Overflow (6) instead of becoming
// infinite; one too small for it becomes 0.
float CSng(double value);

// Decimal text of a 32-bit float with 7 significant digits, switching to
// the "1.234568E+07" form where the forms did (exponent >= 7 or < -4).
// CStr gives "0.5" and "-0.5"; Str adds a leading blank for non-negative
// values and drops the zero before the point (" .5", "-.5", " 12").
QString CStr(float value);
QString Str(float value);
// Decimal text of a double with up to 15 significant digits ("10", "8.25",
// "16777215"), the form the settings store keeps floating values in.
QString CStr(double value);
// Integers as the forms printed them: CStr without blanks, Str with a
// leading blank for non-negative values.
QString CStr(long long value);
QString Str(long long value);
inline QString CStr(int value) { return CStr(static_cast<long long>(value)); }
inline QString Str(int value) { return Str(static_cast<long long>(value)); }

// Format(value, pattern) for the numeric patterns built from '#', '0' and
// one '.': "##0.00", "#0.00", "#0", "###.0##", "######.0##",
// "#########0.0###", and for axis labels "##0.000" ... and "0.0" ... with
// more decimals. '0' is a digit always shown, '#' one shown only when
// needed; halves round away from zero on the decimal value. Any other
// pattern raises Invalid procedure call (5).
QString Format(double value, const QString& pattern);

// A fixed-length string of n characters: longer text is cut, shorter text
// padded with blanks (the forms' String * n).
QString FixedString(const QString& text, int n);

}  // namespace qvrt
