// The steady state of a live chart: refilling its trace and repainting it
// allocates nothing once the first paint has laid out its texts.
#include "ChartTestSupport.h"

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

struct TChartShape {
    int Width;
    int Height;
    TPenStyle GridStyle;
};

// An oscilloscope-like chart: titled time and amplitude axes with fixed
// ranges, a grid, minor ticks, a solid back wall, a snapshot under a live trace.
class SteadyRepaint : public ::testing::TestWithParam<TChartShape> {
protected:
    SteadyRepaint() {
        const TChartShape shape = GetParam();
        chart.SetSize(shape.Width, shape.Height);
        chart.SetColor(clWhite);
        chart.SetBorderWidth(5);
        chart.SetBevelOuter(bvNone);
        SetAxis(chart.BottomAxis(), 0, 40.8, 2, QStringLiteral("Zeit(ms)"), shape.GridStyle);
        SetAxis(chart.LeftAxis(), -102, 101, 0, QStringLiteral("Amplitude (%)"), shape.GridStyle);
        snapshot.SetParentChart(&chart);
        trace.SetParentChart(&chart);
        chart.SetBackColor(clNavy);
        FillTrace(snapshot, 1803);
    }
    static void SetAxis(TCustomChartAxis& axis, double minimum, double maximum, double increment,
                        const QString& title, TPenStyle gridStyle) {
        axis.SwitchAutomaticOff();
        axis.SetMinMax(minimum, maximum);
        axis.SetIncrement(increment);
        axis.SetMinorTickCount(1);
        axis.Title().SetCaption(title);
        axis.Grid().SetStyle(gridStyle);
    }
    TChart chart;
    TFastLineSeries snapshot, trace;
};

TEST_P(SteadyRepaint, RefillAndRepaintAllocateNothing) {
    EXPECT_EQ(RepaintAllocations(chart, trace, {1803, 1802, 1801}), 0);
    EXPECT_EQ(chart.DrawCount(), 5);
}

INSTANTIATE_TEST_SUITE_P(Shapes, SteadyRepaint,
                         ::testing::Values(TChartShape{790, 535, psSolid}, TChartShape{3840, 2100, psDot},
                                           TChartShape{300, 200, psDash}));

}  // namespace
