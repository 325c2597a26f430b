// One whole recorded buffer through the window's buffer handler: pending
// events, trigger and trace, amplitude range, spectrum, spectrogram column
// and the immediate repaints, with the oscilloscope at the window's size.
#include "BenchApplication.h"
#include "app/MainWindow.h"
#include "audio/SimulatedWaveIn.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace wellenschau;

void BM_BufferHandler(benchmark::State& state) {
    bench::EnsureApplication();
    TSimulatedWaveIn device;
    TForm1 form(device);
    form.show();
    std::vector<std::int16_t> samples(4096);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * std::numbers::pi * 1000.0 * i / 44100.0)));
    for (auto _ : state) {
        int size = 8192;
        benchmark::DoNotOptimize(form.AudioIn1BufferFilled(reinterpret_cast<char*>(samples.data()), size));
    }
}
BENCHMARK(BM_BufferHandler)->Unit(benchmark::kMicrosecond);

}  // namespace
