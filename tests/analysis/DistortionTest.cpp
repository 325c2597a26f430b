// Distortion and noise figures of generated 16-bit signals whose content is
// known: a tone, chosen harmonics and Gaussian noise. The true figures
// follow from the amplitudes and the noise's variance (plus the rounding's
// 1/12 LSB^2); the band holds (20000 - 20) / 22050 of white noise.
//
// Noise makes every estimate scatter from buffer to buffer: a tone whose
// power stands R above the noise in its 15 bins reads with a spread of
// about 4.34 sqrt(2 * 2.63 / (15 R)) dB (2.63 bins being the window's
// noise bandwidth), 0.25 dB at 20 dB. So single buffers are held to the
// accuracy where tones stand 30 dB above their noise, and the median of a
// steady signal's buffers where they stand 20 dB above it.
//
// A fundamental too low for one buffer is measured in the record of four:
// its results are those of records, each taken once per record interval,
// and its bins are four times narrower than a buffer's.
#include "support/AllocationCounter.h"
#include "analysis/Distortion.h"
#include "analysis/Measurements.h"
#include "analysis/PowerAverage.h"
#include "analysis/Spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

using namespace wellenschau;

namespace {

constexpr double Rate = 44100.0;
constexpr double FullScale = 32768.0;
constexpr double BandShare = (20000.0 - 20.0) / 22050.0;
constexpr double RoundingVariance = 1.0 / 12.0;
constexpr int Buffers = 7;

struct THarmonicLevel {
    int Order;
    double Dbc;
};

struct TSignal {
    double Hz;
    double Dbfs;
    std::vector<THarmonicLevel> Harmonics;
    double NoiseLsb;  // standard deviation of the added noise
};

double Amplitude(const TSignal& s) { return FullScale * std::pow(10.0, s.Dbfs / 20.0); }
double Db(double powerRatio) { return 10.0 * std::log10(powerRatio); }

bool InBand(const TSignal& s, int order) { return order * s.Hz <= 20000.0; }

// The length of the transform that measures the signal.
int TransformLength(const TSignal& s) {
    return s.Hz < LowestFundamentalBins * Rate / DistortionLength ? DistortionRecordLength : DistortionLength;
}
double BinWidth(const TSignal& s) { return Rate / TransformLength(s); }

// Buffer `index` of the steady signal, each with its own noise.
std::vector<char> Buffer(const TSignal& s, int index) {
    std::mt19937 random(static_cast<unsigned>(index + 1));
    std::normal_distribution<double> noise(0.0, s.NoiseLsb);
    std::vector<char> bytes(2 * DistortionLength);
    for (int i = 0; i < DistortionLength; ++i) {
        const double t = (static_cast<double>(index) * DistortionLength + i) / Rate;
        double value = Amplitude(s) * std::sin(2.0 * std::numbers::pi * s.Hz * t + 0.3);
        // Harmonics above the band are left out: they would fold back.
        for (const THarmonicLevel& h : s.Harmonics)
            if (InBand(s, h.Order))
                value += Amplitude(s) * std::pow(10.0, h.Dbc / 20.0) *
                     std::sin(2.0 * std::numbers::pi * h.Order * s.Hz * t + 0.7 * h.Order);
        if (s.NoiseLsb > 0.0) value += noise(random);
        const long rounded = std::lround(value);
        EXPECT_TRUE(rounded >= -32768 && rounded <= 32767) << "the test signal clips";
        const auto sample = static_cast<std::int16_t>(std::clamp(rounded, -32768L, 32767L));
        bytes[2 * i] = static_cast<char>(sample & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((sample >> 8) & 0xFF);
    }
    return bytes;
}

// True figures of a signal, as power ratios.
struct TTruth {
    double FundamentalPower;
    double HarmonicPower;  // of the harmonics in the band
    double NoisePower;     // in the band
    double NoisePerBin;    // of one bin's width
    double FloorPower;     // the rounding's share of the band
};

TTruth TruthOf(const TSignal& s) {
    TTruth t{};
    t.FundamentalPower = Amplitude(s) * Amplitude(s) / 2.0;
    for (const THarmonicLevel& h : s.Harmonics)
        if (InBand(s, h.Order)) t.HarmonicPower += t.FundamentalPower * std::pow(10.0, h.Dbc / 10.0);
    const double variance = s.NoiseLsb * s.NoiseLsb + RoundingVariance;
    t.NoisePower = variance * BandShare;
    t.NoisePerBin = variance / (TransformLength(s) / 2);
    t.FloorPower = RoundingVariance * BandShare;
    return t;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A harmonic stands this far above the noise in its own bins.
double AboveNoiseDb(const TSignal& s, const THarmonicLevel& h) {
    const TTruth t = TruthOf(s);
    return Db(t.FundamentalPower * std::pow(10.0, h.Dbc / 10.0) / (t.NoisePerBin * (2 * ToneHalfWidthBins + 1)));
}

bool AllAbove(const TSignal& s, double db) {
    return std::all_of(s.Harmonics.begin(), s.Harmonics.end(),
                       [&](const THarmonicLevel& h) { return !InBand(s, h.Order) || AboveNoiseDb(s, h) >= db; });
}

// The fundamental's frequency and level scatter with the noise beside it:
// its bins' spread of about sqrt(3) bins times the noise-to-tone amplitude
// ratio, and the level as above; four times that is allowed.
double NoiseToTone(const TSignal& s) {
    const TTruth t = TruthOf(s);
    return t.NoisePerBin / t.FundamentalPower;
}
double HzTolerance(const TSignal& s) { return 0.01 + 4.0 * BinWidth(s) * std::sqrt(3.0 * NoiseToTone(s)); }
double DbfsTolerance(const TSignal& s) { return 0.05 + 4.0 * 4.343 * std::sqrt(2.0 * 2.63 * NoiseToTone(s)); }

void ExpectFinite(const TDistortion& d) {
    for (double v : {d.FundamentalHz, d.FundamentalDbfs, d.ThdPlusNoise.Db, d.Snr.Db, d.Sinad.Db, d.Enob.Db})
        EXPECT_TRUE(std::isfinite(v));
}

// Each harmonic: measured within 0.3 dB where it stands aboveDb above its
// noise (down to -90 dBc); a bound where it is absent.
void ExpectHarmonics(const TSignal& s, const TDistortion& d, double aboveDb) {
    for (int i = 0; i < d.HarmonicCount; ++i) {
        const THarmonic& h = d.Harmonics[i];
        EXPECT_NEAR(h.Hz, h.Order * s.Hz, h.Order * HzTolerance(s));
        const auto given = std::find_if(s.Harmonics.begin(), s.Harmonics.end(),
                                        [&](const THarmonicLevel& g) { return g.Order == h.Order; });
        if (given == s.Harmonics.end()) {
            EXPECT_TRUE(h.LevelDbc.OnlyBound) << "H" << h.Order;
        } else if (AboveNoiseDb(s, *given) >= aboveDb && given->Dbc >= -90.0) {
            EXPECT_FALSE(h.LevelDbc.OnlyBound) << "H" << h.Order;
            EXPECT_NEAR(h.LevelDbc.Db, given->Dbc, 0.3) << "H" << h.Order;
        }
    }
}

// Each figure's median over the buffers; a harmonic counts as a bound when
// most buffers bound it.
TDistortion MedianFigures(const std::vector<TDistortion>& results) {
    const auto median = [&](auto figure) {
        std::vector<double> values;
        for (const TDistortion& d : results) values.push_back(figure(d));
        return Median(values);
    };
    TDistortion m = results.front();
    for (int i = 0; i < m.HarmonicCount; ++i) {
        m.Harmonics[i].LevelDbc.Db = median([&](const TDistortion& d) { return d.Harmonics[i].LevelDbc.Db; });
        m.Harmonics[i].LevelDbc.OnlyBound =
            2 * std::count_if(results.begin(), results.end(),
                              [&](const TDistortion& d) { return d.Harmonics[i].LevelDbc.OnlyBound; }) >
            static_cast<long>(results.size());
    }
    m.Thd->Db = median([](const TDistortion& d) { return d.Thd->Db; });
    m.ThdPlusNoise.Db = median([](const TDistortion& d) { return d.ThdPlusNoise.Db; });
    m.Snr.Db = median([](const TDistortion& d) { return d.Snr.Db; });
    return m;
}

// The figures of result `index` of a steady signal: of its buffer, or of
// the record analysed within its record interval.
std::optional<TDistortion> FiguresAt(TDistortionAnalyser& analyser, const TSignal& s, int index) {
    const int buffers = TransformLength(s) == DistortionLength ? 1 : DistortionRecordInterval;
    std::optional<TDistortion> d;
    for (int b = index * buffers; b < (index + 1) * buffers; ++b) d = analyser.AnalyseBuffer(Buffer(s, b).data());
    return d;
}

// Figures of Buffers results of a steady signal against its truth, each
// result and the medians: THD within 0.2 dB where it lies 10 dB above the
// rounding's floor and its harmonics stand high enough above their noise;
// THD+N within 0.2 dB (median) where it lies 10 dB above the floor; SNR
// within 0.3 dB (median); both within 0.5 dB in every result.
void ExpectFigures(const TSignal& s) {
    auto analyser = std::make_unique<TDistortionAnalyser>(Rate);
    const TTruth t = TruthOf(s);
    const double floorDb = Db(t.FloorPower / t.FundamentalPower);
    const double thdDb = Db(t.HarmonicPower / t.FundamentalPower);
    const double thdnDb = Db((t.HarmonicPower + t.NoisePower) / (t.FundamentalPower + t.HarmonicPower + t.NoisePower));
    const double snrDb = Db(t.FundamentalPower / t.NoisePower);
    const bool thdAboveFloor = !s.Harmonics.empty() && thdDb >= floorDb + 10.0;
    std::vector<TDistortion> results;
    for (int b = 0; b < Buffers; ++b) {
        const std::optional<TDistortion> d = FiguresAt(*analyser, s, b);
        ASSERT_TRUE(d && d->Thd);
        results.push_back(*d);
        ExpectFinite(*d);
        EXPECT_NEAR(d->FundamentalHz, s.Hz, HzTolerance(s));
        EXPECT_NEAR(d->FundamentalDbfs, s.Dbfs, DbfsTolerance(s));
        ExpectHarmonics(s, *d, 30.0);
        if (thdAboveFloor && AllAbove(s, 30.0)) {
            EXPECT_FALSE(d->Thd->OnlyBound);
            EXPECT_NEAR(d->Thd->Db, thdDb, 0.2);
        }
        if (s.Harmonics.empty()) {
            EXPECT_TRUE(d->Thd->OnlyBound);
        }
        EXPECT_NEAR(d->Snr.Db, snrDb, 0.5);
        EXPECT_NEAR(d->ThdPlusNoise.Db, thdnDb, 0.5);
        EXPECT_EQ(d->Sinad.Db, -d->ThdPlusNoise.Db);
    }
    const TDistortion median = MedianFigures(results);
    SCOPED_TRACE("medians");
    ExpectHarmonics(s, median, 20.0);
    if (thdAboveFloor && AllAbove(s, 20.0)) {
        EXPECT_NEAR(median.Thd->Db, thdDb, 0.2);
    }
    EXPECT_NEAR(median.Snr.Db, snrDb, 0.3);
    if (thdnDb >= floorDb + 10.0) {
        EXPECT_NEAR(median.ThdPlusNoise.Db, thdnDb, 0.2);
    }
}

class DistortionTest : public ::testing::Test {
protected:
    std::unique_ptr<TDistortionAnalyser> analyser = std::make_unique<TDistortionAnalyser>(Rate);
};

// Fundamentals from 50 Hz to 5 kHz, levels from -1 to -40 dBFS, harmonic
// sets from -40 to -100 dBc, light and heavy noise.
TEST_F(DistortionTest, FiguresMatchTheGeneratedSignal) {
    const std::vector<std::vector<THarmonicLevel>> harmonicSets = {
        {}, {{2, -40.0}}, {{2, -60.0}, {3, -70.0}, {5, -90.0}}, {{2, -80.0}, {7, -85.0}, {10, -90.0}},
        {{2, -100.0}, {3, -100.0}}};
    for (double hz : {50.0, 60.0, 97.0, 157.0, 440.3, 997.0, 2500.5, 4990.0})
        for (double dbfs : {-1.0, -20.0, -40.0})
            for (const auto& harmonics : harmonicSets)
                for (double noiseLsb : {1.0, 30.0}) {
                    SCOPED_TRACE(::testing::Message() << hz << " Hz " << dbfs << " dBFS, " << harmonics.size()
                                                      << " harmonics, noise " << noiseLsb << " LSB");
                    ExpectFigures({hz, dbfs, harmonics, noiseLsb});
                }
}

// An undithered full-scale sine: THD+N is the rounding's floor in the band.
TEST_F(DistortionTest, FullScaleSineReadsTheQuantisationFloor) {
    const TSignal s{997.0, 20.0 * std::log10(32767.0 / FullScale), {}, 0.0};
    const std::optional<TDistortion> d = analyser->AnalyseBuffer(Buffer(s, 0).data());
    ASSERT_TRUE(d);
    const TTruth t = TruthOf(s);
    EXPECT_NEAR(d->ThdPlusNoise.Db, Db(t.FloorPower / t.FundamentalPower), 0.5);
    EXPECT_NEAR(d->Enob.Db, 16.0, 0.2);
}

// The fundamental agrees with the measurements' dominant tone.
TEST_F(DistortionTest, FundamentalAgreesWithTheDominantTone) {
    auto state = std::make_unique<AnalysisState>();
    SetupAnalysis(*state, 300);
    for (double hz : {157.0, 1234.5, 9876.5}) {
        const std::vector<char> buffer = Buffer({hz, -6.0, {}, 0.0}, 0);
        WindowAndTransform(*state, buffer.data(), FftFrameLength);
        ComputeRowLevels(*state, FftFrameLength);
        const TMeasurements m = Measure(*state, buffer.data(), FftFrameLength);
        const std::optional<TDistortion> d = analyser->AnalyseBuffer(buffer.data());
        ASSERT_TRUE(d && m.DominantHz);
        EXPECT_NEAR(d->FundamentalHz, *m.DominantHz, 0.01) << hz;
    }
}

// Silence, noise alone and a fundamental too low for one buffer, before a
// record's worth of buffers has arrived, give no figures.
TEST_F(DistortionTest, NoToneGivesNoFigures) {
    const std::vector<char> silence(2 * DistortionLength, 0);
    EXPECT_FALSE(analyser->AnalyseBuffer(silence.data()));
    EXPECT_FALSE(analyser->AnalyseBuffer(Buffer({1000.0, -200.0, {}, 300.0}, 0).data()));
    EXPECT_FALSE(analyser->AnalyseBuffer(Buffer({100.0, -6.0, {}, 1.0}, 0).data()));
}

// The figures of a linear average of buffers of a steady signal: the noise
// of sixteen buffers reads within 0.15 dB of its variance.
TEST_F(DistortionTest, AveragedSpectrumGivesSteadierFigures) {
    const TSignal s{1000.0, -10.0, {{3, -50.0}}, 20.0};
    TPowerAverage average(DistortionBins);
    average.SetLinear(16);
    for (int b = 0; b < 16; ++b) {
        analyser->Transform(Buffer(s, b).data());
        average.Add(analyser->Power());
    }
    const std::optional<TDistortion> d = analyser->Analyse(average.Average());
    ASSERT_TRUE(d);
    const TTruth t = TruthOf(s);
    EXPECT_NEAR(d->Snr.Db, Db(t.FundamentalPower / t.NoisePower), 0.15);
    EXPECT_NEAR(d->Harmonics[1].LevelDbc.Db, -50.0, 0.1);
}

// Buffers of a high and of a low fundamental, the latter through records.
TEST_F(DistortionTest, PerBufferPathAllocatesNothing) {
    const std::vector<char> buffer = Buffer({997.0, -3.0, {{2, -60.0}}, 2.0}, 0);
    std::vector<std::vector<char>> low;
    for (int b = 0; b < 2 * DistortionRecordInterval; ++b) low.push_back(Buffer({50.0, -3.0, {{2, -60.0}}, 2.0}, b));
    TPowerAverage average(DistortionBins);
    average.SetLinear(4);
    double sink = 0.0;
    const int allocations = test::CountAllocations([&] {
        for (int b = 0; b < 6; ++b) {
            sink += analyser->AnalyseBuffer(buffer.data())->Snr.Db;
            average.Add(analyser->Power());
            sink += analyser->Analyse(average.Average())->Snr.Db;
        }
        for (const std::vector<char>& b : low) sink += analyser->AnalyseBuffer(b.data()).value_or(TDistortion{}).Snr.Db;
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_TRUE(std::isfinite(sink));
}

}  // namespace
