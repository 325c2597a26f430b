#include "Fourier.h"

#include "core/Errors.h"

#include <cmath>

namespace wellenschau {

std::uint16_t LowestSetBit(std::uint16_t Value) {
    std::uint16_t bit = 0;
    while (bit < 16 && ((Value >> bit) & 1u) == 0) ++bit;
    return bit;
}

std::uint16_t BitReverse(std::uint16_t Index, std::uint16_t BitCount) {
    std::uint16_t reversed = 0;
    for (std::uint16_t i = 0; i < BitCount; ++i) {
        reversed = static_cast<std::uint16_t>((reversed << 1) | (Index & 1u));
        Index = static_cast<std::uint16_t>(Index >> 1);
    }
    return reversed;
}

namespace {

// One stage: butterflies of width Span on blocks Base, Base + Span, ...
// The twiddle w = exp(i * q * delta) advances by the recurrence
// w := w * (cos delta + i sin delta) with alpha = 1 - cos delta and
// beta = sin delta, each product rounded to double in this order.
void ButterflyStage(double Angle, std::uint16_t FftLength, std::uint16_t Half, std::uint16_t Span,
                    double* re, double* im) {
    const double delta = Angle / Span;
    const double s = std::sin(0.5 * delta);
    const double alpha = 2.0 * s * s;
    const double beta = std::sin(delta);
    for (std::uint16_t base = 0; base < FftLength; base = static_cast<std::uint16_t>(base + Span)) {
        double wr = 1.0;
        double wi = 0.0;
        const std::uint16_t blockEnd = static_cast<std::uint16_t>(base + Half);
        for (std::uint16_t j = base; j < blockEnd; ++j) {
            const std::uint16_t k = static_cast<std::uint16_t>(j + Half);
            const double tr = wr * re[k] - wi * im[k];
            const double ti = wr * im[k] + wi * re[k];
            re[k] = re[j] - tr;
            im[k] = im[j] - ti;
            re[j] = re[j] + tr;
            im[j] = im[j] + ti;
            const double t = alpha * wr + beta * wi;
            wi = wi - (alpha * wi - beta * wr);
            wr = wr - t;
        }
    }
}

}  // namespace

void RadixTwoTransform(double Angle, std::uint16_t FftLength, std::span<const double> InRe,
                       std::span<const double> InIm, std::span<double> OutRe, std::span<double> OutIm) {
    // Other lengths would make the butterflies address elements beyond
    // FftLength (or, for 32768, never end), and shorter arrays would be
    // written past their end: both are refused before anything is touched.
    const bool powerOfTwo = FftLength != 0 && (FftLength & (FftLength - 1)) == 0;
    if (!powerOfTwo || FftLength > 16384 || InRe.size() < FftLength || InIm.size() < FftLength ||
        OutRe.size() < FftLength || OutIm.size() < FftLength)
        throw ERangeError();

    const std::uint16_t bits = LowestSetBit(FftLength);
    for (std::uint16_t i = 0; i < FftLength; ++i) {
        const std::uint16_t j = BitReverse(i, bits);
        OutRe[j] = InRe[i];
        OutIm[j] = InIm[i];
    }

    std::uint16_t half = 1;
    std::uint16_t span = 2;
    // span stays representable: FftLength <= 16384 ends the loop at 32768.
    while (span <= FftLength) {
        ButterflyStage(Angle, FftLength, half, span, OutRe.data(), OutIm.data());
        half = span;
        span = static_cast<std::uint16_t>(span * 2);
    }
}

void ComputeFFT(std::uint16_t FftLength, std::span<const double> InRe, std::span<const double> InIm,
                std::span<double> OutRe, std::span<double> OutIm) {
    RadixTwoTransform(6.283185307179586, FftLength, InRe, InIm, OutRe, OutIm);
}

}  // namespace wellenschau
