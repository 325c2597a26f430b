// The headless export of a 10-minute 44.1 kHz mono recording, run as a
// user runs it (the program itself), reported as seconds of audio
// analysed per second of wall time.
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

constexpr int Rate = 44100;
constexpr int Seconds = 600;

// A tone gliding slowly up and down over noise-free silence gaps: every
// buffer has something to analyse, nothing repeats exactly.
void WriteRecording(const QString& path) {
    SF_INFO info{};
    info.samplerate = Rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    std::vector<std::int16_t> second(Rate);
    double phase = 0.0;
    for (int s = 0; s < Seconds; ++s) {
        const double hz = 200.0 + 3000.0 * (1.0 + std::sin(s * 0.05));
        for (int i = 0; i < Rate; ++i) {
            phase += 2.0 * std::numbers::pi * hz / Rate;
            second[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(12000.0 * std::sin(phase)));
        }
        sf_write_short(file, second.data(), Rate);
    }
    sf_close(file);
}

void BM_ExportTenMinutes(benchmark::State& state) {
    QTemporaryDir folder;
    const QString recording = folder.filePath("ten-minutes.wav");
    WriteRecording(recording);
    for (auto _ : state) {
        QProcess program;
        program.start(WELLENSCHAU_EXECUTABLE, {"--input", recording, "--export", folder.filePath("out")});
        if (!program.waitForFinished(600000) || program.exitCode() != 0) state.SkipWithError("export failed");
    }
    state.counters["audio_s_per_s"] =
        benchmark::Counter(static_cast<double>(Seconds) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExportTenMinutes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
