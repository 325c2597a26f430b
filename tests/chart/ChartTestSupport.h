// Helpers of the chart tests: a Qt application for fonts and widgets, the
// program's three configured charts with their series, pixel reading.
#pragma once

#include "chart/ChartLayouts.h"

#include <QImage>

namespace wellenschau::test {

// RGB of a pixel, without alpha.
inline QRgb PixelAt(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }
inline QRgb Rgb(TColor color) { return ToQColor(color).rgb() & 0xFFFFFFu; }

// The 28 frequency labels as the window's start-up adds them.
void FillLabelCarrier(TFastLineSeries& carrier, bool yIsFrequency);
// count trace points 1 / 44.1 ms apart (0 .. 40.86 ms for 1803 points).
void FillTrace(TFastLineSeries& series, int count);

struct TChart1 {
    TChart Chart;
    TFastLineSeries SRight, SLeft, SxAchse;
    TChart1();
};

struct TChart2 {
    TChart Chart;
    TFastLineSeries FastLineSeries2, FastLineSeries1;
    TChart2(int width, int height);
};

struct TChart3 {
    TChart Chart;
    TFastLineSeries SyAchse, Series1;
    TChart3();
};

}  // namespace wellenschau::test
