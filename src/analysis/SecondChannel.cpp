#include "SecondChannel.h"

#include "Spectrum.h"
#include "Trace.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace wellenschau {

std::optional<double> PhaseDifferenceDegrees(const char* a, const char* b, int n, double hz, double sampleRate) {
    // Both sums share window and oscillator; each advances by one complex
    // rotation per sample instead of a sine and cosine each.
    const std::complex<double> toneStep = std::polar(1.0, -2.0 * std::numbers::pi * hz / sampleRate);
    const std::complex<double> windowStep = std::polar(1.0, 2.0 * std::numbers::pi / (n - 1));
    std::complex<double> tone = 1.0, windowPhasor = 1.0, sumA = 0.0, sumB = 0.0;
    for (int i = 0; i < n; ++i) {
        const double window = 1.0 - windowPhasor.real();
        sumA += window * SampleAt(a, i) * tone;
        sumB += window * SampleAt(b, i) * tone;
        tone *= toneStep;
        windowPhasor *= windowStep;
    }
    if (std::abs(sumA) == 0.0 || std::abs(sumB) == 0.0) return std::nullopt;
    const double degrees = std::arg(sumB * std::conj(sumA)) * 180.0 / std::numbers::pi;
    return degrees == -180.0 ? 180.0 : degrees;
}

TSecondChannel::TSecondChannel(int spectrogramHeight) : FState(std::make_unique<AnalysisState>()) {
    SetupAnalysis(*FState, spectrogramHeight);
}

TChannelBFigures TSecondChannel::Analyse(const char* b, const char* a, int n, const std::optional<double>& aDominantHz,
                                         bool distortion) {
    TChannelBFigures figures;
    WindowAndTransform(*FState, b, n);
    ComputeRowLevels(*FState, n);
    figures.Measurements = Measure(*FState, b, n);
    if (distortion && n == DistortionLength) figures.Distortion = FDistortion.AnalyseBuffer(b);
    if (aDominantHz) figures.PhaseDegrees = PhaseDifferenceDegrees(a, b, n, *aDominantHz, FState->SampleRate);
    return figures;
}

}  // namespace wellenschau
