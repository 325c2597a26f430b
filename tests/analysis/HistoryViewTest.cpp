#include "analysis/HistoryView.h"

#include "analysis/AnalysisState.h"
#include "analysis/SoundHistory.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

using namespace wellenschau;

namespace {

struct TColumnCase {
    THistoryColumns Columns;
    int X;
    TBufferSpan Buffers;
};

// Several buffers per pixel share out without gaps or overlaps; a buffer
// wider than a pixel shows in every pixel under it.
TEST(HistoryViewTest, EachPixelColumnShowsTheBuffersThatBeginUnderIt) {
    const std::array<TColumnCase, 7> cases{{
        {{0.0, 3.5, 0}, 0, {0, 3}},
        {{0.0, 3.5, 0}, 1, {4, 6}},
        {{0.0, 3.5, 2}, 0, {7, 10}},
        {{10.25, 1.0, 0}, 0, {11, 11}},
        {{10.0, 0.25, 0}, 0, {10, 10}},  // begins under the pixel
        {{10.0, 0.25, 0}, 3, {10, 10}},  // under the pixel's centre
        {{-2.0, 0.5, 0}, 1, {-2, -2}},
    }};
    for (const TColumnCase& c : cases) {
        EXPECT_EQ(BuffersUnder(c.Columns, c.X), c.Buffers) << c.Columns.Origin << " " << c.X;
        if (c.Columns.BuffersPerPixel < 1.0) continue;
        for (const std::int64_t n : {c.Buffers.First, c.Buffers.Last})
            EXPECT_EQ(c.Columns.GridColumnOf(n), c.Columns.FirstColumn + c.X) << n;
    }
}

TEST(HistoryViewTest, FollowingColumnsKeepTheScaleAndScrollByWholeSteps) {
    TSoundHistory history(60, 1, 2);
    const std::array<std::uint8_t, 2> column{};
    const std::array<std::int16_t, 1> sample{};
    struct TStep {
        int Added;
        std::int64_t FirstColumn;
    };
    // 60 buffers over 30 of 32 pixels: 2 a pixel; scroll steps of 2 pixels.
    for (const TStep& step : {TStep{1, 0}, TStep{60, 0}, TStep{63, 0}, TStep{64, 2}, TStep{67, 2}, TStep{68, 4}}) {
        while (history.End() < step.Added) history.Add(sample.data(), nullptr, 1, column.data());
        const THistoryColumns columns = FollowingColumns(history, 32);
        EXPECT_EQ(columns.BuffersPerPixel, 2.0);
        EXPECT_EQ(columns.FirstColumn, step.FirstColumn) << step.Added;
        EXPECT_LE(columns.GridColumnOf(history.End() - 1) - columns.FirstColumn, 31) << step.Added;
    }
}

// At the spectrogram's own range and height the rows are the picture's.
TEST(HistoryViewTest, PictureRowsOverTheFullRangeAreTheSpectrogramsPixelRows) {
    auto state = std::make_unique<AnalysisState>();
    SetupAnalysis(*state, 300);
    const std::span<const double> frequencies(state->RowFrequency.begin(), static_cast<std::size_t>(state->RowCount));
    std::vector<std::int32_t> rows(300);
    MapPictureRows(frequencies, 20.0, 22050.0, rows);
    for (int k = 0; k < 300; ++k) EXPECT_EQ(rows[static_cast<std::size_t>(299 - k)], state->PixelRow[k]) << k;
    std::vector<std::int32_t> zoomed(2);
    MapPictureRows(frequencies, 1000.0, 1000.0 * 1.0001, zoomed);
    EXPECT_EQ(zoomed[0], zoomed[1]);
    EXPECT_NEAR(state->RowFrequency[zoomed[0]], 1000.0, 11.0);
}

TEST(HistoryViewTest, LoudestColumnTakesTheHighestIndexOfTheKeptBuffers) {
    TSoundHistory history(3, 1, 2);
    const std::array<std::int16_t, 1> sample{};
    for (const std::array<std::uint8_t, 2>& column : {std::array<std::uint8_t, 2>{9, 9}, {1, 200}, {50, 3}, {7, 7}})
        history.Add(sample.data(), nullptr, 1, column.data());
    std::array<std::uint8_t, 2> loudest{};
    ASSERT_TRUE(LoudestColumn(history, {0, 2}, loudest));  // buffer 0 is dropped
    EXPECT_EQ(loudest, (std::array<std::uint8_t, 2>{50, 200}));
    ASSERT_TRUE(LoudestColumn(history, {3, 9}, loudest));
    EXPECT_EQ(loudest, (std::array<std::uint8_t, 2>{7, 7}));
    EXPECT_FALSE(LoudestColumn(history, {4, 9}, loudest));
}

}  // namespace
