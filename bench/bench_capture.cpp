// The capture side of a recording, per chunk of 441 samples (10 ms, a
// typical sound-callback period): what the callback pays to hand its bytes
// to the ring, and what the ring's consumer pays to take them out.
#include "audio/SampleRing.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

using namespace wellenschau;

constexpr std::size_t ChunkBytes = 441 * 2;

void BM_SampleRingWriteAndRead(benchmark::State& state) {
    TSampleRing ring(std::size_t{1} << 20);
    std::array<char, ChunkBytes> in{};
    std::array<char, ChunkBytes> out{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(ring.Write(in.data(), in.size()));
        benchmark::DoNotOptimize(ring.Read(out.data(), out.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ChunkBytes));
}
BENCHMARK(BM_SampleRingWriteAndRead)->Unit(benchmark::kNanosecond);

}  // namespace
