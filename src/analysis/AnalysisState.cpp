#include "AnalysisState.h"

#include "core/CheckedMath.h"

#include <cmath>
#include <numbers>

namespace wellenschau {

namespace {

struct FrequencyLabel {
    std::int32_t Frequency;
    const char* Text;
};

constexpr FrequencyLabel FrequencyLabels[LabelCount] = {
    {20, "20"},     {30, ""},     {40, ""},    {50, "50"},     {60, ""},    {70, ""},     {80, ""},
    {90, ""},       {100, "100"}, {200, "200"}, {300, ""},     {400, ""},   {500, "500"}, {600, ""},
    {700, ""},      {800, ""},    {900, ""},   {1000, "1k"},   {2000, "2k"}, {3000, ""},   {4000, ""},
    {5000, "5k"},   {6000, ""},   {7000, ""},  {8000, ""},     {9000, ""},  {10000, "10k"}, {20000, "20k"},
};

// A symmetric Hann window of FftFrameLength points, scaled by 3 / 32768:
// the raised cosine peaks at 2, times 3 / 65536 (exact in binary).
constexpr double WindowScale = 3.0 / 65536.0;

void SetupWindow(AnalysisState& s) {
    for (int i = 0; i < FftFrameLength; ++i)
        s.Window[i] = (1.0 - std::cos(2.0 * std::numbers::pi * i / 4095.0)) * WindowScale;
}

// Groups the bins into rows: bins whose log positions round to the same
// integer share a row. No position lies within 0.001 of a half, so the
// rows do not depend on how ties round. The log positions are kept in
// RowLevel as scratch.
void GroupBinsIntoRows(AnalysisState& s) {
    TFftTable& binLogPosition = s.RowLevel;
    const double lnBins = std::log(static_cast<double>(BinsUsed));
    for (int j = 0; j < BinsUsed; ++j) {
        binLogPosition[j] = std::log(j + 1.0) / lnBins * LogPositionScale;
        s.RowFrequency[j] = 0.0;
        s.RowBinCount[j] = 0.0;
    }
    std::int32_t r = 0;
    s.RowFrequency[0] = binLogPosition[0];
    s.RowBinCount[0] = 1.0;
    for (int j = 1; j < BinsUsed; ++j) {
        if (Round(binLogPosition[j]) != Round(binLogPosition[j - 1])) r = CheckedAdd(r, 1);
        s.RowFrequency[r] = s.RowFrequency[r] + binLogPosition[j];
        s.BinRow[j] = r;
        s.RowBinCount[r] = s.RowBinCount[r] + 1.0;
    }
    if (s.RowBinCount[r] != 0.0) r = CheckedAdd(r, 1);
    s.RowCount = r;
    // Geometric mean of (j + 1) over the row's bins, times the bin width.
    for (r = 0; r < s.RowCount; ++r)
        s.RowFrequency[r] =
            std::exp(lnBins * (s.RowFrequency[r] / s.RowBinCount[r] / LogPositionScale)) * s.BinWidth;
}

// Pixel row k (from the bottom) stands for 20 * 1102.5^(k / height) Hz; it
// takes the nearest row (ties keep the lower row) and blends in the nearer
// of that row's two neighbours.
void MapPixelRows(AnalysisState& s, int height) {
    constexpr double noNeighbour = 100000.0;
    for (int k = 0; k < height; ++k) {
        const double f = std::exp(std::log(20.0) + k * std::log(1102.5) / height);
        std::int32_t nearest = 0;
        double best = std::fabs(f - s.RowFrequency[0]);
        for (std::int32_t r = 1; r < s.RowCount; ++r) {
            const double distance = std::fabs(f - s.RowFrequency[r]);
            if (distance < best) {
                best = distance;
                nearest = r;
            }
        }
        s.PixelRow[k] = nearest;
        const double dLow = nearest > 0 ? std::fabs(f - s.RowFrequency[nearest - 1]) : noNeighbour;
        const double dHigh = nearest < s.RowCount - 1 ? std::fabs(f - s.RowFrequency[nearest + 1]) : noNeighbour;
        if (dLow < dHigh) {
            s.PixelRowStep[k] = -1;
            s.PixelRowWeight[k] = dLow / (dLow + best);
        } else if (dHigh < dLow) {
            s.PixelRowStep[k] = +1;
            s.PixelRowWeight[k] = dHigh / (dHigh + best);
        } else {
            s.PixelRowStep[k] = 0;
            s.PixelRowWeight[k] = 1.0;
        }
    }
}

}  // namespace

AnalysisState::AnalysisState() {
    for (std::size_t i = 0; i < LabelCount; ++i) {
        LabelFrequencies[static_cast<std::int64_t>(i)] = FrequencyLabels[i].Frequency;
        LabelTexts[static_cast<std::int64_t>(i)] = FrequencyLabels[i].Text;
    }
}

void SetupAnalysis(AnalysisState& s, int spectrogramHeight) {
    if (spectrogramHeight < 1 || spectrogramHeight > static_cast<int>(PixelTableSize)) throw ERangeError();
    s.NyquistFrequency = s.SampleRate / 2.0;
    s.BinWidth = s.NyquistFrequency / BinsUsed;
    SetupWindow(s);
    GroupBinsIntoRows(s);
    MapPixelRows(s, spectrogramHeight);
    for (std::int32_t r = 0; r <= s.RowCount; ++r) s.PrevRowLevel[r] = LevelFloor;
}

}  // namespace wellenschau
