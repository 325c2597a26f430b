#include "chart/AxisScale.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace wellenschau {

namespace {

// Pixel positions are 32-bit; sums beyond that are pinned to the ends.
int ClampToInt(long long value) { return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX)); }

long long RoundToLong(double value) { return static_cast<long long>(std::nearbyint(value)); }

}  // namespace

void TAxisScale::SetBounds(double minimum, double maximum) {
    Maximum = maximum;
    Minimum = minimum;
    Range = Maximum - Minimum;
}

void TAxisScale::SetPixels(int start, int end) {
    StartPixel = start;
    EndPixel = end;
    PixelLength = EndPixel - StartPixel;
    CenterPixel = (StartPixel + EndPixel) / 2;
}

int TAxisScale::Offset(int pixel, double distance, TCountFrom from) {
    return from == TCountFrom::End ? ClampToInt(pixel - RoundToLong(distance)) : ClampToInt(pixel + RoundToLong(distance));
}

double TAxisScale::LinearPosition(double value, TCountFrom from) const {
    if (Range == 0.0) return CenterPixel;
    // Computed in extended precision, kept as a double.
    const double t =
        static_cast<double>((static_cast<long double>(value) - Minimum) * PixelLength / static_cast<long double>(Range));
    if (!(std::fabs(t) < 2147483647.0)) return CenterPixel;
    return Offset(from == TCountFrom::End ? EndPixel : StartPixel, t, from);
}

double TAxisScale::LogMinimum() const { return Minimum > 0.0 ? std::log(Minimum) : 0.0; }
double TAxisScale::LogMaximum() const { return Maximum > 0.0 ? std::log(Maximum) : 0.0; }

int TAxisScale::LogarithmicPosition(double value, TCountFrom from) const {
    const double logMin = LogMinimum();
    const double logMax = LogMaximum();
    const double span = logMax - logMin;
    if (span == 0.0) return CenterPixel;
    if (value > 0.0) {
        const double d = Inverted ? logMax - std::log(value) : std::log(value) - logMin;
        const double a = d * PixelLength / span;
        return Offset(from == TCountFrom::End ? EndPixel : StartPixel, a, from);
    }
    return ((from == TCountFrom::Start) == Inverted) ? EndPixel : StartPixel;
}

int TAxisScale::ValueToPositionX(double value) const {
    if (Logarithmic) return LogarithmicPosition(value, TCountFrom::Start);
    return static_cast<int>(LinearPosition(value, Inverted ? TCountFrom::End : TCountFrom::Start));
}

int TAxisScale::ValueToPositionY(double value) const {
    if (Logarithmic) return LogarithmicPosition(value, TCountFrom::End);
    return static_cast<int>(LinearPosition(value, Inverted ? TCountFrom::Start : TCountFrom::End));
}

double TAxisScale::PositionToValue(int pixel) const {
    const int offset = Inverted ? EndPixel - pixel : pixel - StartPixel;
    if (!Logarithmic) {
        if (PixelLength < 1) return 0.0;
        const double t = static_cast<double>(offset) * Range / PixelLength;
        return Horizontal ? Minimum + t : Maximum - t;
    }
    const bool minimumAtStart = Horizontal != Inverted;
    if (pixel == StartPixel) return minimumAtStart ? Minimum : Maximum;
    if (pixel == EndPixel) return minimumAtStart ? Maximum : Minimum;
    const double logMin = LogMinimum();
    const double logMax = LogMaximum();
    const double span = logMax - logMin;
    if (span == 0.0) return Minimum;
    const double d = span * offset / PixelLength;
    return Horizontal ? std::exp(logMin + d) : std::exp(logMax - d);
}

}  // namespace wellenschau
