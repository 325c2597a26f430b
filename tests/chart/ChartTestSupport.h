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

#include <string>

namespace wellenschau::test {

// RGB of a pixel, without alpha.
inline QRgb PixelAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }
inline QRgb Rgb(TColor color) { return ToQColor(color).rgb() & 0xFFFFFFu; }

// count trace points 1 / 44.1 ms apart (0 .. 40.86 ms for 1803 points).
void FillTrace(TFastLineSeries& series, int count);

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
