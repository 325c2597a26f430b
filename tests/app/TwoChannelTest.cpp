// Two channels through the instrument: channel A's numbers are those of
// the same samples as one channel, and the phase between the channels
// reads the shift of the tone.
#include "app/Instrument.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// One buffer of a sine at -20 dBFS, its phase at the first sample given.
std::vector<std::int16_t> Sine(double hz, double phaseDegrees) {
    std::vector<std::int16_t> samples(4096);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double angle = 2 * std::numbers::pi * hz * static_cast<double>(i) / 44100.0 +
                             phaseDegrees * std::numbers::pi / 180.0;
        samples[i] = static_cast<std::int16_t>(std::lround(3276.8 * std::sin(angle)));
    }
    return samples;
}

const char* Bytes(const std::vector<std::int16_t>& samples) { return reinterpret_cast<const char*>(samples.data()); }

// A degree difference folded into (-180, 180].
double Folded(double degrees) { return degrees - 360.0 * std::ceil((degrees - 180.0) / 360.0); }

TEST(TwoChannelTest, PhaseOfBRelativeToAWithinOneDegree) {
    const auto instrument = std::make_unique<TInstrument>();
    double largestError = 0.0;
    for (const double hz : {50.0, 63.0, 100.0, 220.0, 440.0, 1000.0, 1234.5, 2500.0, 4000.0, 5000.0})
        for (const double shift : {90.0, -90.0, 30.0, 180.0, 0.0}) {
            const std::vector<std::int16_t> a = Sine(hz, 17.0), b = Sine(hz, 17.0 + shift);
            instrument->HandleBuffer(Bytes(a), TInstrument::BufferBytes, Bytes(b));
            const std::optional<TChannelBFigures> channelB = instrument->LastChannelB();
            ASSERT_TRUE(channelB && channelB->PhaseDegrees) << hz << " Hz " << shift;
            const double error = Folded(*channelB->PhaseDegrees - shift);
            EXPECT_LE(std::abs(error), 1.0) << hz << " Hz, shift " << shift << ": " << *channelB->PhaseDegrees;
            EXPECT_GT(*channelB->PhaseDegrees, -180.0);
            largestError = std::max(largestError, std::abs(error));
        }
    RecordProperty("LargestPhaseErrorDegrees", std::to_string(largestError));
    // Silence in B has no phase.
    const std::vector<std::int16_t> a = Sine(440, 0), silence(4096, 0);
    instrument->HandleBuffer(Bytes(a), TInstrument::BufferBytes, Bytes(silence));
    EXPECT_FALSE(instrument->LastChannelB()->PhaseDegrees);
}

// The same samples as channel A of two channels and as one channel give
// the same measurements and history, bit for bit (the export's test
// compares every file), and a buffer of two channels allocates nothing
// once channel B is set up.
TEST(TwoChannelTest, ChannelAIsTheSingleChannelBitForBit) {
    const auto one = std::make_unique<TInstrument>(), two = std::make_unique<TInstrument>();
    two->SetTwoChannels(true);
    const std::vector<std::int16_t> tones[] = {Sine(440, 0), Sine(97, 40), Sine(2000, 3)};
    for (int i = 0; i < 6; ++i) {
        const std::vector<std::int16_t>& a = tones[i % 3];
        const std::vector<std::int16_t>& b = tones[(i + 1) % 3];
        one->HandleBuffer(Bytes(a), TInstrument::BufferBytes);
        const auto handleTwo = [&] { two->HandleBuffer(Bytes(a), TInstrument::BufferBytes, Bytes(b)); };
        // The first buffer sets up what the transform's first use needs.
        if (i == 0)
            handleTwo();
        else
            EXPECT_EQ(CountAllocations(handleTwo), 0) << i;
        const TMeasurements m1 = one->LastMeasurements(), m2 = two->LastMeasurements();
        EXPECT_EQ(std::memcmp(&*m1.DominantHz, &*m2.DominantHz, sizeof(double)), 0);
        EXPECT_EQ(m1.RmsDbfs, m2.RmsDbfs);
        ASSERT_EQ(one->LastDistortion().has_value(), two->LastDistortion().has_value()) << i;
        if (one->LastDistortion()) {
            EXPECT_EQ(one->LastDistortion()->ThdPlusNoise.Db, two->LastDistortion()->ThdPlusNoise.Db);
        }
        EXPECT_FALSE(one->LastChannelB());
    }
    EXPECT_EQ(std::memcmp(one->History().Levels(5), two->History().Levels(5), sizeof(double) * 100), 0);
    EXPECT_NEAR(*two->LastChannelB()->Measurements.DominantHz, 440, 1.0);
}

}  // namespace
