#include "Spectrum.h"

#include "Fourier.h"
#include "Trace.h"
#include "core/CheckedMath.h"

#include <algorithm>
#include <cmath>

namespace wellenschau {

namespace {

// Bin magnitude that reads 0 dB.
constexpr double ReferenceMagnitude = 2048.0;

void CheckSampleCount(int n) {
    if (n < 1 || n > FftFrameLength || (n & (n - 1)) != 0) throw ERangeError();
}

// Rows 0 .. RowCount - 1 must lie inside the row tables; checked once so
// that the loops over the rows can run on the raw tables.
int CheckedRowCount(const AnalysisState& state) {
    if (state.RowCount < 1 || state.RowCount >= static_cast<int>(FftTableSize)) throw ERangeError();
    return state.RowCount;
}

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

void ComputeRowLevels(AnalysisState& state, int n) {
    CheckSampleCount(n);
    const int rowCount = CheckedRowCount(state);
    std::fill_n(state.RowLevel.data(), rowCount, LevelFloor);
    double* level = state.FftRealOut.data();
    const double* imag = state.FftImagOut.data();
    // The magnitudes first, in a loop of its own that the compiler can run
    // several bins at a time (the square root is exact either way).
    for (int i = 0; i < n / 2; ++i) level[i] = std::sqrt(level[i] * level[i] + imag[i] * imag[i]);
    const double ln10 = std::log(10.0);
    for (int i = 0; i < n / 2; ++i)
        level[i] = level[i] > 0.0 ? 20.0 * std::log(level[i] / ReferenceMagnitude) / ln10 : LevelFloor;
    // Each row takes the loudest level of its bins; a later bin replaces
    // the row's level only when strictly louder. Neighbouring bins share a
    // row, so each run of them is taken in a register first (levels are
    // never NaN, so the run's loudest decides exactly as bin by bin would).
    double* rowLevel = state.RowLevel.data();
    const std::int32_t* binRow = state.BinRow.data();
    for (int i = 0; i < n / 2;) {
        const std::int32_t row = binRow[i];
        if (row < 0 || row >= rowCount) throw ERangeError();
        double loudest = level[i];
        for (++i; i < n / 2 && binRow[i] == row; ++i)
            if (level[i] > loudest) loudest = level[i];
        if (loudest > rowLevel[row]) rowLevel[row] = loudest;
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
