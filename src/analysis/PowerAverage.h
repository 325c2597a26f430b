// Power averaging of spectra, buffer by buffer: off, exponential with a
// time constant, linear over the last buffers, or over every buffer so far
// (a file's summary). Storage is made when the accumulator is; adding a
// buffer allocates nothing. Also the levels of a power spectrum in the
// spectrum's rows, for exporting an averaged spectrum. Pure computation
// without Qt; one thread per accumulator.
#pragma once

#include "AnalysisState.h"

#include <span>
#include <vector>

namespace wellenschau {

enum class TAveraging {
    Off,          // the latest buffer alone
    Exponential,  // each buffer weighs 1 - exp(-1 / time constant)
    Linear,       // equal weights over the last N buffers
    Whole,        // equal weights over every buffer since the reset
};

// Longest linear average, in buffers; its storage is made up front.
inline constexpr int MostLinearBuffers = 64;

// A time constant in seconds as buffers of bufferSamples at sampleRate.
double BuffersOf(double seconds, double sampleRate, int bufferSamples);

class TPowerAverage {
public:
    // Averages the first `bins` values of every spectrum added.
    explicit TPowerAverage(int bins);

    // Each choice starts the average anew. timeConstant is in buffers
    // (> 0); buffers is 1 .. MostLinearBuffers, else ERangeError.
    void SetOff();
    void SetExponential(double timeConstant);
    void SetLinear(int buffers);
    void SetWhole();
    void Reset();

    // Adds one power spectrum of at least `bins` values.
    void Add(std::span<const double> power);
    // The averaged spectrum; zeros before the first Add.
    std::span<const double> Average() const { return FAverage; }
    // Buffers added since the last reset.
    long Added() const { return FAdded; }

private:
    void AddLinear(std::span<const double> power);
    void SumRing();

    int FBins;
    TAveraging FMode = TAveraging::Off;
    double FWeight = 1.0;  // of the newest buffer, exponential mode
    int FLength = 1;       // buffers of the linear average
    long FAdded = 0;
    std::vector<double> FAverage;
    std::vector<double> FSum;   // linear and whole modes
    std::vector<double> FRing;  // MostLinearBuffers spectra, oldest overwritten
};

// Gives every row 0 .. RowCount - 1 the level of its loudest bin of power
// (bins 0 .. BinsUsed - 1, grouped by BinRow) in dB relative to a bin
// magnitude of ReferenceMagnitude, LevelFloor for a power of 0: the scale
// of the live spectrum's rows when power is an average of its FftPower.
void PowerRowLevels(const AnalysisState& state, std::span<const double> power, std::span<double> rowLevels);

}  // namespace wellenschau
