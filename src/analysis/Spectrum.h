// The spectrum part of the buffer handler: Hann window and FFT, bin levels
// in dB grouped into rows, the peak display, the background learning and
// subtraction, and the spectrum points. Pure computation on the analysis
// state; the window supplies the point sink and the caption of its
// background check box. User-interface thread only; allocates nothing.
#pragma once

#include "AnalysisState.h"
#include "PointSink.h"

#include <algorithm>
#include <cmath>

namespace wellenschau {

// Where the spectrum announces that the background has been learned: the
// window sets the caption of its background check box. Called on the
// user-interface thread, once per learning.
class TBackgroundCaption {
public:
    virtual void SetCaption(const char* caption) = 0;  // UTF-8

protected:
    ~TBackgroundCaption() = default;
};

// Buffers averaged into the background before the subtraction starts.
inline constexpr int BackgroundBuffers = 50;
// Captions of the background check box: while learning, once the
// background is known, and after the user switched the treatment off.
inline constexpr const char* BackgroundLearningCaption = "Aufzeichnung...";
inline constexpr const char* BackgroundSubtractCaption = "&Hintergrundsubtraktion";
// Bin magnitude that reads 0 dB.
inline constexpr double ReferenceMagnitude = 2048.0;
inline constexpr const char* BackgroundOffCaption = "Hintergrundsubtraktion";
// Level at which a row sits when it equals its background.
inline constexpr double BackgroundShownLevel = 80.0;

// Windows the n samples of a recorded buffer (little-endian 16-bit) into
// FftRealIn, zeroes FftImagIn and transforms them. n must be a power of
// two from 1 to FftFrameLength, else ERangeError before anything changes.
void WindowAndTransform(AnalysisState& state, const char* buffer, int n);

// Keeps the squared magnitudes of bins 0 .. n/2 - 1 in FftPower and gives
// every row the loudest level of its bins, in dB relative to a bin
// magnitude of 2048. A bin of magnitude 0 has the level LevelFloor, far
// below the picture's scale, so that digital silence shows as silence. The
// transform's output stays as it is.
void ComputeRowLevels(AnalysisState& state, int n);

// One bin after ComputeRowLevels: its magnitude and its level in dB
// (LevelFloor for a magnitude of 0).
inline double BinMagnitude(const AnalysisState& state, int bin) {
    return std::sqrt(state.FftPower[static_cast<std::size_t>(bin)]);
}
double BinLevel(const AnalysisState& state, int bin);

// The largest of count (at least 1) values that are not NaN, taken in four
// independent lanes.
inline double Largest(const double* values, int count) {
    double lane[4] = {values[0], values[0], values[0], values[0]};
    int i = 0;
    for (; i + 4 <= count; i += 4)
        for (int k = 0; k < 4; ++k) lane[k] = std::max(lane[k], values[i + k]);
    for (; i < count; ++i) lane[0] = std::max(lane[0], values[i]);
    return std::max(std::max(lane[0], lane[1]), std::max(lane[2], lane[3]));
}

// Peak display: a falling row level closes only a tenth of its gap (in dB)
// to the previous buffer's level; a rising or equal one shows at once.
void ApplyPeakHold(AnalysisState& state);

// Keeps the row levels for the next buffer's peak display.
void RememberRowLevels(AnalysisState& state);

// One learning step: rows 1.. take the running mean of their levels; the
// BackgroundBuffers-th step switches to subtraction and sets the caption.
void LearnBackground(AnalysisState& state, TBackgroundCaption& caption);

// Switches the background treatment on: forgets the learned background and
// learns it anew from the next BackgroundBuffers buffers. The caller shows
// BackgroundLearningCaption.
void StartBackgroundLearning(AnalysisState& state);

// Switches learning and subtraction off; the caller shows
// BackgroundOffCaption.
void StopBackgroundTreatment(AnalysisState& state);

// Shows rows 1.. relative to their background, which sits at -80 dB.
void SubtractBackground(AnalysisState& state);

// One point per row 1 .. RowCount - 1: x = row frequency in Hz, y = level.
void AddSpectrumPoints(const AnalysisState& state, TPointSink& spectrumPoints);

// The spectrum part of the buffer handler, in its order: window and FFT,
// row levels, peak display (when PeakHold is set), the copy for the next
// peak display, background learning and subtraction (when their flags are
// set), spectrum points.
void AnalyseSpectrum(AnalysisState& state, const char* buffer, int n, TPointSink& spectrumPoints,
                     TBackgroundCaption& caption);

}  // namespace wellenschau
