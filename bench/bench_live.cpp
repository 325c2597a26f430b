// How fresh the bench oscilloscope's live trace is on a real sound server:
// a private PulseAudio server records a FIFO through PortAudio, as a
// user's default input would be recorded. The FIFO is fed silence with a
// step every half second; the time from writing the step into the FIFO to
// the step appearing in the capture's tap is what the live trace waits
// for the sound, before at most one timer interval (25 ms) and one frame's
// drawing (BM_LiveScopeFrame). Also counts how often and in what pieces
// the capture callback delivers.
#include "audio/AudioIn.h"
#include "audio/SampleTap.h"
#include "support/PulseAudioServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using namespace wellenschau;
using Clock = std::chrono::steady_clock;

constexpr std::int64_t StepEvery = 22050;
constexpr std::int16_t StepValue = 20000;

void BM_LiveCaptureLatency(benchmark::State& state) {
    const auto server = std::make_unique<test::TPulseAudioServer>();
    // When the feeder wrote the latest step, in steady-clock nanoseconds.
    std::atomic<std::int64_t> stepWritten{0};
    std::atomic<std::int64_t> stepIndex{-1};
    const auto feeder = std::make_unique<test::TSampleFeeder>(server->FifoPath(), [&](std::int64_t i) -> std::int16_t {
        if (i % StepEvery != 0) return 0;
        stepWritten.store(Clock::now().time_since_epoch().count());
        stepIndex.store(i);
        return StepValue;
    });
    QObject owner;
    auto* audioIn = new TAudioIn(&owner);
    audioIn->SetNumBuffers(2);
    audioIn->SetWaveDevice(0);
    audioIn->SetBufferSize(8192);
    audioIn->SetOnBufferFilled([](char*, int&) { return true; });
    audioIn->SetFrameRate(44100);
    if (!audioIn->Start(audioIn)) {
        state.SkipWithError("Die Aufnahme ließ sich nicht starten");
        return;
    }
    double latencyMs = 0, worstMs = 0;
    std::uint64_t deliveries = 0, frames = 0, firstFrames = 0;
    int measured = 0;
    std::int64_t lastStep = -1;
    for (auto _ : state) {
        // Waits for the next step to appear in the tap, watching each delivery.
        const std::int64_t before = stepIndex.load();
        for (QElapsedTimer waited; waited.elapsed() < 3000;) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            const TSampleTap* tap = audioIn->Tap();
            if (tap == nullptr) continue;
            const std::uint64_t written = tap->Written();
            if (firstFrames == 0) firstFrames = frames = written;
            if (written != frames) {
                ++deliveries;
                frames = written;
            }
            const std::int64_t index = stepIndex.load();
            if (index == before || index == lastStep) continue;
            // The capture starts some way into the stream: find the step
            // among the newest frames instead of by its index.
            std::int16_t newest[4096];
            if (!tap->Latest(0, newest, 4096, written)) continue;
            bool seen = false;
            for (std::int16_t sample : newest) seen = seen || sample == StepValue;
            if (!seen) continue;
            const double ms = (Clock::now().time_since_epoch().count() - stepWritten.load()) / 1e6;
            latencyMs += ms;
            worstMs = std::max(worstMs, ms);
            ++measured;
            lastStep = index;
            break;
        }
    }
    audioIn->StopNow();
    state.counters["latency_ms"] = measured > 0 ? latencyMs / measured : -1;
    state.counters["worst_ms"] = worstMs;
    state.counters["frames_per_delivery"] = deliveries > 0 ? static_cast<double>(frames - firstFrames) / deliveries : 0;
}
BENCHMARK(BM_LiveCaptureLatency)->Iterations(8)->Unit(benchmark::kMillisecond);

}  // namespace
