// Cost of the spectrum and spectrogram part of the buffer handler for one
// buffer: window, FFT, row levels, peak display, background subtraction,
// spectrum points and the scrolled spectrogram column.
#include "analysis/AnalysisState.h"
#include "analysis/Measurements.h"
#include "analysis/PointSink.h"
#include "analysis/Spectrogram.h"
#include "analysis/Spectrum.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

namespace {

using namespace wellenschau;

constexpr int PictureWidth = 304;
constexpr int PictureHeight = 300;

// Stands in for the chart series: keeps the last point so nothing is
// optimised away, allocates nothing.
class TLastPoint : public TPointSink {
public:
    void AddPoint(double X, double Y) override {
        FX = X;
        FY = Y;
    }
    double Sum() const { return FX + FY; }

private:
    double FX = 0.0;
    double FY = 0.0;
};

class TIgnoredCaption : public TBackgroundCaption {
public:
    void SetCaption(const char*) override {}
};

// A buffer of noise, little-endian 16-bit.
std::vector<char> NoiseBuffer() {
    std::vector<char> bytes(2 * FftFrameLength);
    std::mt19937 random(1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& b : bytes) b = static_cast<char>(byte(random));
    return bytes;
}

void BM_SpectrumAndSpectrogram(benchmark::State& state) {
    auto analysis = std::make_unique<AnalysisState>();
    SetupAnalysis(*analysis, PictureHeight);
    QImage picture;
    PrepareIndexedBitmap(picture, PictureWidth, PictureHeight, analysis->SpectrogramLines);
    // The most work a buffer can cost: peak display and subtraction on.
    analysis->PeakHold = true;
    analysis->BackgroundSubtract = true;
    const std::vector<char> buffer = NoiseBuffer();
    TLastPoint points;
    TIgnoredCaption caption;
    for (auto _ : state) {
        AnalyseSpectrum(*analysis, buffer.data(), FftFrameLength, points, caption);
        WriteSpectrogramColumn(*analysis, PictureWidth, PictureHeight);
        benchmark::DoNotOptimize(points.Sum());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SpectrumAndSpectrogram)->Unit(benchmark::kMicrosecond);

// The measurements of one buffer, after its spectrum step; compare with
// BM_SpectrumAndSpectrogram of the same run.
void BM_Measurements(benchmark::State& state) {
    auto analysis = std::make_unique<AnalysisState>();
    SetupAnalysis(*analysis, PictureHeight);
    const std::vector<char> buffer = NoiseBuffer();
    TLastPoint points;
    TIgnoredCaption caption;
    AnalyseSpectrum(*analysis, buffer.data(), FftFrameLength, points, caption);
    for (auto _ : state) {
        const TMeasurements m = Measure(*analysis, buffer.data(), FftFrameLength);
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BM_Measurements)->Unit(benchmark::kMicrosecond);

}  // namespace
