// A level relative to full scale in each calibrated unit.
#include "analysis/Calibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace wellenschau;

namespace {

TEST(CalibrationTest, LevelsReadInEachUnit) {
    struct TCase {
        TLevelUnit Unit;
        double FullScaleSpl, FullScaleVolts, Dbfs, Expected;
        const char* UnitName;
    };
    const TCase cases[] = {
        {TLevelUnit::Dbfs, 0.0, 0.0, -12.5, -12.5, "dBFS"},
        {TLevelUnit::DbSpl, 120.0, 0.0, -26.0, 94.0, "dB SPL"},
        {TLevelUnit::DbV, 0.0, 1.0, -6.0, -6.0, "dBV"},
        {TLevelUnit::DbV, 0.0, 2.0, -20.0, -20.0 + 6.0206, "dBV"},
        {TLevelUnit::DbU, 0.0, 0.7746, 0.0, 0.0, "dBu"},
        {TLevelUnit::DbU, 0.0, 1.0, -10.0, -10.0 + 2.2185, "dBu"},
        {TLevelUnit::Volts, 0.0, 2.0, 0.0, 2.0, "V"},
        {TLevelUnit::Volts, 0.0, 2.0, -20.0, 0.2, "V"},
    };
    for (const TCase& c : cases) {
        TCalibration calibration;
        calibration.Unit = c.Unit;
        calibration.FullScaleSpl = c.FullScaleSpl;
        calibration.FullScaleVolts = c.FullScaleVolts;
        EXPECT_NEAR(calibration.Value(c.Dbfs), c.Expected, 1e-3) << c.UnitName << " " << c.Dbfs;
        EXPECT_STREQ(UnitName(c.Unit), c.UnitName);
        EXPECT_EQ(calibration.Calibrated(), c.Unit != TLevelUnit::Dbfs) << c.UnitName;
    }
}

TEST(CalibrationTest, CalibratorToneSetsTheOffset) {
    const TCalibration c = TCalibration::FromCalibrator(-18.3, 94.0);
    EXPECT_EQ(c.Unit, TLevelUnit::DbSpl);
    EXPECT_DOUBLE_EQ(c.FullScaleSpl, 112.3);
    EXPECT_NEAR(c.Value(-18.3), 94.0, 1e-12);
    EXPECT_NEAR(c.Value(-38.3), 74.0, 1e-12);
}

TEST(CalibrationTest, SilenceStaysSilence) {
    const double silence = -std::numeric_limits<double>::infinity();
    TCalibration volts;
    volts.Unit = TLevelUnit::Volts;
    volts.FullScaleVolts = 1.5;
    EXPECT_EQ(volts.Value(silence), 0.0);
    EXPECT_EQ(TCalibration::FromCalibrator(-20.0, 94.0).Value(silence), silence);
}

}  // namespace
