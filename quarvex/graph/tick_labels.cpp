#include "quarvex/graph/tick_labels.h"

#include "quarvex/runtime/basic.h"

#include <algorithm>
#include <cmath>

namespace quarvex {

namespace {

constexpr int kTicks = 11;
// Format reads 15 significant digits of a value, and ticks of Single
// values at least 1E-10 apart differ well inside them.
constexpr int kMostDecimals = 15;

// Ticks run one way and rounding keeps their order, so it is enough that
// no label repeats its neighbour.
bool apart(const std::vector<QString>& labels) {
    return std::adjacent_find(labels.begin(), labels.end()) == labels.end();
}

QString fixedLabel(double value, int decimals) {
    return qvrt::Format(value, QStringLiteral("##0.") + QString(decimals, u'0'));
}

// "1.5E-06": one digit before the point, a signed exponent of at least two
// digits, as the program's other number texts write it.
QString exponentLabel(double value, int decimals) {
    const QString pattern = QStringLiteral("0.") + QString(decimals, u'0');
    int exponent = value == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(value))));
    QString mantissa = qvrt::Format(value / std::pow(10.0, exponent), pattern);
    // Rounding can carry the mantissa up to 10.
    if (mantissa.startsWith(QLatin1String("10.")) || mantissa.startsWith(QLatin1String("-10."))) {
        ++exponent;
        mantissa = qvrt::Format(value / std::pow(10.0, exponent), pattern);
    }
    return mantissa + (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
           QString::number(std::abs(exponent)).rightJustified(2, u'0');
}

using LabelForm = QString (*)(double value, int decimals);

std::vector<QString> labelsOf(const std::vector<double>& ticks, int decimals, LabelForm form) {
    std::vector<QString> labels;
    for (double v : ticks) labels.push_back(form(v, decimals));
    return labels;
}

// The labels with the fewest decimals, from `least` on, that tell every
// tick apart.
std::vector<QString> fewestDecimals(const std::vector<double>& ticks, int least, LabelForm form) {
    std::vector<QString> labels = labelsOf(ticks, least, form);
    for (int decimals = least + 1; !apart(labels) && decimals <= kMostDecimals; ++decimals)
        labels = labelsOf(ticks, decimals, form);
    return labels;
}

}  // namespace

std::vector<QString> AxisTickLabels(double first, double interval, double last) {
    std::vector<double> ticks;
    for (int i = 0; i < kTicks - 1; ++i) ticks.push_back(first + i * interval);
    ticks.push_back(last);

    const std::vector<QString> asAlways = labelsOf(ticks, 2, fixedLabel);
    if (apart(asAlways)) return asAlways;
    double largest = 0;
    for (double v : ticks) largest = std::max(largest, std::fabs(v));
    if (largest >= 1E-4 && largest < 1E7) return fewestDecimals(ticks, 3, fixedLabel);

    // A tick meant to be 0 keeps the float error of its sum, which the
    // exponent form would show as a value of its own.
    for (double& v : ticks)
        if (std::fabs(v) < 1E-5 * std::fabs(interval)) v = 0;
    return fewestDecimals(ticks, 1, exponentLabel);
}

}  // namespace quarvex
