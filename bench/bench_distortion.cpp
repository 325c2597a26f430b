// Cost of the distortion analysis of one buffer (window, transform, tones,
// noise and figures); compare with BM_ComputeFFT/4096 of the same run.
#include "analysis/Distortion.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <vector>

namespace {

using namespace wellenschau;

// A 997 Hz tone at -3 dBFS with a 2nd and 3rd harmonic and noise,
// little-endian 16-bit.
std::vector<char> DistortedTone() {
    std::vector<char> bytes(2 * DistortionLength);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 3.0);
    for (int i = 0; i < DistortionLength; ++i) {
        const double phase = 2.0 * std::numbers::pi * 997.0 * i / 44100.0;
        const double value = 23197.0 * (std::sin(phase) + 1e-3 * std::sin(2.0 * phase) + 3e-4 * std::sin(3.0 * phase));
        const auto sample = static_cast<std::int16_t>(std::lround(value + noise(random)));
        bytes[2 * i] = static_cast<char>(sample & 0xFF);
        bytes[2 * i + 1] = static_cast<char>((sample >> 8) & 0xFF);
    }
    return bytes;
}

void BM_DistortionAnalysis(benchmark::State& state) {
    auto analyser = std::make_unique<TDistortionAnalyser>(44100.0);
    const std::vector<char> buffer = DistortedTone();
    for (auto _ : state) {
        const std::optional<TDistortion> d = analyser->AnalyseBuffer(buffer.data());
        benchmark::DoNotOptimize(d);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DistortionAnalysis)->Unit(benchmark::kMicrosecond);

}  // namespace
