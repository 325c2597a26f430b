#include "support/AllocationCounter.h"
#include "BitHash.h"
#include "analysis/AnalysisState.h"
#include "analysis/PointSink.h"
#include "analysis/Spectrogram.h"
#include "analysis/Spectrum.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <string_view>
#include <vector>

using namespace wellenschau;

namespace {

constexpr int Bin93 = 93;

// Keeps the points of one buffer; capacity reserved up front.
class TCollectedPoints : public TPointSink {
public:
    TCollectedPoints() { Points.reserve(FftTableSize); }
    void AddPoint(double X, double Y) override { Points.push_back({X, Y}); }
    struct TPoint {
        double X, Y;
    };
    std::vector<TPoint> Points;
};

// Remembers the captions set, without allocating.
class TRecordedCaption : public TBackgroundCaption {
public:
    void SetCaption(const char* Caption) override {
        LastCaption = Caption;
        ++Calls;
    }
    std::string_view LastCaption;
    int Calls = 0;
};

// 4096 little-endian samples of a sine exactly on FFT bin `bin`.
std::vector<char> SineBuffer(double amplitude, int bin) {
    std::vector<char> bytes(2 * FftFrameLength);
    for (int i = 0; i < FftFrameLength; ++i) {
        const auto sample = static_cast<std::int16_t>(
            std::lround(amplitude * std::sin(2.0 * std::numbers::pi * bin * i / FftFrameLength)));
        bytes[2 * i] = static_cast<char>(sample & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((sample >> 8) & 0xFF);
    }
    return bytes;
}

class SpectrumTest : public ::testing::Test {
protected:
    void SetUp() override { SetupAnalysis(*s, 300); }

    void Analyse(const std::vector<char>& buffer) {
        points.Points.clear();
        AnalyseSpectrum(*s, buffer.data(), FftFrameLength, points, caption);
    }
    double Level(int row) const { return s->RowLevel[row]; }
    int RowOfBin93() const { return s->BinRow[Bin93]; }

    std::unique_ptr<AnalysisState> s = std::make_unique<AnalysisState>();
    TCollectedPoints points;
    TRecordedCaption caption;
    const std::vector<char> silence = std::vector<char>(2 * FftFrameLength, 0);
};

TEST_F(SpectrumTest, TwoThirdsScaleSineOnABinReadsZeroDecibels) {
    Analyse(SineBuffer(21845.0, Bin93));
    EXPECT_NEAR(BinLevel(*s, Bin93), 20.0 * std::log10(2047.5 / 2048.0), 0.01);
    EXPECT_NEAR(Level(RowOfBin93()), 0.0, 0.01);
    Analyse(SineBuffer(32767.0, Bin93));
    EXPECT_NEAR(BinLevel(*s, Bin93), 20.0 * std::log10(3071.0 / 2048.0), 0.01);
    EXPECT_NEAR(Level(RowOfBin93()), 3.5, 0.05);
}

// Buffers that reach every path of the level step: tones on and between
// bins, a sweep, loud and one-step noise (bins of a row nearly equal),
// a lone click (every bin equal) and silence (magnitudes of zero).
std::vector<std::vector<char>> LevelTestBuffers() {
    std::vector<std::vector<char>> buffers;
    const auto buffer = [&](auto sample) {
        std::vector<char> bytes(2 * FftFrameLength);
        for (int i = 0; i < FftFrameLength; ++i) {
            const auto value = static_cast<std::int16_t>(sample(i));
            bytes[2 * i] = static_cast<char>(value & 0xFF);
            bytes[2 * i + 1] = static_cast<char>((value >> 8) & 0xFF);
        }
        buffers.push_back(std::move(bytes));
    };
    std::uint32_t seed = 12345;
    const auto noise = [&seed](int amplitude) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>(seed >> 16) % (2 * amplitude + 1) - amplitude;
    };
    buffers.push_back(SineBuffer(21845.0, Bin93));
    buffer([](int i) { return std::lround(9000.0 * std::sin(0.1234567 * i)); });
    buffer([](int i) { return std::lround(20000.0 * std::sin(1e-4 * i * i)); });
    buffer([&](int) { return noise(30000); });
    buffer([&](int) { return noise(1); });
    buffer([](int i) { return i == 2048 ? 32767 : 0; });
    buffers.push_back(std::vector<char>(2 * FftFrameLength, 0));
    return buffers;
}

// Every row, for every buffer of the level test and for shorter transforms
// (whose bins end inside a row or before it).
TEST_F(SpectrumTest, EachRowTakesItsLoudestBin) {
    Analyse(SineBuffer(21845.0, 1000));
    ASSERT_EQ(s->BinRow[999], s->BinRow[1000]);  // high rows hold many bins
    EXPECT_NEAR(Level(s->BinRow[1000]), 0.0, 0.01);
    for (const std::vector<char>& buffer : LevelTestBuffers())
        for (const int n : {FftFrameLength, 2048, 128}) {
            AnalyseSpectrum(*s, buffer.data(), n, points, caption);
            std::vector<double> loudest(s->RowCount, LevelFloor);
            for (int i = 0; i < n / 2; ++i)
                loudest[s->BinRow[i]] = std::max(loudest[s->BinRow[i]], BinLevel(*s, i));
            for (int r = 0; r < s->RowCount; ++r) ASSERT_EQ(Level(r), loudest[r]) << n << ": row " << r;
        }
}

TEST_F(SpectrumTest, DigitalSilenceLiesFarBelowTheScale) {
    Analyse(silence);
    for (int r = 0; r < s->RowCount; ++r) ASSERT_EQ(Level(r), LevelFloor) << r;
    EXPECT_EQ(BinLevel(*s, 0), LevelFloor);
    EXPECT_EQ(LevelColourIndex(Level(100)), 0);
}

TEST_F(SpectrumTest, SpectrumPointsLeaveOutRowZero) {
    Analyse(SineBuffer(21845.0, Bin93));
    ASSERT_EQ(points.Points.size(), 194u);
    for (int r = 1; r < s->RowCount; ++r) {
        EXPECT_EQ(points.Points[r - 1].X, s->RowFrequency[r]);
        EXPECT_EQ(points.Points[r - 1].Y, Level(r));
    }
    for (std::size_t i = 1; i < points.Points.size(); ++i) EXPECT_LT(points.Points[i - 1].X, points.Points[i].X);
}

TEST_F(SpectrumTest, PeakHoldLetsFallingLevelsDecay) {
    const int r = 10;
    s->PrevRowLevel[r] = -20.0;
    s->RowLevel[r] = -60.0;
    ApplyPeakHold(*s);
    EXPECT_NEAR(Level(r), -24.0, 1e-12);
    RememberRowLevels(*s);
    s->RowLevel[r] = -60.0;
    ApplyPeakHold(*s);
    EXPECT_NEAR(Level(r), -27.6, 1e-12);
    s->PrevRowLevel[r] = -60.0;
    s->RowLevel[r] = -20.0;
    ApplyPeakHold(*s);
    EXPECT_EQ(Level(r), -20.0);
}

TEST_F(SpectrumTest, PeakHoldDecaysFromTheLastBufferOnly) {
    Analyse(SineBuffer(21845.0, Bin93));
    Analyse(silence);  // peak display off: the loud buffer is forgotten
    s->PeakHold = true;
    Analyse(silence);
    EXPECT_EQ(Level(RowOfBin93()), LevelFloor);
    Analyse(SineBuffer(21845.0, Bin93));
    const double loud = Level(RowOfBin93());
    Analyse(silence);
    EXPECT_DOUBLE_EQ(Level(RowOfBin93()), 0.9 * loud + 0.1 * LevelFloor);
    EXPECT_EQ(s->PrevRowLevel[RowOfBin93()], Level(RowOfBin93()));
}

TEST_F(SpectrumTest, BackgroundIsLearnedOverFiftyBuffersThenSubtracted) {
    const std::vector<char> quiet = SineBuffer(21845.0 / std::pow(10.0, 1.5), Bin93);  // about -30 dB
    const std::vector<char> loud = SineBuffer(21845.0, Bin93);
    StartBackgroundLearning(*s);
    Analyse(quiet);
    const double quietLevel = s->PrevRowLevel[RowOfBin93()];
    EXPECT_NEAR(quietLevel, -30.0, 0.02);
    EXPECT_EQ(Level(RowOfBin93()), quietLevel);  // the mean of one buffer
    Analyse(silence);                           // mean of -30 and the silence floor
    EXPECT_NEAR(Level(RowOfBin93()), (quietLevel + LevelFloor) / 2, 1e-9);
    StartBackgroundLearning(*s);  // checked again: a new mean from zero
    for (int buffer = 1; buffer < BackgroundBuffers; ++buffer) {
        Analyse(quiet);
        ASSERT_TRUE(s->BackgroundLearning);
        EXPECT_NEAR(Level(RowOfBin93()), quietLevel, 1e-9);
    }
    EXPECT_EQ(caption.Calls, 0);
    Analyse(quiet);
    EXPECT_FALSE(s->BackgroundLearning);
    EXPECT_TRUE(s->BackgroundSubtract);
    EXPECT_EQ(caption.Calls, 1);
    EXPECT_EQ(caption.LastCaption, "&Hintergrundsubtraktion");
    for (const auto& point : points.Points) ASSERT_NEAR(point.Y, -80.0, 1e-9);
    Analyse(loud);
    EXPECT_NEAR(Level(RowOfBin93()), -50.0, 0.02);
    EXPECT_EQ(s->BackgroundCount, BackgroundBuffers);
    EXPECT_EQ(caption.Calls, 1);
}

TEST_F(SpectrumTest, UncheckingWhileLearningShowsLiveLevelsAgain) {
    StartBackgroundLearning(*s);
    for (int buffer = 0; buffer < 10; ++buffer) Analyse(SineBuffer(21845.0, Bin93));
    StopBackgroundTreatment(*s);
    Analyse(silence);
    EXPECT_EQ(Level(RowOfBin93()), LevelFloor);
    EXPECT_EQ(s->BackgroundCount, 10);
    EXPECT_EQ(caption.Calls, 0);
}

TEST_F(SpectrumTest, RowZeroIsLeftOutOfTheBackground) {
    s->RowLevel[0] = -12.0;
    s->RowLevel[1] = -12.0;
    s->BackgroundLevel[0] = 5.0;
    s->BackgroundCount = 3;
    LearnBackground(*s, caption);
    EXPECT_EQ(s->BackgroundLevel[0], 5.0);
    EXPECT_EQ(s->BackgroundLevel[1], -3.0);  // (3 x 0 - 12) / 4
    SubtractBackground(*s);
    EXPECT_EQ(Level(0), -12.0);
    EXPECT_EQ(Level(1), -80.0);
}

TEST_F(SpectrumTest, UnsupportedSampleCountsChangeNothing) {
    s->FftRealIn[0] = 7.0;
    EXPECT_THROW(AnalyseSpectrum(*s, silence.data(), 3000, points, caption), ERangeError);
    EXPECT_THROW(AnalyseSpectrum(*s, silence.data(), 8192, points, caption), ERangeError);
    EXPECT_THROW(AnalyseSpectrum(*s, silence.data(), 0, points, caption), ERangeError);
    EXPECT_EQ(s->FftRealIn[0], 7.0);
    EXPECT_TRUE(points.Points.empty());
}

// The row levels and the level of every bin, pinned to the last bit.
TEST_F(SpectrumTest, LevelsArePinned) {
    test::TBitHash hash;
    std::vector<double> binLevels(BinsUsed);
    for (const std::vector<char>& buffer : LevelTestBuffers()) {
        Analyse(buffer);
        hash.Add({s->RowLevel.data(), static_cast<std::size_t>(s->RowCount)});
        for (int i = 0; i < BinsUsed; ++i) binLevels[i] = BinLevel(*s, i);
        hash.Add(binLevels);
    }
    EXPECT_EQ(hash.Value(), 572900498378329375u);
}

TEST_F(SpectrumTest, PerBufferPathAllocatesNothing) {
    QImage picture;
    PrepareIndexedBitmap(picture, 304, 300, s->SpectrogramLines);
    const std::vector<char> loud = SineBuffer(21845.0, Bin93);
    s->PeakHold = true;
    StartBackgroundLearning(*s);
    const int allocations = test::CountAllocations([&] {
        for (int buffer = 0; buffer < BackgroundBuffers + 2; ++buffer) {
            points.Points.clear();
            AnalyseSpectrum(*s, loud.data(), FftFrameLength, points, caption);
            WriteSpectrogramColumn(*s, 304, 300);
        }
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(caption.Calls, 1);
}

}  // namespace
