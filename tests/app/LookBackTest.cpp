// Looking back: a kept buffer shown again gives every figure the live
// instrument showed for it, bit for bit, with the analyser view's
// settings, two channels, the peak display and the background, an edge
// trigger and settings changed while recording; keeping a buffer
// allocates nothing.
#include "app/LookBack.h"
#include "analysis/Spectrogram.h"
#include "core/Errors.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <numbers>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

constexpr double Rate = 44100.0;
// 0.1 min keeps 65 buffers: a run of 90 drops the oldest.
constexpr double Minutes = 0.1;
constexpr int Buffers = 90;

// Buffer `index` of channel `channel`: a tone that changes every five
// buffers (a low one among them, which the distortion record measures),
// its level falling and rising, with a little noise.
std::vector<std::int16_t> Signal(int index, int channel) {
    static constexpr double Tones[] = {440.0, 1000.0, 31.0, 3150.0, 7000.0, 150.0};
    const double hz = Tones[(index / 5 + channel) % 6];
    const double amplitude = 3000.0 + 2500.0 * std::sin(index * 0.7 + channel);
    std::vector<std::int16_t> samples(4096);
    std::uint32_t noise = static_cast<std::uint32_t>(index * 7919 + channel);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double t = static_cast<double>(i + 4096 * static_cast<std::size_t>(index)) / Rate;
        samples[i] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * std::numbers::pi * hz * t + channel) +
                                                           static_cast<double>(noise >> 24) - 128.0));
    }
    return samples;
}

void Add(std::vector<double>& figures, const std::optional<double>& value) {
    figures.push_back(value ? 1.0 : 0.0);
    figures.push_back(value.value_or(0.0));
}

void Add(std::vector<double>& figures, const TChartSeries& series) {
    figures.push_back(series.PointCount());
    for (int i = 0; i < series.PointCount(); ++i) figures.insert(figures.end(), {series.XValue(i), series.YValue(i)});
}

void Add(std::vector<double>& figures, const TMeasurements& m) {
    Add(figures, m.RmsDbfs);
    figures.push_back(m.PeakPercent);
    Add(figures, m.DominantHz);
    Add(figures, m.DominantDbfs);
}

void Add(std::vector<double>& figures, const std::optional<TDistortion>& d) {
    figures.push_back(d ? d->HarmonicCount : -1);
    if (!d) return;
    figures.insert(figures.end(), {d->FundamentalHz, d->FundamentalDbfs, d->ThdPlusNoise.Db, d->Snr.Db, d->Sinad.Db,
                                   d->Enob.Db, d->Thd ? d->Thd->Db : 1.0});
    for (const THarmonic& harmonic : d->Harmonics) figures.insert(figures.end(), {harmonic.Hz, harmonic.LevelDbc.Db});
}

// Every figure a view shows of the instrument's last buffer: the trace of
// both channels and its amplitude axis, the spectrum and the harmonics'
// marks, the readout's measurements and distortion, the sound levels and
// bands, channel B's figures.
std::vector<double> Shown(TInstrument& instrument) {
    std::vector<double> figures;
    for (const TChartSeries* series : {static_cast<const TChartSeries*>(&instrument.FastLineSeries1),
                                       static_cast<const TChartSeries*>(&instrument.Scope.TraceB),
                                       static_cast<const TChartSeries*>(&instrument.SLeft)})
        Add(figures, *series);
    for (const TFastLineSeries& mark : instrument.HarmonicMarks) Add(figures, mark);
    figures.insert(figures.end(), {instrument.Chart2.LeftAxis().Minimum(), instrument.Chart2.LeftAxis().Maximum()});
    Add(figures, instrument.LastMeasurements());
    Add(figures, instrument.LastDistortion());
    const TSoundLevelMeter& meter = instrument.SoundLevel();
    for (const TWeighting w : {TWeighting::A, TWeighting::C, TWeighting::Z})
        for (const TLevelTime t : {TLevelTime::Buffer, TLevelTime::Fast, TLevelTime::Slow, TLevelTime::Leq})
            figures.push_back(meter.Level(w, t));
    for (int band = 0; band < BandCount(TBandSet::ThirdOctave); ++band)
        figures.push_back(meter.BandLevel(TBandSet::ThirdOctave, band, TWeighting::Z, TLevelTime::Fast));
    if (const std::optional<TChannelBFigures> b = instrument.LastChannelB()) {
        Add(figures, b->Measurements);
        Add(figures, b->Distortion);
        Add(figures, b->PhaseDegrees);
    }
    return figures;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

struct TLookBackCase {
    const char* Name;
    int Channels;
    // Settings before the first buffer, and a change at buffer `ChangeAt`.
    std::function<void(TInstrument&)> Settings;
    int ChangeAt;
    std::function<void(TInstrument&)> Change;
};

void AnalyserView(TInstrument& instrument) {
    instrument.SetSoundLevel(true);
    instrument.SetHarmonicMarks(true);
}

const TLookBackCase Cases[] = {
    {"analyser view", 1, AnalyserView, 0, [](TInstrument&) {}},
    {"two channels", 2, AnalyserView, 0, [](TInstrument&) {}},
    {"peak display and background", 1,
     [](TInstrument& i) {
         AnalyserView(i);
         i.SetPeakHold(true);
         i.SetBackgroundSubtraction(true);
     },
     0, [](TInstrument&) {}},
    {"edge trigger on B, changes while recording", 2,
     [](TInstrument& i) {
         AnalyserView(i);
         i.SetScope({.Trigger = TTriggerMode::Edge, .LevelPercent = 5, .Source = TTriggerSource::B,
                     .PositionPercent = 30});
     },
     61,
     [](TInstrument& i) {
         i.SetPeakHold(true);
         i.SetScope({.Trigger = TTriggerMode::Edge, .LevelPercent = -3, .PositionPercent = 50, .MsPerDivision = 2});
         i.RestartSoundLevel();
     }},
};

void PrintTo(const TLookBackCase& c, std::ostream* out) { *out << c.Name; }

class LookBackTest : public testing::TestWithParam<TLookBackCase> {};

TEST_P(LookBackTest, KeptBuffersShowAsTheyShowedLive) {
    const TLookBackCase& c = GetParam();
    const auto live = std::make_unique<TInstrument>();
    live->SetTwoChannels(c.Channels == 2);
    c.Settings(*live);
    TLookBack lookBack(*live, Minutes, c.Channels);
    std::map<std::int64_t, std::vector<double>> shownLive;
    for (int buffer = 0; buffer < Buffers; ++buffer) {
        if (buffer == c.ChangeAt) c.Change(*live);
        const std::vector<std::int16_t> a = Signal(buffer, 0), b = Signal(buffer, 1);
        live->HandleBuffer(reinterpret_cast<const char*>(a.data()), TInstrument::BufferBytes,
                           c.Channels == 2 ? reinterpret_cast<const char*>(b.data()) : nullptr);
        shownLive[buffer] = Shown(*live);
    }
    ASSERT_EQ(lookBack.End(), Buffers);
    // The oldest kept buffers wait for a checkpoint with its buffers before it.
    EXPECT_GE(lookBack.First(), lookBack.History().First() + DistortionRecordBuffers);
    EXPECT_LE(lookBack.First(), lookBack.History().First() + DistortionRecordBuffers + TLookBack::CheckpointInterval);
    lookBack.Freeze();
    for (const std::int64_t number : {lookBack.First(), lookBack.First() + 7, std::int64_t{c.ChangeAt + 1},
                                      std::int64_t{Buffers - 20}, std::int64_t{Buffers - 1}, lookBack.First() + 3}) {
        if (number < lookBack.First()) continue;
        lookBack.Show(number);
        EXPECT_TRUE(SameBits(Shown(lookBack.Instrument()), shownLive[number])) << c.Name << ", buffer " << number;
    }
    EXPECT_EQ(lookBack.Shown(), lookBack.First() + 3);
    EXPECT_THROW(lookBack.Show(lookBack.End()), ERangeError);
    EXPECT_THROW(lookBack.Show(lookBack.First() - 1), ERangeError);
}

INSTANTIATE_TEST_SUITE_P(Settings, LookBackTest, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<TLookBackCase>& info) { return "Case" + std::to_string(info.index); });

// The live instrument keeps a buffer and its checkpoints without
// allocating, and a buffer alone changes no setting (checkpoints stay
// sparse); the history gets its samples and its spectrogram column.
TEST(LookBackKeeping, AllocatesNothingAndKeepsTheColumn) {
    for (const int channels : {1, 2}) {
        const auto live = std::make_unique<TInstrument>();
        live->SetTwoChannels(channels == 2);
        AnalyserView(*live);
        TLookBack lookBack(*live, Minutes, channels);
        const std::vector<std::int16_t> tone = Signal(5, 0);  // 1 kHz
        const char* bytes = reinterpret_cast<const char*>(tone.data());
        const auto handle = [&] { live->HandleBuffer(bytes, TInstrument::BufferBytes, channels == 2 ? bytes : nullptr); };
        handle();
        const unsigned changes = live->Changes();
        EXPECT_EQ(CountAllocations([&] {
                      for (int i = 0; i < 2 * TLookBack::CheckpointInterval; ++i) handle();
                  }),
                  0);
        EXPECT_EQ(live->Changes(), changes);
        const std::int64_t last = lookBack.End() - 1;
        EXPECT_EQ(lookBack.History().Samples(last, channels - 1)[100], tone[100]);
        // The 1 kHz row is loud, the top row far below.
        const std::span<const std::uint8_t> column = lookBack.History().Column(last);
        const auto row = static_cast<std::size_t>(live->Analysis().BinRow[93]);
        EXPECT_EQ(column[row], LevelColourIndex(live->Analysis().RowLevel[row]));
        EXPECT_GT(column[row], column.back());
    }
}

}  // namespace
