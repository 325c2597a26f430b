// Numbers about one buffer that a user reads off an oscilloscope and
// analyser: RMS level, peak, the dominant tone's frequency and level, and
// its note. Pure functions over the samples and what the spectrum step
// left in the analysis state; they change nothing the spectrum computes.
// User-interface thread only; allocates nothing.
#pragma once

#include "AnalysisState.h"

#include <optional>

namespace wellenschau {

// Dominant tones are looked for between these frequencies.
inline constexpr double LowestDominantHz = 20.0;
inline constexpr double HighestDominantHz = 20000.0;

struct TMeasurements {
    // RMS level in dBFS, a full-scale sine reading 0 dBFS; none for
    // digital silence.
    std::optional<double> RmsDbfs;
    // Largest sample magnitude in percent of full scale (32767 and -32768
    // both read 100).
    double PeakPercent = 0.0;
    // The strongest spectral peak between LowestDominantHz and
    // HighestDominantHz, interpolated between bins, and the level in dBFS
    // of a sine of its amplitude; none for digital silence.
    std::optional<double> DominantHz;
    std::optional<double> DominantDbfs;
};

// Measures the n samples of a recorded buffer (little-endian 16-bit). Must
// run after the spectrum step of the same buffer, whose bin magnitudes it
// reads.
TMeasurements Measure(const AnalysisState& state, const char* buffer, int n);

// A frequency as the nearest equal-tempered note (A4 = 440 Hz, MIDI
// numbering: 69 is A4) and its distance from it in cents (-50 .. 50).
struct TNote {
    int Midi;
    double Cents;
};
TNote NoteOf(double hz);

}  // namespace wellenschau
