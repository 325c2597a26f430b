// The instrument without a window: a buffer's way through it allocates
// nothing, and its observers see each buffer after the analysis, in the
// order they came; the readout's distortion figures.
#include "app/Instrument.h"
#include "app/MeasurementText.h"
#include "core/Errors.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

using namespace wellenschau;
using namespace wellenschau::test;

namespace {

// Buffer `index` of a tone at a third of full scale.
std::vector<std::int16_t> ToneBuffer(double hz, int index = 0) {
    std::vector<std::int16_t> samples(4096);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i + samples.size() * static_cast<std::size_t>(index)) / 44100.0;
        samples[i] = static_cast<std::int16_t>(std::lround(10000 * std::sin(2 * std::numbers::pi * hz * t)));
    }
    return samples;
}

void Handle(TInstrument& instrument, const std::vector<std::int16_t>& samples) {
    instrument.HandleBuffer(reinterpret_cast<const char*>(samples.data()), TInstrument::BufferBytes);
}

// Notes the number of buffers the history held when it was told.
class THistoryWatch final : public TBufferObserver {
public:
    THistoryWatch(const TInstrument& instrument, std::vector<int>& seen) : FInstrument(instrument), FSeen(seen) {}
    void BufferHandled(const char*, int size) override {
        EXPECT_EQ(size, TInstrument::BufferBytes);
        FSeen.push_back(FInstrument.History().Count());
    }

private:
    const TInstrument& FInstrument;
    std::vector<int>& FSeen;
};

TEST(InstrumentTest, BuffersAllocateNothingWhateverTheSettings) {
    const auto instrument = std::make_unique<TInstrument>();
    const std::vector<std::int16_t> low = ToneBuffer(220), high = ToneBuffer(3000);
    instrument->SetPeakHold(true);
    instrument->SetBackgroundSubtraction(true);
    for (int warmUp = 0; warmUp < 3; ++warmUp) Handle(*instrument, low);
    instrument->TakeSnapshot();
    for (const bool fast : {false, true}) {
        instrument->SetFastTimeBase(fast);
        Handle(*instrument, high);  // the trace's new point count
        EXPECT_EQ(CountAllocations([&] {
                      for (int i = 0; i < 4; ++i) Handle(*instrument, i % 2 ? low : high);
                  }),
                  0)
            << fast;
    }
    EXPECT_EQ(instrument->History().Count(), 13);
    EXPECT_TRUE(instrument->LastDistortion());
    instrument->SetDistortionAnalysis(false);
    Handle(*instrument, low);
    EXPECT_FALSE(instrument->LastDistortion());
}

// Off at the start: the history holds no sound levels and the meter no
// level. On, each buffer's levels go into the history without allocating,
// and turning it on again after a pause begins Leq anew.
TEST(InstrumentTest, SoundLevelOnlyWhenOn) {
    const auto instrument = std::make_unique<TInstrument>();
    const std::vector<std::int16_t> tone = ToneBuffer(1000), quiet(4096, 0);
    const double toneDbfs = 20.0 * std::log10(10000.0 / 32768.0);
    EXPECT_FALSE(instrument->SoundLevelOn());
    Handle(*instrument, tone);
    EXPECT_FALSE(instrument->History().Entry(0).SoundLevel);
    EXPECT_EQ(instrument->SoundLevel().Level(TWeighting::Z, TLevelTime::Leq), -std::numeric_limits<double>::infinity());

    instrument->SetSoundLevel(true);
    EXPECT_EQ(CountAllocations([&] {
                  for (int i = 0; i < 3; ++i) Handle(*instrument, i == 0 ? quiet : tone);
              }),
              0);
    const std::optional<TBufferSoundLevel> last = instrument->History().Entry(3).SoundLevel;
    ASSERT_TRUE(last);
    EXPECT_NEAR(last->ADb, toneDbfs, 0.05);
    EXPECT_NEAR(last->ThirdOctaveDb[16], toneDbfs, 0.1);  // the 1 kHz band
    EXPECT_NEAR(instrument->SoundLevel().Level(TWeighting::Z, TLevelTime::Leq), toneDbfs + 10.0 * std::log10(2.0 / 3.0),
                0.05);

    instrument->SetSoundLevel(false);
    Handle(*instrument, quiet);
    instrument->SetSoundLevel(true);
    Handle(*instrument, tone);
    EXPECT_NEAR(instrument->SoundLevel().Level(TWeighting::Z, TLevelTime::Leq), toneDbfs, 0.05);
}

TEST(InstrumentTest, ObserversFollowTheAnalysisInTheirOrder) {
    const auto instrument = std::make_unique<TInstrument>();
    std::vector<int> first, second;
    THistoryWatch one(*instrument, first), two(*instrument, second);
    instrument->AddBufferObserver(one);
    instrument->AddBufferObserver(two);
    const std::vector<std::int16_t> samples = ToneBuffer(1000);
    Handle(*instrument, samples);
    Handle(*instrument, samples);
    EXPECT_EQ(first, (std::vector<int>{1, 2}));
    EXPECT_EQ(second, first);
    // A buffer the analysis cannot take reaches neither the history nor an observer.
    EXPECT_ANY_THROW(instrument->HandleBuffer(reinterpret_cast<const char*>(samples.data()), 6000));
    EXPECT_EQ(first.size(), 2u);
    EXPECT_EQ(instrument->History().Count(), 2);
}

// Whatever the averaging, a steady tone keeps its figures; a fundamental
// too low for one buffer keeps those of its four-buffer record.
TEST(InstrumentTest, EveryAveragingGivesFiguresOfHighAndLowTones) {
    struct TCase {
        TAveraging Mode;
        double Amount;
    };
    for (const TCase& averaging : {TCase{TAveraging::Exponential, 0.5}, TCase{TAveraging::Linear, 4},
                                   TCase{TAveraging::Whole, 0}})
        for (const double hz : {1000.0, 60.0}) {
            const auto instrument = std::make_unique<TInstrument>();
            instrument->SetAveraging(averaging.Mode, averaging.Amount);
            for (int buffer = 0; buffer < 8; ++buffer) Handle(*instrument, ToneBuffer(hz, buffer));
            const std::optional<TDistortion> distortion = instrument->LastDistortion();
            ASSERT_TRUE(distortion) << hz;
            EXPECT_NEAR(distortion->FundamentalHz, hz, 0.1) << hz;
            EXPECT_LT(distortion->ThdPlusNoise.Db, -60) << hz;
        }
}

// Measured figures as numbers, bounds with the side the truth lies on, no
// THD where no harmonic lies in the band.
TEST(ReadoutTextTest, DistortionFiguresAndTheirBounds) {
    TDistortion distortion;
    distortion.Thd = TFigure{-40.04, false};
    distortion.ThdPlusNoise = TFigure{-98.2, true};
    distortion.Snr = TFigure{98.46, true};
    const QString unit = QString(QChar(0x202F)) + "dB";
    const QString text = ReadoutText(TMeasurements{}, distortion, 0);
    EXPECT_TRUE(text.endsWith("   THD -40.0" + unit + "   THD+N <-98.2" + unit + "   SNR >98.5" + unit))
        << text.toStdString();
    distortion.Thd.reset();
    EXPECT_FALSE(ReadoutText(TMeasurements{}, distortion, 0).contains("THD "));
    EXPECT_FALSE(ReadoutText(TMeasurements{}, std::nullopt, 0).contains("THD"));
}

// A level in each unit, with the unit's symbol; silence has none.
TEST(ReadoutTextTest, LevelsInTheCalibratedUnit) {
    struct TRow {
        double Db;
        TCalibration Calibration;
        const char* Text;
    };
    const TRow rows[] = {
        {-20.04, {}, "-20.0 dBFS"},
        {-20.04, {TLevelUnit::DbSpl, 114, 0}, "94.0 dB SPL"},
        {-6.0, {TLevelUnit::DbV, 0, 2.0}, "0.0 dBV"},
        {0.0, {TLevelUnit::DbU, 0, DbuVolts}, "0.0 dBu"},
        {-20.0, {TLevelUnit::Volts, 0, 2.0}, "0.2 V"},
        {-3.0, {TLevelUnit::Volts, 0, 1.0}, "0.7079 V"},
        {-std::numeric_limits<double>::infinity(), {TLevelUnit::DbSpl, 114, 0}, "–"},
    };
    for (const TRow& row : rows)
        EXPECT_EQ(LevelText(row.Db, row.Calibration).replace(QChar(0x202F), ' ').toStdString(), row.Text) << row.Db;
}

}  // namespace

namespace {

void HandleTwo(TInstrument& instrument, const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b) {
    instrument.HandleBuffer(reinterpret_cast<const char*>(a.data()), TInstrument::BufferBytes,
                            reinterpret_cast<const char*>(b.data()));
}

// The value of a series at time x, linearly between its points around it.
double ValueAt(const TFastLineSeries& series, double x) {
    for (int i = 1; i < series.PointCount(); ++i)
        if (series.XValue(i) >= x)
            return series.YValue(i - 1) + (series.YValue(i) - series.YValue(i - 1)) * (x - series.XValue(i - 1)) /
                                              (series.XValue(i) - series.XValue(i - 1));
    return NAN;
}

}  // namespace

// The plain trace draws channel B at channel A's trigger.
TEST(InstrumentTest, ThePlainTraceDrawsChannelBAtTheSameTrigger) {
    const auto instrument = std::make_unique<TInstrument>();
    const std::vector<std::int16_t> a = ToneBuffer(1000), b = ToneBuffer(250);
    HandleTwo(*instrument, a, b);
    const TFastLineSeries& traceB = instrument->Scope.TraceB;
    ASSERT_EQ(traceB.PointCount(), 601);
    const auto trigger = static_cast<std::size_t>(std::max_element(a.begin(), a.begin() + 1001) - a.begin());
    EXPECT_DOUBLE_EQ(traceB.YValue(0), b[trigger] / 327.68);
    Handle(*instrument, a);
    EXPECT_EQ(traceB.PointCount(), 0);
}

// An edge on channel B at 50 % of a 10 ms screen: both channels drawn,
// B crossing its level at the screen's middle; the axes follow the
// divisions; a Normal sweep keeps its trace through silence; buffers
// allocate nothing; the defaults give the automatic range back.
TEST(InstrumentTest, TheBenchSweepTriggersOnChannelB) {
    const auto instrument = std::make_unique<TInstrument>();
    const std::vector<std::int16_t> a = ToneBuffer(1000), b = ToneBuffer(440), silence(4096, 0);
    instrument->SetScope({.Trigger = TTriggerMode::Edge, .LevelPercent = 10, .Source = TTriggerSource::B,
                          .PositionPercent = 50, .Sweep = TSweepMode::Normal, .MsPerDivision = 1,
                          .PercentPerDivision = 5});
    EXPECT_EQ(instrument->Chart2.BottomAxis().Maximum(), 10.0);
    EXPECT_EQ(instrument->Chart2.LeftAxis().Minimum(), -20.0);
    EXPECT_EQ(instrument->Chart2.LeftAxis().Increment(), 5.0);
    HandleTwo(*instrument, a, b);
    const TFastLineSeries& traceB = instrument->Scope.TraceB;
    EXPECT_NEAR(ValueAt(traceB, 5.0), 10.0, 0.1);
    EXPECT_EQ(instrument->FastLineSeries1.PointCount(), traceB.PointCount());
    EXPECT_EQ(instrument->Scope.LevelMark.YValue(0), 10.0);
    EXPECT_EQ(instrument->Scope.PositionMark.XValue(0), 5.0);
    const double kept = traceB.YValue(7);
    EXPECT_EQ(CountAllocations([&] { HandleTwo(*instrument, silence, silence); }), 0);
    EXPECT_EQ(traceB.YValue(7), kept);
    EXPECT_EQ(instrument->Chart2.LeftAxis().Minimum(), -20.0);

    instrument->SetScope({});
    EXPECT_EQ(instrument->Chart2.LeftAxis().Increment(), 0.0);
    EXPECT_EQ(instrument->Chart2.LeftAxis().Minimum(), -(instrument->Analysis().AmplitudeScale * 1.02));
    EXPECT_EQ(instrument->Chart2.BottomAxis().Maximum(), 40.8);
    EXPECT_EQ(instrument->Scope.PositionMark.PointCount(), 0);
    EXPECT_THROW(instrument->SetScope({.MsPerDivision = 10}), ERangeError);
}

// The live trace sweeps the newest edge of the samples in the live
// windows; meanwhile buffers draw no trace.
TEST(InstrumentTest, TheLiveTraceSweepsTheNewestEdge) {
    const auto instrument = std::make_unique<TInstrument>();
    instrument->SetScope({.Trigger = TTriggerMode::Edge, .PositionPercent = 50, .MsPerDivision = 1});
    std::int16_t* window = instrument->Scope.LiveWindow(TChannel::A);
    for (int i = 0; i < 2 * 4096; ++i) window[i] = (i >= 3000 && i < 5000) || i >= 7000 ? 1000 : -1000;
    instrument->DrawLiveTrace(false);
    const TFastLineSeries& trace = instrument->FastLineSeries1;
    ASSERT_EQ(trace.PointCount(), 7220 - 6779 + 1);
    EXPECT_NEAR(ValueAt(trace, 5.0), 0.0, 1e-9);
    EXPECT_EQ(trace.YValue(0), -1000 / 327.68);
    EXPECT_EQ(trace.YValue(trace.PointCount() - 1), 1000 / 327.68);
    instrument->Scope.SetLive(true);
    Handle(*instrument, ToneBuffer(1000));
    EXPECT_EQ(trace.PointCount(), 7220 - 6779 + 1);
}
