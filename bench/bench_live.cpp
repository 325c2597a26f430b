// How fresh the bench oscilloscope's live trace is on a real sound server:
// a private PulseAudio server records a FIFO through PortAudio, as a
// user's default input would be recorded. The FIFO is fed silence with a
// step every half second; the time from writing the step into the FIFO to
// the step appearing in the capture's tap is what the live trace waits
// for the sound, before at most one timer interval (25 ms) and one frame's
// drawing (BM_LiveScopeFrame). Also counts how often and in what pieces
// the capture callback delivers. BM_LiveScopeEndToEnd measures the whole
// way to the window's oscilloscope, and how often it is redrawn.
#include "app/AnalyserView.h"
#include "app/MainWindow.h"
#include "app/ScopePanel.h"
#include "audio/AudioIn.h"
#include "audio/SampleTap.h"
#include "support/PulseAudioServer.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <numbers>
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

// End to end in the window, as a user records: the analyser view at
// 1920 x 1080 records both channels of a two-channel source with the edge
// trigger and its live trace. Both channels carry a 1 kHz tone at a quarter
// of full scale, with a click (20 frames at 30000) every half second.
// latency_ms: from writing the click into the FIFO to the end of the first
// paint of the oscilloscope whose channel A trace shows it (clicks_missed:
// those no frame showed, left out); frames_per_s:
// the oscilloscope's redraws with a new trace per second. With the argument
// 0 the trigger as --trigger edge sets it (at the left edge of the stored
// 40.8 ms screen), with 1 at 2 ms per division and the trigger at 20 % of
// the screen.
constexpr std::int64_t ClickEvery = 22050;
constexpr std::int64_t ClickFrames = 20;
constexpr double ClickPeriodMs = 1000.0 * ClickEvery / 44100.0;
constexpr std::int16_t ClickValue = 30000;
// Percent of full scale above which the trace shows the click, not the tone.
constexpr double ClickPercent = 80;

void BM_LiveScopeEndToEnd(benchmark::State& state) {
    const auto server = std::make_unique<test::TPulseAudioServer>(2);
    std::atomic<std::int64_t> clickWritten{0};
    const auto feeder = std::make_unique<test::TSampleFeeder>(
        server->FifoPath(),
        [&](std::int64_t i) -> std::int16_t {
            const std::int64_t frame = i / 2;
            if (frame % ClickEvery == 0 && i % 2 == 0) clickWritten.store(Clock::now().time_since_epoch().count());
            if (frame % ClickEvery < ClickFrames) return ClickValue;
            return static_cast<std::int16_t>(std::lround(8192 * std::sin(2 * std::numbers::pi * 1000.0 * frame / 44100.0)));
        },
        2);
    TForm1 form(DefaultWaveInService());
    form.FollowInputDevices();
    form.SetAnalyserView(true);
    form.resize(1920, 1080);
    form.show();
    TScopeSettings settings{.Trigger = TTriggerMode::Edge};
    if (state.range(0) == 1) settings = {.Trigger = TTriggerMode::Edge, .PositionPercent = 20, .MsPerDivision = 2};
    form.Analyser().Scope().SetSettings(settings);
    form.StartButton->click();
    form.Analyser().TwoChannelsCheck()->click();
    if (!form.AudioIn1->DeviceOpen() || !form.AudioIn1->Stereo()) {
        state.SkipWithError("Die Aufnahme in zwei Kanälen ließ sich nicht starten");
        return;
    }
    const TChart& chart = form.Instrument().Chart2;
    const TChartValueList& trace = form.Instrument().FastLineSeries1.YValues();
    const auto showsClick = [&] { return trace.Count() > 0 && trace.MaxValue() > ClickPercent; };
    for (const QDeadlineTimer settled(1000); !settled.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const int firstDraw = chart.DrawCount();
    QElapsedTimer elapsed;
    elapsed.start();
    double latencyMs = 0, worstMs = 0;
    int measured = 0, missed = 0;
    for (auto _ : state) {
        // From the next click on, until a paint shows it.
        const std::int64_t before = clickWritten.load();
        const QDeadlineTimer timeout(3000);
        while (clickWritten.load() == before && !timeout.hasExpired()) QCoreApplication::processEvents();
        const std::int64_t written = clickWritten.load();
        int draws = chart.DrawCount();
        while (!timeout.hasExpired()) {
            QCoreApplication::processEvents();
            if (chart.DrawCount() == draws) continue;
            draws = chart.DrawCount();
            if (!showsClick()) continue;
            const double ms = (Clock::now().time_since_epoch().count() - written) / 1e6;
            // A screen shorter than the time between two frames can miss a
            // click; the trace then shows the next one.
            if (ms >= ClickPeriodMs / 2) {
                ++missed;
                break;
            }
            latencyMs += ms;
            worstMs = std::max(worstMs, ms);
            ++measured;
            break;
        }
    }
    state.counters["frames_per_s"] = (chart.DrawCount() - firstDraw) * 1000.0 / static_cast<double>(elapsed.elapsed());
    form.PauseButton->click();
    state.counters["latency_ms"] = measured > 0 ? latencyMs / measured : -1;
    state.counters["worst_ms"] = worstMs;
    state.counters["clicks_seen"] = measured;
    state.counters["clicks_missed"] = missed;
}
BENCHMARK(BM_LiveScopeEndToEnd)->Arg(0)->Arg(1)->Iterations(8)->Unit(benchmark::kMillisecond);

}  // namespace
