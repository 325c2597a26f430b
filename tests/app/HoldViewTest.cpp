// "Anhalten" in the analyser view: the charts, the spectrogram picture
// and the readout hold a kept moment as it was shown live while recording
// and the live instrument go on; the slider's moment is picked; "Weiter"
// shows live again. The history lives only while the view is shown.
#include "AppTestSupport.h"
#include "app/AnalyserView.h"
#include "app/HistorySpectrogram.h"
#include "app/ImageWidget.h"
#include "app/ReadoutLine.h"
#include "app/ScopePanel.h"
#include "analysis/SoundHistory.h"
#include "chart/ChartWidget.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSlider>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// Buffer i: a square wave whose period and level change with i.
TSamples Changing(int i) {
    TSamples samples(4096);
    const int period = 30 + 7 * (i % 9);
    const auto level = static_cast<std::int16_t>(2000 + 700 * (i % 5));
    for (int k = 0; k < 4096; ++k) samples[k] = static_cast<std::int16_t>(k % period < period / 2 ? level : -level);
    return samples;
}

class HoldViewTest : public ::testing::Test {
protected:
    HoldViewTest() {
        Form().show();
        Form().SetAnalyserView(true);
        Form().StartButton->click();
        RunPostedEvents();
    }
    TForm1& Form() { return *W.Form; }
    TAnalyserView& View() { return Form().Analyser(); }
    QToolButton* HoldButton() { return Form().findChild<QToolButton*>("HoldButton"); }
    // Records buffers, noting the readout and the oscilloscope's picture
    // of each shown live by its number in the history.
    void Record(int buffers) {
        for (int i = 0; i < buffers; ++i) {
            ASSERT_TRUE(W.Record(Changing(FRecorded++)));
            if (View().Frozen()) continue;
            const std::int64_t number = View().History()->End() - 1;
            FReadouts[number] = Form().Readout()->text();
            FScopes[number] = Form().Chart2->Chart().Paint().copy();
        }
    }

    TWindowOnSimulatedDevice W;
    int FRecorded = 0;
    std::map<std::int64_t, QString> FReadouts;
    std::map<std::int64_t, QImage> FScopes;
};

TEST_F(HoldViewTest, HoldsAKeptMomentWhileRecordingGoesOn) {
    Record(30);
    TChart& liveScope = Form().Instrument().Chart2;
    View().Freeze();
    ASSERT_TRUE(View().Frozen());
    const std::int64_t newest = View().History()->End() - 1;
    EXPECT_EQ(View().ShownMoment(), newest);
    EXPECT_NE(&Form().Chart2->Chart(), &liveScope);
    EXPECT_EQ(Form().Readout()->text(), FReadouts[newest]);
    const QImage heldPicture = Form().Image1->ShownPicture().copy();

    // Recording and the live analysis go on; what is shown holds.
    Record(5);
    EXPECT_EQ(View().History()->End(), newest + 6);
    EXPECT_EQ(Form().Instrument().History().Entry(Form().Instrument().History().Count() - 1).Buffer, FRecorded);
    EXPECT_EQ(Form().Readout()->text(), FReadouts[newest]);
    EXPECT_EQ(Form().Image1->ShownPicture(), heldPicture);
    EXPECT_NE(Form().Image1->Picture(), heldPicture);

    // The slider picks any moment that can be shown, as it was live.
    auto* slider = Form().findChild<QSlider*>("MomentSlider");
    ASSERT_TRUE(slider && slider->isVisible());
    EXPECT_EQ(slider->maximum(), newest + 5);
    for (const std::int64_t moment : {newest - 2, std::int64_t{slider->minimum()}, newest - 9}) {
        slider->setValue(static_cast<int>(moment));
        EXPECT_EQ(View().ShownMoment(), moment);
        EXPECT_EQ(Form().Readout()->text(), FReadouts[moment]) << moment;
        EXPECT_EQ(Form().Chart2->Chart().Paint(), FScopes[moment]) << moment;
    }

    HoldButton()->click();  // "Weiter"
    EXPECT_FALSE(View().Frozen());
    EXPECT_FALSE(slider->isVisible());
    EXPECT_EQ(&Form().Chart2->Chart(), &liveScope);
    EXPECT_EQ(&Form().Chart1->Chart(), &Form().Instrument().Chart1);
    EXPECT_EQ(&Form().Image1->ShownPicture(), &Form().Instrument().Image1);
    EXPECT_NE(Form().Readout()->text(), FReadouts[newest - 9]);
}

TEST_F(HoldViewTest, HistoryLivesWithTheViewAndItsLength) {
    Record(3);
    const TSoundHistory* history = View().History();
    ASSERT_TRUE(history);
    EXPECT_EQ(history->Capacity(), TSoundHistory::CapacityFor(10.0, 44100.0));
    EXPECT_EQ(history->Count(), 3);
    View().SetHistoryMinutes(0.5);
    ASSERT_TRUE(View().History());
    EXPECT_EQ(View().History()->Capacity(), TSoundHistory::CapacityFor(0.5, 44100.0));
    EXPECT_EQ(View().History()->Count(), 0);
    // Nothing can be shown yet: "Anhalten" waits for the first checkpoint.
    EXPECT_FALSE(HoldButton()->isEnabled());
    View().Freeze();
    EXPECT_FALSE(View().Frozen());
    Record(20);
    EXPECT_TRUE(HoldButton()->isEnabled());
    // Leaving the view while holding shows the live charts again.
    HoldButton()->click();
    ASSERT_TRUE(View().Frozen());
    Form().SetAnalyserView(false);
    EXPECT_FALSE(View().Frozen());
    EXPECT_FALSE(View().History());
    EXPECT_EQ(&Form().Chart2->Chart(), &Form().Instrument().Chart2);
}


TEST_F(HoldViewTest, TheHistorySpectrogramPicksTheMomentAndTheSpanToSave) {
    Record(30);
    auto* spectrogram = Form().findChild<THistorySpectrogram*>("HistorySpectrogram");
    auto* save = Form().findChild<QToolButton*>("SaveMoment");
    ASSERT_TRUE(spectrogram && save && spectrogram->isVisible());
    EXPECT_FALSE(save->isEnabled());
    const std::int64_t moment = View().History()->End() - 5;
    spectrogram->OnPick(moment);
    EXPECT_EQ(View().ShownMoment(), moment);
    EXPECT_EQ(spectrogram->MarkedMoment(), moment);
    EXPECT_EQ(Form().Readout()->text(), FReadouts[moment]);
    spectrogram->SetMarkedSpan(TBufferSpan{moment - 3, moment});
    spectrogram->OnSpan(moment - 3, moment);
    EXPECT_TRUE(save->isEnabled());
    HoldButton()->click();  // "Weiter"
    EXPECT_EQ(spectrogram->MarkedMoment(), std::nullopt);
}


TEST_F(HoldViewTest, AHeldMomentRollsOnTheShownOscilloscope) {
    Record(30);
    QComboBox* time = View().Scope().TimeChooser;
    time->setCurrentIndex(time->findText("Rollen 10 ms/Div"));
    View().ShowMoment(View().History()->End() - 5);
    TInstrument& shown = View().ShownInstrument();
    ASSERT_NE(&shown, &Form().Instrument());
    EXPECT_EQ(shown.Chart2.BottomAxis().Maximum(), 100.0);
    EXPECT_EQ(shown.FastLineSeries1.PointCount(), 2 * shown.Chart2.Width());
    HoldButton()->click();  // "Weiter": the live oscilloscope rolls again
    EXPECT_EQ(Form().Instrument().Chart2.BottomAxis().Maximum(), 100.0);
    EXPECT_EQ(shown.Chart2.BottomAxis().Maximum(), 40.8);
}

}  // namespace
