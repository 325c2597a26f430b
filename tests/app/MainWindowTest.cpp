#include "AppTestSupport.h"
#include "app/ImageWidget.h"
#include "app/StatusLine.h"
#include "chart/ChartWidget.h"
#include "chart/FastLineSeries.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    TForm1& Form() { return *W.Form; }
    TChartAxis& Amplitude() { return Form().Chart2->Chart().LeftAxis(); }
    // The buttons the user sees: Start in Idle, Pause while recording.
    bool ShowsStart() const { return !W.Form->StartButton->isHidden() && W.Form->PauseButton->isHidden(); }
    bool ShowsPause() const { return W.Form->StartButton->isHidden() && !W.Form->PauseButton->isHidden(); }
    void Click(QToolButton* button) {
        button->click();
        RunPostedEvents();
    }

    TWindowOnSimulatedDevice W;
};

TEST_F(MainWindowTest, StoredLayoutAndStartUp) {
    EXPECT_EQ(Form().windowTitle(), "Wellenschau");
    EXPECT_EQ(Form().size(), QSize(790, 560));
    EXPECT_TRUE(Form().Chart1->isHidden());
    EXPECT_TRUE(Form().Chart3->isHidden());
    EXPECT_TRUE(Form().CheckBackground->isHidden());
    EXPECT_TRUE(Form().CheckAutoSkala->isChecked());
    EXPECT_EQ(Form().CheckBoxColors->text(), "weißer Hintergrund");
    EXPECT_TRUE(ShowsStart());
    EXPECT_EQ(Form().Chart2->geometry(), QRect(0, 25, 790, 535));
    EXPECT_EQ(Form().AudioIn1->BufferSize(), 8192);
    EXPECT_EQ(Form().AudioIn1->NumBuffers(), 2);
    EXPECT_EQ(Form().Instrument().Analysis().RowCount, 195);
    EXPECT_EQ(Form().Instrument().SxAchse.PointCount(), 28);
    EXPECT_EQ(Form().Instrument().SyAchse.YValue(27), 20000.0);
    EXPECT_EQ(Form().Image1->Picture().size(), QSize(304, 300));
    EXPECT_EQ(Form().Image2->Picture().pixelIndex(3, 1), 255);
    EXPECT_EQ(Form().Chart2->Chart().BackColor(), 0x004000);
    EXPECT_TRUE(Form().StatusLine()->isHidden()) << "nothing to say, nothing added to the layout";
}

TEST_F(MainWindowTest, FormShowInstallsRainbowInBothPictures) {
    Form().show();
    RunPostedEvents();
    EXPECT_EQ(Form().Image1->Picture().color(217), qRgb(255, 127, 0));
    EXPECT_EQ(Form().Image2->Picture().color(64), qRgb(0, 52, 255));
    EXPECT_EQ(Form().CBLut->currentIndex(), -1);
}

TEST_F(MainWindowTest, StartWithoutUsableDeviceStaysIdleAndSaysWhy) {
    Form().show();
    W.Device.FailNext(TWaveInCall::Open, 2);
    Click(Form().StartButton);
    EXPECT_TRUE(ShowsStart());
    EXPECT_TRUE(ReportedErrors().empty()) << "no modal box";
    EXPECT_TRUE(Form().StatusLine()->isVisible());
    EXPECT_EQ(Form().StatusLine()->text(),
              "Die Aufnahme ließ sich nicht starten: Simulated device: The specified device identifier is out of range.");
    // The oscilloscope makes room for the line: its time axis stays in sight.
    EXPECT_EQ(Form().StatusLine()->geometry(), QRect(0, 540, 790, 20));
    EXPECT_EQ(Form().Chart2->geometry(), QRect(0, 25, 790, 515));
    Click(Form().StartButton);  // tries again, and now the device is there
    EXPECT_TRUE(ShowsPause());
    EXPECT_FALSE(Form().StatusLine()->isVisible());
    EXPECT_EQ(Form().Chart2->geometry(), QRect(0, 25, 790, 535));
    EXPECT_EQ(Form().AudioIn1->FrameRate(), 44100);
    Click(Form().PauseButton);
    EXPECT_FALSE(Form().StatusLine()->isVisible()) << "a pause is no failure";
}

TEST_F(MainWindowTest, ALostDeviceEndsTheRecordingAndSaysWhy) {
    Form().show();
    Click(Form().StartButton);
    ASSERT_TRUE(W.Record(PeakBuffer(3000)));
    ASSERT_TRUE(W.Device.LoseDevice(W.Device.LastOpenedHandle(), MMSYSERR_NOMEM));
    // The watchdog looks every 100 ms.
    QElapsedTimer waited;
    waited.start();
    while (!ShowsStart() && waited.elapsed() < 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(ShowsStart());
    EXPECT_FALSE(Form().AudioIn1->DeviceOpen());
    EXPECT_EQ(Form().StatusLine()->text(), "Die Aufnahme wurde beendet: Simulated device: Unable to allocate or lock memory.");
    Click(Form().StartButton);
    EXPECT_TRUE(ShowsPause());
    EXPECT_FALSE(Form().StatusLine()->isVisible());
}

TEST_F(MainWindowTest, StartPauseStartKeepsDisplaysAndSnapshot) {
    Click(Form().StartButton);
    ASSERT_TRUE(ShowsPause());
    ASSERT_TRUE(W.Record(PeakBuffer(3000)));
    EXPECT_EQ(Form().Instrument().FastLineSeries1.PointCount(), 601);
    EXPECT_EQ(Form().Instrument().SLeft.PointCount(), 194);
    Click(Form().ButtonStore);
    Click(Form().PauseButton);
    EXPECT_TRUE(ShowsStart());
    EXPECT_FALSE(Form().AudioIn1->DeviceOpen());
    Click(Form().StartButton);
    EXPECT_TRUE(ShowsPause());
    EXPECT_EQ(Form().Instrument().FastLineSeries2.PointCount(), 601);
    EXPECT_EQ(Form().Instrument().Analysis().StoredPeak, 3000);
    EXPECT_TRUE(W.Record(PeakBuffer(3000)));
    EXPECT_EQ(Form().Instrument().FastLineSeries1.PointCount(), 601);
}

TEST_F(MainWindowTest, SnapshotBeforeTheFirstBufferAndErase) {
    Click(Form().ButtonStore);
    EXPECT_EQ(Form().Instrument().SRight.PointCount(), 0);
    EXPECT_EQ(Form().Instrument().FastLineSeries2.PointCount(), 0);
    EXPECT_EQ(Form().Instrument().Analysis().StoredPeak, 0);

    W.Handle(PeakBuffer(1234));
    Click(Form().ButtonStore);
    EXPECT_EQ(Form().Instrument().FastLineSeries2.PointCount(), 601);
    EXPECT_EQ(Form().Instrument().SRight.PointCount(), 194);
    EXPECT_EQ(Form().Instrument().SRight.YValue(10), Form().Instrument().SLeft.YValue(10));
    EXPECT_EQ(Form().Instrument().Analysis().StoredPeak, 1234);
    Click(Form().Buttonerase);
    EXPECT_EQ(Form().Instrument().FastLineSeries2.PointCount(), 0);
    EXPECT_EQ(Form().Instrument().SRight.PointCount(), 0);
    EXPECT_EQ(Form().Instrument().Analysis().StoredPeak, 0);
}

TEST_F(MainWindowTest, ColourSchemes) {
    TChart& scope = Form().Chart2->Chart();
    EXPECT_EQ(Form().Instrument().FastLineSeries1.LinePen().Color(), 0x00FF80);
    EXPECT_EQ(scope.LeftAxis().Grid().Color(), 0x408000);
    Form().CheckBoxColors->setChecked(true);
    EXPECT_EQ(scope.BackColor(), clWhite);
    EXPECT_EQ(Form().Instrument().FastLineSeries1.LinePen().Color(), clBlack);
    EXPECT_EQ(scope.LeftAxis().Grid().Color(), 0xC0C0C0);
    EXPECT_EQ(scope.BottomAxis().Grid().Color(), 0xC0C0C0);
    Form().CheckBoxColors->setChecked(false);
    EXPECT_EQ(scope.BackColor(), clBlack);
    EXPECT_EQ(Form().Instrument().FastLineSeries1.LinePen().Color(), 0x00FF00);
    EXPECT_EQ(scope.LeftAxis().Grid().Color(), clGreen);
    EXPECT_EQ(scope.BottomAxis().Grid().Color(), clGreen);
    EXPECT_EQ(Form().Instrument().FastLineSeries2.LinePen().Color(), clRed);
}

TEST_F(MainWindowTest, FastTimeBase) {
    TChartAxis& time = Form().Chart2->Chart().BottomAxis();
    Form().CheckBoxfast->setChecked(true);
    EXPECT_EQ(time.Maximum(), 13.6);
    EXPECT_EQ(time.Increment(), 0.5);
    W.Handle(PeakBuffer(100));
    EXPECT_EQ(Form().Instrument().FastLineSeries1.PointCount(), 1803);
    Form().CheckBoxfast->setChecked(false);
    EXPECT_EQ(time.Maximum(), 40.8);
    EXPECT_EQ(time.Increment(), 2.0);
}

TEST_F(MainWindowTest, BackgroundCaptions) {
    Form().CheckBackground->setChecked(true);
    EXPECT_EQ(Form().CheckBackground->text(), "Aufzeichnung...");
    EXPECT_TRUE(Form().Instrument().Analysis().BackgroundLearning);
    for (int buffer = 0; buffer < 50; ++buffer) W.Handle(PeakBuffer(1000));
    EXPECT_EQ(Form().CheckBackground->text(), "&Hintergrundsubtraktion");
    EXPECT_TRUE(Form().Instrument().Analysis().BackgroundSubtract);
    EXPECT_NEAR(Form().Instrument().SLeft.YValue(50), -80.0, 1e-9);
    Form().CheckBackground->setChecked(false);
    EXPECT_EQ(Form().CheckBackground->text(), "Hintergrundsubtraktion");
    EXPECT_FALSE(Form().Instrument().Analysis().BackgroundSubtract);
}

TEST_F(MainWindowTest, PeakDisplayFollowsItsCheckBox) {
    Form().CheckAverage->setChecked(true);
    EXPECT_TRUE(Form().Instrument().Analysis().PeakHold);
    Form().CheckAutoSkala->setChecked(false);  // shares the handler, copies the same state
    EXPECT_TRUE(Form().Instrument().Analysis().PeakHold);
    Form().CheckAverage->setChecked(false);
    EXPECT_FALSE(Form().Instrument().Analysis().PeakHold);
}

TEST_F(MainWindowTest, HandlerOnSilence) {
    EXPECT_TRUE(W.Handle(TSamples(4096, 0)));
    EXPECT_EQ(Form().Instrument().FastLineSeries1.PointCount(), 601);
    EXPECT_EQ(Form().Instrument().FastLineSeries1.YValue(600), 0.0);
    EXPECT_EQ(Amplitude().Maximum(), 101.0);
    EXPECT_EQ(Amplitude().Minimum(), -102.0);
    // Digital silence paints the lowest colour, not the loudest.
    EXPECT_EQ(Form().Image1->Picture().pixelIndex(0, 150), 0);
}

TEST_F(MainWindowTest, AmplitudeLadderOnTheAxis) {
    W.Handle(PeakBuffer(3000));
    EXPECT_NEAR(Amplitude().Maximum(), 17.854, 0.0005);
    EXPECT_NEAR(Amplitude().Minimum(), -18.031, 0.0005);
    W.Handle(PeakBuffer(100));
    EXPECT_DOUBLE_EQ(Amplitude().Maximum(), 12.625);
    EXPECT_DOUBLE_EQ(Amplitude().Minimum(), -12.75);
    TSamples loud(4096, 0);
    loud[3 * 7] = -32768;
    W.Handle(loud);
    EXPECT_DOUBLE_EQ(Amplitude().Maximum(), 101.0);
    EXPECT_DOUBLE_EQ(Amplitude().Minimum(), -102.0);
}

TEST_F(MainWindowTest, FixedRangeOnEveryBufferWithoutAutoScale) {
    Form().CheckAutoSkala->setChecked(false);
    Amplitude().SetMinimum(-5.0);
    W.Handle(PeakBuffer(100));
    EXPECT_EQ(Amplitude().Maximum(), 101.0);
    EXPECT_EQ(Amplitude().Minimum(), -102.0);
    EXPECT_EQ(Form().Instrument().Analysis().AmplitudeScale, 100.0);
}

TEST_F(MainWindowTest, AutomaticRangeNeverFailsAfterAPan) {
    // A pan has moved the whole amplitude range above the next maximum.
    Amplitude().SetMaximum(80.0);
    Amplitude().SetMinimum(60.0);
    Click(Form().StartButton);
    ASSERT_TRUE(W.Record(PeakBuffer(3000)));
    EXPECT_TRUE(ReportedErrors().empty());
    EXPECT_NEAR(Amplitude().Maximum(), 17.854, 0.0005);
    EXPECT_NEAR(Amplitude().Minimum(), -18.031, 0.0005);
    // ... and below the next minimum.
    Amplitude().SetMinimum(-300.0);
    Amplitude().SetMaximum(-200.0);
    ASSERT_TRUE(W.Record(PeakBuffer(100)));
    EXPECT_DOUBLE_EQ(Amplitude().Maximum(), 12.625);
    EXPECT_TRUE(ShowsPause());
    EXPECT_TRUE(W.Record(PeakBuffer(100)));
    EXPECT_TRUE(Form().AudioIn1->DeviceOpen());
}

TEST_F(MainWindowTest, HandlerErrorIsReportedAndTheWindowReturnsToIdle) {
    Form().AudioIn1->SetBufferSize(4096);  // buffers too short for a trace
    Click(Form().StartButton);
    ASSERT_TRUE(ShowsPause());
    W.Record(PeakBuffer(100));
    ASSERT_EQ(ReportedErrors().size(), 1u);
    EXPECT_EQ(ReportedErrors()[0], "Fehler bei Bereichsprüfung");
    // The failed buffer was not requeued; the next one ends the recording.
    W.Record(PeakBuffer(100));
    EXPECT_FALSE(Form().AudioIn1->DeviceOpen());
    EXPECT_TRUE(ShowsStart());
    EXPECT_EQ(W.Device.CallsOnClosedHandles(), 0);
}

TEST_F(MainWindowTest, CloseOfAnEarlierRecordingLeavesANewerOneAlone) {
    Click(Form().StartButton);
    Form().PauseButton->click();  // stops; its close notification is still queued
    Form().StartButton->click();  // a new recording before that notification runs
    RunPostedEvents();
    EXPECT_TRUE(ShowsPause());
    EXPECT_TRUE(Form().AudioIn1->DeviceOpen());
}

TEST_F(MainWindowTest, ClosingWhileABufferIsHandledStopsTheDevice) {
    Form().show();
    Click(Form().StartButton);
    // The close arrives while the handler lets pending events run.
    ASSERT_TRUE(W.Device.FillNextSamples(W.Device.LastOpenedHandle(), PeakBuffer(3000)));
    QCoreApplication::postEvent(&Form(), new QCloseEvent());
    RunPostedEvents();
    EXPECT_FALSE(Form().AudioIn1->DeviceOpen());
    EXPECT_EQ(Form().Instrument().FastLineSeries1.PointCount(), 601);  // that buffer was still analysed
    EXPECT_TRUE(ReportedErrors().empty());
    EXPECT_EQ(W.Device.CallsOnClosedHandles(), 0);
    W.Form.reset();
    RunPostedEvents();
}

}  // namespace
