#include "PowerAverage.h"

#include "Spectrum.h"
#include "core/Errors.h"

#include <algorithm>
#include <cmath>

namespace wellenschau {

double BuffersOf(double seconds, double sampleRate, int bufferSamples) {
    return seconds * sampleRate / bufferSamples;
}

TPowerAverage::TPowerAverage(int bins)
    : FBins(bins), FAverage(static_cast<std::size_t>(bins)), FSum(static_cast<std::size_t>(bins)),
      FRing(static_cast<std::size_t>(bins) * MostLinearBuffers) {}

void TPowerAverage::SetOff() {
    FMode = TAveraging::Off;
    Reset();
}

void TPowerAverage::SetExponential(double timeConstant) {
    if (!(timeConstant > 0.0)) throw ERangeError();
    FMode = TAveraging::Exponential;
    FWeight = 1.0 - std::exp(-1.0 / timeConstant);
    Reset();
}

void TPowerAverage::SetLinear(int buffers) {
    if (buffers < 1 || buffers > MostLinearBuffers) throw ERangeError();
    FMode = TAveraging::Linear;
    FLength = buffers;
    Reset();
}

void TPowerAverage::SetWhole() {
    FMode = TAveraging::Whole;
    Reset();
}

void TPowerAverage::Reset() {
    FAdded = 0;
    std::fill(FAverage.begin(), FAverage.end(), 0.0);
    std::fill(FSum.begin(), FSum.end(), 0.0);
}

void TPowerAverage::Add(std::span<const double> power) {
    if (power.size() < static_cast<std::size_t>(FBins)) throw ERangeError();
    ++FAdded;
    switch (FMode) {
    case TAveraging::Off:
        std::copy_n(power.begin(), FBins, FAverage.begin());
        break;
    case TAveraging::Exponential: {
        // The first buffer starts the average at its own value.
        const double weight = FAdded == 1 ? 1.0 : FWeight;
        for (int k = 0; k < FBins; ++k) FAverage[k] += weight * (power[k] - FAverage[k]);
        break;
    }
    case TAveraging::Linear:
        AddLinear(power);
        break;
    case TAveraging::Whole:
        for (int k = 0; k < FBins; ++k) {
            FSum[k] += power[k];
            FAverage[k] = FSum[k] / static_cast<double>(FAdded);
        }
        break;
    }
}

// The running sum gains the newest spectrum and loses the one it replaces
// in the ring; once per turn of the ring it is summed afresh, so that the
// rounding of the removals never outlives FLength buffers.
void TPowerAverage::AddLinear(std::span<const double> power) {
    const long slot = (FAdded - 1) % FLength;
    double* stored = FRing.data() + slot * FBins;
    const bool full = FAdded > FLength;
    for (int k = 0; k < FBins; ++k) {
        if (full) FSum[k] -= stored[k];
        stored[k] = power[k];
        FSum[k] += stored[k];
    }
    if (slot == FLength - 1) SumRing();
    const double count = static_cast<double>(std::min<long>(FAdded, FLength));
    for (int k = 0; k < FBins; ++k) FAverage[k] = std::max(FSum[k], 0.0) / count;
}

void TPowerAverage::SumRing() {
    std::fill(FSum.begin(), FSum.end(), 0.0);
    for (int slot = 0; slot < FLength; ++slot) {
        const double* stored = FRing.data() + static_cast<std::size_t>(slot) * FBins;
        for (int k = 0; k < FBins; ++k) FSum[k] += stored[k];
    }
}

void PowerRowLevels(const AnalysisState& state, std::span<const double> power, std::span<double> rowLevels) {
    const int rowCount = state.RowCount;
    if (rowCount < 1 || rowLevels.size() < static_cast<std::size_t>(rowCount) || power.size() < BinsUsed)
        throw ERangeError();
    std::fill_n(rowLevels.begin(), rowCount, 0.0);
    for (int j = 0; j < BinsUsed; ++j) {
        const std::int32_t row = state.BinRow[j];
        if (row < 0 || row >= rowCount) throw ERangeError();
        rowLevels[row] = std::max(rowLevels[row], power[j]);
    }
    for (int r = 0; r < rowCount; ++r) {
        const double magnitude = std::sqrt(rowLevels[r]);
        rowLevels[r] =
            magnitude > 0.0 ? std::max(20.0 * std::log(magnitude / ReferenceMagnitude) / std::log(10.0), LevelFloor)
                            : LevelFloor;
    }
}

}  // namespace wellenschau
