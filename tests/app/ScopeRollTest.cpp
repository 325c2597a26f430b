// The oscilloscope's roll mode in the analyser view: offered only with a
// history, drawn from it and not from the buffers, and the time base given
// back afterwards.
#include "AppTestSupport.h"
#include "analysis/SoundHistory.h"
#include "app/AnalyserView.h"
#include "app/ScopePanel.h"
#include "chart/FastLineSeries.h"

#include <QComboBox>
#include <QStandardItemModel>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

double HighestPoint(const TFastLineSeries& series) {
    double highest = -1000;
    for (int i = 0; i < series.PointCount(); ++i) highest = std::max(highest, series.YValue(i));
    return highest;
}

TEST(ScopeRollTest, RollsTheHistoryInsteadOfTheBuffers) {
    TWindowOnSimulatedDevice w;
    w.Form->show();
    w.Form->StartButton->click();
    RunPostedEvents();
    TScopePanel& panel = w.Form->Analyser().Scope();
    const int roll = panel.TimeChooser->findText("Rollen 10 ms/Div");
    const QStandardItem* rollItem = static_cast<QStandardItemModel*>(panel.TimeChooser->model())->item(roll);
    EXPECT_FALSE(rollItem->isEnabled());  // the plain window keeps no history
    EXPECT_TRUE(rollItem->toolTip().startsWith("Rollen braucht den Verlauf"));
    w.Form->SetAnalyserView(true);
    EXPECT_TRUE(rollItem->isEnabled());  // the view's own history


    // Silence, then a buffer with one short peak at half scale.
    TSoundHistory history(4, 1, 1);
    std::vector<std::int16_t> samples(TSoundHistory::BufferSamples, 0);
    const std::uint8_t column[1] = {0};
    history.Add(samples.data(), nullptr, TSoundHistory::BufferSamples, column);
    samples[4000] = 16384;
    history.Add(samples.data(), nullptr, TSoundHistory::BufferSamples, column);
    panel.SetHistory(&history);
    EXPECT_TRUE(rollItem->isEnabled());
    panel.TimeChooser->setCurrentIndex(roll);

    TChart& chart = w.Form->Instrument().Chart2;
    const TFastLineSeries& trace = w.Form->Instrument().FastLineSeries1;
    EXPECT_EQ(chart.BottomAxis().Maximum(), 100.0);
    EXPECT_EQ(chart.BottomAxis().Increment(), 10.0);
    EXPECT_EQ(trace.PointCount(), 2 * chart.Width());
    EXPECT_EQ(HighestPoint(trace), 50.0);
    // A louder buffer the history does not get leaves the trace alone.
    samples[4000] = 30000;
    ASSERT_TRUE(w.Record(samples));
    EXPECT_EQ(HighestPoint(trace), 50.0);
    panel.Roll().ShowMoment(0);
    EXPECT_EQ(HighestPoint(trace), 0.0);

    panel.TimeChooser->setCurrentIndex(0);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 40.8);
    panel.SetHistory(nullptr);
    EXPECT_FALSE(rollItem->isEnabled());
}

}  // namespace
