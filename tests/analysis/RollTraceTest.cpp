#include "analysis/RollTrace.h"

#include "analysis/Trace.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace wellenschau {
namespace {

// At 1000 Hz a sample lasts 1 ms.
constexpr double Rate = 1000.0;

// Sample k (counted from 1 over the whole recording) of channel A is
// 100 k, every odd one negative; channel B is its negation. Buffers of 4
// samples, 3 kept: after 5 buffers the history holds samples 9 .. 20.
std::int16_t SampleNumber(int k) { return static_cast<std::int16_t>((k % 2 == 0 ? k : -k) * 100); }

TSoundHistory FilledHistory(int buffers) {
    TSoundHistory history(3, 2, 1);
    const std::uint8_t column[1] = {0};
    for (int buffer = 0, k = 1; buffer < buffers; ++buffer) {
        std::int16_t a[4], b[4];
        for (int i = 0; i < 4; ++i, ++k) {
            a[i] = SampleNumber(k);
            b[i] = static_cast<std::int16_t>(-a[i]);
        }
        history.Add(a, b, 4, column);
    }
    return history;
}

struct TPointList final : TPointSink {
    void AddPoint(double x, double y) override { Points.emplace_back(x, std::lround(y * SampleToPercent)); }
    std::vector<std::pair<double, long>> Points;  // ms, sample
};

struct TRollCase {
    const char* Name;
    int Buffers;  // recorded so far
    int Channel;
    std::int64_t Newest;
    TRollSpan Span;
    // x in ms and the sample each point shows.
    std::vector<std::pair<double, long>> Points;
};

class RollTraceTest : public ::testing::TestWithParam<TRollCase> {};

TEST_P(RollTraceTest, PlacesTheNewestAtTheRight) {
    const TRollCase& roll = GetParam();
    const TSoundHistory history = FilledHistory(roll.Buffers);
    TPointList points;
    PlotRoll(history, roll.Channel, roll.Newest, roll.Span, Rate, points);
    EXPECT_EQ(points.Points, roll.Points);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RollTraceTest,
    ::testing::Values(
        // Samples 16 .. 20, the newest at the right edge.
        TRollCase{"EverySample", 5, 0, 4, {5, 10}, {{1, 1600}, {2, -1700}, {3, 1800}, {4, -1900}, {5, 2000}}},
        TRollCase{"ChannelB", 5, 1, 4, {3, 10}, {{1, -1800}, {2, 1900}, {3, -2000}}},
        // A kept moment: the stretch that ended with buffer 2 (samples 9 .. 12).
        TRollCase{"FrozenMoment", 5, 0, 2, {2, 10}, {{1, -1100}, {2, 1200}}},
        // The screen reaches back before the oldest kept sample (9).
        TRollCase{"PartlyFilled", 5, 0, 3, {10, 20},
                  {{3, -900}, {4, 1000}, {5, -1100}, {6, 1200}, {7, -1300}, {8, 1400}, {9, -1500}, {10, 1600}}},
        TRollCase{"FirstBuffers", 1, 0, 0, {6, 6}, {{3, -100}, {4, 200}, {5, -300}, {6, 400}}},
        // Samples 13 .. 16 and 17 .. 20 in two columns at the edges.
        TRollCase{"Envelope", 5, 0, 4, {8, 2}, {{0, -1500}, {0, 1600}, {8, -1900}, {8, 2000}}},
        // Samples 9 .. 20 in three columns (0, 10 and 20 ms), the first
        // one empty.
        TRollCase{"EnvelopePartlyFilled", 5, 0, 4, {20, 3}, {{10, -1300}, {10, 1400}, {20, -1900}, {20, 2000}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RollTraceRefusalTest, RefusesWhatItCannotShow) {
    const TSoundHistory history = FilledHistory(5);
    TPointList points;
    EXPECT_THROW(PlotRoll(history, 0, 1, {5, 10}, Rate, points), ERangeError);  // dropped
    EXPECT_THROW(PlotRoll(history, 0, 5, {5, 10}, Rate, points), ERangeError);  // not yet recorded
    EXPECT_THROW(PlotRoll(history, 2, 4, {5, 10}, Rate, points), ERangeError);
    EXPECT_THROW(PlotRoll(history, 0, 4, {5, 1}, Rate, points), ERangeError);
    EXPECT_THROW(PlotRoll(history, 0, 4, {0, 10}, Rate, points), ERangeError);
    EXPECT_TRUE(points.Points.empty());
}

}  // namespace
}  // namespace wellenschau
