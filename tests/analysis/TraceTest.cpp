#include "analysis/Trace.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using namespace wellenschau;

namespace {

struct CollectedPoints : TPointSink {
    void AddPoint(double X, double Y) override { Points.emplace_back(X, Y); }
    std::vector<std::pair<double, double>> Points;
};

// A recorded buffer of 4096 little-endian samples.
struct Buffer {
    Buffer() : Bytes(8192, 0) {}
    void Set(int i, std::int16_t value) {
        const auto bits = static_cast<std::uint16_t>(value);
        Bytes[2 * i] = static_cast<char>(bits & 0xFF);
        Bytes[2 * i + 1] = static_cast<char>(bits >> 8);
    }
    const char* Data() const { return Bytes.data(); }
    std::vector<char> Bytes;
};

class TraceTest : public ::testing::Test {
protected:
    TTraceExtremes Plot(bool everySample = false) {
        trigger = FindTrigger(buffer.Data());
        return PlotTrace(buffer.Data(), trigger, everySample, 44100.0, points);
    }
    std::optional<TAmplitudeRange> Range(bool autoScale = true) { return UpdateAmplitudeRange(*state, Plot(), autoScale); }
    // The automatic range after one buffer whose trace peaks at peak.
    std::optional<TAmplitudeRange> RangeForPeak(std::int16_t peak) {
        buffer = Buffer();
        points.Points.clear();
        buffer.Set(0, peak);
        return Range();
    }

    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    Buffer buffer;
    CollectedPoints points;
    int trigger = -1;
};

TEST_F(TraceTest, SamplesAreLittleEndianSigned) {
    buffer.Set(3, -2);
    buffer.Set(4, 0x1234);
    EXPECT_EQ(SampleAt(buffer.Data(), 3), -2);
    EXPECT_EQ(SampleAt(buffer.Data(), 4), 0x1234);
    EXPECT_EQ(MinTraceSamples, 2803);
}

TEST_F(TraceTest, SilenceGivesAFlatTraceAndKeepsTheAutomaticRange) {
    const std::optional<TAmplitudeRange> range = Range();
    EXPECT_EQ(trigger, 0);
    ASSERT_EQ(points.Points.size(), 601u);
    for (const auto& [x, y] : points.Points) EXPECT_EQ(y, 0.0);
    EXPECT_EQ(state->LastPeak, 0);
    EXPECT_FALSE(range);
    EXPECT_EQ(state->AmplitudeScale, 100.0);
}

TEST_F(TraceTest, TriggerIsTheFirstLargestSampleOfTheFirst1001) {
    buffer.Set(17, 500);
    buffer.Set(500, 500);
    buffer.Set(1001, 30000);  // too late to trigger
    Plot();
    EXPECT_EQ(trigger, 17);
    EXPECT_DOUBLE_EQ(points.Points.front().second, 500 / 327.68);
    EXPECT_EQ(points.Points.front().first, 0.0);
}

TEST_F(TraceTest, AllNegativeBufferTriggersOnTheLeastNegativeValue) {
    for (int i = 0; i < 4096; ++i) buffer.Set(i, -1000);
    buffer.Set(40, -3);
    buffer.Set(41, -3);
    const TTraceExtremes extremes = Plot();
    EXPECT_EQ(trigger, 40);
    EXPECT_EQ(extremes.Maximum, -3);
    EXPECT_EQ(extremes.Minimum, -1000);
}

TEST_F(TraceTest, OnlyEveryThirdSampleCountsTowardThePeak) {
    buffer.Set(0, 100);
    buffer.Set(1000 + 1, 20000);  // t + 3i + 1: plotted in the fast mode only, never counted
    buffer.Set(1200, -20000);     // t + 3 * 400: counted
    const TTraceExtremes extremes = Plot(true);
    EXPECT_EQ(trigger, 0);
    EXPECT_EQ(extremes.Maximum, 100);
    EXPECT_EQ(extremes.Minimum, -20000);
}

TEST_F(TraceTest, FastModePlotsEverySampleTo40Point86Ms) {
    for (int i = 0; i < 4096; ++i) buffer.Set(i, static_cast<std::int16_t>(i % 7));
    Plot(true);
    ASSERT_EQ(points.Points.size(), 1803u);
    EXPECT_NEAR(points.Points.back().first, 1802 * (1 / 44100.0 * 1000), 1e-12);
    EXPECT_NEAR(points.Points.back().first, 40.86, 0.005);
    for (std::size_t i = 1; i < points.Points.size(); ++i) EXPECT_GT(points.Points[i].first, points.Points[i - 1].first);

    CollectedPoints slow;
    PlotTrace(buffer.Data(), 0, false, 44100.0, slow);
    ASSERT_EQ(slow.Points.size(), 601u);
    EXPECT_NEAR(slow.Points.back().first, 40.82, 0.005);
}

TEST_F(TraceTest, FullScaleNegativeSampleGivesTheLargestScale) {
    state->AmplitudeScale = 12.5;
    buffer.Set(0, 10);
    buffer.Set(3 * 250, -32768);
    const std::optional<TAmplitudeRange> range = Range();
    EXPECT_EQ(state->LastPeak, 32768);
    ASSERT_TRUE(range);
    EXPECT_DOUBLE_EQ(state->AmplitudeScale, 100.0);
    EXPECT_DOUBLE_EQ(range->Maximum, 101.0);
    EXPECT_DOUBLE_EQ(range->Minimum, -102.0);
}

TEST_F(TraceTest, AmplitudeLadder) {
    EXPECT_FALSE(RangeForPeak(20000).has_value());  // r = 0.61
    EXPECT_FALSE(RangeForPeak(14746).has_value());  // r = 0.45001
    EXPECT_FALSE(RangeForPeak(29491).has_value());  // r = 0.89999
    EXPECT_EQ(state->AmplitudeScale, 100.0);

    std::optional<TAmplitudeRange> range = RangeForPeak(3000);
    ASSERT_TRUE(range);
    EXPECT_NEAR(state->AmplitudeScale, 17.678, 0.0005);
    EXPECT_NEAR(range->Maximum, 17.854, 0.0005);
    EXPECT_NEAR(range->Minimum, -18.031, 0.0005);

    state->AmplitudeScale = 100.0;
    range = RangeForPeak(100);
    ASSERT_TRUE(range);
    EXPECT_EQ(state->AmplitudeScale, 12.5);
    EXPECT_DOUBLE_EQ(range->Maximum, 12.625);
    EXPECT_DOUBLE_EQ(range->Minimum, -12.75);
    // At the bottom of the ladder the same rescale repeats on every buffer.
    EXPECT_TRUE(RangeForPeak(100).has_value());
}

TEST_F(TraceTest, SnapshotPeakIsTheFloorOfTheAutomaticScale) {
    state->StoredPeak = 30000;
    RangeForPeak(100);
    EXPECT_EQ(state->LastPeak, 100);
    EXPECT_DOUBLE_EQ(state->AmplitudeScale, 100.0);
    state->StoredPeak = 0;
    RangeForPeak(100);
    EXPECT_EQ(state->AmplitudeScale, 12.5);
}

TEST_F(TraceTest, FixedRangeWithoutAutomaticScale) {
    buffer.Set(0, 100);
    const std::optional<TAmplitudeRange> range = Range(false);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->Maximum, 101.0);
    EXPECT_EQ(range->Minimum, -102.0);
    EXPECT_EQ(state->AmplitudeScale, 100.0);
    EXPECT_EQ(state->LastPeak, 100);
    // Silence too gets the fixed range.
    EXPECT_TRUE(UpdateAmplitudeRange(*state, {0, 0}, false).has_value());
}

}  // namespace
