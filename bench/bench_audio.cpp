// The audio component's own cost per recorded buffer: the buffer-return step
// with a handler that does nothing, on the simulated device. Each iteration
// returns one buffer (without copying samples into it), dispatches its
// notification and requeues the buffer.
#include "audio/AudioIn.h"
#include "audio/SimulatedWaveIn.h"


#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <span>

namespace {

using namespace wellenschau;

void BM_BufferReturnStep(benchmark::State& state) {
    TSimulatedWaveIn device;
    QObject owner;
    auto* audioIn = new TAudioIn(&owner, device);
    audioIn->SetNumBuffers(2);
    audioIn->SetWaveDevice(0);
    audioIn->SetBufferSize(8192);
    audioIn->SetFrameRate(44100);
    int delivered = 0;
    audioIn->SetOnBufferFilled([&delivered](char*, int&) {
        ++delivered;
        return true;
    });
    if (!audioIn->Start(audioIn)) {
        state.SkipWithError("the simulated device did not start");
        return;
    }
    QCoreApplication::sendPostedEvents();
    const HWAVEIN handle = device.LastOpenedHandle();
    for (auto _ : state) {
        device.FillNext(handle, std::span<const char>());
        QCoreApplication::sendPostedEvents();
    }
    benchmark::DoNotOptimize(delivered);
    if (delivered != state.iterations()) state.SkipWithError("a buffer was not delivered");
    audioIn->StopNow();
    QCoreApplication::sendPostedEvents();
}
BENCHMARK(BM_BufferReturnStep)->Unit(benchmark::kNanosecond);

}  // namespace
