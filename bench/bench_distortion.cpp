// Cost of the distortion analysis of one buffer (window, transform, tones,
// noise and figures); compare with BM_ComputeFFT/4096 of the same run. The
// argument is the fundamental in Hz: a low one is measured in the record
// of the last buffers, analysed once every DistortionRecordInterval buffers,
// so its figure is the mean over that schedule.
#include "analysis/Distortion.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {

using namespace wellenschau;

// Consecutive buffers of a tone at -3 dBFS with a 2nd and 3rd harmonic and
// noise, little-endian 16-bit.
std::vector<std::vector<char>> DistortedTone(double hz) {
    std::vector<std::vector<char>> buffers(DistortionRecordBuffers, std::vector<char>(2 * DistortionLength));
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 3.0);
    for (int i = 0; i < DistortionRecordLength; ++i) {
        const double phase = 2.0 * std::numbers::pi * hz * i / 44100.0;
        const double value = 23197.0 * (std::sin(phase) + 1e-3 * std::sin(2.0 * phase) + 3e-4 * std::sin(3.0 * phase));
        const auto sample = static_cast<std::int16_t>(std::lround(value + noise(random)));
        std::vector<char>& bytes = buffers[i / DistortionLength];
        const int n = i % DistortionLength;
        bytes[2 * n] = static_cast<char>(sample & 0xFF);
        bytes[2 * n + 1] = static_cast<char>((sample >> 8) & 0xFF);
    }
    return buffers;
}

void BM_DistortionAnalysis(benchmark::State& state) {
    auto analyser = std::make_unique<TDistortionAnalyser>(44100.0);
    const std::vector<std::vector<char>> buffers = DistortedTone(static_cast<double>(state.range(0)));
    std::size_t next = 0;
    for (auto _ : state) {
        const std::optional<TDistortion> d = analyser->AnalyseBuffer(buffers[next].data());
        next = (next + 1) % buffers.size();
        benchmark::DoNotOptimize(d);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DistortionAnalysis)->Arg(997)->Arg(50)->Unit(benchmark::kMicrosecond);

}  // namespace
