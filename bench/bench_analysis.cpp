// Cost of the transform and of the one-time analysis set-up.
#include "analysis/AnalysisState.h"
#include "analysis/Fourier.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

using namespace wellenschau;

void BM_ComputeFFT(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<double> inRe(n), inIm(n, 0.0), outRe(n), outIm(n);
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> sample(-32768.0, 32767.0);
    for (double& x : inRe) x = sample(random);
    for (auto _ : state) {
        ComputeFFT(static_cast<std::uint16_t>(n), inRe, inIm, outRe, outIm);
        benchmark::DoNotOptimize(outRe.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeFFT)->Arg(1024)->Arg(4096)->Arg(16384)->Unit(benchmark::kMicrosecond);

void BM_AnalysisSetup(benchmark::State& state) {
    auto analysis = std::make_unique<AnalysisState>();
    for (auto _ : state) {
        SetupAnalysis(*analysis, 300);
        benchmark::DoNotOptimize(analysis->RowCount);
    }
}
BENCHMARK(BM_AnalysisSetup)->Unit(benchmark::kMicrosecond);

}  // namespace
