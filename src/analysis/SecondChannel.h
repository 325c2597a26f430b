// The second channel of a two-channel recording (channel B): its own
// measurements and distortion figures, made by the same functions as
// channel A's from B's samples, and the phase between the two channels.
// Channel A keeps the instrument's analysis state untouched, so every
// number of A stays what one channel gives. A TSecondChannel makes its
// tables once; analysing a buffer allocates nothing.
// User-interface thread only.
#pragma once

#include "AnalysisState.h"
#include "Distortion.h"
#include "Measurements.h"

#include <memory>
#include <optional>

namespace wellenschau {

// What channel B shows of one buffer.
struct TChannelBFigures {
    TMeasurements Measurements;
    // B's own buffer alone (no averaging); none without a tone, or with
    // the distortion analysis off.
    std::optional<TDistortion> Distortion;
    // The phase of B relative to A at A's dominant frequency, in degrees in
    // (-180, 180]; none without a dominant tone in A or with B silent
    // there.
    std::optional<double> PhaseDegrees;
};

// The phase of channel b relative to channel a at `hz`: the argument of
// b's Hann-windowed discrete-time Fourier transform at hz minus that of
// a's, over the n samples of each buffer (little-endian 16-bit), in
// degrees in (-180, 180]. Positive when b leads a. None when either
// transform is zero there.
std::optional<double> PhaseDifferenceDegrees(const char* a, const char* b, int n, double hz, double sampleRate);

class TSecondChannel {
public:
    // spectrogramHeight as for SetupAnalysis.
    explicit TSecondChannel(int spectrogramHeight);

    // Analyses n samples of channel B (a power of two from MinTraceSamples
    // up to FftFrameLength, as for channel A); `a` is channel A's buffer of
    // the same length and aDominantHz its dominant tone. Distortion figures
    // come only with `distortion` and for whole 4096-sample buffers.
    TChannelBFigures Analyse(const char* b, const char* a, int n, const std::optional<double>& aDominantHz,
                             bool distortion);

    // The distortion analyser of channel B, whose state carries over
    // from buffer to buffer (see TDistortionAnalyser).
    TDistortionAnalyser& Distortion() { return FDistortion; }

private:
    std::unique_ptr<AnalysisState> FState;
    TDistortionAnalyser FDistortion;
};

}  // namespace wellenschau
