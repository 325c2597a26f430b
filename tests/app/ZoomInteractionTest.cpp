// The mouse zoom and pan of the oscilloscope together with the buffer
// handler, which keeps writing the amplitude axis, and the check box that
// writes the time axis' Maximum.
#include "AppTestSupport.h"
#include "app/AnalyserView.h"
#include "app/ScopePanel.h"
#include "chart/ChartWidget.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

class ZoomInteractionTest : public ::testing::Test {
protected:
    ZoomInteractionTest() { Repaint(); }

    TChartWidget& Scope() { return *W.Form->Chart2; }
    TChartAxis& Time() { return Scope().Chart().BottomAxis(); }
    TChartAxis& Amplitude() { return Scope().Chart().LeftAxis(); }
    // Paints Chart2 at its size in the window, as the screen would between
    // two mouse events; the mouse maps pixels with the latest paint.
    void Repaint() { Scope().grab(); }
    const TRect& Plot() { return Scope().Chart().PlotRect(); }

    void Mouse(QEvent::Type type, Qt::MouseButton button, int x, int y) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, QPointF(x, y), Scope().mapToGlobal(QPointF(x, y)), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(&Scope(), &event);
    }
    // A drag between two points given relative to the plot's top left corner.
    void Drag(Qt::MouseButton button, int dx0, int dy0, int dx1, int dy1) {
        Mouse(QEvent::MouseButtonPress, button, Plot().Left + dx0, Plot().Top + dy0);
        Mouse(QEvent::MouseMove, button, Plot().Left + dx1, Plot().Top + dy1);
        Mouse(QEvent::MouseButtonRelease, button, Plot().Left + dx1, Plot().Top + dy1);
        Repaint();
    }

    TWindowOnSimulatedDevice W;
};

TEST_F(ZoomInteractionTest, BufferWithoutAutoScaleOverwritesTheZoomedAmplitudeOnly) {
    W.Form->CheckAutoSkala->setChecked(false);
    Drag(Qt::LeftButton, 100, 50, 300, 200);
    const double zoomedMinimum = Time().Minimum();
    const double zoomedMaximum = Time().Maximum();
    ASSERT_GT(zoomedMinimum, 0.0);
    ASSERT_LT(zoomedMaximum, 40.8);
    ASSERT_LT(Amplitude().Maximum(), 101.0);

    EXPECT_TRUE(W.Handle(PeakBuffer(3000)));
    EXPECT_EQ(Amplitude().Maximum(), 101.0);
    EXPECT_EQ(Amplitude().Minimum(), -102.0);
    EXPECT_EQ(Time().Minimum(), zoomedMinimum);
    EXPECT_EQ(Time().Maximum(), zoomedMaximum);
    EXPECT_TRUE(ReportedErrors().empty());
}

TEST_F(ZoomInteractionTest, UndoRestoresTheTimeAxisOfTheZoomAfterTheCheckBoxChangedIt) {
    Drag(Qt::LeftButton, 100, 50, 300, 200);
    W.Form->CheckBoxfast->setChecked(true);
    EXPECT_EQ(Time().Maximum(), 13.6);
    Repaint();
    Drag(Qt::LeftButton, 300, 200, 100, 50);
    EXPECT_EQ(Time().Minimum(), 0.0);
    EXPECT_EQ(Time().Maximum(), 40.8);
    EXPECT_EQ(Amplitude().Maximum(), 101.0);
}

TEST_F(ZoomInteractionTest, RecordingGoesOnAfterAPanAboveTheNextAutomaticRange) {
    W.Form->StartButton->click();
    RunPostedEvents();
    ASSERT_TRUE(W.Record(PeakBuffer(3000)));
    Repaint();
    const double maximumBefore = Amplitude().Maximum();
    // Right drags downward carry the amplitude scale upward.
    for (int drag = 0; drag < 5 && Amplitude().Minimum() <= 12.625; ++drag) Drag(Qt::RightButton, 100, 50, 100, 350);
    ASSERT_GT(Amplitude().Minimum(), 12.625);
    EXPECT_GT(Amplitude().Maximum(), maximumBefore);

    // The next buffer rescales to 12.5: its Maximum lies below the panned Minimum.
    ASSERT_TRUE(W.Record(PeakBuffer(100)));
    EXPECT_TRUE(ReportedErrors().empty());
    EXPECT_DOUBLE_EQ(Amplitude().Maximum(), 12.625);
    EXPECT_DOUBLE_EQ(Amplitude().Minimum(), -12.75);
    EXPECT_TRUE(W.Record(PeakBuffer(100)));
    EXPECT_TRUE(W.Form->AudioIn1->DeviceOpen());
    EXPECT_TRUE(W.Form->StartButton->isHidden());
}

// In the analyser view a press on a cursor drags it and leaves the zoom
// alone; a press away from the cursors zooms as before.
TEST_F(ZoomInteractionTest, APressOnACursorDragsItAndAnyOtherZooms) {
    W.Form->SetAnalyserView(true);
    TScopePanel& panel = W.Form->Analyser().Scope();
    panel.CursorBox->click();
    Repaint();
    const TChartCursors& cursors = panel.Cursors();
    const double minimum = Time().Minimum();
    const double maximum = Time().Maximum();
    EXPECT_EQ(cursors.Value(0), minimum + 0.25 * (maximum - minimum));
    const int x0 = Time().ValueToPosition(cursors.Value(0)) + TChartCursors::GrabPixels - 1;
    const int x1 = Time().ValueToPosition(cursors.Value(1));
    const int y = (Plot().Top + Plot().Bottom) / 2 + 30;  // away from the horizontal cursors
    Mouse(QEvent::MouseButtonPress, Qt::LeftButton, x0, y);
    Mouse(QEvent::MouseMove, Qt::LeftButton, x1 - 100, y + 40);
    Mouse(QEvent::MouseButtonRelease, Qt::LeftButton, x1 - 100, y + 40);
    Repaint();
    EXPECT_EQ(Time().Minimum(), minimum);
    EXPECT_EQ(Time().Maximum(), maximum);
    EXPECT_EQ(cursors.Value(0), Time().PositionToValue(x1 - 100));
    const double delta = cursors.Value(1) - cursors.Value(0);
    EXPECT_FALSE(panel.CursorReadout->isHidden());
    EXPECT_TRUE(panel.CursorReadout->text().contains(QString("Δt = %1 ms").arg(delta, 0, 'g', 4)))
        << panel.CursorReadout->text().toStdString();
    EXPECT_TRUE(panel.CursorReadout->text().contains(QString("1/Δt = %1 Hz").arg(1000 / delta, 0, 'g', 4)));

    Drag(Qt::LeftButton, x1 - Plot().Left + 20, 20, x1 - Plot().Left + 120, 200);
    EXPECT_GT(Time().Minimum(), cursors.Value(1));
    EXPECT_LT(Time().Maximum(), maximum);

    W.Form->SetAnalyserView(false);
    EXPECT_FALSE(cursors.Visible());
    EXPECT_TRUE(panel.CursorReadout->isHidden());
}

}  // namespace
