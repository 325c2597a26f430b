#include "BitHash.h"
#include "analysis/Fourier.h"

#include "core/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

using namespace wellenschau;

namespace {

struct Signal {
    explicit Signal(std::size_t n) : re(n, 0.0), im(n, 0.0), outRe(n, -7.0), outIm(n, -7.0) {}
    void Transform() { ComputeFFT(static_cast<std::uint16_t>(re.size()), re, im, outRe, outIm); }
    std::vector<double> re, im, outRe, outIm;
};

TEST(FourierHelpersTest, LowestSetBitAndBitReverse) {
    for (std::uint16_t m = 0; m < 16; ++m) EXPECT_EQ(LowestSetBit(static_cast<std::uint16_t>(1u << m)), m);
    EXPECT_EQ(LowestSetBit(6), 1);
    EXPECT_EQ(BitReverse(1, 3), 4);
    EXPECT_EQ(BitReverse(0b1011, 4), 0b1101);
    EXPECT_EQ(BitReverse(0xFFFF, 0), 0);
    EXPECT_EQ(BitReverse(1, 16), 0x8000);
}

TEST(FourierTest, SmallLengths) {
    Signal one(1);
    one.re[0] = 3.0;
    one.im[0] = -2.0;
    one.Transform();
    EXPECT_EQ(one.outRe[0], 3.0);
    EXPECT_EQ(one.outIm[0], -2.0);

    Signal two(2);
    two.re = {5.0, 2.0};
    two.Transform();
    EXPECT_EQ(two.outRe[0], 7.0);
    EXPECT_EQ(two.outRe[1], 3.0);
}

TEST(FourierTest, ImpulseAndConstant) {
    Signal impulse(4096);
    impulse.re[0] = 1.0;
    impulse.Transform();
    for (int k = 0; k < 4096; ++k) {
        EXPECT_EQ(impulse.outRe[k], 1.0);
        EXPECT_EQ(impulse.outIm[k], 0.0);
    }

    Signal constant(4096);
    std::fill(constant.re.begin(), constant.re.end(), 0.25);
    constant.Transform();
    EXPECT_EQ(constant.outRe[0], 1024.0);
    for (int k = 1; k < 4096; ++k) EXPECT_LT(std::hypot(constant.outRe[k], constant.outIm[k]), 1e-10) << k;
}

TEST(FourierTest, PositiveExponentPutsARisingPhasorIntoTheLastBin) {
    const int n = 4096;
    Signal rising(n), falling(n);
    for (int i = 0; i < n; ++i) {
        const double phase = 2.0 * std::numbers::pi * i / n;
        rising.re[i] = falling.re[i] = std::cos(phase);
        rising.im[i] = std::sin(phase);
        falling.im[i] = -std::sin(phase);
    }
    rising.Transform();
    falling.Transform();
    EXPECT_NEAR(rising.outRe[n - 1], n, 1e-8);
    EXPECT_NEAR(std::hypot(rising.outRe[1], rising.outIm[1]), 0.0, 1e-8);
    EXPECT_NEAR(falling.outRe[1], n, 1e-8);
    EXPECT_NEAR(std::hypot(falling.outRe[n - 1], falling.outIm[n - 1]), 0.0, 1e-8);
}

TEST(FourierTest, RealCosineIsNotScaledDown) {
    const int n = 4096, k0 = 93;
    const double amplitude = 1000.0;
    Signal cosine(n);
    for (int i = 0; i < n; ++i) cosine.re[i] = amplitude * std::cos(2.0 * std::numbers::pi * k0 * i / n);
    cosine.Transform();
    EXPECT_NEAR(cosine.outRe[k0], amplitude * n / 2, 1e-6);
    EXPECT_NEAR(cosine.outRe[n - k0], amplitude * n / 2, 1e-6);
    for (int k = 0; k < n; ++k)
        if (k != k0 && k != n - k0) {
            EXPECT_LT(std::hypot(cosine.outRe[k], cosine.outIm[k]), 1e-6) << k;
        }
}

TEST(FourierTest, AgreesWithTheDirectSumAndLeavesItsInputAlone) {
    const int n = 4096;
    Signal random(n);
    std::mt19937_64 generator(42);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (int i = 0; i < n; ++i) {
        random.re[i] = value(generator);
        random.im[i] = value(generator);
    }
    const std::vector<double> re = random.re, im = random.im;
    random.Transform();
    EXPECT_EQ(random.re, re);
    EXPECT_EQ(random.im, im);

    // Direct evaluation in long double with exact twiddles e^(+2 pi i nk/N).
    std::vector<std::complex<long double>> twiddle(n);
    for (int i = 0; i < n; ++i) {
        const long double phase = 2.0L * std::numbers::pi_v<long double> * i / n;
        twiddle[i] = {std::cos(phase), std::sin(phase)};
    }
    double largest = 0.0, worst = 0.0;
    for (int k = 0; k < n; ++k) {
        std::complex<long double> sum = 0.0L;
        for (int i = 0; i < n; ++i) sum += std::complex<long double>(re[i], im[i]) * twiddle[(i * k) % n];
        largest = std::max(largest, static_cast<double>(std::abs(sum)));
        worst = std::max(worst, std::hypot(random.outRe[k] - static_cast<double>(sum.real()),
                                           random.outIm[k] - static_cast<double>(sum.imag())));
    }
    EXPECT_LT(worst, 1e-13 * largest);
}

TEST(FourierTest, RefusesLengthsItCannotTransform) {
    std::vector<double> a(32768), b(32768), c(32768), d(32768);
    for (std::uint16_t bad : {0, 3, 6, 4095, 32768}) EXPECT_THROW(ComputeFFT(bad, a, b, c, d), ERangeError) << bad;
    std::vector<double> shortArray(2048);
    EXPECT_THROW(ComputeFFT(4096, a, b, shortArray, d), ERangeError);
    EXPECT_NO_THROW(ComputeFFT(16384, a, b, c, d));
}


// The transform's output for fixed inputs, pinned to the last bit, so that
// a faster layout of the same arithmetic can prove it computes the same.
TEST(FourierTest, OutputBitsArePinned) {
    const struct {
        std::size_t Length;
        std::uint64_t Hash;
    } cases[] = {
        {2, 15081907553725220955u},    {16, 61249189449071872u},      {256, 7145085747055910425u},
        {4096, 14486134349939582774u}, {16384, 13737721549938436594u},
    };
    for (const auto& c : cases) {
        Signal s(c.Length);
        for (std::size_t i = 0; i < c.Length; ++i) {
            s.re[i] = (static_cast<double>(i * 7919 % 2003) - 1001.0) / 1001.0;
            s.im[i] = (static_cast<double>(i * 104729 % 997) - 498.0) / 498.0;
        }
        s.Transform();
        test::TBitHash hash;
        hash.Add(s.outRe);
        hash.Add(s.outIm);
        EXPECT_EQ(hash.Value(), c.Hash) << "length " << c.Length;
    }
}

}  // namespace
