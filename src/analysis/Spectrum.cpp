#include "Spectrum.h"

#include "Fourier.h"
#include "Trace.h"
#include "core/CheckedMath.h"
#include "core/Vectorise.h"

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

// realIn[i] := sample i times window[i].
WELLENSCHAU_ALSO_FOR_AVX2 void WindowSamples(const char* buffer, const double* __restrict window,
                                                            double* __restrict realIn, int n) {
    for (int i = 0; i < n; ++i) realIn[i] = SampleAt(buffer, i) * window[i];
}

// Of two squared magnitudes, the one with the higher level; a when b's is
// not strictly higher. The square root is exactly rounded and so never
// falls as its argument rises; the logarithm's last bit may slip between
// arguments closer than about 2^-41 relative. So powers further apart than
// 2^-28 are ordered as their levels, closer ones by their levels.
double LouderPower(double a, double b) {
    constexpr double apart = 1.0 - 0x1p-28;
    if (b < a * apart) return a;
    if (a < b * apart) return b;
    if (a == 0.0) return b;
    return LevelOf(std::sqrt(b)) > LevelOf(std::sqrt(a)) ? b : a;
}

}  // namespace

void WindowAndTransform(AnalysisState& state, const char* buffer, int n) {
    CheckSampleCount(n);
    WindowSamples(buffer, state.Window.data(), state.FftRealIn.data(), n);
    std::fill_n(state.FftImagIn.data(), n, 0.0);
    ComputeFFT(static_cast<std::uint16_t>(n), state.FftRealIn.Span(), state.FftImagIn.Span(),
               state.FftRealOut.Span(), state.FftImagOut.Span());
}

double BinLevel(const AnalysisState& state, int bin) {
    const double magnitude = BinMagnitude(state, bin);
    return magnitude > 0.0 ? LevelOf(magnitude) : LevelFloor;
}

void ComputeRowLevels(AnalysisState& state, int n) {
    CheckSampleCount(n);
    const int rowCount = CheckedRowCount(state);
    // The squared magnitudes first, in a loop of its own that the compiler
    // can run several bins at a time.
    double* power = state.FftPower.data();
    const double* re = state.FftRealOut.data();
    const double* im = state.FftImagOut.data();
    for (int i = 0; i < n / 2; ++i) power[i] = re[i] * re[i] + im[i] * im[i];
    // Each row takes the loudest level of its bins; a later bin replaces
    // the row's level only when strictly louder, so a bin of magnitude 0
    // (LevelFloor, where every row starts) never does. The loudest bin of
    // each row is found by its power (kept in RowLevel meanwhile), so the
    // square root and the logarithm are taken once per row: neighbouring
    // bins share a row, and only the few bins within 2^-28 of a run's
    // largest power can be louder than the power says.
    double* rowLevel = state.RowLevel.data();
    std::fill_n(rowLevel, rowCount, 0.0);
    const std::int32_t* binRow = state.BinRow.data();
    for (int first = 0; first < n / 2;) {
        const std::int32_t row = binRow[first];
        if (row < 0 || row >= rowCount) throw ERangeError();
        int end = first + 1;
        while (end < n / 2 && binRow[end] == row) ++end;
        const double largest = Largest(power + first, end - first);
        double loudest = LouderPower(rowLevel[row], largest);
        const double close = largest * (1.0 - 0x1p-28);
        for (int j = first; j < end; ++j)
            if (power[j] >= close && power[j] != largest) loudest = LouderPower(loudest, power[j]);
        rowLevel[row] = loudest;
        first = end;
    }
    // The rows' logarithms do not wait for each other.
    for (int r = 0; r < rowCount; ++r)
        rowLevel[r] = rowLevel[r] > 0.0 ? std::max(LevelOf(std::sqrt(rowLevel[r])), LevelFloor) : LevelFloor;
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
