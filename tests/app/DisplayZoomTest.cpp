// The mouse on the chart widget: synthetic Qt events zoom, undo, pan and
// scroll the oscilloscope chart, and the rubber band shows over the image
// without redrawing the chart.
#include "DisplayTestSupport.h"
#include "chart/ChartWidget.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

class ZoomWidget : public ::testing::Test {
protected:
    ZoomWidget() {
        ConfigureChart2(widget.Chart(), snapshot, trace);
        widget.resize(400, 300);
        FillTrace(trace, 601);
        Screen();  // delivers the pending resize and paints
        plot = widget.Chart().PlotRect();
    }
    void Mouse(QEvent::Type type, Qt::MouseButton button, int x, int y) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(x, y), widget.mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &event);
    }
    void Drag(Qt::MouseButton button, int x0, int y0, int x1, int y1) {
        Mouse(QEvent::MouseButtonPress, button, x0, y0);
        Mouse(QEvent::MouseMove, button, x1, y1);
        Mouse(QEvent::MouseButtonRelease, button, x1, y1);
    }
    void Wheel(int angleDelta) {
        const QPointF at(plot.Left + 50, plot.Top + 50);
        QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, angleDelta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&widget, &event);
    }
    QImage Screen() { return widget.grab().toImage(); }
    TChartAxis& Time() { return widget.Chart().BottomAxis(); }
    TChartAxis& Amplitude() { return widget.Chart().LeftAxis(); }

    TChart chart;
    TChartWidget widget{chart};
    TFastLineSeries snapshot, trace;
    TRect plot;
};

TEST_F(ZoomWidget, RubberBandIsTheInvertedImageOnAWhiteChart) {
    const int x0 = plot.Left + 20;
    const int y0 = plot.Top + 20;
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, x0, y0);
    Mouse(QEvent::MouseMove, Qt::LeftButton, x0 + 100, y0 + 80);
    const int draws = widget.Chart().DrawCount();
    const QImage screen = Screen();
    EXPECT_EQ(screen.size(), QSize(400, 300));
    const QImage& chart = widget.Chart().Image();
    const auto inverted = [&](int x, int y) { return ~PixelAt(chart, x, y) & 0xFFFFFFu; };
    EXPECT_EQ(widget.Chart().Zoom().RubberBandPen(), 0u);
    EXPECT_EQ(PixelAt(screen, x0, y0), inverted(x0, y0));
    EXPECT_EQ(PixelAt(screen, x0 + 50, y0), inverted(x0 + 50, y0));
    EXPECT_EQ(PixelAt(screen, x0 + 99, y0 + 40), inverted(x0 + 99, y0 + 40));
    EXPECT_EQ(PixelAt(screen, x0 + 50, y0 + 79), inverted(x0 + 50, y0 + 79));
    // Inside, outside and on the excluded right and bottom edges: the chart.
    for (const auto& [x, y] : {std::pair{x0 + 50, y0 + 40}, std::pair{x0 + 100, y0 + 40}, std::pair{x0 + 50, y0 + 80},
                               std::pair{x0 - 1, y0}})
        EXPECT_EQ(PixelAt(screen, x, y), PixelAt(chart, x, y)) << x << ", " << y;
    // Moving the band repaints the screen, not the chart.
    Mouse(QEvent::MouseMove, Qt::LeftButton, x0 + 60, y0 + 30);
    EXPECT_EQ(PixelAt(Screen(), x0 + 50, y0 + 30 - 1), inverted(x0 + 50, y0 + 29));
    EXPECT_EQ(PixelAt(Screen(), x0 + 50, y0 + 79), PixelAt(chart, x0 + 50, y0 + 79));
    EXPECT_EQ(widget.Chart().DrawCount(), draws);
    // Released: the zoom redraws the chart and the band is gone.
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, x0 + 60, y0 + 30);
    const QImage zoomed = Screen();
    EXPECT_EQ(PixelAt(zoomed, x0 + 10, y0), PixelAt(widget.Chart().Image(), x0 + 10, y0));
    EXPECT_GT(widget.Chart().DrawCount(), draws);
}

TEST_F(ZoomWidget, LeftDragZoomsReverseDragRestores) {
    const double x0 = Time().PositionToValue(plot.Left + 100);
    const double x1 = Time().PositionToValue(plot.Left + 200);
    const double y0 = Amplitude().PositionToValue(plot.Top + 50);
    const double y1 = Amplitude().PositionToValue(plot.Top + 150);
    Drag(Qt::LeftButton, plot.Left + 100, plot.Top + 50, plot.Left + 200, plot.Top + 150);
    EXPECT_DOUBLE_EQ(Time().Minimum(), x0);
    EXPECT_DOUBLE_EQ(Time().Maximum(), x1);
    EXPECT_DOUBLE_EQ(Amplitude().Minimum(), y1);
    EXPECT_DOUBLE_EQ(Amplitude().Maximum(), y0);
    Screen();  // paints the zoomed chart
    Drag(Qt::LeftButton, plot.Left + 200, plot.Top + 150, plot.Left + 100, plot.Top + 50);
    EXPECT_EQ(Time().Minimum(), 0.0);
    EXPECT_EQ(Time().Maximum(), 40.8);
    EXPECT_EQ(Amplitude().Minimum(), -102.0);
    EXPECT_EQ(Amplitude().Maximum(), 101.0);
    // A middle-button drag does nothing.
    Drag(Qt::MiddleButton, plot.Left + 100, plot.Top + 50, plot.Left + 200, plot.Top + 150);
    EXPECT_EQ(Time().Maximum(), 40.8);
}

TEST_F(ZoomWidget, RightDragPansAndTheWheelScrollsTheAmplitude) {
    const double range = Time().PositionToValue(plot.Left + 100) - Time().PositionToValue(plot.Left + 70);
    Drag(Qt::RightButton, plot.Left + 100, plot.Top + 50, plot.Left + 70, plot.Top + 50);
    EXPECT_DOUBLE_EQ(Time().Minimum(), range);
    EXPECT_DOUBLE_EQ(Time().Maximum(), 40.8 + range);
    EXPECT_EQ(Amplitude().Maximum(), 101.0);

    Wheel(-120);  // one step toward the user
    EXPECT_DOUBLE_EQ(Amplitude().Minimum(), -102.0 + 6.09);
    EXPECT_DOUBLE_EQ(Amplitude().Maximum(), 101.0 + 6.09);
    Wheel(60);  // half a step of a fine wheel waits for the other half
    EXPECT_DOUBLE_EQ(Amplitude().Maximum(), 101.0 + 6.09);
    Wheel(60);
    Wheel(60);
    EXPECT_DOUBLE_EQ(Amplitude().Maximum(), 101.0);
    EXPECT_DOUBLE_EQ(Time().Maximum(), 40.8 + range);
}

}  // namespace
