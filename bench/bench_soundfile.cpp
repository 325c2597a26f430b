// Sound files: reading (as is and resampled), playing a file through the
// audio component as fast as possible (the export path without analysis),
// and appending a recorded buffer to a WAV file. The counter RealTime says
// how many times faster than real time a pass runs.
#include "audio/AudioIn.h"
#include "audio/FileWaveIn.h"
#include "audio/SoundFileReader.h"
#include "audio/WavRecorder.h"


#include <QCoreApplication>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace wellenschau;

constexpr int Seconds = 30;
constexpr int BufferSamples = 4096;

std::string BenchPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("wellenschau-bench-" + std::to_string(::getpid()) + name))
        .string();
}

// A 16-bit mono WAV of a sweep, `Seconds` long at `rate`, removed at exit.
class TSweepFile {
public:
    explicit TSweepFile(int rate) : FPath(BenchPath("-sweep" + std::to_string(rate) + ".wav")) {
        std::vector<std::int16_t> samples(static_cast<std::size_t>(Seconds) * rate);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double t = static_cast<double>(i) / rate;
            samples[i] = static_cast<std::int16_t>(20000 * std::sin(2 * std::numbers::pi * (50 + 500 * t) * t));
        }
        {
            TWavRecorder recorder(FPath);
            recorder.Append(reinterpret_cast<const char*>(samples.data()), static_cast<int>(samples.size() * 2));
        }
        if (rate != TWavRecorder::SampleRate) SetRate(rate);
    }
    ~TSweepFile() { std::filesystem::remove(FPath); }
    const std::string& Path() const { return FPath; }

private:
    // The recorder writes 44100 Hz; its header's two rate fields are
    // rewritten for other rates.
    void SetRate(int rate) {
        const int file = ::open(FPath.c_str(), O_WRONLY);
        const std::uint32_t fields[2] = {static_cast<std::uint32_t>(rate), static_cast<std::uint32_t>(rate) * 2};
        const bool written = ::pwrite(file, fields, sizeof(fields), 24) == sizeof(fields);
        ::close(file);
        if (!written) throw EWavRecordError("cannot set the rate of " + FPath);
    }

    std::string FPath;
};

void ReportRealTime(benchmark::State& state, std::int64_t samplesPerPass) {
    state.SetItemsProcessed(state.iterations() * samplesPerPass);
    state.counters["RealTime"] = benchmark::Counter(static_cast<double>(state.iterations()) * Seconds,
                                                    benchmark::Counter::kIsRate);
}

void ReadWholeFile(benchmark::State& state, int rate) {
    const TSweepFile file(rate);
    std::vector<std::int16_t> buffer(BufferSamples);
    std::int64_t samples = 0;
    for (auto _ : state) {
        TSoundFileReader reader(file.Path());
        samples = 0;
        for (int read; (read = reader.Read(buffer.data(), BufferSamples)) > 0;) samples += read;
        benchmark::DoNotOptimize(buffer.data());
    }
    ReportRealTime(state, samples);
}

void BM_ReadSoundFile44100(benchmark::State& state) { ReadWholeFile(state, 44100); }
BENCHMARK(BM_ReadSoundFile44100)->Unit(benchmark::kMillisecond);

void BM_ReadSoundFileResampledFrom48000(benchmark::State& state) { ReadWholeFile(state, 48000); }
BENCHMARK(BM_ReadSoundFileResampledFrom48000)->Unit(benchmark::kMillisecond);

// Every buffer of the file through the component's buffer-return step, with
// a handler that only adds up the samples.
void BM_PlayFileAsFastAsPossible(benchmark::State& state) {
    const TSweepFile file(44100);
    TFileWaveIn device(file.Path(), TFilePace::AsFastAsPossible);
    QObject owner;
    auto* audioIn = new TAudioIn(&owner, device);
    audioIn->SetNumBuffers(2);
    audioIn->SetWaveDevice(0);
    audioIn->SetBufferSize(BufferSamples * 2);
    audioIn->SetFrameRate(44100);
    std::int64_t sum = 0;
    audioIn->SetOnBufferFilled([&sum](char* Buffer, int& Size) {
        const auto* samples = reinterpret_cast<const std::int16_t*>(Buffer);
        for (int i = 0; i < Size / 2; ++i) sum += samples[i];
        return true;
    });
    for (auto _ : state) {
        if (!audioIn->Start(audioIn)) state.SkipWithError(audioIn->ErrorMessage().c_str());
        while (audioIn->DeviceOpen()) QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
    }
    benchmark::DoNotOptimize(sum);
    ReportRealTime(state, static_cast<std::int64_t>(Seconds) * 44100);
}
BENCHMARK(BM_PlayFileAsFastAsPossible)->Unit(benchmark::kMillisecond);

// One recorded buffer appended, header update included. The file starts
// afresh every 1024 buffers (8 MiB).
void BM_WavRecorderAppend(benchmark::State& state) {
    const std::string path = BenchPath("-record.wav");
    const std::vector<char> buffer(BufferSamples * 2, 1);
    auto recorder = std::make_unique<TWavRecorder>(path);
    int appended = 0;
    for (auto _ : state) {
        if (++appended % 1024 == 0) {
            state.PauseTiming();
            recorder = std::make_unique<TWavRecorder>(path);
            state.ResumeTiming();
        }
        recorder->Append(buffer.data(), static_cast<int>(buffer.size()));
    }
    recorder.reset();
    std::filesystem::remove(path);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(buffer.size()));
}
BENCHMARK(BM_WavRecorderAppend)->Unit(benchmark::kMicrosecond);

}  // namespace
