// A bank of band-pass filters (IEC 61260-1 fractional-octave bands) with
// decimation: each band runs at the lowest sample rate, input rate / 2^k,
// at which its midband frequency is at most a quarter of that rate. Going
// from one rate to the next, an 8th-order Butterworth low-pass at a quarter
// of the higher rate removes what would fold into the bands below: it is
// flat (within 0.02 dB) up to the upper edges of the bands it feeds and
// attenuates what folds onto them by 34 dB or more.
//
// Each band is an 8th-order Butterworth band-pass (4th-order prototype,
// -3 dB at the band edges) with unity gain at the midband frequency. A
// band whose upper edge reaches Nyquist is an 8th-order Butterworth
// high-pass at its lower edge instead: a high-pass's skirt is about three
// times less steep than a band-pass's of the same order, so it needs twice
// the order to keep out of its neighbour as a band-pass would. (A
// 6th-order band-pass lets neighbouring third octaves overlap so much near
// Nyquist, where the bilinear transform widens their skirts, that a tone's
// power sum over the bands reads 0.5 dB high.) Designing allocates; Process
// does not. One thread per bank.
#pragma once

#include "FilterDesign.h"
#include "TimeWeighting.h"

#include <span>
#include <vector>

namespace wellenschau {

struct TBandEdges {
    double MidbandHz = 0.0;
    double LowHz = 0.0;
    double HighHz = 0.0;
};

class TBandFilterBank {
public:
    // Order of the Butterworth prototype of every band: the band-pass has
    // twice it, in as many sections.
    static constexpr int BandOrder = 4;
    // Samples that one call of Process takes at most.
    static constexpr int ChunkLength = 4096;

    TBandFilterBank(std::span<const TBandEdges> bands, double sampleRate);

    // Filters the next samples (at most ChunkLength) into every band.
    void Process(std::span<const double> samples);
    // Closes a buffer in every band's levels (see TTimeWeighted).
    void EndBuffer();
    void Restart();

    const TTimeWeighted& Band(int band) const { return FBands[band].Energy; }

private:
    struct TBand {
        TCascade<BandOrder> Filter;
        int Stage = 0;
        TTimeWeighted Energy;
    };
    struct TStage {
        double SampleRate = 0.0;
        TCascade<4> AntiAlias;  // before the next stage's decimation
        bool KeepNext = true;   // whether the next filtered sample goes on
        std::vector<double> Samples;  // this stage's samples of the chunk
        int Count = 0;
    };

    void FilterBands(int stage, std::span<const double> samples);
    void Decimate(int stage, std::span<const double> samples);

    std::vector<TStage> FStages;
    std::vector<TBand> FBands;
};

}  // namespace wellenschau
