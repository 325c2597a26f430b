#include "chart/AxisTicks.h"

#include "core/CheckedMath.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace wellenschau {

namespace {

constexpr QChar LineSeparator(13);

long long RoundToLong(double value) { return static_cast<long long>(std::nearbyint(value)); }

// The default locale's number symbols, rebuilt only when the default locale
// changes, so that formatting a label allocates no more than its text.
struct TNumberFormat {
    QLocale Source{QLocale::c()};
    QLocale Grouped;
    QString Point;
    QString Zero;
    QString Minus;
    bool Valid = false;
};

const TNumberFormat& CurrentNumberFormat() {
    static TNumberFormat format;
    const QLocale current;
    if (!format.Valid || current != format.Source) {
        format.Source = current;
        format.Grouped = current;
        format.Grouped.setNumberOptions(current.numberOptions() & ~QLocale::OmitGroupSeparator);
        format.Point = current.decimalPoint();
        format.Zero = current.zeroDigit();
        format.Minus = current.negativeSign();
        format.Valid = true;
    }
    return format;
}

// How many labels of the given size fit the pixel length with their gap.
long long MaxLabels(const TAxisScale& scale, const TLabelStepRule& rule, int size) {
    if (size <= 0) return 1;
    const int gap = rule.LabelsSeparation > 0 ? RoundToInt(rule.LabelsSeparation * 0.01 * size) : 0;
    return RoundToLong(static_cast<double>(scale.PixelLength) / (size + gap));
}

}  // namespace

double NextNiceStep(double x) {
    if (x >= 10.0) return 10.0 * NextNiceStep(x / 10.0);
    if (x < 1.0) return NextNiceStep(x * 10.0) / 10.0;
    if (x < 2.0) return 2.0;
    if (x < 5.0) return 5.0;
    return 10.0;
}

QString FormatLabelValue(double value) {
    const TNumberFormat& format = CurrentNumberFormat();
    QString text = format.Grouped.toString(value, 'f', 3);
    if (text.contains(format.Point)) {
        while (text.endsWith(format.Zero)) text.chop(format.Zero.size());
        if (text.endsWith(format.Point)) text.chop(format.Point.size());
    }
    // A value that rounds to zero shows as "0", whatever its sign.
    if (text.size() == format.Minus.size() + format.Zero.size() && text.startsWith(format.Minus) &&
        text.endsWith(format.Zero))
        return format.Zero;
    return text;
}

double CalcLabelStep(const TAxisScale& scale, const TLabelStepRule& rule, TTextMeasure& measure) {
    const int size = rule.WidthCounts ? std::max(measure.TextWidth(FormatLabelValue(scale.Maximum)),
                                                 measure.TextWidth(FormatLabelValue(scale.Minimum)))
                                      : measure.FontHeight();
    const long long maxLabels = MaxLabels(scale, rule, size);
    if (maxLabels < 1) return 1e-12;
    double step = rule.Increment > 0.0 ? rule.Increment : (std::fabs(scale.Range) >= 1.0 ? 1.0 : 1e-12);
    if (rule.LabelsSeparation > 0) {
        // An infinite or undefined range never fits; stop when the step does.
        while (std::isfinite(step)) {
            const double q = scale.Range / step;
            if (std::fabs(q) < 2147483647.0 && RoundToLong(q) <= maxLabels) break;
            step = NextNiceStep(step);
        }
    }
    return std::max(step, 1e-12);
}

void AppendLinearLabelValues(const TAxisScale& scale, double step, bool roundFirst, std::vector<double>& values) {
    if (std::fabs(scale.Range / step) >= 10000.0) return;
    double v = (scale.Minimum == scale.Maximum || !roundFirst) ? scale.Maximum : std::trunc(scale.Maximum / step) * step;
    while (v > scale.Maximum) v -= step;
    // Slightly below the minimum, so that a label exactly at a zero or
    // positive minimum is kept.
    const double limit = (scale.Minimum - 1e-12) / 1.000000000001;
    while (v >= limit) {
        values.push_back(v);
        const double next = v - step;
        if (next == v) break;  // the step is lost in v's precision
        v = next;
    }
}

void AppendLogarithmicLabelValues(TAxisScale& scale, int base, std::vector<double>& values) {
    if (scale.Minimum == scale.Maximum || base < 2) return;
    double v = 0.0;
    if (scale.Minimum > 0.0) {
        const double exponent = std::nearbyint(std::log(scale.Minimum) / std::log(static_cast<double>(base)));
        v = std::pow(static_cast<double>(base), exponent);
    } else {
        scale.Minimum = scale.Minimum < 0.0 ? 1e-10 : 0.1;
        v = scale.Minimum;
    }
    for (; v <= scale.Maximum; v *= base)
        if (v >= scale.Minimum) values.push_back(v);
}

int LabelExtent(TTextMeasure& measure, const QString& text, bool along) {
    if (text.isEmpty()) return 0;
    if (!along) return measure.FontHeight() * (static_cast<int>(text.count(LineSeparator)) + 1);
    if (!text.contains(LineSeparator)) return measure.TextWidth(text);
    int widest = 0;
    for (const QString& line : text.split(LineSeparator)) widest = std::max(widest, measure.TextWidth(line));
    return widest;
}

bool TTextLabelSpacing::Accept(int position, int size) {
    if (FSeparation != 0 && FPrevPosition != -1) {
        const int spaced = (size + static_cast<int>(std::trunc(size * 0.02 * FSeparation))) / 2;
        const bool fits = (position >= FPrevPosition && position - spaced >= FPrevPosition + FPrevHalf) ||
                          (position < FPrevPosition && position + spaced <= FPrevPosition - FPrevHalf);
        if (!fits) return false;
        FPrevHalf = spaced;
    } else {
        FPrevHalf = size / 2;
    }
    FPrevPosition = position;
    return true;
}

}  // namespace wellenschau
