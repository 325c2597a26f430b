#include "Fourier.h"

#include "core/Errors.h"
#include "core/Vectorise.h"

#include <array>
#include <cmath>
#include <memory>

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

constexpr std::uint16_t MaxLength = 16384;
constexpr std::uint16_t MaxBits = 14;

// BitReverse(i, MaxBits) for every i. For i below 2^m, reversing m bits
// equals reversing MaxBits bits and dropping the MaxBits - m low bits,
// which are the reversed leading zeros.
const std::array<std::uint16_t, MaxLength>& ReversedIndices() {
    static const std::array<std::uint16_t, MaxLength> table = [] {
        std::array<std::uint16_t, MaxLength> reversed{};
        for (std::uint16_t i = 0; i < MaxLength; ++i) reversed[i] = BitReverse(i, MaxBits);
        return reversed;
    }();
    return table;
}

// The twiddle factors of every stage for one Angle. Every block of a stage
// starts the recurrence anew at w = 1 and advances it the same way, so the
// sequence that each block computes is the same: it is computed once here
// by that recurrence, with the same operations in the same order, and the
// butterflies read it. The factors of the stage with half-width Half are at
// Half - 1 .. 2 Half - 2.
struct TTwiddleTable {
    double Angle = std::nan("");
    std::array<double, MaxLength> Re{};
    std::array<double, MaxLength> Im{};

    void Fill(double angle) {
        Angle = angle;
        for (std::uint32_t half = 1, span = 2; span <= MaxLength; half = span, span *= 2) {
            // w := w * (cos delta + i sin delta), with alpha = 1 - cos delta
            // and beta = sin delta, each product rounded to double.
            const double delta = angle / static_cast<std::uint16_t>(span);
            const double s = std::sin(0.5 * delta);
            const double alpha = 2.0 * s * s;
            const double beta = std::sin(delta);
            double wr = 1.0;
            double wi = 0.0;
            for (std::uint32_t q = 0; q < half; ++q) {
                Re[half - 1 + q] = wr;
                Im[half - 1 + q] = wi;
                const double t = alpha * wr + beta * wi;
                wi = wi - (alpha * wi - beta * wr);
                wr = wr - t;
            }
        }
    }
};

// The table of the full turn that every spectrum uses is made once and
// kept; other angles get a table per thread, remade when the angle changes.
const TTwiddleTable& TwiddlesFor(double Angle) {
    static const TTwiddleTable fullTurn = [] {
        TTwiddleTable table;
        table.Fill(FullTurn);
        return table;
    }();
    if (Angle == fullTurn.Angle) return fullTurn;
    thread_local std::unique_ptr<TTwiddleTable> other;
    if (!other) other = std::make_unique<TTwiddleTable>();
    if (!(other->Angle == Angle)) other->Fill(Angle);
    return *other;
}

// One butterfly: t = w * b, b := a - t, a := a + t, each product and sum
// rounded to double in this order.
inline void Butterfly(double wr, double wi, double& aRe, double& aIm, double& bRe, double& bIm) {
    const double tr = wr * bRe - wi * bIm;
    const double ti = wr * bIm + wi * bRe;
    bRe = aRe - tr;
    bIm = aIm - ti;
    aRe = aRe + tr;
    aIm = aIm + ti;
}

// The butterflies of one block of the stage with half-width half, on the
// pairs (q, half + q).
void ButterflyBlock(const double* __restrict wr, const double* __restrict wi, std::uint32_t half,
                    double* __restrict aRe, double* __restrict aIm, double* __restrict bRe, double* __restrict bIm) {
    for (std::uint32_t q = 0; q < half; ++q) Butterfly(wr[q], wi[q], aRe[q], aIm[q], bRe[q], bIm[q]);
}

// The stages with half-widths half and 2 half on one block of 4 half
// values, split into quarters a, b, c, d: the first stage pairs a with b
// and c with d, the second a with c and b with d. Each value still goes
// through the butterflies of both stages in their order, but stays in
// registers between them.
void TwoStageBlock(const TTwiddleTable& twiddles, std::uint32_t half, double* __restrict aRe,
                   double* __restrict aIm, double* __restrict bRe, double* __restrict bIm, double* __restrict cRe,
                   double* __restrict cIm, double* __restrict dRe, double* __restrict dIm) {
    const double* __restrict w1r = twiddles.Re.data() + half - 1;
    const double* __restrict w1i = twiddles.Im.data() + half - 1;
    const double* __restrict w2r = twiddles.Re.data() + 2 * half - 1;
    const double* __restrict w2i = twiddles.Im.data() + 2 * half - 1;
    for (std::uint32_t q = 0; q < half; ++q) {
        double ar = aRe[q], ai = aIm[q], br = bRe[q], bi = bIm[q];
        double cr = cRe[q], ci = cIm[q], dr = dRe[q], di = dIm[q];
        Butterfly(w1r[q], w1i[q], ar, ai, br, bi);
        Butterfly(w1r[q], w1i[q], cr, ci, dr, di);
        Butterfly(w2r[q], w2i[q], ar, ai, cr, ci);
        Butterfly(w2r[half + q], w2i[half + q], br, bi, dr, di);
        aRe[q] = ar;
        aIm[q] = ai;
        bRe[q] = br;
        bIm[q] = bi;
        cRe[q] = cr;
        cIm[q] = ci;
        dRe[q] = dr;
        dIm[q] = di;
    }
}

// The permuted copy and the first two stages (half-widths 1 and 2) in one
// pass. Output position p takes input BitReverse(p), since the reversal is
// its own inverse: the block of four at 4 g takes the inputs r, r + N/2,
// r + N/4 and r + 3N/4, where g is r reversed in the remaining bits.
// Taking r in natural order reads the input as four sequential streams.
// FftLength must be at least 4.
void PermuteAndFirstTwoStages(const TTwiddleTable& twiddles, std::uint16_t FftLength, std::span<const double> InRe,
                              std::span<const double> InIm, double* re, double* im) {
    const std::array<std::uint16_t, MaxLength>& reversed = ReversedIndices();
    const std::uint32_t quarter = FftLength / 4u;
    const int shift = MaxBits - (LowestSetBit(FftLength) - 2);
    const std::uint32_t offsets[4] = {0, 2 * quarter, quarter, 3 * quarter};
    const double* wr = twiddles.Re.data();
    const double* wi = twiddles.Im.data();
    for (std::uint32_t r = 0; r < quarter; ++r) {
        const std::uint32_t p = 4u * (reversed[r] >> shift);
        double xr[4], xi[4];
        for (std::uint32_t k = 0; k < 4; ++k) {
            xr[k] = InRe[r + offsets[k]];
            xi[k] = InIm[r + offsets[k]];
        }
        Butterfly(wr[0], wi[0], xr[0], xi[0], xr[1], xi[1]);
        Butterfly(wr[0], wi[0], xr[2], xi[2], xr[3], xi[3]);
        Butterfly(wr[1], wi[1], xr[0], xi[0], xr[2], xi[2]);
        Butterfly(wr[2], wi[2], xr[1], xi[1], xr[3], xi[3]);
        for (std::uint32_t k = 0; k < 4; ++k) {
            re[p + k] = xr[k];
            im[p + k] = xi[k];
        }
    }
}

// The permuted copy alone, and the stage of a length-2 transform.
void TransformShort(const TTwiddleTable& twiddles, std::uint16_t FftLength, std::span<const double> InRe,
                    std::span<const double> InIm, double* re, double* im) {
    for (std::uint16_t i = 0; i < FftLength; ++i) {
        const std::uint16_t j = BitReverse(i, LowestSetBit(FftLength));
        re[j] = InRe[i];
        im[j] = InIm[i];
    }
    if (FftLength == 2) ButterflyBlock(twiddles.Re.data(), twiddles.Im.data(), 1, re, im, re + 1, im + 1);
}

}  // namespace

// Everything it calls is inlined, so that the AVX2 build reaches the
// butterfly loops.
WELLENSCHAU_ALSO_FOR_AVX2 [[gnu::flatten]] void RadixTwoTransform(
    double Angle, std::uint16_t FftLength, std::span<const double> InRe, std::span<const double> InIm,
    std::span<double> OutRe, std::span<double> OutIm) {
    // Other lengths would make the butterflies address elements beyond
    // FftLength (or, for 32768, never end), and shorter arrays would be
    // written past their end: both are refused before anything is touched.
    const bool powerOfTwo = FftLength != 0 && (FftLength & (FftLength - 1)) == 0;
    if (!powerOfTwo || FftLength > MaxLength || InRe.size() < FftLength || InIm.size() < FftLength ||
        OutRe.size() < FftLength || OutIm.size() < FftLength)
        throw ERangeError();

    const TTwiddleTable& twiddles = TwiddlesFor(Angle);
    double* const re = OutRe.data();
    double* const im = OutIm.data();
    if (FftLength < 4) return TransformShort(twiddles, FftLength, InRe, InIm, re, im);

    // Stages after the first two go in pairs over blocks of 4 half values;
    // a single last stage runs on its own.
    PermuteAndFirstTwoStages(twiddles, FftLength, InRe, InIm, re, im);
    std::uint32_t half = 4;
    for (; 4 * half <= FftLength; half *= 4)
        for (std::uint32_t a = 0; a < FftLength; a += 4 * half)
            TwoStageBlock(twiddles, half, re + a, im + a, re + a + half, im + a + half, re + a + 2 * half,
                          im + a + 2 * half, re + a + 3 * half, im + a + 3 * half);
    if (2 * half <= FftLength)
        ButterflyBlock(twiddles.Re.data() + half - 1, twiddles.Im.data() + half - 1, half, re, im, re + half,
                       im + half);
}

void ComputeFFT(std::uint16_t FftLength, std::span<const double> InRe, std::span<const double> InIm,
                std::span<double> OutRe, std::span<double> OutIm) {
    RadixTwoTransform(FullTurn, FftLength, InRe, InIm, OutRe, OutIm);
}

}  // namespace wellenschau
