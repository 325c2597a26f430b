// Looking back in the analyser view: showing a kept moment, what keeping
// costs each buffer, and the memory ten minutes of history take.
#include "app/AnalyserView.h"
#include "app/LookBack.h"
#include "app/MainWindow.h"
#include "analysis/SoundHistory.h"
#include "audio/SimulatedWaveIn.h"
#include "chart/ChartWidget.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <numbers>
#include <vector>

namespace {

using namespace wellenschau;

// Buffer i: a tone that changes every few buffers, at half of full scale.
std::vector<std::int16_t> Changing(int i) {
    const double hz = 200.0 + 150.0 * (i / 4 % 20);
    std::vector<std::int16_t> samples(4096);
    for (std::size_t k = 0; k < samples.size(); ++k)
        samples[k] = static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * std::numbers::pi * hz * k / 44100.0)));
    return samples;
}

void Handle(TInstrument& instrument, const std::vector<std::int16_t>& samples, bool twoChannels) {
    const char* bytes = reinterpret_cast<const char*>(samples.data());
    instrument.HandleBuffer(bytes, TInstrument::BufferBytes, twoChannels ? bytes : nullptr);
}

// The resident memory of the process in bytes.
double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Showing a kept moment in the held analyser view at 1920 x 1080 with one
// or two channels (the argument): the pick analyses the buffers from the
// checkpoint before it again (the most there can be: CheckpointInterval)
// and redraws the oscilloscope, the spectrum, the spectrogram and the
// readout.
void BM_ShowKeptMoment(benchmark::State& state) {
    TSimulatedWaveIn device;
    TForm1 form(device);
    const bool twoChannels = state.range(0) == 2;
    form.SetChannels(twoChannels ? 2 : 1);
    form.SetAnalyserView(true);
    form.resize(1920, 1080);
    form.show();
    for (int i = 0; i < 6 * TLookBack::CheckpointInterval; ++i) Handle(form.Instrument(), Changing(i), twoChannels);
    TAnalyserView& view = form.Analyser();
    view.Freeze();
    if (!view.Frozen()) state.SkipWithError("nothing kept to show");
    // Checkpoints lie every CheckpointInterval buffers from the first.
    const std::int64_t farthest[] = {3 * TLookBack::CheckpointInterval - 1, 5 * TLookBack::CheckpointInterval - 1};
    int pick = 0;
    for (auto _ : state) {
        view.ShowMoment(farthest[pick++ % 2]);
        form.Chart3->repaint();
    }
}
BENCHMARK(BM_ShowKeptMoment)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The instrument's cost per buffer with the analyser view's settings:
// without a history (argument 0, as before), with ten minutes of history
// filling (1: each buffer touches new memory) and with a short one that
// is full (2: the oldest buffer's room is used again).
void BM_KeepBuffer(benchmark::State& state) {
    const auto live = std::make_unique<TInstrument>();
    live->SetSoundLevel(true);
    live->SetHarmonicMarks(true);
    std::unique_ptr<TLookBack> lookBack;
    if (state.range(0) > 0)
        lookBack = std::make_unique<TLookBack>(*live, state.range(0) == 1 ? DefaultHistoryMinutes : LeastHistoryMinutes, 1);
    const std::vector<std::int16_t> samples = Changing(0);
    for (auto _ : state) Handle(*live, samples, false);
}
BENCHMARK(BM_KeepBuffer)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The resident memory ten minutes of one-channel history add, against the
// raw samples they hold (counters in MB): what the first buffer brings
// (the fixed amount), what the whole history adds, and the growth after
// the first buffer per raw byte. Then what holding a moment adds (the
// look back's instrument, made on the first "Anhalten"). Run it alone:
// after other benchmarks the heap's freed memory is used again unseen.
void BM_HistoryMemory(benchmark::State& state) {
    for (auto _ : state) {
        const auto live = std::make_unique<TInstrument>();
        live->SetSoundLevel(true);
        const std::vector<std::int16_t> samples = Changing(1);
        Handle(*live, samples, false);
        const double before = ResidentBytes();
        TLookBack lookBack(*live, DefaultHistoryMinutes, 1);
        Handle(*live, samples, false);
        const double first = ResidentBytes();
        const int buffers = lookBack.History().Capacity();
        for (int i = 1; i < buffers; ++i) Handle(*live, samples, false);
        const double after = ResidentBytes();
        lookBack.Freeze();
        lookBack.Show(lookBack.End() - 1);
        const double raw = static_cast<double>(buffers) * TSoundHistory::BufferSamples * sizeof(std::int16_t);
        state.counters["raw_MB"] = raw / 1e6;
        state.counters["fixed_MB"] = (first - before) / 1e6;
        state.counters["growth_MB"] = (after - before) / 1e6;
        state.counters["growth_per_raw"] = (after - first) / raw;
        state.counters["held_MB"] = (ResidentBytes() - after) / 1e6;
        state.counters["reserved_MB"] = static_cast<double>(lookBack.ReservedBytes()) / 1e6;
    }
}
BENCHMARK(BM_HistoryMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
