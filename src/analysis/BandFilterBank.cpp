#include "BandFilterBank.h"

#include <algorithm>
#include <cmath>

namespace wellenschau {

namespace {

constexpr int AntiAliasOrder = 8;

// The stage (halvings of the input rate) that a band runs at.
int StageOf(double midbandHz, double sampleRate) {
    return std::max(0, static_cast<int>(std::floor(std::log2(sampleRate / (4.0 * midbandHz)))));
}

std::vector<TBiquad> BandSections(const TBandEdges& band, double sampleRate) {
    std::vector<TBiquad> sections = band.HighHz < sampleRate / 2.0
                                        ? ButterworthBandPass(TBandFilterBank::BandOrder, band.LowHz, band.HighHz, sampleRate)
                                        : ButterworthHighPass(2 * TBandFilterBank::BandOrder, band.LowHz, sampleRate);
    ScaleGainAt(sections, band.MidbandHz, sampleRate);
    return sections;
}

}  // namespace

TBandFilterBank::TBandFilterBank(std::span<const TBandEdges> bands, double sampleRate) {
    int stages = 1;
    for (const TBandEdges& band : bands) stages = std::max(stages, StageOf(band.MidbandHz, sampleRate) + 1);
    for (int k = 0; k < stages; ++k) {
        TStage stage;
        stage.SampleRate = sampleRate / std::ldexp(1.0, k);
        stage.AntiAlias = TCascade<4>(ButterworthLowPass(AntiAliasOrder, stage.SampleRate / 4.0, stage.SampleRate));
        stage.Samples.resize(ChunkLength / (1 << k) + 1);
        FStages.push_back(std::move(stage));
    }
    for (const TBandEdges& edges : bands) {
        TBand band;
        band.Stage = StageOf(edges.MidbandHz, sampleRate);
        band.Filter = TCascade<BandOrder>(BandSections(edges, FStages[band.Stage].SampleRate));
        FBands.push_back(band);
    }
}

void TBandFilterBank::Process(std::span<const double> samples) {
    std::span<const double> signal = samples;
    for (int k = 0; k < static_cast<int>(FStages.size()); ++k) {
        FilterBands(k, signal);
        if (k + 1 == static_cast<int>(FStages.size())) break;
        Decimate(k, signal);
        const TStage& next = FStages[k + 1];
        signal = std::span<const double>(next.Samples.data(), next.Count);
    }
}

void TBandFilterBank::FilterBands(int stage, std::span<const double> samples) {
    for (TBand& band : FBands) {
        if (band.Stage != stage) continue;
        double sum = 0.0;
        for (double x : samples) {
            const double y = band.Filter.Step(x);
            sum += y * y;
        }
        band.Energy.Add(sum, static_cast<int>(samples.size()));
    }
}

void TBandFilterBank::Decimate(int stage, std::span<const double> samples) {
    TStage& from = FStages[stage];
    TStage& to = FStages[stage + 1];
    to.Count = 0;
    for (double x : samples) {
        const double y = from.AntiAlias.Step(x);
        if (from.KeepNext) to.Samples[to.Count++] = y;
        from.KeepNext = !from.KeepNext;
    }
}

void TBandFilterBank::EndBuffer() {
    for (TBand& band : FBands) band.Energy.EndBuffer(FStages[band.Stage].SampleRate);
}

void TBandFilterBank::Restart() {
    for (TBand& band : FBands) band.Energy.Restart();
}

}  // namespace wellenschau
