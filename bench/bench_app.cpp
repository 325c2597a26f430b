// One whole recorded buffer through the window's buffer handler: pending
// events, trigger and trace, amplitude range, spectrum, spectrogram column
// and the immediate repaints, with the oscilloscope at the window's size.
#include "app/ExportFiles.h"
#include "app/MainWindow.h"
#include "audio/SampleTap.h"
#include "audio/SimulatedWaveIn.h"
#include "chart/ChartWidget.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

using namespace wellenschau;

// One buffer of a 1 kHz sine at half of full scale.
std::vector<std::int16_t> ToneBuffer() {
    std::vector<std::int16_t> samples(4096);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * std::numbers::pi * 1000.0 * i / 44100.0)));
    return samples;
}

// The shown window's handler on one tone buffer per iteration, the same
// tone in every channel (interleaved frames with two).
void HandleToneBuffers(benchmark::State& state, TForm1& form, int channels = 1) {
    form.SetChannels(channels);
    if (form.Channels() != channels) state.SkipWithError("the window does not take the channels");
    form.show();
    const std::vector<std::int16_t> tone = ToneBuffer();
    std::vector<std::int16_t> samples(tone.size() * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = tone[i / static_cast<std::size_t>(channels)];
    for (auto _ : state) {
        int size = static_cast<int>(samples.size() * sizeof(std::int16_t));
        benchmark::DoNotOptimize(form.AudioIn1BufferFilled(reinterpret_cast<char*>(samples.data()), size));
    }
}

void BM_BufferHandler(benchmark::State& state) {
    TSimulatedWaveIn device;
    TForm1 form(device);
    HandleToneBuffers(state, form);
}
BENCHMARK(BM_BufferHandler)->Unit(benchmark::kMicrosecond);

// The same in the analyser view at 1920 x 1080: the handler repaints the
// spectrogram picture, the spectrum, the oscilloscope, the band chart and
// the history spectrogram at their sizes, and keeps the buffer in the
// history. With the argument 2 the window records two channels and the
// oscilloscope draws both.
void BM_AnalyserViewBuffer(benchmark::State& state) {
    TSimulatedWaveIn device;
    TForm1 form(device);
    form.SetAnalyserView(true);
    form.resize(1920, 1080);
    HandleToneBuffers(state, form, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_AnalyserViewBuffer)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// One frame of the live trace in the analyser view at 1920 x 1080 with an
// edge trigger on two channels: the newest 8192 frames out of the capture's
// tap, the sweep and the oscilloscope's repaint. At 40 frames a second
// this is the live trace's share of the user-interface thread.
void BM_LiveScopeFrame(benchmark::State& state) {
    TSimulatedWaveIn device;
    TForm1 form(device);
    form.SetAnalyserView(true);
    form.resize(1920, 1080);
    form.show();
    TInstrument& instrument = form.Instrument();
    instrument.SetScope({.Trigger = TTriggerMode::Edge, .PositionPercent = 20, .MsPerDivision = 2});
    const auto tap = std::make_unique<TSampleTap>();
    std::vector<std::int16_t> stereo;
    for (int i = 0; i < 3; ++i)
        for (std::int16_t sample : ToneBuffer()) stereo.insert(stereo.end(), {sample, sample});
    tap->Write(reinterpret_cast<const char*>(stereo.data()), 2 * stereo.size(), 2);
    constexpr std::size_t frames = 2 * FftFrameLength;
    // As the live timer runs: from the event loop, the window shown.
    for (auto _ : state) {
        QCoreApplication::processEvents();
        tap->Latest(0, instrument.Scope.LiveWindow(TChannel::A), frames, tap->Written());
        tap->Latest(1, instrument.Scope.LiveWindow(TChannel::B), frames, tap->Written());
        instrument.DrawLiveTrace(true);
        form.Chart2->repaint();
    }
}
BENCHMARK(BM_LiveScopeFrame)->Unit(benchmark::kMicrosecond);

// The headless export's cost per buffer: the instrument without a window
// and the buffer's line of row levels; with the argument 1 also the
// distortion figures (--distortion).
void BM_ExportPerBuffer(benchmark::State& state) {
    const auto instrument = std::make_unique<TInstrument>();
    instrument->SetDistortionAnalysis(state.range(0) != 0);
    QTemporaryDir folder;
    TExportFiles files(QDir(folder.path()), instrument->Analysis().RowCount);
    const std::vector<std::int16_t> samples = ToneBuffer();
    int buffer = 0;
    for (auto _ : state) {
        instrument->HandleBuffer(reinterpret_cast<const char*>(samples.data()), TInstrument::BufferBytes);
        files.AddLevels(++buffer, instrument->Analysis().RowLevel.data());
    }
}
BENCHMARK(BM_ExportPerBuffer)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
