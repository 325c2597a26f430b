// Distortion and noise of a tone: the fundamental, its harmonics, THD,
// THD+N, SNR, SINAD and ENOB, from one buffer or from an averaged power
// spectrum. Pure computation without Qt; a TDistortionAnalyser makes all
// its tables once, after which analysing a buffer allocates nothing.
// User-interface thread only (or any one thread per analyser).
//
// Definitions, all within the band 20 Hz .. 20 kHz:
// - Fundamental: the dominant tone of the band (searched above the DC
//   region, see DcBins).
// - Harmonics: the 2nd up to the 10th as far as they lie at or below
//   20 kHz, each in dB relative to the fundamental (dBc).
// - THD = RMS of the harmonics / RMS of the fundamental.
// - THD+N = RMS of everything except the fundamental / RMS of everything
//   (AES17).
// - SNR = fundamental / everything except the fundamental, its harmonics
//   and DC.
// - SINAD = -THD+N in dB; ENOB = (SINAD - 1.76) / 6.02.
//
// Method: the 4096 samples are weighted by a 7-term Blackman-Harris window
// (sidelobes near -180 dB, main lobe +-7 bins) and transformed. A tone's
// power is the sum of the bins within +-ToneHalfWidthBins of its nearest
// bin, less the noise those bins hold; the noise per bin is the mean of the
// band's bins outside every tone and the DC region. Sums of bins measure
// tones and noise alike, so no equivalent-noise-bandwidth factor is needed.
// The main lobe must keep the fundamental apart from DC and from its 2nd
// harmonic, which a buffer does for fundamentals from LowestFundamentalBins
// (156 Hz at 44100 Hz) up.
//
// Lower fundamentals (whose lobe in a buffer's spectrum centres below
// LowestFundamentalBins) are measured the same way in the record of the
// last DistortionRecordBuffers buffers, DistortionRecordLength samples
// whose bins are four times narrower: from 39 Hz up at 44100 Hz. The
// record's transform costs about four buffers' ones, so it is analysed at
// most once every DistortionRecordInterval buffers (0.74 s at 44100 Hz),
// which keeps a buffer's mean cost low, and the buffers in between repeat
// its figures. Until DistortionRecordBuffers buffers have arrived a low
// fundamental gives no figures; a record spanning a change of the signal
// reads as a mix of both.
#pragma once

#include "core/StateBytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace wellenschau {

// Samples per analysed buffer and bins of its power spectrum (0 .. 2048).
inline constexpr int DistortionLength = 4096;
inline constexpr int DistortionBins = DistortionLength / 2 + 1;
// Buffers, and samples, of the record that low fundamentals are measured in.
inline constexpr int DistortionRecordBuffers = 4;
inline constexpr int DistortionRecordLength = DistortionRecordBuffers * DistortionLength;
// Buffers from one analysis of the record to the next.
inline constexpr int DistortionRecordInterval = 2 * DistortionRecordBuffers;
// The band of every figure.
inline constexpr double DistortionLowHz = 20.0;
inline constexpr double DistortionHighHz = 20000.0;
inline constexpr int HighestHarmonic = 10;
// A tone's power lies in the bins within this distance of its nearest bin.
inline constexpr int ToneHalfWidthBins = 7;
// Bins 0 .. DcBins - 1 hold DC and its window response.
inline constexpr int DcBins = ToneHalfWidthBins;
// Lowest fundamental, in bins, whose lobe stays clear of DC's and of the
// 2nd harmonic's.
inline constexpr double LowestFundamentalBins = 14.5;
// A tone counts as measured when its power is at least this many dB above
// the noise in its own bins; below that it is only bounded.
inline constexpr double MeasurableDb = 10.0;
// Ratios below this (-200 dB) read as a bound at it.
inline constexpr double SmallestRatioDb = -200.0;

// A figure in dB, either measured or only a bound: for distortion and
// noise figures the true value is at most Db, for SNR, SINAD and ENOB at
// least Db.
struct TFigure {
    double Db = 0.0;
    bool OnlyBound = false;
    // The ratio in percent (for THD and THD+N).
    double Percent() const;
};

struct THarmonic {
    int Order = 0;           // 2 .. 10
    double Hz = 0.0;         // Order times the fundamental
    TFigure LevelDbc;        // bound: "below LevelDbc"
};

struct TDistortion {
    double FundamentalHz = 0.0;
    double FundamentalDbfs = 0.0;  // a full-scale (32768) sine reads 0
    std::array<THarmonic, HighestHarmonic - 1> Harmonics{};
    int HarmonicCount = 0;  // harmonics in the band, from the 2nd
    // None when no harmonic lies in the band. Sums the measured harmonics;
    // only a bound when none of them was measured.
    std::optional<TFigure> Thd;
    TFigure ThdPlusNoise;
    TFigure Snr;
    TFigure Sinad;
    TFigure Enob;  // in bits, not dB
};

// A 7-term Blackman-Harris window and a real transform of one length, with
// the power of bins 0 .. length / 2; tables made once.
class TWindowedPower {
public:
    explicit TWindowedPower(int length);

    // Windows and transforms samples given in two consecutive parts (the
    // second may be empty), each of an even count, together the length.
    void Transform(std::span<const double> first, std::span<const double> second);
    std::span<const double> Power() const { return FPower; }
    double FullScalePower() const { return FFullScalePower; }  // of a full-scale sine

private:
    void Pack(std::span<const double> samples, int offset);

    double FFullScalePower;
    std::vector<double> FWindow;
    std::vector<double> FTwiddleRe, FTwiddleIm;  // exp(+2 pi i k / N)
    std::vector<double> FPackedRe, FPackedIm, FHalfRe, FHalfIm;
    std::vector<double> FPower;
};

// Window, transform and figures for buffers of DistortionLength samples.
class TDistortionAnalyser : public TCarriedState<TDistortionAnalyser> {
public:
    explicit TDistortionAnalyser(double sampleRate = 44100.0);

    // Windows and transforms one buffer of DistortionLength little-endian
    // 16-bit samples, which joins the record; its power spectrum is then
    // Power().
    void Transform(const char* buffer);
    std::span<const double> Power() const { return FBuffer.Power(); }

    // The figures of a power spectrum of DistortionBins bins made by
    // Transform, or an average of such spectra; none for silence, for a
    // signal without a tone and for a fundamental below
    // LowestFundamentalBins.
    std::optional<TDistortion> Analyse(std::span<const double> power) const;

    // Transform, then the figures of its spectrum, or of the record for a
    // low fundamental.
    std::optional<TDistortion> AnalyseBuffer(const char* buffer);

    double BinWidthHz() const { return FSampleRate / DistortionLength; }

private:
    friend class TCarriedState<TDistortionAnalyser>;
    // The saved state leaves out the record's samples: Transform of the
    // record's buffers again, oldest first, then RestoreState brings the
    // analyser back where it was (where in its ring the record lies
    // changes no figure).
    template <typename TSelf, typename TVisit>
    static void EachState(TSelf& self, TVisit& visit) {
        visit(self.FBuffersSinceRecord);
        visit(self.FRecordFigures);
    }

    std::optional<TDistortion> RecordFigures();

    double FSampleRate;
    TWindowedPower FBuffer;
    TWindowedPower FRecord;
    std::vector<double> FSamples;  // ring of the record's samples
    int FNewest = 0;               // buffer of the ring written last
    // Counts to DistortionRecordInterval from the record's last analysis;
    // starts where a record's worth of buffers makes it due.
    int FBuffersSinceRecord = DistortionRecordInterval - DistortionRecordBuffers;
    std::optional<TDistortion> FRecordFigures;
};

}  // namespace wellenschau
