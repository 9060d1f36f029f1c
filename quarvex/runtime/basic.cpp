#include "quarvex/runtime/basic.h"

#include "quarvex/runtime/errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace qvrt {

namespace {

// Only blanks, tabs and line feeds: a carriage return ends the number.
bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Decimal digits of |value| rounded half away from zero to `decimals`
// places, as an integer digit string and a fraction digit string.
// Goes through 15 significant digits so 1.005 counts as the 1.005 it was typed as.
void roundDecimal(double value, int decimals, std::string& intPart, std::string& fracPart) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    std::string s(buf, res.ptr);
    // s = d.dddddddddddddde[+-]xx
    auto ePos = s.find('e');
    int exp10 = std::stoi(s.substr(ePos + 1));
    std::string mant = s.substr(0, 1) + s.substr(2, ePos - 2);  // 15 digits, value = 0.mant * 10^(exp10+1)
    int pointPos = exp10 + 1;  // digits before the decimal point
    // Place digits into a plain string with enough leading zeros.
    std::string digits;
    if (pointPos <= 0) {
        digits = std::string(-pointPos + 1, '0') + mant;
        pointPos = 1;
    } else {
        digits = mant;
        if (static_cast<int>(digits.size()) < pointPos + decimals + 1)
            digits.append(pointPos + decimals + 1 - digits.size(), '0');
    }
    if (static_cast<int>(digits.size()) < pointPos + decimals + 1)
        digits.append(pointPos + decimals + 1 - digits.size(), '0');
    std::string kept = digits.substr(0, pointPos + decimals);
    bool roundUp = digits[pointPos + decimals] >= '5';
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0) {
            if (kept[i] == '9') {
                kept[i] = '0';
                --i;
            } else {
                ++kept[i];
                break;
            }
        }
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            ++pointPos;
        }
    }
    intPart = kept.substr(0, pointPos);
    fracPart = kept.substr(pointPos);
    auto firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
}

// The power of ten of the first significant digit of "[-]d[.d][e[+-]d]",
// which has one. A number the double range refuses is either far above 1
// or far below it, and only this tells which: the exponent alone does not
// ("1" and 309 zeros "e-0" is 1e309).
long long leadingPowerOfTen(const std::string& num) {
    const size_t e = std::min(num.find('e'), num.size());
    size_t point = num.find('.');
    if (point == std::string::npos || point > e) point = e;
    long long lead = 0;
    for (size_t k = 0; k < e; ++k) {
        if (num[k] < '1' || num[k] > '9') continue;
        lead = k < point ? static_cast<long long>(point - k - 1) : -static_cast<long long>(k - point);
        break;
    }
    // The written exponent, held far beyond any double's yet short of overflowing.
    long long expo = 0;
    size_t j = e + 1;
    const bool negative = j < num.size() && num[j] == '-';
    if (j < num.size() && (num[j] == '-' || num[j] == '+')) ++j;
    for (; j < num.size(); ++j) expo = std::min(expo * 10 + (num[j] - '0'), 1'000'000'000'000LL);
    return lead + (negative ? -expo : expo);
}

}  // namespace

float CSng(double value) {
    if (std::fabs(value) > std::numeric_limits<float>::max()) Raise(ErrOverflow);
    return static_cast<float>(value);
}

bool HasDecimalComma(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i])) ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    bool digit = false;
    for (; i < n && (isDigit(text[i]) || text[i] == u'.'); ++i) digit = digit || isDigit(text[i]);
    return digit && i + 1 < n && text[i] == u',' && isDigit(text[i + 1]);
}

double Val(const QString& text) {
    std::string num;
    int i = 0;
    const int n = text.size();
    auto skip = [&] {
        while (i < n && isBlank(text[i])) ++i;
    };
    skip();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') num += '-';
        ++i;
    }
    bool anyDigit = false;
    bool point = false;
    for (;; ++i) {
        skip();
        if (i >= n) break;
        QChar c = text[i];
        if (isDigit(c)) {
            num += static_cast<char>(c.unicode());
            anyDigit = true;
        } else if (c == u'.' && !point) {
            num += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return 0.0;
    // An exponent counts only when digits follow it.
    skip();
    if (i < n && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        int j = i + 1;
        std::string expo = "e";
        while (j < n && isBlank(text[j])) ++j;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            expo += static_cast<char>(text[j].unicode());
            ++j;
        }
        bool expDigit = false;
        for (;; ++j) {
            while (j < n && isBlank(text[j])) ++j;
            if (j < n && isDigit(text[j])) {
                expo += static_cast<char>(text[j].unicode());
                expDigit = true;
            } else {
                break;
            }
        }
        if (expDigit) num += expo;
    }
    double result = 0.0;
    auto res = std::from_chars(num.data(), num.data() + num.size(), result);
    if (res.ec == std::errc::result_out_of_range) {
        // Tiny values underflow quietly to 0; huge ones overflow as the forms did.
        if (leadingPowerOfTen(num) < 0) return 0.0;
        Raise(ErrOverflow);
    }
    return result;
}

int16_t CInt(double value) {
    if (std::isnan(value)) Raise(ErrOverflow);
    double r = std::nearbyint(value);  // default rounding mode: halves to even
    if (r < -32768.0 || r > 32767.0) Raise(ErrOverflow);
    return static_cast<int16_t>(r);
}

int32_t CLng(double value) {
    if (std::isnan(value)) Raise(ErrOverflow);
    double r = std::nearbyint(value);
    if (r < -2147483648.0 || r > 2147483647.0) Raise(ErrOverflow);
    return static_cast<int32_t>(r);
}

QString CStr(float value) {
    if (value == 0.0f) return QStringLiteral("0");
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 7);
    QString s = QString::fromLatin1(buf, res.ptr - buf);
    return s.toUpper();  // "1.234568e+07" -> "1.234568E+07"
}

QString Str(float value) {
    QString s = CStr(value);
    if (s.startsWith(u"0.")) s.remove(0, 1);
    else if (s.startsWith(u"-0.")) s.remove(1, 1);
    if (!s.startsWith(u'-')) s.prepend(u' ');
    return s;
}

QString CStr(double value) {
    if (value == 0.0) return QStringLiteral("0");
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return QString::fromLatin1(buf, res.ptr - buf).toUpper();
}

QString CStr(long long value) { return QString::number(value); }

QString Str(long long value) {
    QString s = QString::number(value);
    return value < 0 ? s : s.prepend(u' ');
}

QString Format(double value, const QString& pattern) {
    // Split the pattern into its integer and fraction parts.
    int pointAt = pattern.indexOf(u'.');
    QString intPat = pointAt < 0 ? pattern : pattern.left(pointAt);
    QString fracPat = pointAt < 0 ? QString() : pattern.mid(pointAt + 1);
    for (QChar c : intPat + fracPat)
        if (c != u'#' && c != u'0') Raise(5);
    if (pattern.isEmpty() || pattern.count(u'.') > 1) Raise(5);
    // '0's of the integer part are the digits always shown (they stand at its right).
    int intMin = 0;
    for (int i = intPat.size() - 1; i >= 0 && intPat[i] == u'0'; --i) ++intMin;
    int fracMin = 0;
    while (fracMin < fracPat.size() && fracPat[fracMin] == u'0') ++fracMin;
    int fracMax = fracPat.size();
    if (!std::isfinite(value)) Raise(ErrOverflow);

    std::string intPart, fracPart;
    roundDecimal(value, fracMax, intPart, fracPart);
    while (static_cast<int>(fracPart.size()) > fracMin && fracPart.back() == '0') fracPart.pop_back();
    if (static_cast<int>(intPart.size()) < intMin) intPart.insert(0, intMin - intPart.size(), '0');
    bool allZero = intPart.find_first_not_of('0') == std::string::npos &&
                   fracPart.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (value < 0 && !allZero) out += '-';
    out += intPart;
    if (pointAt >= 0) out += '.' + fracPart;
    return QString::fromLatin1(out.data(), static_cast<int>(out.size()));
}

QString FixedString(const QString& text, int n) {
    if (n <= 0) return QString();
    if (text.size() >= n) return text.left(n);
    QString out(n, u' ');
    QChar* d = out.data();
    for (QChar c : text) *d++ = c;
    return out;
}

}  // namespace qvrt
