#include "analysis/CursorValues.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace wellenschau;

namespace {

struct TCursorCase {
    double T1Ms, T2Ms, A1, A2;
    TCalibration Calibration;
    double DeltaMs;
    std::optional<double> Hz;
    double ExpectedA1, ExpectedA2, DeltaA;
    bool Volts;
};

// 1 V RMS full scale: 100 % is sqrt(2) V peak.
constexpr double Peak = 1.4142135623730951;

TEST(CursorValuesTest, DifferencesReciprocalAndVolts) {
    const TCursorCase cases[] = {
        {1, 3, 10, 50, {}, 2, 500, 10, 50, 40, false},
        {5, 2.5, 20, -30, {}, -2.5, 400, 20, -30, -50, false},
        {4, 4, 0, 0, {}, 0, std::nullopt, 0, 0, 0, false},
        {0, 10, -100, 100, {.Unit = TLevelUnit::DbV, .FullScaleVolts = 1}, 10, 100, -Peak, Peak, 2 * Peak, true},
        {0, 1, 50, 0, {.Unit = TLevelUnit::Volts, .FullScaleVolts = 2}, 1, 1000, Peak, 0, -Peak, true},
        {0, 1, 50, 0, {.Unit = TLevelUnit::DbSpl, .FullScaleSpl = 120}, 1, 1000, 50, 0, -50, false},
    };
    for (const TCursorCase& c : cases) {
        const TCursorValues v = CursorValues(c.T1Ms, c.T2Ms, c.A1, c.A2, c.Calibration);
        EXPECT_EQ(v.T1Ms, c.T1Ms);
        EXPECT_EQ(v.T2Ms, c.T2Ms);
        EXPECT_DOUBLE_EQ(v.DeltaMs, c.DeltaMs);
        EXPECT_EQ(v.Hz.has_value(), c.Hz.has_value()) << c.T1Ms << " " << c.T2Ms;
        EXPECT_DOUBLE_EQ(v.Hz.value_or(-1), c.Hz.value_or(-1));
        EXPECT_DOUBLE_EQ(v.A1, c.ExpectedA1);
        EXPECT_NEAR(v.A2, c.ExpectedA2, 1e-12);
        EXPECT_NEAR(v.DeltaA, c.DeltaA, 1e-12);
        EXPECT_EQ(v.Volts, c.Volts);
    }
}

}  // namespace
