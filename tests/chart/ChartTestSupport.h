// Helpers of the chart engine's tests: a Qt application for fonts and
// widgets with a fixed number locale, pixel reading, a sample trace and
// the texts an axis drew.
#pragma once

#include "chart/AxisException.h"
#include "chart/Chart.h"
#include "chart/FastLineSeries.h"
#include "chart/QtColor.h"

#include <QImage>
#include <QStringList>

#include <initializer_list>
#include <optional>
#include <string>

namespace wellenschau::test {

// RGB of a pixel, without alpha.
inline QRgb PixelAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }
inline QRgb Rgb(TColor color) { return ToQColor(color).rgb() & 0xFFFFFFu; }
// RGB of logical pixel (x, y) of an image with a device pixel ratio (a
// whole number): the colour of all its device pixels, none when they differ.
std::optional<QRgb> LogicalPixelAt(const QImage& image, int x, int y);

// count trace points 1 / 44.1 ms apart (0 .. 40.86 ms for 1803 points).
void FillTrace(TFastLineSeries& series, int count);

// A live chart's buffers: `trace` refilled with each count of points and
// `chart` repainted. Two buffers of 1803 points settle the layout first (the
// label band is measured with the axis length of the paint before); the
// allocations the buffers after them make.
int RepaintAllocations(TChart& chart, TFastLineSeries& trace, std::initializer_list<int> counts);

// The texts of the labels the axis' last paint drew, in drawing order.
QStringList DrawnTexts(const TCustomChartAxis& axis);

// The message of the AxisException that action raises, or "no exception".
template <typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const AxisException& e) {
        return e.what();
    }
    return "no exception";
}

}  // namespace wellenschau::test
