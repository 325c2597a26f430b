// The power average over buffers in each of its modes, and the levels of a
// power spectrum in the spectrum's rows.
#include "analysis/PowerAverage.h"
#include "analysis/Spectrum.h"
#include "core/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

using namespace wellenschau;

namespace {

constexpr int Bins = 5;

// Buffer i (from 1) has the power i in every bin.
std::vector<double> Flat(double value) { return std::vector<double>(Bins, value); }

struct TAverageCase {
    const char* Name;
    void (*Choose)(TPowerAverage&);
    int BuffersAdded;
    double Expected;  // every bin, after buffers 1 .. BuffersAdded
};

TEST(PowerAverageTest, EachModeAveragesAsDefined) {
    const double weight = 1.0 - std::exp(-1.0 / 2.0);
    const TAverageCase cases[] = {
        {"off", [](TPowerAverage& a) { a.SetOff(); }, 5, 5.0},
        {"exponential", [](TPowerAverage& a) { a.SetExponential(2.0); }, 2, 1.0 + weight},
        {"linear, filling", [](TPowerAverage& a) { a.SetLinear(4); }, 3, 2.0},
        {"linear, sliding", [](TPowerAverage& a) { a.SetLinear(3); }, 7, 6.0},
        {"linear, many turns", [](TPowerAverage& a) { a.SetLinear(MostLinearBuffers); }, 200, 168.5},
        {"whole", [](TPowerAverage& a) { a.SetWhole(); }, 9, 5.0},
    };
    for (const TAverageCase& c : cases) {
        TPowerAverage average(Bins);
        c.Choose(average);
        for (int i = 1; i <= c.BuffersAdded; ++i) average.Add(Flat(i));
        EXPECT_EQ(average.Added(), c.BuffersAdded) << c.Name;
        for (double v : average.Average()) EXPECT_DOUBLE_EQ(v, c.Expected) << c.Name;
    }
}

TEST(PowerAverageTest, ChoosingAModeStartsAnew) {
    TPowerAverage average(Bins);
    average.SetWhole();
    average.Add(Flat(8.0));
    average.SetLinear(2);
    EXPECT_EQ(average.Added(), 0);
    average.Add(Flat(2.0));
    EXPECT_EQ(average.Average()[0], 2.0);
    EXPECT_THROW(average.SetLinear(MostLinearBuffers + 1), ERangeError);
    EXPECT_THROW(average.SetExponential(0.0), ERangeError);
}

// One buffer's spectrum, put through the row mapping, gives the rows the
// live spectrum shows.
TEST(PowerAverageTest, RowLevelsMatchTheLiveSpectrum) {
    auto state = std::make_unique<AnalysisState>();
    SetupAnalysis(*state, 300);
    std::vector<char> buffer(2 * FftFrameLength);
    for (int i = 0; i < FftFrameLength; ++i) {
        const auto sample = static_cast<std::int16_t>(
            std::lround(8000.0 * std::sin(0.05 * i) + 300.0 * std::sin(1.3 * i) + 3.0 * std::sin(2.9 * i)));
        buffer[2 * i] = static_cast<char>(sample & 0xFF);
        buffer[2 * i + 1] = static_cast<char>((sample >> 8) & 0xFF);
    }
    WindowAndTransform(*state, buffer.data(), FftFrameLength);
    ComputeRowLevels(*state, FftFrameLength);
    std::vector<double> rows(static_cast<std::size_t>(state->RowCount));
    PowerRowLevels(*state, state->FftPower.Span(), rows);
    for (int r = 0; r < state->RowCount; ++r) EXPECT_NEAR(rows[r], state->RowLevel[r], 1e-9) << r;
}

}  // namespace
