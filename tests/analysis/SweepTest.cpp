#include "analysis/Sweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

using namespace wellenschau;

namespace {

constexpr double Rate = 44100.0;
constexpr int N = 4096;

struct CollectedPoints : TPointSink {
    void AddPoint(double X, double Y) override { Points.emplace_back(X, Y); }
    // The trace's value at time x, linearly between the two points around
    // it, and how much it rises between them.
    std::pair<double, double> At(double x) const {
        for (std::size_t i = 1; i < Points.size(); ++i)
            if (Points[i].first >= x) {
                const auto [x0, y0] = Points[i - 1];
                const auto [x1, y1] = Points[i];
                return {y0 + (y1 - y0) * (x - x0) / (x1 - x0), y1 - y0};
            }
        return {NAN, NAN};
    }
    std::vector<std::pair<double, double>> Points;
};

// Little-endian bytes of samples.
std::vector<char> Bytes(const std::vector<std::int16_t>& samples) {
    std::vector<char> bytes(2 * samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto bits = static_cast<std::uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<char>(bits & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(bits >> 8);
    }
    return bytes;
}

// A sine of `amplitude` samples at hz, from sample `start` on.
std::vector<std::int16_t> Sine(double hz, double amplitude, int start, int n = N) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * (start + i) / Rate + 0.3)));
    return samples;
}

struct SweepRun {
    // Adds the buffers to the history and asks the sweep for each.
    std::optional<double> Feed(const std::vector<std::int16_t>& samples) {
        const std::vector<char> bytes = Bytes(samples);
        history.Add(bytes.data(), static_cast<int>(samples.size()));
        return sweep.Next(history, bytes.data(), false, Rate);
    }
    TSampleHistory history;
    TSweep sweep;
};

struct EdgeCase {
    double Hz;
    TTriggerSlope Slope;
    double LevelPercent;
    double PositionPercent;
};

class EdgeAccuracyTest : public ::testing::TestWithParam<EdgeCase> {};

// A noise-free sine at -20 dBFS: the trace at the trigger's time reads the
// level, rising or falling as chosen, and the crossing lies within 0.05
// samples of the sine's own.
TEST_P(EdgeAccuracyTest, TheTraceCrossesTheLevelAtTheTriggerTime) {
    const EdgeCase c = GetParam();
    const double amplitude = 32768 * 0.1;
    SweepRun run;
    run.sweep.SetSettings({.Trigger = TTriggerMode::Edge, .LevelPercent = c.LevelPercent, .Slope = c.Slope,
                           .PositionPercent = c.PositionPercent, .MsPerDivision = 2.0});
    run.Feed(Sine(c.Hz, amplitude, 0));
    const std::optional<double> position = run.Feed(Sine(c.Hz, amplitude, N));
    ASSERT_TRUE(position);
    CollectedPoints trace;
    const TSweepSpan span = SpanOf(run.sweep.Settings(), false, Rate);
    PlotSweep(run.history.Samples(), *position, span, Rate, trace);
    EXPECT_NEAR(span.TriggerMs, 20.0 * c.PositionPercent / 100, 1e-12);
    const auto [value, rise] = trace.At(span.TriggerMs);
    EXPECT_NEAR(value, c.LevelPercent, 0.1);
    EXPECT_GT(c.Slope == TTriggerSlope::Rising ? rise : -rise, 0.0);
    // The sine's own crossing next to the found one (position counts from
    // the previous buffer's start, sample 0 of the sine).
    const double omega = 2 * std::numbers::pi * c.Hz / Rate;
    double exact = *position;
    for (int i = 0; i < 8; ++i) {
        const double phase = omega * exact + 0.3;
        exact -= (amplitude * std::sin(phase) - c.LevelPercent * 327.68) / (amplitude * omega * std::cos(phase));
    }
    EXPECT_NEAR(*position, exact, 0.05);
}

std::vector<EdgeCase> EdgeCases() {
    std::vector<EdgeCase> cases;
    for (double hz : {50.0, 200.0, 1000.0, 2500.0, 5000.0})
        for (TTriggerSlope slope : {TTriggerSlope::Rising, TTriggerSlope::Falling})
            for (double level : {-3.0, 0.0, 3.0})
                for (double position : {0.0, 30.0, 100.0}) cases.push_back({hz, slope, level, position});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Sines, EdgeAccuracyTest, ::testing::ValuesIn(EdgeCases()));

struct ArmCase {
    std::vector<std::int16_t> Samples;
    TTriggerSlope Slope;
    std::optional<double> Expected;
};

// Level 1000, hysteresis 100: an edge arms only beyond 900 (rising) or
// 1100 (falling) first.
TEST(FindEdgeTest, ArmsBeyondTheHysteresisAndInterpolates) {
    const std::vector<ArmCase> cases{
        {{800, 1200}, TTriggerSlope::Rising, 0.5},
        {{950, 1050, 950, 1050}, TTriggerSlope::Rising, std::nullopt},  // noise inside the band
        {{0, 1000}, TTriggerSlope::Rising, 1.0},
        {{0, 999, 1001, 950, 1050}, TTriggerSlope::Rising, 1.5},
        {{1200, 800}, TTriggerSlope::Falling, 0.5},
        {{1050, 950, 1050, 950}, TTriggerSlope::Falling, std::nullopt},
        {{800, 1200}, TTriggerSlope::Falling, std::nullopt},
    };
    const TEdge rising{1000, 100, TTriggerSlope::Rising}, falling{1000, 100, TTriggerSlope::Falling};
    for (const ArmCase& c : cases) {
        const int count = static_cast<int>(c.Samples.size());
        const std::optional<double> found =
            FindEdge(c.Samples.data(), count, 0, 0, count - 1, c.Slope == TTriggerSlope::Rising ? rising : falling);
        EXPECT_EQ(found, c.Expected) << "first sample " << c.Samples[0];
    }
}

// A crossing before the search range disarms: the next one needs the
// signal beyond the hysteresis again.
TEST(FindEdgeTest, ATriggerBeforeTheSearchDisarms) {
    const std::vector<std::int16_t> samples{0, 2000, 950, 1050, 0, 2000};
    const TEdge edge{1000, 100, TTriggerSlope::Rising};
    EXPECT_EQ(FindEdge(samples.data(), 6, 0, 2, 5, edge), 4.5);
}

TEST(SweepTest, ModesWithoutATrigger) {
    const std::vector<std::int16_t> silence(N, 0);
    for (const auto& [mode, expected] : {std::pair{TSweepMode::Auto, true}, std::pair{TSweepMode::Normal, false},
                                         std::pair{TSweepMode::Single, false}}) {
        SweepRun run;
        run.sweep.SetSettings({.Trigger = TTriggerMode::Edge, .LevelPercent = 5, .Sweep = mode, .MsPerDivision = 1});
        const std::optional<double> position = run.Feed(silence);
        EXPECT_EQ(position.has_value(), expected);
        // Free-running, the sweep shows the newest samples.
        if (position) {
            EXPECT_EQ(*position, 2 * N - 1 - std::ceil(10.0 / (1000 / Rate)));
        }
    }
}

TEST(SweepTest, ASingleSweepIsHeldUntilRearmed) {
    SweepRun run;
    run.sweep.SetSettings({.Trigger = TTriggerMode::Edge, .Sweep = TSweepMode::Single, .MsPerDivision = 1});
    const std::vector<std::int16_t> tone = Sine(1000, 5000, 0);
    EXPECT_TRUE(run.Feed(tone));
    EXPECT_TRUE(run.sweep.Held());
    EXPECT_FALSE(run.Feed(tone));
    run.sweep.Rearm();
    EXPECT_TRUE(run.Feed(tone));
}

// A trigger early in the buffer draws its pre-trigger part from the
// buffer before.
TEST(SweepTest, PreTriggerSamplesComeFromThePreviousBuffer) {
    SweepRun run;
    run.sweep.SetSettings({.Trigger = TTriggerMode::Edge, .LevelPercent = 50, .PositionPercent = 50,
                           .MsPerDivision = 1});
    std::vector<std::int16_t> previous(N, -1000), current(N, 0);
    previous[N - 1] = -20000;
    current[10] = 30000;
    run.Feed(previous);
    const std::optional<double> position = run.Feed(current);
    ASSERT_TRUE(position);
    CollectedPoints trace;
    const TTraceExtremes extremes =
        PlotSweep(run.history.Samples(), *position, SpanOf(run.sweep.Settings(), false, Rate), Rate, trace);
    EXPECT_EQ(extremes.Minimum, -20000);
    EXPECT_DOUBLE_EQ(trace.Points.front().second, -1000 / 327.68);
    EXPECT_LE(trace.Points.front().first, 0.0);
    EXPECT_GE(trace.Points.back().first, 10.0);
}

TEST(SweepTest, OnlyThePeakTriggerWithTheStoredTimeBasesIsThePlainTrace) {
    EXPECT_TRUE(TScopeSettings{}.PlainTrace());
    EXPECT_TRUE(TScopeSettings{.PercentPerDivision = 10}.PlainTrace());
    EXPECT_FALSE(TScopeSettings{.Trigger = TTriggerMode::Edge}.PlainTrace());
    EXPECT_FALSE(TScopeSettings{.PositionPercent = 10}.PlainTrace());
    EXPECT_FALSE(TScopeSettings{.MsPerDivision = 1}.PlainTrace());
    EXPECT_NEAR(MostMsPerDivision(N, Rate), 9.2857, 1e-4);
}

}  // namespace

namespace {

// Two sines a quarter period apart draw a circle in X-Y: 441 Hz has a
// period of 100 samples.
TEST(SweepTest, AQuarterPeriodApartTheXYPictureIsACircle) {
    const std::vector<std::int16_t> a = Sine(441, 16384, 0);
    const std::vector<std::int16_t> b = Sine(441, 16384, 25);
    CollectedPoints picture;
    const TSweepSpan span = SpanOf({}, false, Rate);
    PlotXY(a.data(), b.data(), 1000, span, picture);
    ASSERT_GE(picture.Points.size(), static_cast<std::size_t>(span.After));
    for (const auto& [x, y] : picture.Points) EXPECT_NEAR(std::hypot(x, y), 50.0, 0.01) << x << " " << y;
}

}  // namespace
