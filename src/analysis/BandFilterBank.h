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
// power sum over the bands reads 0.5 dB high.)
//
// The bank also runs further filters at the input rate (the frequency
// weightings) and keeps their levels like the bands', each also after its
// first TappedSections sections.
//
// Filters of one rate run side by side, Lanes at a time, so that the
// processor computes them together: a chain of sections alone waits on
// each result. Designing allocates; Process does not. One thread per bank.
#pragma once

#include "FilterDesign.h"
#include "TimeWeighting.h"
#include "core/StateBytes.h"

#include <array>
#include <span>
#include <vector>

namespace wellenschau {

struct TBandEdges {
    double MidbandHz = 0.0;
    double LowHz = 0.0;
    double HighHz = 0.0;
};

class TBandFilterBank : public TCarriedState<TBandFilterBank> {
public:
    // Order of the Butterworth prototype of a band: its band-pass has
    // twice that, in as many sections; also the most sections of any
    // filter.
    static constexpr int BandOrder = 4;
    static constexpr int Sections = BandOrder;
    // Filters computed together.
    static constexpr int Lanes = 4;
    // Sections after which an input-rate filter's level is kept too.
    static constexpr int TappedSections = 2;
    // Samples that one call of Process takes at most.
    static constexpr int ChunkLength = 4096;

    // The bands, then further filters at the input rate (each at most
    // Sections sections).
    TBandFilterBank(std::span<const TBandEdges> bands, std::span<const std::vector<TBiquad>> inputRateFilters,
                    double sampleRate);

    // Filters the next samples (at most ChunkLength) through every filter.
    void Process(std::span<const double> samples);
    // Closes a buffer in every filter's levels (see TTimeWeighted).
    void EndBuffer();
    void Restart();

    // The levels of the filters numbered as given: the bands from 0, then
    // for each input-rate filter its level and its tapped level.
    const TTimeWeighted& Filter(int filter) const { return FFilters[filter].Energy; }

    // What a lane holds besides one of the filters.
    static constexpr int NoFilter = -1;
    static constexpr int Decimator = -2;  // the low-pass before the next rate; always lane 0

    // The sections of Lanes filters of one rate, each in its lane of the
    // arrays; a filter of fewer sections has unity ones. Each section's
    // numerator is divided by its B0 (saving a multiplication per section),
    // and the product of those scales the lane's output instead.
    struct TGroup {
        using TLaneArray = std::array<std::array<double, Lanes>, Sections>;
        TLaneArray B1{}, B2{}, A1{}, A2{};
        TLaneArray S1{}, S2{};
        std::array<double, Lanes> OutputGain{}, TappedGain{};
        std::array<int, Lanes> Filter{NoFilter, NoFilter, NoFilter, NoFilter};
        std::array<int, Lanes> Tapped{NoFilter, NoFilter, NoFilter, NoFilter};
    };

private:
    friend class TCarriedState<TBandFilterBank>;
    // What the filters carry from one chunk to the next: each stage's
    // decimation phase, every section's memory, every level.
    template <typename TSelf, typename TVisit>
    static void EachState(TSelf& self, TVisit& visit) {
        for (auto& stage : self.FStages) {
            visit(stage.KeepNext);
            for (auto& group : stage.Groups) {
                visit(group.S1);
                visit(group.S2);
            }
        }
        for (auto& filter : self.FFilters) visit(filter.Energy);
    }

    struct TFilter {
        int Stage = 0;
        TTimeWeighted Energy;
    };
    struct TStage {
        double SampleRate = 0.0;
        std::vector<TGroup> Groups;
        bool KeepNext = true;         // whether the next low-passed sample goes on
        std::vector<double> Samples;  // this stage's samples of the chunk
        int Count = 0;
    };

    void AddLane(int stage, int filter, const std::vector<TBiquad>& sections, bool tapped = false);
    void RunStage(int stage, std::span<const double> samples);
    void Decimate(int stage, int count, double gain);

    std::vector<TStage> FStages;
    std::vector<TFilter> FFilters;
    std::vector<double> FLaneZero;  // lane 0's output of a group's run
};

}  // namespace wellenschau
