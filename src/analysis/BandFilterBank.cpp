#include "BandFilterBank.h"

#include "core/Vectorise.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace wellenschau {

namespace {

using TGroup = TBandFilterBank::TGroup;
constexpr int Lanes = TBandFilterBank::Lanes;
constexpr int Sections = TBandFilterBank::Sections;
constexpr int AntiAliasOrder = 8;

double Squared(double x) { return x * x; }

// The stage (halvings of the input rate) that a band runs at.
int StageOf(double midbandHz, double sampleRate) {
    return std::max(0, static_cast<int>(std::floor(std::log2(sampleRate / (4.0 * midbandHz)))));
}

std::vector<TBiquad> BandSections(const TBandEdges& band, double sampleRate) {
    std::vector<TBiquad> sections =
        band.HighHz < sampleRate / 2.0
            ? ButterworthBandPass(TBandFilterBank::BandOrder, band.LowHz, band.HighHz, sampleRate)
            : ButterworthHighPass(2 * TBandFilterBank::BandOrder, band.LowHz, sampleRate);
    ScaleGainAt(sections, band.MidbandHz, sampleRate);
    return sections;
}

struct TGroupSums {
    std::array<double, Lanes> Output{};
    std::array<double, Lanes> Tapped{};  // after TappedSections sections
};

// Lanes doubles computed as one (GCC and Clang vectors; two SSE2 or one
// AVX2 instruction per operation).
using TVector [[gnu::vector_size(Lanes * sizeof(double))]] = double;
using TLaneVectors = std::array<TVector, Sections>;

TLaneVectors Load(const TGroup::TLaneArray& lanes) {
    TLaneVectors vectors;
    for (int s = 0; s < Sections; ++s) std::memcpy(&vectors[s], lanes[s].data(), sizeof(TVector));
    return vectors;
}

void Store(const TLaneVectors& vectors, TGroup::TLaneArray& lanes) {
    for (int s = 0; s < Sections; ++s) std::memcpy(lanes[s].data(), &vectors[s], sizeof(TVector));
}

// Runs n samples through the group's lanes: the sums of each lane's squared
// output, lane 0's output into laneZero; all before the lanes' gains.
WELLENSCHAU_ALSO_FOR_AVX2 void FilterGroup(TGroup& g, const double* __restrict x, int n, TGroupSums& sums,
                                           double* __restrict laneZero) {
    const TLaneVectors b1 = Load(g.B1), b2 = Load(g.B2), a1 = Load(g.A1), a2 = Load(g.A2);
    TLaneVectors s1 = Load(g.S1), s2 = Load(g.S2);
    TVector sum{}, tapped{};
    for (int i = 0; i < n; ++i) {
        TVector v = TVector{} + x[i];
        // Unrolled, the sections' states stay in registers.
#pragma GCC unroll 4
        for (int s = 0; s < Sections; ++s) {
            const TVector y = v + s1[s];
            s1[s] = b1[s] * v - a1[s] * y + s2[s];
            s2[s] = b2[s] * v - a2[s] * y;
            v = y;
            if (s + 1 == TBandFilterBank::TappedSections) tapped += v * v;
        }
        sum += v * v;
        laneZero[i] = v[0];
    }
    Store(s1, g.S1);
    Store(s2, g.S2);
    std::memcpy(sums.Output.data(), &sum, sizeof sum);
    std::memcpy(sums.Tapped.data(), &tapped, sizeof tapped);
}

}  // namespace

TBandFilterBank::TBandFilterBank(std::span<const TBandEdges> bands,
                                 std::span<const std::vector<TBiquad>> inputRateFilters, double sampleRate)
    : FLaneZero(ChunkLength) {
    int stages = 1;
    for (const TBandEdges& band : bands) stages = std::max(stages, StageOf(band.MidbandHz, sampleRate) + 1);
    for (int k = 0; k < stages; ++k) {
        TStage stage;
        stage.SampleRate = sampleRate / std::ldexp(1.0, k);
        stage.Samples.resize(ChunkLength / (1 << k) + 1);
        FStages.push_back(std::move(stage));
    }
    // Each stage's decimator first, so that it takes lane 0 of its first group.
    for (int k = 0; k + 1 < stages; ++k)
        AddLane(k, Decimator, ButterworthLowPass(AntiAliasOrder, FStages[k].SampleRate / 4.0, FStages[k].SampleRate));
    for (const TBandEdges& band : bands) {
        const int stage = StageOf(band.MidbandHz, sampleRate);
        AddLane(stage, static_cast<int>(FFilters.size()), BandSections(band, FStages[stage].SampleRate));
    }
    for (const std::vector<TBiquad>& sections : inputRateFilters)
        AddLane(0, static_cast<int>(FFilters.size()), sections, true);
}

void TBandFilterBank::AddLane(int stage, int filter, const std::vector<TBiquad>& sections, bool tapped) {
    if (sections.size() > Sections) throw std::invalid_argument("more sections than a lane holds");
    std::vector<TGroup>& groups = FStages[stage].Groups;
    if (groups.empty() || groups.back().Filter[Lanes - 1] != NoFilter) groups.emplace_back();
    TGroup& g = groups.back();
    const int lane = static_cast<int>(std::find(g.Filter.begin(), g.Filter.end(), NoFilter) - g.Filter.begin());
    g.Filter[lane] = filter;
    double gain = 1.0;
    for (int s = 0; s < Sections; ++s) {
        const TBiquad c = s < static_cast<int>(sections.size()) ? sections[s] : TBiquad{};
        if (c.B0 == 0.0) throw std::invalid_argument("a section without direct path");
        gain *= c.B0;
        g.B1[s][lane] = c.B1 / c.B0;
        g.B2[s][lane] = c.B2 / c.B0;
        g.A1[s][lane] = c.A1;
        g.A2[s][lane] = c.A2;
        if (s + 1 == TappedSections) g.TappedGain[lane] = gain;
    }
    g.OutputGain[lane] = gain;
    if (filter >= 0) FFilters.push_back({stage, {}});
    if (tapped) {
        g.Tapped[lane] = static_cast<int>(FFilters.size());
        FFilters.push_back({stage, {}});
    }
}

void TBandFilterBank::Process(std::span<const double> samples) {
    std::span<const double> signal = samples;
    for (int k = 0; k < static_cast<int>(FStages.size()); ++k) {
        RunStage(k, signal);
        if (k + 1 < static_cast<int>(FStages.size()))
            signal = std::span<const double>(FStages[k + 1].Samples.data(), FStages[k + 1].Count);
    }
}

void TBandFilterBank::RunStage(int stage, std::span<const double> samples) {
    const int n = static_cast<int>(samples.size());
    for (TGroup& g : FStages[stage].Groups) {
        TGroupSums sums;
        FilterGroup(g, samples.data(), n, sums, FLaneZero.data());
        for (int l = 0; l < Lanes; ++l) {
            if (g.Filter[l] >= 0) FFilters[g.Filter[l]].Energy.Add(sums.Output[l] * Squared(g.OutputGain[l]), n);
            if (g.Tapped[l] >= 0) FFilters[g.Tapped[l]].Energy.Add(sums.Tapped[l] * Squared(g.TappedGain[l]), n);
        }
        if (g.Filter[0] == Decimator) Decimate(stage, n, g.OutputGain[0]);
    }
}

// Every other low-passed sample goes on to the next stage.
void TBandFilterBank::Decimate(int stage, int count, double gain) {
    TStage& from = FStages[stage];
    TStage& to = FStages[stage + 1];
    const double* lowPassed = FLaneZero.data();
    double* kept = to.Samples.data();
    int keptCount = 0;
    for (int i = from.KeepNext ? 0 : 1; i < count; i += 2) kept[keptCount++] = lowPassed[i] * gain;
    to.Count = keptCount;
    if (count % 2 != 0) from.KeepNext = !from.KeepNext;
}

void TBandFilterBank::EndBuffer() {
    for (TFilter& f : FFilters) f.Energy.EndBuffer(FStages[f.Stage].SampleRate);
}

void TBandFilterBank::Restart() {
    for (TFilter& f : FFilters) f.Energy.Restart();
}

}  // namespace wellenschau
