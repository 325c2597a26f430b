// Cost of the sound level meter on one buffer of 4096 samples: the A and C
// weightings, every third-octave band with its decimation, and the time
// weightings; compare with BM_ComputeFFT/4096 of the same run.
#include "analysis/SoundLevel.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

using namespace wellenschau;

void BM_SoundLevelBuffer(benchmark::State& state) {
    constexpr int length = 4096;
    auto meter = std::make_unique<TSoundLevelMeter>();
    std::vector<std::int16_t> samples(length);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 3000.0);
    for (std::int16_t& s : samples) s = static_cast<std::int16_t>(noise(random));
    for (auto _ : state) {
        meter->Process(samples.data(), length);
        benchmark::DoNotOptimize(meter->BandLevel(TBandSet::ThirdOctave, 0, TWeighting::A, TLevelTime::Fast));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SoundLevelBuffer)->Unit(benchmark::kMicrosecond);

}  // namespace
