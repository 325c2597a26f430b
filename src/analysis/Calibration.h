// What a level in dB relative to full scale means outside the computer:
// sound pressure level with a microphone whose sensitivity is known (from a
// calibrator or typed in), or voltage at the input. A calibration is the
// level, or voltage, of a full-scale sine. Pure computation without Qt.
//
// Units: dB SPL = dBFS + the SPL of a full-scale sine; dBV = dBFS +
// 20 log10(its volts RMS) (0 dBV = 1 V RMS); dBu likewise with 0 dBu =
// 0.7746 V RMS (1 mW in 600 ohms); volts = its volts RMS * 10^(dBFS / 20).
#pragma once

namespace wellenschau {

enum class TLevelUnit { Dbfs, DbSpl, DbV, DbU, Volts };

// The voltage of 0 dBu, sqrt(0.6) V RMS.
inline constexpr double DbuVolts = 0.7745966692414834;

struct TCalibration {
    TLevelUnit Unit = TLevelUnit::Dbfs;  // Dbfs = uncalibrated
    double FullScaleSpl = 0;             // dB SPL of a full-scale sine (Unit DbSpl)
    double FullScaleVolts = 0;           // volts RMS of a full-scale sine (Units DbV, DbU, Volts)

    bool Calibrated() const { return Unit != TLevelUnit::Dbfs; }
    // The level in the unit (volts RMS for Volts); -infinity (0 V) stays so.
    double Value(double dbFullScale) const;
    // The calibration that makes a measured tone level (dB re full scale)
    // read `known` dB SPL.
    static TCalibration FromCalibrator(double measuredDbFullScale, double knownDbSpl);
};

// "dBFS", "dB SPL", "dBV", "dBu", "V": unit symbols, not translated.
const char* UnitName(TLevelUnit u);

}  // namespace wellenschau
