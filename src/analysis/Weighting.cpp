#include "Weighting.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

namespace wellenschau {

namespace {

// The pole frequencies of IEC 61672-1, derived as the standard does from
// fr = 1 kHz, fL = 10^1.5 Hz, fH = 10^3.9 Hz, D^2 = 1/2 and fA = 10^2.45 Hz.
struct TPoles {
    double F1, F2, F3, F4;
};

TPoles WeightingPoles() {
    const double fr = 1000.0, fl = std::pow(10.0, 1.5), fh = std::pow(10.0, 3.9), fa = std::pow(10.0, 2.45);
    const double d = std::sqrt(0.5);
    const double b = (fr * fr + fl * fl * fh * fh / (fr * fr) - d * (fl * fl + fh * fh)) / (1.0 - d);
    const double c = fl * fl * fh * fh;
    const double root = std::sqrt(b * b - 4.0 * c);
    const double sqrt5 = std::sqrt(5.0);
    return {std::sqrt((-b - root) / 2.0), fa * (3.0 - sqrt5) / 2.0, fa * (3.0 + sqrt5) / 2.0,
            std::sqrt((-b + root) / 2.0)};
}

const TPoles Poles = WeightingPoles();

// The weighting's magnitude before normalisation at 1 kHz.
double RawMagnitude(TWeighting w, double f) {
    const double f2 = f * f;
    const double f4 = Poles.F4 * Poles.F4;
    const double c = f4 * f2 / ((f2 + Poles.F1 * Poles.F1) * (f2 + f4));
    switch (w) {
    case TWeighting::C:
        return c;
    case TWeighting::A:
        return c * f2 / std::sqrt((f2 + Poles.F2 * Poles.F2) * (f2 + Poles.F3 * Poles.F3));
    case TWeighting::Z:
        break;
    }
    return 1.0;
}

// |H|^2 of the double low-pass pole at F4, the part fitted in magnitude.
double LowPassPower(double f) {
    const double f4 = Poles.F4 * Poles.F4;
    const double single = f4 / (f * f + f4);
    return single * single;
}

constexpr int FitUnknowns = 5;  // n0, n1, n2, d1, d2
using TSystem = std::array<std::array<double, FitUnknowns + 1>, FitUnknowns>;

std::array<double, FitUnknowns> Solve(TSystem m) {
    for (int i = 0; i < FitUnknowns; ++i) {
        int pivot = i;
        for (int r = i + 1; r < FitUnknowns; ++r)
            if (std::abs(m[r][i]) > std::abs(m[pivot][i])) pivot = r;
        std::swap(m[i], m[pivot]);
        for (int r = 0; r < FitUnknowns; ++r) {
            if (r == i) continue;
            const double factor = m[r][i] / m[i][i];
            for (int k = i; k <= FitUnknowns; ++k) m[r][k] -= factor * m[i][k];
        }
    }
    std::array<double, FitUnknowns> x{};
    for (int i = 0; i < FitUnknowns; ++i) x[i] = m[i][FitUnknowns] / m[i][i];
    return x;
}

// Least squares of (N(c) - T D(c)) / T over frequencies from DC to Nyquist,
// N = n0 + n1 c + n2 c^2, D = 1 + d1 c + d2 c^2, c = cos(omega): linear in
// the unknowns, and the relative error of N / D where it is small.
std::array<double, FitUnknowns> FitLowPass(double sampleRate) {
    constexpr int points = 512;
    TSystem normal{};
    for (int i = 0; i <= points; ++i) {
        const double f = sampleRate / 2.0 * i / points;
        const double c = std::cos(2.0 * std::numbers::pi * f / sampleRate);
        const double t = LowPassPower(f);
        // Each row divided by t, the target then 1.
        const std::array<double, FitUnknowns> row{1.0 / t, c / t, c * c / t, -c, -c * c};
        for (int a = 0; a < FitUnknowns; ++a) {
            for (int b = 0; b < FitUnknowns; ++b) normal[a][b] += row[a] * row[b];
            normal[a][FitUnknowns] += row[a];
        }
    }
    return Solve(normal);
}

// The minimum-phase factor of a quadratic q0 + q1 c + q2 c^2 in c =
// cos(omega) with real roots outside (-1, 1): each root r is
// (1 + q^2 - 2 q c) / (-2 q) for the q of |q| <= 1, so the quadratic is,
// up to a constant, |(1 - qa z^-1)(1 - qb z^-1)|^2. Returns 1, -(qa + qb),
// qa qb.
std::array<double, 3> MinimumPhaseFactor(double q0, double q1, double q2) {
    const double discriminant = q1 * q1 - 4.0 * q2 * q0;
    if (discriminant < 0.0) throw std::logic_error("weighting fit without real roots");
    std::array<double, 2> q{};
    const double roots[2] = {(-q1 + std::sqrt(discriminant)) / (2.0 * q2), (-q1 - std::sqrt(discriminant)) / (2.0 * q2)};
    for (int i = 0; i < 2; ++i) {
        const double r = roots[i];
        if (std::abs(r) < 1.0) throw std::logic_error("weighting fit with a root inside [-1, 1]");
        q[i] = r - std::copysign(std::sqrt(r * r - 1.0), r);
    }
    return {1.0, -(q[0] + q[1]), q[0] * q[1]};
}

TBiquad FittedLowPass(double sampleRate) {
    const std::array<double, FitUnknowns> x = FitLowPass(sampleRate);
    const std::array<double, 3> zeros = MinimumPhaseFactor(x[0], x[1], x[2]);
    const std::array<double, 3> poles = MinimumPhaseFactor(1.0, x[3], x[4]);
    return {zeros[0], zeros[1], zeros[2], poles[1], poles[2]};
}

}  // namespace

double WeightingDb(TWeighting w, double frequencyHz) {
    if (w == TWeighting::Z) return 0.0;
    if (frequencyHz <= 0.0) return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(RawMagnitude(w, frequencyHz) / RawMagnitude(w, 1000.0));
}

std::vector<TBiquad> WeightingSections(TWeighting w, double sampleRate) {
    if (w == TWeighting::Z) return {};
    const TBiquad lowest = FirstOrderHighPass(Poles.F1, sampleRate);
    std::vector<TBiquad> sections{Product(lowest, lowest), FittedLowPass(sampleRate)};
    ScaleGainAt(sections, 1000.0, sampleRate);
    if (w == TWeighting::A) {
        sections.push_back(Product(FirstOrderHighPass(Poles.F2, sampleRate), FirstOrderHighPass(Poles.F3, sampleRate)));
        ScaleGainAt(sections, 1000.0, sampleRate);
    }
    return sections;
}

}  // namespace wellenschau
