// TInstrument: the oscilloscope and analyser without a window. It owns the
// analysis state, the three charts of the chart engine with their series,
// the spectrogram picture Image1 and the legend Image2 with their palette,
// the row levels and measurements of the last buffers and the observers of
// every buffer, and takes one recorded buffer at a time. The window shows
// what it owns and sends the user's settings to it; the headless export,
// the benchmarks and the tests drive it directly. No widgets.
// User-interface thread only.
#pragma once

#include "LevelHistory.h"
#include "SeriesSink.h"
#include "ScopeTrace.h"
#include "analysis/AnalysisState.h"
#include "analysis/Calibration.h"
#include "analysis/Distortion.h"
#include "analysis/PointSink.h"
#include "analysis/PowerAverage.h"
#include "analysis/SecondChannel.h"
#include "analysis/SoundLevel.h"
#include "analysis/Spectrum.h"
#include "chart/Chart.h"
#include "chart/FastLineSeries.h"
#include "core/StateBytes.h"

#include <QImage>
#include <QRect>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace wellenschau {

// Gets every buffer after the instrument has analysed it, for work beyond
// the analysis: showing it, the rows of an export. Called in the order of
// registration; an exception ends the buffer's handling.
class TBufferObserver {
public:
    virtual void BufferHandled(const char* buffer, int size) = 0;

protected:
    ~TBufferObserver() = default;
};

class TInstrument;

// Keeps what the instrument handles, to analyse it again later: told
// before a buffer changes anything and after the buffer was analysed.
// An exception ends the buffer's handling.
class TBufferKeeper {
public:
    virtual void BeforeBuffer(const TInstrument& instrument) = 0;
    // n samples of channel A and, with two channels, of channel B.
    virtual void AfterBuffer(const TInstrument& instrument, const char* channelA, const char* channelB, int n) = 0;

protected:
    ~TBufferKeeper() = default;
};

// A kept buffer: n samples of channel A, and of channel B or null.
struct TKeptBuffer {
    const char* A;
    const char* B;
    int Samples;
};

// The user's settings that change what the instrument makes of a buffer,
// as one value (the peak display and the background are part of the
// analysis state).
struct TInstrumentSettings {
    bool FastTimeBase = false;
    bool AutoScale = true;
    bool TwoChannels = false;
    std::optional<bool> WhiteScheme;  // none: the colours of the start
    bool DistortionAnalysis = true;
    bool SoundLevel = false;
    bool HarmonicMarks = false;
    TCalibration Calibration;
    TAveraging Averaging = TAveraging::Off;
    double AveragingAmount = 0.0;
    TScopeSettings Scope;
    bool ScopeXY = false;
    bool ScopeLive = false;
    bool ChannelAVisible = true;
    bool ChannelBVisible = true;
};

// Where the pictures and the two black marks sit on the charts, in chart
// coordinates: the stored window's places, or where a view puts them. A
// picture is stretched over its place pixel by pixel when the sizes differ.
struct TPicturePlaces {
    QRect Spectrogram;  // Image1 on Chart3
    QRect Legend;       // Image2 on Chart1
    bool Marks = true;  // the 1-pixel marks on Chart2 and Chart3
};

class TInstrument {
public:
    // Bytes of one recorded buffer: 4096 16-bit samples, one FFT frame.
    static constexpr int BufferBytes = 8192;

    // Charts, series, pictures and analysis as the program starts with them.
    TInstrument();
    TInstrument(const TInstrument&) = delete;
    TInstrument& operator=(const TInstrument&) = delete;

    // Spectrum: snapshot SRight, live spectrum SLeft, label carrier SxAchse.
    TChart Chart1;
    TFastLineSeries SRight;
    TFastLineSeries SLeft;
    TFastLineSeries SxAchse;
    // Oscilloscope: snapshot FastLineSeries2 under the live trace.
    TChart Chart2;
    TFastLineSeries FastLineSeries2;
    TFastLineSeries FastLineSeries1;
    // Channel B, the trigger's marks and the bench oscilloscope's sweep,
    // over the live trace.
    TScopeTrace Scope{Chart2, FastLineSeries1};
    // Marks of the harmonics on the spectrum, empty unless asked for.
    std::array<TFastLineSeries, HighestHarmonic - 1> HarmonicMarks;
    // Spectrogram: label carrier SyAchse and the always empty Series1.
    TChart Chart3;
    TFastLineSeries SyAchse;
    TFastLineSeries Series1;
    // The spectrogram picture and its legend, 8-bit with the palette.
    QImage Image1;
    QImage Image2;

    AnalysisState& Analysis() { return FAnalysis; }
    const AnalysisState& Analysis() const { return FAnalysis; }
    // Row levels and measurements of the buffers the spectrogram shows.
    const TLevelHistory& History() const { return FHistory; }
    // The last buffer's measurements; none before the first buffer.
    TMeasurements LastMeasurements() const;
    // The last buffer's distortion figures; none without a tone.
    std::optional<TDistortion> LastDistortion() const;
    // Over every buffer so far but those that end in digital silence (a
    // file's long-term figures): the distortion figures of the
    // power-averaged spectrum, and that spectrum's level in each row
    // (rowLevels: RowCount values).
    std::optional<TDistortion> LongTermDistortion() const;
    void LongTermRowLevels(std::span<double> rowLevels) const;
    // Channel B's figures of the last buffer; none when it had one channel.
    std::optional<TChannelBFigures> LastChannelB() const;

    // The user's settings.
    // Sets channel B's analysis up (its tables), or drops it; buffers with
    // channel B get it anyway, the first of them then setting it up.
    void SetTwoChannels(bool on);
    bool TwoChannels() const { return FSecondChannel != nullptr; }
    void SetFastTimeBase(bool fast);
    bool FastTimeBase() const { return FFastTimeBase; }
    void SetAutoScale(bool on) {
        FAutoScale = on;
        ++FChanges;
    }
    // The bench oscilloscope's trigger, sweep and divisions (TScopeTrace);
    // the defaults are the plain window's trace. Back at the automatic
    // amplitude range, the axis shows it again at once.
    void SetScope(const TScopeSettings& settings);
    bool AutoScale() const { return FAutoScale; }
    void SetPeakHold(bool on) {
        FAnalysis.PeakHold = on;
        ++FChanges;
    }
    // Starts learning the background (on), or ends the subtraction (off);
    // returns the background check box's caption for the new state.
    const char* SetBackgroundSubtraction(bool on);
    // Black on white, or green on black.
    void SetWhiteScheme(bool white);
    // Loads the palette `name` of the palette memo into both pictures.
    void LoadPalette(const QStringList& memo, const QString& name);
    // Whether buffers get distortion figures (on at the start); off, the
    // history and the readout have none and a buffer costs less.
    void SetDistortionAnalysis(bool on) {
        FDistortionAnalysis = on;
        ++FChanges;
    }
    // Whether buffers go through the sound level meter (off at the start:
    // the default path computes nothing of it). Turning it on, and
    // RestartSoundLevel at the start of a recording, begin its Fast, Slow
    // and Leq anew.
    void SetSoundLevel(bool on);
    bool SoundLevelOn() const { return FSoundLevelOn; }
    void RestartSoundLevel() {
        FSoundLevel.Restart();
        ++FChanges;
    }
    const TSoundLevelMeter& SoundLevel() const { return FSoundLevel; }
    // What the levels mean outside the computer; uncalibrated (dBFS) at the
    // start. The export writes its levels in it.
    void SetCalibration(const TCalibration& calibration) {
        FCalibration = calibration;
        ++FChanges;
    }
    const TCalibration& Calibration() const { return FCalibration; }
    // Whether the spectrum marks the last buffer's harmonics (off at the
    // start: the stored window and the export show none).
    void SetHarmonicMarks(bool on);
    // How the spectrum and the distortion figures average over buffers (a
    // power average): Off shows every buffer alone; Exponential takes a
    // time constant in seconds, Linear a count of buffers (1 ..
    // MostLinearBuffers), Whole averages every buffer since the choice.
    // Each choice starts anew. The spectrogram and the row levels the
    // history keeps never average.
    void SetAveraging(TAveraging mode, double amount = 0.0);
    TAveraging Averaging() const { return FAveraging; }
    // Freezes the live trace and spectrum as the reference, or erases it.
    void TakeSnapshot();
    void EraseSnapshot();

    // All the settings above at once (not the snapshot, not the palette);
    // applying them starts the averages anew.
    TInstrumentSettings Settings() const;
    void ApplySettings(const TInstrumentSettings& settings);
    // Counts every change of a setting and every new start of the
    // background or the sound level meter, so that a keeper of buffers
    // notices them.
    unsigned Changes() const { return FChanges + Scope.Changes(); }

    // What the instrument carries from one buffer to the next besides the
    // last buffers' samples: the amplitude range, the peak display's
    // previous rows, the background, the sound level meter, the sweep's
    // hold, the distortion figures' counts. Its size in bytes stays as it
    // is while the number of channels does. Saving allocates nothing.
    std::size_t StateBytes() const;
    void SaveState(TStateWriter& writer) const;
    // Brings the instrument back to where it was before a buffer: the
    // state saved then, and the DistortionRecordBuffers buffers before
    // that buffer, oldest first. The averaged spectrum and the snapshot
    // stay as they are.
    void RestoreState(TStateReader& reader, std::span<const TKeptBuffer> earlier);

    // Where the caption of the background check box goes while learning.
    void SetBackgroundCaption(TBackgroundCaption& caption) { FBackgroundCaption = &caption; }
    // Adds an observer of every handled buffer; it must outlive the
    // instrument's recordings.
    void AddBufferObserver(TBufferObserver& observer) { FObservers.push_back(&observer); }
    // The keeper of every buffer handled from now on (nullptr: none, as at
    // the start); it must outlive its time as the keeper.
    void SetKeeper(TBufferKeeper* keeper) { FKeeper = keeper; }

    // Analyses one buffer of 16-bit samples (size in bytes): trace and
    // amplitude range, spectrum, spectrogram column, measurements,
    // distortion (of whole 4096-sample buffers), sound levels (when on),
    // history;
    // then tells the observers. `buffer` is channel A, analysed exactly as a
    // single channel; channelB, when given, holds as many samples of a second
    // channel (the right channel of a two-channel recording), which gets its
    // own figures (LastChannelB) and which the oscilloscope draws beside A.
    // A size the analysis cannot take is refused (ERangeError) before
    // anything changes. Allocates nothing.
    void HandleBuffer(const char* buffer, int size, const char* channelB = nullptr);
    // Draws the live trace from the samples put into Scope's live windows
    // (TScopeTrace::DrawLive), with its amplitude range. Allocates nothing.
    void DrawLiveTrace(bool channelB);

    const TPicturePlaces& PicturePlaces() const { return FPlaces; }
    void SetPicturePlaces(const TPicturePlaces& places) { FPlaces = places; }
    // A chart as it is shown: its image with the pictures and marks placed
    // on it, at the chart's pixel ratio.
    QImage ChartPicture(TChart& chart);

private:
    // The carried state that is plain values (StateBytes): the amplitude
    // range's figures, the peak display and background rows, the meter,
    // the sweep, the distortion analysers.
    template <typename TSelf, typename TVisit>
    static void EachState(TSelf& self, TVisit& visit);

    // Nowhere to show the background caption.
    class TNoCaption final : public TBackgroundCaption {
    public:
        void SetCaption(const char*) override {}
    };

    // The trace of a buffer and the amplitude axis for it.
    void DrawTrace(const char* buffer, const char* channelB, int n);
    // The amplitude axis for a new trace's extremes (none: the trace was kept).
    void FollowAmplitude(const std::optional<TTraceExtremes>& extremes);
    // The distortion figures of a buffer of n samples, averaged as chosen;
    // a whole buffer's power spectra go into the long-term averages.
    std::optional<TDistortion> AnalyseDistortion(const char* buffer, int n);
    // Replaces the live spectrum's points by the averaged spectrum's.
    void ShowAveragedSpectrum();
    // Moves the harmonic marks to the last buffer's harmonics.
    void MarkHarmonics();
    // The buffer's sound levels when the meter is on.
    std::optional<TBufferSoundLevel> MeasureSoundLevel(const char* buffer, int n);
    // Channel B's figures when there is a channel B (n samples each).
    std::optional<TChannelBFigures> AnalyseChannelB(const char* channelB, const char* channelA, int n,
                                                    const TMeasurements& measurementsA);

    AnalysisState FAnalysis;
    TLevelHistory FHistory;
    TDistortionAnalyser FDistortion;
    TPowerAverage FLongTermDistortion{DistortionBins};
    TPowerAverage FLongTermSpectrum{BinsUsed};
    bool FDistortionAnalysis = true;
    bool FHarmonicMarks = false;
    bool FSoundLevelOn = false;
    TSoundLevelMeter FSoundLevel;
    std::array<std::int16_t, FftFrameLength> FSoundLevelSamples{};
    TCalibration FCalibration;
    TAveraging FAveraging = TAveraging::Off;
    double FAveragingAmount = 0.0;
    std::optional<bool> FWhiteScheme;
    unsigned FChanges = 0;
    TBufferKeeper* FKeeper = nullptr;
    TPowerAverage FShownSpectrum{BinsUsed};
    TPowerAverage FShownDistortion{DistortionBins};
    std::vector<double> FAveragedRows;
    TSeriesSink FSpectrumPoints{SLeft};
    TNoCaption FNoCaption;
    TBackgroundCaption* FBackgroundCaption = &FNoCaption;
    std::vector<TBufferObserver*> FObservers;
    std::unique_ptr<TSecondChannel> FSecondChannel;  // none for one channel
    TPicturePlaces FPlaces;
    bool FFastTimeBase = false;
    bool FAutoScale = true;
};

}  // namespace wellenschau
