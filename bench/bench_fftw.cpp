// FFTW as the yardstick for the program's transform: complex double, out
// of place, the same input as BM_ComputeFFT, with a plan measured before
// the timed loop. Only this benchmark links FFTW; the program never does.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <random>

namespace {

void BM_ReferenceFFTW(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    fftw_complex* in = fftw_alloc_complex(static_cast<std::size_t>(n));
    fftw_complex* out = fftw_alloc_complex(static_cast<std::size_t>(n));
    const fftw_plan plan = fftw_plan_dft_1d(n, in, out, FFTW_BACKWARD, FFTW_MEASURE);
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> sample(-32768.0, 32767.0);
    for (int i = 0; i < n; ++i) {
        in[i][0] = sample(random);
        in[i][1] = 0.0;
    }
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}
BENCHMARK(BM_ReferenceFFTW)->Arg(1024)->Arg(4096)->Arg(16384)->Unit(benchmark::kMicrosecond);

}  // namespace
