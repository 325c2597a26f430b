// Recursive filters as cascades of second-order sections, and the designs
// the sound level meter uses: Butterworth low-, high- and band-passes by
// the bilinear transform with prewarped corner frequencies. Pure
// computation without Qt.
#pragma once

#include <complex>
#include <span>
#include <vector>

namespace wellenschau {

// H(z) = (B0 + B1 z^-1 + B2 z^-2) / (1 + A1 z^-1 + A2 z^-2). The default
// passes the signal unchanged.
struct TBiquad {
    double B0 = 1.0, B1 = 0.0, B2 = 0.0;
    double A1 = 0.0, A2 = 0.0;
};

// |H| of sections in series at a frequency.
double MagnitudeAt(std::span<const TBiquad> sections, double hz, double sampleRate);

// The sections scaled (through the last) so that |H| at hz is `gain`.
void ScaleGainAt(std::vector<TBiquad>& sections, double hz, double sampleRate, double gain = 1.0);

// The product of two first-order sections (B2 = A2 = 0) as one section.
TBiquad Product(const TBiquad& a, const TBiquad& b);

// First-order s / (s + 2 pi cornerHz) by the bilinear transform.
TBiquad FirstOrderHighPass(double cornerHz, double sampleRate);

// Butterworth filters of the given order (low-pass: even), -3 dB at the
// corners; the band-pass has twice the order, a real prototype pole's
// pair included. Unity gain in the pass band (low-pass at DC, high-pass at
// Nyquist, band-pass at the geometric centre of the prewarped corners).
std::vector<TBiquad> ButterworthLowPass(int order, double cornerHz, double sampleRate);
std::vector<TBiquad> ButterworthHighPass(int order, double cornerHz, double sampleRate);
std::vector<TBiquad> ButterworthBandPass(int order, double lowHz, double highHz, double sampleRate);

}  // namespace wellenschau
