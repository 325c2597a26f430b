#include "audio/SampleTap.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// Interleaved frames from `first` on: channel 0 counts up, channel 1 down.
std::vector<std::int16_t> Frames(int first, int count) {
    std::vector<std::int16_t> samples;
    for (int i = first; i < first + count; ++i) {
        samples.push_back(static_cast<std::int16_t>(i));
        samples.push_back(static_cast<std::int16_t>(-i));
    }
    return samples;
}

void Write(TSampleTap& tap, const std::vector<std::int16_t>& samples) {
    tap.Write(reinterpret_cast<const char*>(samples.data()), 2 * samples.size(), 2);
}

TEST(SampleTapTest, GivesTheNewestFramesOfEachChannel) {
    const auto tap = std::make_unique<TSampleTap>();
    const std::vector<std::int16_t> first = Frames(0, 10000), second = Frames(10000, 10000);
    Write(*tap, first);
    EXPECT_EQ(CountAllocations([&] { Write(*tap, second); }), 0);
    EXPECT_EQ(tap->Written(), 20000u);
    EXPECT_EQ(tap->Channels(), 2);
    std::vector<std::int16_t> a(8192), b(8192);
    ASSERT_TRUE(tap->Latest(0, a.data(), a.size(), 20000));
    ASSERT_TRUE(tap->Latest(1, b.data(), b.size(), 20000));
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i], static_cast<std::int16_t>(20000 - 8192 + static_cast<int>(i)));
        ASSERT_EQ(b[i], -a[i]);
    }
    // Not yet written, more than it holds safely, or already overwritten.
    EXPECT_FALSE(tap->Latest(0, a.data(), 100, 20001));
    std::vector<std::int16_t> most(TSampleTap::Capacity);
    EXPECT_FALSE(tap->Latest(0, most.data(), most.size(), 20000));
    EXPECT_FALSE(tap->Latest(0, a.data(), 100, 1000));
}

TEST(SampleTapTest, MonoFramesFillChannelA) {
    const auto tap = std::make_unique<TSampleTap>();
    const std::vector<std::int16_t> mono{1, 2, 3, 4, 5};
    tap->Write(reinterpret_cast<const char*>(mono.data()), 2 * mono.size(), 1);
    std::vector<std::int16_t> newest(3);
    ASSERT_TRUE(tap->Latest(0, newest.data(), 3, tap->Written()));
    EXPECT_EQ(newest, (std::vector<std::int16_t>{3, 4, 5}));
    EXPECT_EQ(tap->Channels(), 1);
}

}  // namespace
