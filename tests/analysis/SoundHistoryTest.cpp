#include "analysis/SoundHistory.h"

#include "core/Errors.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace wellenschau {
namespace {

// A buffer whose every sample and column entry carries its number.
void AddNumbered(TSoundHistory& history, int number, int n = TSoundHistory::BufferSamples) {
    std::vector<std::int16_t> a(static_cast<std::size_t>(n), static_cast<std::int16_t>(number));
    std::vector<std::int16_t> b(static_cast<std::size_t>(n), static_cast<std::int16_t>(-number));
    std::vector<std::uint8_t> column(static_cast<std::size_t>(history.RowCount()), static_cast<std::uint8_t>(number));
    history.Add(a.data(), history.Channels() == 2 ? b.data() : nullptr, n, column.data());
}

TEST(SoundHistoryTest, KeepsTheNewestBuffersUnderTheirNumbers) {
    TSoundHistory history(3, 2, 5);
    for (int number = 0; number < 5; ++number) AddNumbered(history, number, number == 4 ? 1024 : 4096);
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.First(), 2);
    EXPECT_EQ(history.End(), 5);
    for (std::int64_t number = 2; number < 5; ++number) {
        EXPECT_EQ(history.Samples(number, 0).front(), number);
        EXPECT_EQ(history.Samples(number, 1).back(), -number);
        EXPECT_EQ(history.Column(number)[4], number);
    }
    EXPECT_EQ(history.Samples(4, 0).size(), 1024u);
    EXPECT_THROW(history.Samples(1, 0), ERangeError);  // dropped
    EXPECT_THROW(history.Samples(5, 0), ERangeError);  // not yet recorded
    EXPECT_THROW(history.Samples(3, 2), ERangeError);
    history.Clear();
    EXPECT_FALSE(history.Kept(4));
    AddNumbered(history, 5);
    EXPECT_EQ(history.First(), 5);
}

TEST(SoundHistoryTest, RefusesWhatItCannotKeep) {
    EXPECT_THROW(TSoundHistory(0, 1, 5), ERangeError);
    EXPECT_THROW(TSoundHistory(1, 3, 5), ERangeError);
    TSoundHistory history(2, 2, 5);
    const std::array<std::int16_t, 4097> samples{};
    const std::array<std::uint8_t, 5> column{};
    EXPECT_THROW(history.Add(samples.data(), nullptr, 4096, column.data()), ERangeError);
    EXPECT_THROW(history.Add(samples.data(), samples.data(), 4097, column.data()), ERangeError);
    EXPECT_EQ(history.Count(), 0);
}

TEST(SoundHistoryTest, TenMonoMinutesReserveLittleBeyondTheirSamples) {
    const int capacity = TSoundHistory::CapacityFor(10.0, 44100.0);
    EXPECT_EQ(capacity, 6460);
    const TSoundHistory history(capacity, 1, 195);
    const double rawBytes = 10.0 * 60.0 * 44100.0 * 2.0;
    EXPECT_LT(static_cast<double>(history.ReservedBytes()), 1.1 * rawBytes);
}

}  // namespace
}  // namespace wellenschau
