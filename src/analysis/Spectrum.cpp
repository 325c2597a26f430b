#include "Spectrum.h"

#include "Fourier.h"
#include "Trace.h"
#include "core/CheckedMath.h"

#include <algorithm>
#include <cmath>

namespace wellenschau {

namespace {

void CheckSampleCount(int n) {
    if (n < 1 || n > FftFrameLength || (n & (n - 1)) != 0) throw ERangeError();
}

// Rows 0 .. RowCount - 1 must lie inside the row tables; checked once so
// that the loops over the rows can run on the raw tables.
int CheckedRowCount(const AnalysisState& state) {
    if (state.RowCount < 1 || state.RowCount >= static_cast<int>(FftTableSize)) throw ERangeError();
    return state.RowCount;
}

// The level in dB of a bin of positive magnitude.
double LevelOf(double magnitude) { return 20.0 * std::log(magnitude / ReferenceMagnitude) / std::log(10.0); }

}  // namespace

void WindowAndTransform(AnalysisState& state, const char* buffer, int n) {
    CheckSampleCount(n);
    double* realIn = state.FftRealIn.data();
    double* imagIn = state.FftImagIn.data();
    const double* window = state.Window.data();
    for (int i = 0; i < n; ++i) {
        realIn[i] = SampleAt(buffer, i) * window[i];
        imagIn[i] = 0.0;
    }
    ComputeFFT(static_cast<std::uint16_t>(n), state.FftRealIn.Span(), state.FftImagIn.Span(),
               state.FftRealOut.Span(), state.FftImagOut.Span());
}

double BinLevel(const AnalysisState& state, int bin) {
    const double magnitude = BinMagnitude(state, bin);
    return magnitude > 0.0 ? LevelOf(magnitude) : LevelFloor;
}

double Largest(const double* values, int count) {
    double lane[4] = {values[0], values[0], values[0], values[0]};
    int i = 0;
    for (; i + 4 <= count; i += 4)
        for (int k = 0; k < 4; ++k) lane[k] = std::max(lane[k], values[i + k]);
    for (; i < count; ++i) lane[0] = std::max(lane[0], values[i]);
    return std::max(std::max(lane[0], lane[1]), std::max(lane[2], lane[3]));
}

void ComputeRowLevels(AnalysisState& state, int n) {
    CheckSampleCount(n);
    const int rowCount = CheckedRowCount(state);
    std::fill_n(state.RowLevel.data(), rowCount, LevelFloor);
    // The squared magnitudes first, in a loop of its own that the compiler
    // can run several bins at a time.
    double* power = state.FftPower.data();
    const double* re = state.FftRealOut.data();
    const double* im = state.FftImagOut.data();
    for (int i = 0; i < n / 2; ++i) power[i] = re[i] * re[i] + im[i] * im[i];
    // Each row takes the loudest level of its bins; a later bin replaces
    // the row's level only when strictly louder, so a bin of magnitude 0
    // (LevelFloor, where every row starts) never does. Neighbouring bins
    // share a row, and the square root and the logarithm are taken only for
    // the loudest of each run of them: the square root is exactly rounded
    // and so never falls as its argument rises; the logarithm's last bit
    // may slip between arguments closer than about 2^-41 relative, so every
    // bin within 2^-28 of the run's largest power gets its own level. The
    // result is the largest level of the run's bins, bit for bit.
    double* rowLevel = state.RowLevel.data();
    const std::int32_t* binRow = state.BinRow.data();
    for (int first = 0; first < n / 2;) {
        const std::int32_t row = binRow[first];
        if (row < 0 || row >= rowCount) throw ERangeError();
        int end = first + 1;
        while (end < n / 2 && binRow[end] == row) ++end;
        const double largest = Largest(power + first, end - first);
        if (largest > 0.0) {
            double loudest = LevelOf(std::sqrt(largest));
            const double closest = largest * (1.0 - 0x1p-28);
            for (int j = first; j < end; ++j)
                if (power[j] >= closest && power[j] != largest)
                    loudest = std::max(loudest, LevelOf(std::sqrt(power[j])));
            if (loudest > rowLevel[row]) rowLevel[row] = loudest;
        }
        first = end;
    }
}

void ApplyPeakHold(AnalysisState& state) {
    const int rowCount = CheckedRowCount(state);
    double* level = state.RowLevel.data();
    const double* previous = state.PrevRowLevel.data();
    for (int r = 0; r < rowCount; ++r)
        if (level[r] < previous[r]) level[r] = 0.9 * previous[r] + 0.1 * level[r];
}

void RememberRowLevels(AnalysisState& state) {
    std::copy_n(state.RowLevel.data(), CheckedRowCount(state), state.PrevRowLevel.data());
}

void LearnBackground(AnalysisState& state, TBackgroundCaption& caption) {
    const int rowCount = CheckedRowCount(state);
    const std::int32_t count = state.BackgroundCount;
    const std::int32_t newCount = CheckedAdd(count, std::int32_t{1});
    double* level = state.RowLevel.data();
    double* background = state.BackgroundLevel.data();
    for (int r = 1; r < rowCount; ++r) {
        background[r] = (count * background[r] + level[r]) / newCount;
        level[r] = background[r];
    }
    state.BackgroundCount = newCount;
    if (state.BackgroundCount == BackgroundBuffers) {
        state.BackgroundLearning = false;
        state.BackgroundSubtract = true;
        caption.SetCaption(BackgroundSubtractCaption);
    }
}

void StartBackgroundLearning(AnalysisState& state) {
    const int rowCount = CheckedRowCount(state);
    std::fill_n(state.BackgroundLevel.data(), rowCount + 1, 0.0);
    state.BackgroundCount = 0;
    state.BackgroundSubtract = false;
    state.BackgroundLearning = true;
}

void StopBackgroundTreatment(AnalysisState& state) {
    state.BackgroundSubtract = false;
    state.BackgroundLearning = false;
}

void SubtractBackground(AnalysisState& state) {
    const int rowCount = CheckedRowCount(state);
    double* level = state.RowLevel.data();
    const double* background = state.BackgroundLevel.data();
    for (int r = 1; r < rowCount; ++r) level[r] = level[r] - background[r] - BackgroundShownLevel;
}

void AddSpectrumPoints(const AnalysisState& state, TPointSink& spectrumPoints) {
    const int rowCount = CheckedRowCount(state);
    const double* frequency = state.RowFrequency.data();
    const double* level = state.RowLevel.data();
    for (int r = 1; r < rowCount; ++r) spectrumPoints.AddPoint(frequency[r], level[r]);
}

void AnalyseSpectrum(AnalysisState& state, const char* buffer, int n, TPointSink& spectrumPoints,
                     TBackgroundCaption& caption) {
    WindowAndTransform(state, buffer, n);
    ComputeRowLevels(state, n);
    if (state.PeakHold) ApplyPeakHold(state);
    RememberRowLevels(state);
    if (state.BackgroundLearning) LearnBackground(state, caption);
    if (state.BackgroundSubtract) SubtractBackground(state);
    AddSpectrumPoints(state, spectrumPoints);
}

}  // namespace wellenschau
