#include "Distortion.h"

#include "Fourier.h"
#include "Trace.h"
#include "core/Errors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wellenschau {

namespace {

constexpr double FullScale = 32768.0;

// 7-term Blackman-Harris: sidelobes near -180 dB, main lobe +-7 bins.
constexpr std::array<double, 7> WindowTerms = {0.27105140069342, 0.43329793923448, 0.21812299954311,
                                               0.06592544638803, 0.01081174209837, 0.00077658482522,
                                               0.00001388721735};

// Periodic form, so that its response is exactly zero at whole bins
// beyond the main lobe.
double WindowAt(int n, int length) {
    double value = 0.0;
    for (std::size_t m = 0; m < WindowTerms.size(); ++m) {
        const double sign = m % 2 == 0 ? 1.0 : -1.0;
        value += sign * WindowTerms[m] * std::cos(2.0 * std::numbers::pi * static_cast<double>(m) * n / length);
    }
    return value;
}

// Bins First .. Last, both included; empty when Last < First.
struct TBinRange {
    int First = 0;
    int Last = -1;
    int Count() const { return std::max(0, Last - First + 1); }
};

double SumOf(std::span<const double> power, TBinRange range) {
    double sum = 0.0;
    for (int k = range.First; k <= range.Last; ++k) sum += power[static_cast<std::size_t>(k)];
    return sum;
}

// The bins of a tone whose nearest bin is centre, starting after the bin
// `after` so that neighbouring tones never share a bin and ending at the
// spectrum's last bin.
TBinRange Lobe(int centre, int after, int last) {
    return {std::max(centre - ToneHalfWidthBins, after + 1), std::min(centre + ToneHalfWidthBins, last)};
}

// Where the tones lie: [0] DC, [1] the fundamental, [h] harmonic h.
struct TToneBins {
    std::array<TBinRange, HighestHarmonic + 1> Ranges{};
    int Count = 0;  // ranges in use, DC and fundamental included
};

// The band's bins outside the tones: their mean power per bin, and the
// noise of the whole band with the tones' bins taken at that mean.
struct TNoise {
    double PerBin = 0.0;
    double InBand = 0.0;
};

TNoise NoiseOf(std::span<const double> power, TBinRange band, const TToneBins& tones) {
    double sum = 0.0;
    int count = 0;
    int next = band.First;
    for (int r = 0; r < tones.Count; ++r) {
        const TBinRange gap{next, std::min(tones.Ranges[r].First - 1, band.Last)};
        sum += SumOf(power, gap);
        count += gap.Count();
        next = std::max(next, tones.Ranges[r].Last + 1);
    }
    const TBinRange rest{next, band.Last};
    sum += SumOf(power, rest);
    count += rest.Count();
    const double perBin = count > 0 ? sum / count : 0.0;
    return {perBin, sum + perBin * (band.Count() - count)};
}

// The loudest bin of the band above the DC region.
int LoudestBin(std::span<const double> power, TBinRange band) {
    const auto first = power.begin() + std::max(band.First, DcBins);
    return static_cast<int>(std::max_element(first, power.begin() + band.Last + 1) - power.begin());
}

// The tone's position in bins: the power-weighted mean of its lobe, which
// the window's main lobe makes exact for a lone tone.
double CentreOf(std::span<const double> power, TBinRange lobe) {
    double weighted = 0.0;
    for (int k = lobe.First; k <= lobe.Last; ++k) weighted += k * power[static_cast<std::size_t>(k)];
    return weighted / SumOf(power, lobe);
}

int NearestBin(double bins) { return static_cast<int>(std::nearbyint(bins)); }

// Ratio as a figure; vanishing ratios read as a bound at SmallestRatioDb.
TFigure RatioFigure(double ratio, bool onlyBound) {
    const double db = ratio > 0.0 ? 10.0 * std::log10(ratio) : SmallestRatioDb;
    if (db < SmallestRatioDb) return {SmallestRatioDb, true};
    return {db, onlyBound};
}

TFigure Inverse(TFigure figure) { return {-figure.Db, figure.OnlyBound}; }

const double MeasurableRatio = std::pow(10.0, MeasurableDb / 10.0);

// A tone's power: its bins less the noise they hold.
struct TTonePower {
    double Power = 0.0;
    double Bound = 0.0;  // least power that counts as measured
    bool Measured() const { return Power > 0.0 && Power >= Bound; }
};

TTonePower ToneIn(std::span<const double> power, TBinRange lobe, const TNoise& noise) {
    const double noiseInLobe = noise.PerBin * lobe.Count();
    return {SumOf(power, lobe) - noiseInLobe, MeasurableRatio * noiseInLobe};
}

// THD from the measured harmonics; only a bound from the bounds of all
// when none was measured.
std::optional<TFigure> ThdOf(const std::array<TTonePower, HighestHarmonic - 1>& harmonics, int count,
                             double fundamental) {
    if (count == 0) return std::nullopt;
    double measured = 0.0;
    double bounds = 0.0;
    for (int i = 0; i < count; ++i) {
        if (harmonics[i].Measured()) measured += harmonics[i].Power;
        bounds += harmonics[i].Bound;
    }
    return measured > 0.0 ? RatioFigure(measured / fundamental, false) : RatioFigure(bounds / fundamental, true);
}

// A power spectrum of one transform length.
struct TSpectrum {
    std::span<const double> Power;
    double BinWidth = 0.0;
    double FullScalePower = 0.0;  // of a full-scale sine
    int LastBin() const { return static_cast<int>(Power.size()) - 1; }
    TBinRange Band() const {
        return {static_cast<int>(std::ceil(DistortionLowHz / BinWidth)),
                std::min(static_cast<int>(DistortionHighHz / BinWidth), LastBin())};
    }
};

// The fundamental's position in bins; none for silence.
std::optional<double> FundamentalBins(const TSpectrum& s) {
    const int loudest = LoudestBin(s.Power, s.Band());
    if (s.Power[static_cast<std::size_t>(loudest)] <= 0.0) return std::nullopt;
    return CentreOf(s.Power, Lobe(loudest, -1, s.LastBin()));
}

std::optional<TDistortion> FiguresOf(const TSpectrum& s, double fundamentalBins) {
    TToneBins tones;
    tones.Ranges[0] = {0, DcBins - 1};
    tones.Ranges[1] = Lobe(NearestBin(fundamentalBins), DcBins - 1, s.LastBin());
    tones.Count = 2;
    while (tones.Count <= HighestHarmonic && tones.Count * fundamentalBins * s.BinWidth <= DistortionHighHz) {
        tones.Ranges[tones.Count] =
            Lobe(NearestBin(tones.Count * fundamentalBins), tones.Ranges[tones.Count - 1].Last, s.LastBin());
        ++tones.Count;
    }
    const TNoise noise = NoiseOf(s.Power, s.Band(), tones);
    const TTonePower fundamental = ToneIn(s.Power, tones.Ranges[1], noise);
    if (!fundamental.Measured()) return std::nullopt;

    TDistortion d;
    d.FundamentalHz = fundamentalBins * s.BinWidth;
    d.FundamentalDbfs = 10.0 * std::log10(fundamental.Power / s.FullScalePower);
    d.HarmonicCount = tones.Count - 2;
    std::array<TTonePower, HighestHarmonic - 1> harmonics{};
    double harmonicPower = 0.0;
    for (int i = 0; i < d.HarmonicCount; ++i) {
        harmonics[i] = ToneIn(s.Power, tones.Ranges[i + 2], noise);
        const bool measured = harmonics[i].Measured();
        const double shown = measured ? harmonics[i].Power : harmonics[i].Bound;
        d.Harmonics[i] = {i + 2, (i + 2) * d.FundamentalHz, RatioFigure(shown / fundamental.Power, !measured)};
        harmonicPower += std::max(harmonics[i].Power, 0.0);
    }
    d.Thd = ThdOf(harmonics, d.HarmonicCount, fundamental.Power);
    const double allButFundamental = noise.InBand + harmonicPower;
    d.ThdPlusNoise = RatioFigure(allButFundamental / (allButFundamental + fundamental.Power), false);
    d.Snr = Inverse(RatioFigure(noise.InBand / fundamental.Power, false));
    d.Sinad = Inverse(d.ThdPlusNoise);
    d.Enob = {(d.Sinad.Db - 1.76) / 6.02, d.Sinad.OnlyBound};
    return d;
}

// The figures when the fundamental lies at or above lowestBins.
std::optional<TDistortion> FiguresFrom(const TSpectrum& s, std::optional<double> fundamentalBins, double lowestBins) {
    if (!fundamentalBins || *fundamentalBins < lowestBins) return std::nullopt;
    return FiguresOf(s, *fundamentalBins);
}

}  // namespace

double TFigure::Percent() const { return 100.0 * std::pow(10.0, Db / 20.0); }

TWindowedPower::TWindowedPower(int length)
    : FWindow(static_cast<std::size_t>(length)), FTwiddleRe(static_cast<std::size_t>(length / 2 + 1)),
      FTwiddleIm(FTwiddleRe.size()), FPackedRe(static_cast<std::size_t>(length / 2)), FPackedIm(FPackedRe.size()),
      FHalfRe(FPackedRe.size()), FHalfIm(FPackedRe.size()), FPower(FTwiddleRe.size()) {
    double squares = 0.0;
    for (int n = 0; n < length; ++n) {
        FWindow[n] = WindowAt(n, length);
        squares += FWindow[n] * FWindow[n];
    }
    // Both halves of a sine's power spread over N times the window's sum
    // of squares; the bins 0 .. N/2 hold one half.
    FFullScalePower = 0.5 * FullScale * FullScale * 0.5 * length * squares;
    for (int k = 0; k <= length / 2; ++k) {
        const double angle = 2.0 * std::numbers::pi * k / length;
        FTwiddleRe[k] = std::cos(angle);
        FTwiddleIm[k] = std::sin(angle);
    }
}

// The real samples as a complex sequence of half the length: even samples
// real, odd ones imaginary; samples[0] is sample `offset` of the whole.
void TWindowedPower::Pack(std::span<const double> samples, int offset) {
    const int half = offset / 2;
    for (int n = 0; n < static_cast<int>(samples.size()) / 2; ++n) {
        FPackedRe[half + n] = samples[2 * n] * FWindow[offset + 2 * n];
        FPackedIm[half + n] = samples[2 * n + 1] * FWindow[offset + 2 * n + 1];
    }
}

void TWindowedPower::Transform(std::span<const double> first, std::span<const double> second) {
    if (first.size() % 2 != 0 || first.size() + second.size() != FWindow.size()) throw ERangeError();
    Pack(first, 0);
    Pack(second, static_cast<int>(first.size()));
    const int halfLength = static_cast<int>(FPackedRe.size());
    ComputeFFT(static_cast<std::uint16_t>(halfLength), FPackedRe, FPackedIm, FHalfRe, FHalfIm);
    // Bin k of the whole transform from bins a = k and b = N/2 - k of the
    // half one (both taken modulo N/2): X = E + exp(+2 pi i k / N) O with
    // E, O the transforms of the even and odd samples.
    const auto powerAt = [this](int k, int a, int b) {
        const double evenRe = 0.5 * (FHalfRe[a] + FHalfRe[b]);
        const double evenIm = 0.5 * (FHalfIm[a] - FHalfIm[b]);
        const double oddRe = 0.5 * (FHalfIm[a] + FHalfIm[b]);
        const double oddIm = -0.5 * (FHalfRe[a] - FHalfRe[b]);
        const double re = evenRe + (FTwiddleRe[k] * oddRe - FTwiddleIm[k] * oddIm);
        const double im = evenIm + (FTwiddleRe[k] * oddIm + FTwiddleIm[k] * oddRe);
        return re * re + im * im;
    };
    FPower[0] = powerAt(0, 0, 0);
    for (int k = 1; k < halfLength; ++k) FPower[k] = powerAt(k, k, halfLength - k);
    FPower[halfLength] = powerAt(halfLength, 0, 0);
}

TDistortionAnalyser::TDistortionAnalyser(double sampleRate)
    : FSampleRate(sampleRate), FBuffer(DistortionLength), FRecord(DistortionRecordLength),
      FSamples(DistortionRecordLength) {}

void TDistortionAnalyser::Transform(const char* buffer) {
    FNewest = (FNewest + 1) % DistortionRecordBuffers;
    const std::span<double> newest = std::span(FSamples).subspan(FNewest * DistortionLength, DistortionLength);
    for (int n = 0; n < DistortionLength; ++n) newest[n] = SampleAt(buffer, n);
    FBuffersSinceRecord = std::min(FBuffersSinceRecord + 1, DistortionRecordInterval);
    FBuffer.Transform(newest, {});
}

std::optional<TDistortion> TDistortionAnalyser::Analyse(std::span<const double> power) const {
    if (power.size() < DistortionBins) throw ERangeError();
    const TSpectrum spectrum{power.first(DistortionBins), BinWidthHz(), FBuffer.FullScalePower()};
    return FiguresFrom(spectrum, FundamentalBins(spectrum), LowestFundamentalBins);
}

std::optional<TDistortion> TDistortionAnalyser::AnalyseBuffer(const char* buffer) {
    Transform(buffer);
    const TSpectrum spectrum{FBuffer.Power(), BinWidthHz(), FBuffer.FullScalePower()};
    const std::optional<double> fundamental = FundamentalBins(spectrum);
    if (fundamental && *fundamental < LowestFundamentalBins) return RecordFigures();
    FRecordFigures.reset();
    return FiguresFrom(spectrum, fundamental, LowestFundamentalBins);
}

// For a fundamental that a buffer could not separate: the record's
// figures when it is due for analysis, else those it gave last.
std::optional<TDistortion> TDistortionAnalyser::RecordFigures() {
    if (FBuffersSinceRecord < DistortionRecordInterval) return FRecordFigures;
    FBuffersSinceRecord = 0;
    // The oldest buffer follows the newest in the ring.
    const std::span<const double> ring = FSamples;
    const auto oldest = static_cast<std::size_t>((FNewest + 1) * DistortionLength);
    FRecord.Transform(ring.subspan(oldest), ring.first(oldest));
    const TSpectrum spectrum{FRecord.Power(), FSampleRate / DistortionRecordLength, FRecord.FullScalePower()};
    FRecordFigures = FiguresFrom(spectrum, FundamentalBins(spectrum), LowestFundamentalBins);
    return FRecordFigures;
}

}  // namespace wellenschau
