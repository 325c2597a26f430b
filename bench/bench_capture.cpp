// The capture side of a recording, per chunk of 441 samples (10 ms, a
// typical sound-callback period): what the callback pays to hand its bytes
// to the ring, and what the ring's consumer pays to take them out; and what
// the callback pays to fill the queued buffers and hand the full ones over.
#include "audio/QueuedWaveIn.h"
#include "audio/SampleRing.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QObject>

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

void BM_QueueRecordChunk(benchmark::State& state) {
    constexpr std::size_t Buffers = 4;
    QObject receiver;
    TWaveInQueue queue(&receiver, 2);
    std::array<std::array<char, 8192>, Buffers> storage{};
    std::array<TWaveHdr, Buffers> headers{};
    for (std::size_t i = 0; i < Buffers; ++i) {
        headers[i].Data = storage[i].data();
        headers[i].BufferLength = storage[i].size();
        headers[i].Flags = WHDR_PREPARED;
        queue.Add(headers[i]);
    }
    queue.StartRecording();
    std::array<char, ChunkBytes> in{};
    std::size_t next = 0;  // the buffer being filled
    for (auto _ : state) {
        queue.Record(in.data(), in.size());
        if (headers[next].BytesRecorded < headers[next].BufferLength) continue;
        // The user-interface thread's part, not measured: take the full
        // buffer back and queue it again.
        state.PauseTiming();
        queue.Queued();
        QCoreApplication::sendPostedEvents();
        headers[next].Flags = WHDR_PREPARED;
        queue.Add(headers[next]);
        next = (next + 1) % Buffers;
        state.ResumeTiming();
    }
    queue.Reset();
    QCoreApplication::sendPostedEvents();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ChunkBytes));
}
BENCHMARK(BM_QueueRecordChunk)->Unit(benchmark::kNanosecond);

}  // namespace
