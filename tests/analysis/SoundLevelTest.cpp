// The sound level meter on generated 16-bit signals of known level: tones
// through every weighting, tones and a pink spectrum through the bands,
// and steps through the time weightings.
//
// Accuracies are those of averages: a meter's levels are read as the
// equivalent level of a few seconds of buffers after the filters have
// settled, since one 93 ms buffer holds too few periods of a low tone for
// its own mean square to be exact.
#include "support/AllocationCounter.h"
#include "analysis/SoundLevel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

using namespace wellenschau;

namespace {

constexpr int BufferLength = 4096;
constexpr double Rate = SoundLevelSampleRate;
constexpr double BufferSeconds = BufferLength / Rate;
constexpr double FullScale = 32768.0;
constexpr double ToneDbfs = -10.0;

// A sum of sines, generated buffer by buffer with phases kept exact.
class TSignal {
public:
    void AddTone(double hz, double dbfs, double phase = 0.0) {
        FTones.push_back({hz, FullScale * std::pow(10.0, dbfs / 20.0), phase});
    }
    // Buffer number `index` of the signal.
    std::vector<std::int16_t> Buffer(long index) const {
        std::vector<double> sum(BufferLength, 0.0);
        for (const TTone& t : FTones) {
            // A rotating phasor: exact enough over a buffer, restarted from
            // the exact phase each buffer.
            const double step = 2.0 * std::numbers::pi * t.Hz / Rate;
            const double start = std::fmod(step * static_cast<double>(index * BufferLength), 2.0 * std::numbers::pi);
            double re = std::cos(start + t.Phase), im = std::sin(start + t.Phase);
            const double c = std::cos(step), s = std::sin(step);
            for (double& x : sum) {
                x += t.Amplitude * im;
                const double next = re * c - im * s;
                im = re * s + im * c;
                re = next;
            }
        }
        std::vector<std::int16_t> samples(BufferLength);
        for (int i = 0; i < BufferLength; ++i) samples[i] = static_cast<std::int16_t>(std::lround(sum[i]));
        return samples;
    }

private:
    struct TTone {
        double Hz;
        double Amplitude;
        double Phase;
    };
    std::vector<TTone> FTones;
};

// Runs a signal through a meter: `settle` buffers, a restart, then
// `measured` buffers, whose equivalent levels the meter then holds.
void Measure(TSoundLevelMeter& meter, const TSignal& signal, double settleSeconds, double measuredSeconds) {
    const long settle = std::lround(settleSeconds / BufferSeconds);
    const long measured = std::lround(measuredSeconds / BufferSeconds);
    for (long b = 0; b < settle; ++b) meter.Process(signal.Buffer(b).data(), BufferLength);
    meter.Restart();
    for (long b = settle; b < settle + measured; ++b) meter.Process(signal.Buffer(b).data(), BufferLength);
}

double PowerSum(const TSoundLevelMeter& meter, TBandSet set) {
    double sum = 0.0;
    for (int band = 0; band < BandCount(set); ++band)
        sum += std::pow(10.0, meter.BandLevel(set, band, TWeighting::Z, TLevelTime::Leq) / 10.0);
    return 10.0 * std::log10(sum);
}

class SoundLevelTest : public ::testing::Test {
protected:
    std::unique_ptr<TSoundLevelMeter> meter = std::make_unique<TSoundLevelMeter>();
};

// The weighting's values at the nominal frequencies of IEC 61672-1, which
// stand for the exact 1000 * 10^(x / 10) Hz (its table, rounded to 0.1 dB).
TEST(WeightingTest, AnalyticWeightingMatchesTheStandardsTable) {
    struct TCase {
        int X;  // the frequency's band number
        double A, C;
    };
    const TCase cases[] = {{-20, -70.4, -14.3}, {-17, -50.5, -6.2}, {-15, -39.4, -3.0}, {-12, -26.2, -0.8},
                           {-9, -16.1, -0.2},   {-6, -8.6, 0.0},    {-3, -3.2, 0.0},    {0, 0.0, 0.0},
                           {3, 1.2, -0.2},      {6, 1.0, -0.8},     {9, -1.1, -3.0},    {10, -2.5, -4.4},
                           {12, -6.6, -8.5},    {13, -9.3, -11.2}};
    for (const TCase& c : cases) {
        const double hz = 1000.0 * std::pow(10.0, c.X / 10.0);
        EXPECT_NEAR(WeightingDb(TWeighting::A, hz), c.A, 0.051) << hz << " Hz";
        EXPECT_NEAR(WeightingDb(TWeighting::C, hz), c.C, 0.051) << hz << " Hz";
        EXPECT_EQ(WeightingDb(TWeighting::Z, hz), 0.0);
    }
    EXPECT_NEAR(WeightingDb(TWeighting::A, 1000.0), 0.0, 1e-12);
    EXPECT_NEAR(WeightingDb(TWeighting::C, 1000.0), 0.0, 1e-12);
}

// A tone of known level reads that level plus the weighting, in every
// weighting: within 0.1 dB up to 16 kHz, 0.3 dB above.
TEST_F(SoundLevelTest, WeightedToneReadsItsLevelPlusTheWeighting) {
    const double frequencies[] = {20.0,   25.0,   31.5,   50.0,    80.0,    125.0,   250.0,   500.0,   1000.0,
                                  2000.0, 3150.0, 5000.0, 8000.0, 10000.0, 12500.0, 16000.0, 18000.0, 20000.0};
    const TWeighting weightings[] = {TWeighting::A, TWeighting::C, TWeighting::Z};
    for (double hz : frequencies) {
        TSignal tone;
        tone.AddTone(hz, ToneDbfs);
        Measure(*meter, tone, 0.5, 3.0);
        for (TWeighting w : weightings) {
            const double tolerance = hz <= 16000.0 ? 0.1 : 0.3;
            EXPECT_NEAR(meter->Level(w, TLevelTime::Leq), ToneDbfs + WeightingDb(w, hz), tolerance)
                << hz << " Hz, weighting " << static_cast<int>(w);
        }
    }
}

TEST(BandTest, BandsHaveTheirBase10MidbandsAndNominalNames) {
    EXPECT_EQ(BandCount(TBandSet::Octave), 10);
    EXPECT_EQ(BandCount(TBandSet::ThirdOctave), 30);
    struct TCase {
        TBandSet Set;
        int Band;
        double Hz;
        const char* Name;
    };
    const TCase cases[] = {{TBandSet::ThirdOctave, 0, 25.119, "25"},     {TBandSet::ThirdOctave, 1, 31.623, "31.5"},
                           {TBandSet::ThirdOctave, 16, 1000.0, "1000"},  {TBandSet::ThirdOctave, 21, 3162.3, "3150"},
                           {TBandSet::ThirdOctave, 29, 19953.0, "20000"}, {TBandSet::Octave, 0, 31.623, "31.5"},
                           {TBandSet::Octave, 5, 1000.0, "1000"},        {TBandSet::Octave, 9, 15849.0, "16000"}};
    for (const TCase& c : cases) {
        EXPECT_NEAR(BandMidband(c.Set, c.Band), c.Hz, c.Hz * 1e-4) << c.Name;
        EXPECT_STREQ(BandName(c.Set, c.Band), c.Name);
    }
}

// Every band of both sets: a tone at its midband reads its level there,
// and the power sum over the set's bands is the tone's level.
TEST_F(SoundLevelTest, MidbandToneReadsItsLevelInItsBand) {
    for (TBandSet set : {TBandSet::ThirdOctave, TBandSet::Octave}) {
        for (int band = 0; band < BandCount(set); ++band) {
            TSignal tone;
            tone.AddTone(BandMidband(set, band), ToneDbfs);
            Measure(*meter, tone, 1.0, 3.0);
            EXPECT_NEAR(meter->BandLevel(set, band, TWeighting::Z, TLevelTime::Leq), ToneDbfs, 0.1)
                << BandName(set, band);
            EXPECT_NEAR(meter->BandLevel(set, band, TWeighting::A, TLevelTime::Leq),
                        ToneDbfs + WeightingDb(TWeighting::A, BandMidband(set, band)), 0.1)
                << BandName(set, band);
        }
    }
}

// Tones between the midbands, at the band edges included.
TEST_F(SoundLevelTest, BandsSumToTheLevelOfAnyTone) {
    for (double hz = 50.0; hz <= 16000.0; hz *= std::pow(10.0, 1.0 / 60.0)) {
        TSignal tone;
        tone.AddTone(hz, ToneDbfs);
        Measure(*meter, tone, 1.0, 2.0);
        EXPECT_NEAR(PowerSum(*meter, TBandSet::ThirdOctave), ToneDbfs, 0.5) << hz << " Hz";
        EXPECT_NEAR(PowerSum(*meter, TBandSet::Octave), ToneDbfs, 0.5) << hz << " Hz";
    }
}

// A pink spectrum: equal tones evenly spaced in log frequency from 16 Hz
// to Nyquist, TonesPerThird in every third octave, with random phases. It
// has the equal power per relative bandwidth of pink noise without the
// scatter of 10 s of random noise in the narrow low bands (about 0.6 dB in
// the 25 Hz band).
TEST_F(SoundLevelTest, PinkSpectrumReadsEqualThirdOctaveLevels) {
    constexpr int TonesPerThird = 12;
    constexpr double ToneDbfsEach = -45.0;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> phase(0.0, 2.0 * std::numbers::pi);
    TSignal pink;
    for (double hz = 16.0; hz < Rate / 2.0; hz *= std::pow(10.0, 0.1 / TonesPerThird))
        pink.AddTone(hz, ToneDbfsEach, phase(random));
    Measure(*meter, pink, 1.0, 10.0);
    const double expected = ToneDbfsEach + 10.0 * std::log10(TonesPerThird);
    for (int band = 0; band < BandCount(TBandSet::ThirdOctave); ++band)
        EXPECT_NEAR(meter->BandLevel(TBandSet::ThirdOctave, band, TWeighting::Z, TLevelTime::Leq), expected, 0.5)
            << BandName(TBandSet::ThirdOctave, band);
}

// A step from silence to a steady tone at a buffer's boundary, and back:
// Fast and Slow rise as 1 - e^(-t / tau) and fall by 34.7 and 4.3 dB/s, the
// equivalent level holds the mean since the restart. The tone fills whole
// periods of a buffer, so each buffer's mean square is exact.
TEST_F(SoundLevelTest, TimeWeightingsFollowAStep) {
    TSignal tone;
    tone.AddTone(93.0 * Rate / BufferLength, ToneDbfs);
    const std::vector<std::int16_t> silence(BufferLength, 0);
    meter->Process(silence.data(), BufferLength);
    meter->Restart();
    EXPECT_EQ(meter->Level(TWeighting::Z, TLevelTime::Leq), -std::numeric_limits<double>::infinity());
    struct TCase {
        int ToneBuffers, SilentBuffers;
    };
    const TCase cases[] = {{1, 0}, {2, 0}, {5, 0}, {30, 0}, {30, 1}, {30, 3}, {30, 11}};
    for (const TCase& c : cases) {
        meter->Restart();
        for (int b = 0; b < c.ToneBuffers; ++b) meter->Process(tone.Buffer(b).data(), BufferLength);
        for (int b = 0; b < c.SilentBuffers; ++b) meter->Process(silence.data(), BufferLength);
        const double on = c.ToneBuffers * BufferSeconds, off = c.SilentBuffers * BufferSeconds;
        const auto expected = [&](double tau) {
            return ToneDbfs + 10.0 * std::log10(1.0 - std::exp(-on / tau)) - 10.0 * std::log10(std::numbers::e) * off / tau;
        };
        const char* name = c.SilentBuffers == 0 ? "rising" : "falling";
        EXPECT_NEAR(meter->Level(TWeighting::Z, TLevelTime::Fast), expected(0.125), 0.01) << name << c.ToneBuffers;
        EXPECT_NEAR(meter->Level(TWeighting::Z, TLevelTime::Slow), expected(1.0), 0.01) << name << c.ToneBuffers;
        EXPECT_NEAR(meter->Level(TWeighting::Z, TLevelTime::Leq),
                    ToneDbfs + 10.0 * std::log10(static_cast<double>(c.ToneBuffers) / (c.ToneBuffers + c.SilentBuffers)), 0.01)
            << name << c.ToneBuffers;
        if (c.SilentBuffers == 0)
            EXPECT_NEAR(meter->Level(TWeighting::Z, TLevelTime::Buffer), ToneDbfs, 0.01) << name << c.ToneBuffers;
        else
            EXPECT_EQ(meter->Level(TWeighting::Z, TLevelTime::Buffer), -std::numeric_limits<double>::infinity());
    }
}

// The decay rates the standard names, from a tone's steady Fast and Slow
// levels.
TEST_F(SoundLevelTest, FastAndSlowDecayAtTheStandardsRates) {
    TSignal tone;
    tone.AddTone(1000.0, ToneDbfs);
    Measure(*meter, tone, 0.0, 10.0);
    const double fast = meter->Level(TWeighting::Z, TLevelTime::Fast);
    const double slow = meter->Level(TWeighting::Z, TLevelTime::Slow);
    const std::vector<std::int16_t> silence(BufferLength, 0);
    for (int b = 0; b < 5; ++b) meter->Process(silence.data(), BufferLength);
    const double seconds = 5 * BufferSeconds;
    EXPECT_NEAR((fast - meter->Level(TWeighting::Z, TLevelTime::Fast)) / seconds, 34.7, 0.1);
    EXPECT_NEAR((slow - meter->Level(TWeighting::Z, TLevelTime::Slow)) / seconds, 4.3, 0.1);
}

TEST_F(SoundLevelTest, SilenceReadsMinusInfinityEverywhere) {
    const std::vector<std::int16_t> silence(BufferLength, 0);
    meter->Process(silence.data(), BufferLength);
    for (TLevelTime t : {TLevelTime::Buffer, TLevelTime::Fast, TLevelTime::Slow, TLevelTime::Leq}) {
        EXPECT_EQ(meter->Level(TWeighting::A, t), -std::numeric_limits<double>::infinity());
        EXPECT_EQ(meter->BandLevel(TBandSet::Octave, 3, TWeighting::C, t), -std::numeric_limits<double>::infinity());
    }
}

// Buffers of any length, longer than the meter's chunk included.
TEST_F(SoundLevelTest, ProcessAllocatesNothing) {
    TSignal tone;
    tone.AddTone(440.0, ToneDbfs);
    std::vector<std::int16_t> samples;
    for (long b = 0; b < 3; ++b) {
        const std::vector<std::int16_t> buffer = tone.Buffer(b);
        samples.insert(samples.end(), buffer.begin(), buffer.end());
    }
    const int allocations = test::CountAllocations([&] {
        meter->Process(samples.data(), 1000);
        meter->Process(samples.data() + 1000, static_cast<int>(samples.size()) - 1000);
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_NEAR(meter->Level(TWeighting::Z, TLevelTime::Buffer), ToneDbfs, 0.05);
}

}  // namespace
