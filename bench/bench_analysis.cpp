// Cost of the transform, of the one-time analysis set-up, and of one roll
// trace over the kept history.
#include "analysis/AnalysisState.h"
#include "analysis/Fourier.h"
#include "analysis/RollTrace.h"
#include "analysis/Sweep.h"

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

// One roll trace of a full screen (ten divisions of arg ms) on 1920 pixel
// columns, from a history of two minutes of noise: what the roll mode
// draws at most 40 times a second.
void BM_RollTrace(benchmark::State& state) {
    TSoundHistory history(TSoundHistory::CapacityFor(2.0, 44100.0), 1, 1);
    std::vector<std::int16_t> samples(TSoundHistory::BufferSamples);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-20000, 20000);
    const std::uint8_t column[1] = {0};
    for (int buffer = 0; buffer < history.Capacity(); ++buffer) {
        for (std::int16_t& sample : samples) sample = static_cast<std::int16_t>(noise(random));
        history.Add(samples.data(), nullptr, TSoundHistory::BufferSamples, column);
    }
    struct TCount final : TPointSink {
        void AddPoint(double, double y) override { Sum += y; }
        double Sum = 0;
    } points;
    const TRollSpan span{static_cast<double>(state.range(0)) * TimeDivisions, 1920};
    for (auto _ : state) {
        PlotRoll(history, 0, history.End() - 1, span, 44100.0, points);
        benchmark::DoNotOptimize(points.Sum);
    }
}
BENCHMARK(BM_RollTrace)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
