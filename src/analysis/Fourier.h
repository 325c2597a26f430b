// Out-of-place radix-2 decimation-in-time FFT on separate real and
// imaginary arrays (double precision). Stateless, allocates nothing and
// uses no tables: the twiddle factors come from a recurrence with two sine
// evaluations per stage. Safe to call from any thread.
#pragma once

#include <cstdint>
#include <span>

namespace wellenschau {

// Index (0..15) of the lowest set bit of Value; Value must not be 0.
std::uint16_t LowestSetBit(std::uint16_t Value);

// The low BitCount bits of Index in reverse order; BitCount 0 gives 0.
std::uint16_t BitReverse(std::uint16_t Index, std::uint16_t BitCount);

// X[k] = sum over n of x[n] * exp(+i * Angle * n * k / FftLength), not
// scaled, natural order. FftLength must be a power of two from 1 to 16384
// and every array needs at least FftLength elements, else ERangeError is
// raised before anything is written. The inputs must not be passed again
// as outputs; they are left untouched.
void RadixTwoTransform(double Angle, std::uint16_t FftLength, std::span<const double> InRe,
                       std::span<const double> InIm, std::span<double> OutRe, std::span<double> OutIm);

// The angle that ComputeFFT passes: 2 pi, rounded to double.
inline constexpr double FullTurn = 6.283185307179586;

// The forward transform of the analysis: RadixTwoTransform with Angle 2*pi
// (positive exponent, no scaling).
void ComputeFFT(std::uint16_t FftLength, std::span<const double> InRe, std::span<const double> InIm,
                std::span<double> OutRe, std::span<double> OutIm);

}  // namespace wellenschau
