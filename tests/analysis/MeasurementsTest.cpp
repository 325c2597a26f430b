// The numbers a user reads off the analyser, on generated tones whose
// frequency and level are known: one tone, a tone with a weaker second one
// nearby, silence and clipping.
#include "analysis/Measurements.h"
#include "analysis/Spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

using namespace wellenschau;

namespace {

struct TTone {
    double Hz;
    double Dbfs;
};

// One buffer of 16-bit samples holding the sum of the tones, rounded.
std::vector<char> Buffer(const std::vector<TTone>& tones) {
    std::vector<char> bytes(2 * FftFrameLength);
    for (int i = 0; i < FftFrameLength; ++i) {
        double value = 0.0;
        for (const TTone& tone : tones)
            value += std::pow(10.0, tone.Dbfs / 20.0) * 32767.0 *
                     std::sin(2.0 * std::numbers::pi * tone.Hz * i / 44100.0 + 0.3);
        const auto sample = static_cast<std::int16_t>(std::clamp(std::lround(value), -32768L, 32767L));
        bytes[2 * i] = static_cast<char>(sample & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((sample >> 8) & 0xFF);
    }
    return bytes;
}

class TNoPoints final : public TPointSink {
public:
    void AddPoint(double, double) override {}
};

class TNoCaption final : public TBackgroundCaption {
public:
    void SetCaption(const char*) override {}
};

class MeasurementsTest : public ::testing::Test {
protected:
    MeasurementsTest() { SetupAnalysis(*state, 300); }

    TMeasurements MeasureBuffer(const std::vector<char>& buffer) {
        AnalyseSpectrum(*state, buffer.data(), FftFrameLength, points, caption);
        return Measure(*state, buffer.data(), FftFrameLength);
    }

    std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
    TNoPoints points;
    TNoCaption caption;
};

// 0.01 Hz; at -60 dBFS a tone spans only 66 steps of 16 bits, and the
// rounding's distortion products next to it can pull the estimate a
// little further (0.011 Hz at 9876.5 Hz).
double HzTolerance(double dbfs) { return dbfs > -50.0 ? 0.01 : 0.015; }

TEST_F(MeasurementsTest, SteadyToneFrequencyAndLevel) {
    const double binWidth = 44100.0 / FftFrameLength;
    for (double hz : {50.0, 97.3, 440.0, 1000.0, 3001.7, 9876.5, 15000.0}) {
        for (double dbfs : {-1.0, -20.0, -45.5, -60.0}) {
            for (bool second : {false, true}) {
                std::vector<TTone> tones{{hz, dbfs}};
                // A second tone 20 dB weaker, 8.5 bins away.
                if (second) tones.push_back({hz < 10000 ? hz + 8.5 * binWidth : hz - 8.5 * binWidth, dbfs - 20});
                const TMeasurements m = MeasureBuffer(Buffer(tones));
                ASSERT_TRUE(m.DominantHz && m.DominantDbfs);
                EXPECT_NEAR(*m.DominantHz, hz, HzTolerance(dbfs)) << hz << " Hz " << dbfs << " dBFS second " << second;
                EXPECT_NEAR(*m.DominantDbfs, dbfs, 0.05) << hz << " Hz " << dbfs << " dBFS second " << second;
            }
        }
    }
}

TEST_F(MeasurementsTest, RmsAndPeakOfAFullScaleSine) {
    const TMeasurements m = MeasureBuffer(Buffer({{1000.0, 0.0}}));
    ASSERT_TRUE(m.RmsDbfs);
    EXPECT_NEAR(*m.RmsDbfs, 0.0, 0.01);
    EXPECT_NEAR(m.PeakPercent, 100.0, 0.01);
    EXPECT_NEAR(*m.DominantDbfs, 0.0, 0.05);
}

TEST_F(MeasurementsTest, SilenceHasNoLevelAndNoFrequency) {
    const TMeasurements m = MeasureBuffer(std::vector<char>(2 * FftFrameLength, 0));
    EXPECT_FALSE(m.RmsDbfs);
    EXPECT_FALSE(m.DominantHz);
    EXPECT_FALSE(m.DominantDbfs);
    EXPECT_EQ(m.PeakPercent, 0.0);
}

TEST_F(MeasurementsTest, ClippedBufferPeaksAtOneHundredPercent) {
    for (double dbfs : {6.0, 20.0}) {
        const TMeasurements m = MeasureBuffer(Buffer({{440.0, dbfs}}));
        EXPECT_EQ(m.PeakPercent, 100.0) << dbfs;
    }
    std::vector<char> negative(2 * FftFrameLength, 0);
    negative[1] = static_cast<char>(0x80);  // one sample of -32768
    EXPECT_EQ(MeasureBuffer(negative).PeakPercent, 100.0);
}

TEST(NoteTest, NearestNoteAndCents) {
    const struct {
        double Hz;
        int Midi;
        double Cents;
    } cases[] = {{440.0, 69, 0.0}, {261.6256, 60, 0.0}, {27.5, 21, 0.0}, {446.0, 69, 23.45}, {453.0, 70, -49.59}};
    for (const auto& c : cases) {
        const TNote note = NoteOf(c.Hz);
        EXPECT_EQ(note.Midi, c.Midi) << c.Hz;
        EXPECT_NEAR(note.Cents, c.Cents, 0.01) << c.Hz;
    }
}

}  // namespace
