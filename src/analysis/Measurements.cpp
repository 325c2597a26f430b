#include "Measurements.h"

#include "Spectrum.h"
#include "Trace.h"
#include "core/Vectorise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>

namespace wellenschau {

namespace {

constexpr double FullScale = 32768.0;

// One pass over the samples: the exact sum of squares (at most 2^42 for
// 4096 samples) and the extremes.
struct TSampleStatistics {
    std::int64_t SumOfSquares = 0;
    int Largest = 0;   // 0 .. 32767
    int Smallest = 0;  // -32768 .. 0
};

WELLENSCHAU_ALSO_FOR_AVX2 TSampleStatistics SampleStatistics(const char* buffer, int n) {
    std::int64_t sum = 0;
    std::int16_t largest = 0;
    std::int16_t smallest = 0;
    for (int i = 0; i < n; ++i) {
        const std::int16_t s = SampleAt(buffer, i);
        sum += static_cast<std::int64_t>(s) * s;
        largest = std::max(largest, s);
        smallest = std::min(smallest, s);
    }
    return {sum, largest, smallest};
}

// RMS in dBFS: a sine of full-scale amplitude has an RMS of 1/sqrt(2) of
// full scale and reads 0 dBFS.
std::optional<double> RmsDbfs(const TSampleStatistics& statistics, int n) {
    if (statistics.SumOfSquares == 0) return std::nullopt;
    const double rms = std::sqrt(static_cast<double>(statistics.SumOfSquares) / n) / FullScale;
    return 20.0 * std::log10(rms * std::numbers::sqrt2);
}

double PeakPercent(const TSampleStatistics& statistics) {
    return std::max(statistics.Largest / 32767.0, statistics.Smallest / -32768.0) * 100.0;
}

// Magnitude of the Hann window's spectrum d bins from a tone, relative to
// its value at the tone: sin(pi d) / (pi d (1 - d^2)).
double HannResponse(double d) {
    if (d == 0.0) return 1.0;
    return std::sin(std::numbers::pi * d) / (std::numbers::pi * d * (1.0 - d * d));
}

struct TPeak {
    double Bin;        // interpolated position in bins
    double Magnitude;  // of a bin centred on the tone, relative to 2048
};

// The loudest bin k in [first, last] and its neighbours: for a tone d bins
// above k, a Hann window makes their magnitudes proportional to
// 1 / ((1 + d)(2 + d)), 1 / ((1 - d)(1 + d)) and 1 / ((1 - d)(2 - d)), so
// d = 2 (above - below) / (below + 2 centre + above) exactly.
std::optional<TPeak> DominantPeak(const AnalysisState& state, int first, int last) {
    const double* power = state.FftPower.data();
    const double loudest = Largest(power + first, last - first + 1);
    const int k = static_cast<int>(std::find(power + first, power + last, loudest) - power);
    const double centre = BinMagnitude(state, k) / ReferenceMagnitude;
    if (centre == 0.0) return std::nullopt;
    const double below = BinMagnitude(state, k - 1) / ReferenceMagnitude;
    const double above = BinMagnitude(state, k + 1) / ReferenceMagnitude;
    const double d = std::clamp(2.0 * (above - below) / (below + 2.0 * centre + above), -0.5, 0.5);
    return TPeak{k + d, centre / HannResponse(d)};
}

}  // namespace

TMeasurements Measure(const AnalysisState& state, const char* buffer, int n) {
    TMeasurements m;
    const TSampleStatistics statistics = SampleStatistics(buffer, n);
    m.RmsDbfs = RmsDbfs(statistics, n);
    m.PeakPercent = PeakPercent(statistics);
    const double binWidth = state.SampleRate / n;
    const int first = std::max(1, static_cast<int>(std::ceil(LowestDominantHz / binWidth)));
    const int last = std::min(n / 2 - 2, static_cast<int>(HighestDominantHz / binWidth));
    if (first > last) return m;
    const std::optional<TPeak> peak = DominantPeak(state, first, last);
    if (!peak) return m;
    m.DominantHz = peak->Bin * binWidth;
    // The windowed sum of a full-scale sine at a bin centre: half the sum
    // of the window factors (3 / 65536 per unit of the raised cosine) times
    // full scale, relative to the 0 dB magnitude of 2048.
    const double fullScaleMagnitude = 0.5 * (3.0 / 65536.0) * (n - 1) * FullScale / ReferenceMagnitude;
    m.DominantDbfs = 20.0 * std::log10(peak->Magnitude / fullScaleMagnitude);
    return m;
}

TNote NoteOf(double hz) {
    const double semitones = 69.0 + 12.0 * std::log2(hz / 440.0);
    const double nearest = std::round(semitones);
    return {static_cast<int>(nearest), 100.0 * (semitones - nearest)};
}

}  // namespace wellenschau
