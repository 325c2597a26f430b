// The program's three configured charts with their series, for the tests
// of the display set-up. Pixel helpers and the Qt application come from
// the chart tests' support.
#pragma once

#include "app/DisplaySetup.h"
#include "chart/ChartTestSupport.h"

namespace wellenschau::test {

// The spectrum chart with its frequency labels, as after start-up.
struct TChart1 {
    TChart Chart;
    TFastLineSeries SRight, SLeft, SxAchse;
    TChart1();
};

// The oscilloscope at the given size, with its start-up BackColor.
struct TChart2 {
    TChart Chart;
    TFastLineSeries FastLineSeries2, FastLineSeries1;
    TChart2(int width, int height);
};

// The spectrogram's axes with their frequency labels.
struct TChart3 {
    TChart Chart;
    TFastLineSeries SyAchse, Series1;
    TChart3();
};

}  // namespace wellenschau::test
