// Recursive filters as cascades of second-order sections, and the designs
// the sound level meter uses: Butterworth low-, high- and band-passes by
// the bilinear transform with prewarped corner frequencies. Designing
// allocates; running a cascade does not. Pure computation without Qt.
#pragma once

#include <algorithm>
#include <array>
#include <complex>
#include <span>
#include <stdexcept>
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

// The sections scaled (through the first) so that |H| at hz is `gain`.
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

// A cascade of up to N sections with its state, direct form II
// transposed.
template <int N>
class TCascade {
public:
    TCascade() = default;
    // At most N sections, else std::invalid_argument.
    explicit TCascade(std::span<const TBiquad> sections);

    double Step(double x) {
        for (int i = 0; i < FCount; ++i) {
            const TBiquad& c = FSections[i];
            const double y = c.B0 * x + FState[i][0];
            FState[i][0] = c.B1 * x - c.A1 * y + FState[i][1];
            FState[i][1] = c.B2 * x - c.A2 * y;
            x = y;
        }
        return x;
    }

private:
    int FCount = 0;
    std::array<TBiquad, N> FSections{};
    std::array<std::array<double, 2>, N> FState{};
};

template <int N>
TCascade<N>::TCascade(std::span<const TBiquad> sections) {
    if (sections.size() > N) throw std::invalid_argument("more sections than the cascade holds");
    std::copy(sections.begin(), sections.end(), FSections.begin());
    FCount = static_cast<int>(sections.size());
}

}  // namespace wellenschau
