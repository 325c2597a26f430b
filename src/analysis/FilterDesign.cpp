#include "FilterDesign.h"

#include <cmath>
#include <numbers>

namespace wellenschau {

namespace {

using TComplex = std::complex<double>;

// The bilinear transform's constant and an analog angular frequency that
// the transform maps onto hz.
double BilinearK(double sampleRate) { return 2.0 * sampleRate; }
double Prewarped(double hz, double sampleRate) {
    return BilinearK(sampleRate) * std::tan(std::numbers::pi * hz / sampleRate);
}

TComplex Bilinear(TComplex s, double sampleRate) {
    const double k = BilinearK(sampleRate);
    return (k + s) / (k - s);
}

// The poles of the normalised Butterworth low-pass prototype in the upper
// half plane, the real pole -1 of an odd order included.
std::vector<TComplex> PrototypePoles(int order) {
    std::vector<TComplex> poles;
    for (int k = 0; 2 * k < order; ++k)
        poles.push_back(std::polar(1.0, std::numbers::pi * (2.0 * k + order + 1.0) / (2.0 * order)));
    return poles;
}

// A section with the digital pole z and its conjugate, numerator b.
TBiquad PolePair(TComplex z, double b0, double b1, double b2) {
    return {b0, b1, b2, -2.0 * z.real(), std::norm(z)};
}

// A first-order section with the real digital pole z, numerator b.
TBiquad RealPole(double z, double b0, double b1) { return {b0, b1, 0.0, -z, 0.0}; }

}  // namespace

double MagnitudeAt(std::span<const TBiquad> sections, double hz, double sampleRate) {
    const TComplex z1 = std::polar(1.0, -2.0 * std::numbers::pi * hz / sampleRate);
    const TComplex z2 = z1 * z1;
    double magnitude = 1.0;
    for (const TBiquad& c : sections)
        magnitude *= std::abs((c.B0 + c.B1 * z1 + c.B2 * z2) / (1.0 + c.A1 * z1 + c.A2 * z2));
    return magnitude;
}

void ScaleGainAt(std::vector<TBiquad>& sections, double hz, double sampleRate, double gain) {
    const double factor = gain / MagnitudeAt(sections, hz, sampleRate);
    TBiquad& last = sections.back();
    last.B0 *= factor;
    last.B1 *= factor;
    last.B2 *= factor;
}

TBiquad Product(const TBiquad& a, const TBiquad& b) {
    return {a.B0 * b.B0, a.B0 * b.B1 + a.B1 * b.B0, a.B1 * b.B1, a.A1 + b.A1, a.A1 * b.A1};
}

TBiquad FirstOrderHighPass(double cornerHz, double sampleRate) {
    const double k = BilinearK(sampleRate);
    const double w = 2.0 * std::numbers::pi * cornerHz;
    return {k / (k + w), -k / (k + w), 0.0, -(k - w) / (k + w), 0.0};
}

std::vector<TBiquad> ButterworthLowPass(int order, double cornerHz, double sampleRate) {
    const double w = Prewarped(cornerHz, sampleRate);
    std::vector<TBiquad> sections;
    for (TComplex p : PrototypePoles(order)) sections.push_back(PolePair(Bilinear(w * p, sampleRate), 1.0, 2.0, 1.0));
    ScaleGainAt(sections, 0.0, sampleRate);
    return sections;
}

std::vector<TBiquad> ButterworthHighPass(int order, double cornerHz, double sampleRate) {
    const double w = Prewarped(cornerHz, sampleRate);
    std::vector<TBiquad> sections;
    for (TComplex p : PrototypePoles(order)) {
        const TComplex z = Bilinear(w / p, sampleRate);
        if (p.imag() > 1e-12) sections.push_back(PolePair(z, 1.0, -2.0, 1.0));
        else sections.push_back(RealPole(z.real(), 1.0, -1.0));
    }
    ScaleGainAt(sections, sampleRate / 2.0, sampleRate);
    return sections;
}

std::vector<TBiquad> ButterworthBandPass(int order, double lowHz, double highHz, double sampleRate) {
    const double low = Prewarped(lowHz, sampleRate);
    const double high = Prewarped(highHz, sampleRate);
    const double centreSquared = low * high;
    const double bandwidth = high - low;
    std::vector<TBiquad> sections;
    for (TComplex p : PrototypePoles(order)) {
        // s -> (s^2 + w0^2) / (B s) turns each prototype pole into two
        // band-pass poles. With the conjugate prototype pole's two they make
        // two conjugate pairs; a real prototype pole's two are one pair.
        // Every section has one zero at DC and one at Nyquist.
        const TComplex pb = p * bandwidth;
        const TComplex root = std::sqrt(pb * pb - 4.0 * centreSquared);
        const TComplex upper = (pb + root) / 2.0;
        const TComplex lower = (pb - root) / 2.0;
        if (p.imag() > 1e-12) {
            sections.push_back(PolePair(Bilinear(upper, sampleRate), 1.0, 0.0, -1.0));
            sections.push_back(PolePair(Bilinear(lower, sampleRate), 1.0, 0.0, -1.0));
        } else {
            sections.push_back(PolePair(Bilinear(upper, sampleRate), 1.0, 0.0, -1.0));
        }
    }
    const double centreHz = sampleRate / std::numbers::pi * std::atan(std::sqrt(centreSquared) / BilinearK(sampleRate));
    ScaleGainAt(sections, centreHz, sampleRate);
    return sections;
}

}  // namespace wellenschau
