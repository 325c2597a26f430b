#include "SoundLevel.h"

#include <array>
#include <cmath>
#include <vector>

namespace wellenschau {

namespace {

constexpr int ThirdOctaveBands = 30;
constexpr int OctaveBands = 10;
// Band numbers x of the lowest bands: 25 Hz and 31.5 Hz.
constexpr int LowestThirdOctave = -16;
constexpr int LowestOctave = -5;

constexpr const char* ThirdOctaveNames[ThirdOctaveBands] = {
    "25",   "31.5", "40",   "50",   "63",   "80",   "100",  "125",  "160",   "200",
    "250",  "315",  "400",  "500",  "630",  "800",  "1000", "1250", "1600",  "2000",
    "2500", "3150", "4000", "5000", "6300", "8000", "10000", "12500", "16000", "20000"};
constexpr const char* OctaveNames[OctaveBands] = {"31.5", "63",   "125",  "250",  "500",
                                                  "1000", "2000", "4000", "8000", "16000"};

// Mean square of a full-scale sine, the 0 dB reference.
constexpr double FullScaleMeanSquare = 32768.0 * 32768.0 / 2.0;

// Third-octave band edges are the midband times G^(+-1/6) with
// G = 10^(3/10), i.e. 10^(+-0.05).
std::vector<TBandEdges> ThirdOctaveBandEdges() {
    const double edge = std::pow(10.0, 0.05);
    std::vector<TBandEdges> bands;
    for (int band = 0; band < ThirdOctaveBands; ++band) {
        const double midband = BandMidband(TBandSet::ThirdOctave, band);
        bands.push_back({midband, midband / edge, midband * edge});
    }
    return bands;
}

double Decibels(double meanSquare) {
    if (meanSquare <= 0.0) return -std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(meanSquare / FullScaleMeanSquare);
}

// The filters' numbers in the bank.
// A's chain begins with C's sections (TBandFilterBank::TappedSections of them).
constexpr int FilterA = ThirdOctaveBands;
constexpr int FilterC = ThirdOctaveBands + 1;

std::vector<std::vector<TBiquad>> WeightingFilters() { return {WeightingSections(TWeighting::A, SoundLevelSampleRate)}; }

}  // namespace

int BandCount(TBandSet set) { return set == TBandSet::Octave ? OctaveBands : ThirdOctaveBands; }

double BandMidband(TBandSet set, int band) {
    if (set == TBandSet::Octave) return 1000.0 * std::pow(10.0, 0.3 * (LowestOctave + band));
    return 1000.0 * std::pow(10.0, 0.1 * (LowestThirdOctave + band));
}

const char* BandName(TBandSet set, int band) {
    return set == TBandSet::Octave ? OctaveNames[band] : ThirdOctaveNames[band];
}

TSoundLevelMeter::TSoundLevelMeter()
    : FFilters(ThirdOctaveBandEdges(), WeightingFilters(), SoundLevelSampleRate) {}

void TSoundLevelMeter::Restart() {
    FUnweighted.Restart();
    FFilters.Restart();
}

void TSoundLevelMeter::Process(const std::int16_t* samples, int count) {
    for (int done = 0; done < count; done += TBandFilterBank::ChunkLength)
        ProcessChunk(samples + done, std::min(count - done, TBandFilterBank::ChunkLength));
    FUnweighted.EndBuffer(SoundLevelSampleRate);
    FFilters.EndBuffer();
}

void TSoundLevelMeter::ProcessChunk(const std::int16_t* samples, int count) {
    // Squares of 16-bit samples and their sums over a chunk are whole
    // numbers below 2^53, exact in any order: four running sums give the
    // same total as one, without each addition waiting on the last.
    std::array<double, 4> sums{};
    int i = 0;
    for (; i + 4 <= count; i += 4)
        for (int k = 0; k < 4; ++k) {
            FChunk[i + k] = samples[i + k];
            sums[k] += FChunk[i + k] * FChunk[i + k];
        }
    for (; i < count; ++i) {
        FChunk[i] = samples[i];
        sums[0] += FChunk[i] * FChunk[i];
    }
    FUnweighted.Add((sums[0] + sums[1]) + (sums[2] + sums[3]), count);
    FFilters.Process(std::span<const double>(FChunk.data(), count));
}

const TTimeWeighted& TSoundLevelMeter::Weighted(TWeighting w) const {
    switch (w) {
    case TWeighting::A:
        return FFilters.Filter(FilterA);
    case TWeighting::C:
        return FFilters.Filter(FilterC);
    case TWeighting::Z:
        break;
    }
    return FUnweighted;
}

double TSoundLevelMeter::Level(TWeighting w, TLevelTime t) const { return Decibels(Weighted(w).MeanSquare(t)); }

double TSoundLevelMeter::BandLevel(TBandSet set, int band, TWeighting w, TLevelTime t) const {
    double meanSquare = 0.0;
    if (set == TBandSet::Octave) {
        // Octave band b holds the third octaves 3b .. 3b + 2.
        for (int third = 3 * band; third < 3 * band + 3; ++third) meanSquare += FFilters.Filter(third).MeanSquare(t);
    } else {
        meanSquare = FFilters.Filter(band).MeanSquare(t);
    }
    return Decibels(meanSquare) + WeightingDb(w, BandMidband(set, band));
}

}  // namespace wellenschau
