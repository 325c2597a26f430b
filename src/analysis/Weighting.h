// Frequency weightings A, C and Z of sound level meters (IEC 61672-1):
// the analytic weighting in dB, and digital filters that follow it.
// Pure computation without Qt.
//
// The filters: the weighting's high-pass poles (20.6, 107.7 and 737.9 Hz)
// by the bilinear transform, whose warping is below 0.01 dB there; its
// double low-pass pole at 12194 Hz, where the bilinear transform would be
// several dB off near Nyquist, by one second-order section fitted in
// magnitude: |H|^2 as a ratio of quadratics in cos(omega), least squares in
// relative error from DC to Nyquist, factored into minimum-phase poles and
// zeros. At 44100 Hz the filter then follows the analytic weighting within
// about 0.04 dB up to 16 kHz and 0.15 dB up to 20 kHz. The phase is not
// the analog one, which a level does not see.
#pragma once

#include "FilterDesign.h"

#include <vector>

namespace wellenschau {

enum class TWeighting { A, C, Z };

// The weighting in dB at a frequency, analytic, 0 dB at 1 kHz;
// -infinity at 0 Hz for A and C.
double WeightingDb(TWeighting w, double frequencyHz);

// The weighting as sections at a sample rate, 0 dB at 1 kHz; none for Z.
// A's first two sections are C's, so that one chain gives both.
std::vector<TBiquad> WeightingSections(TWeighting w, double sampleRate);

}  // namespace wellenschau
