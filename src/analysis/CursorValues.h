// What the oscilloscope's measuring cursors read: two times t1, t2 (ms)
// with their difference and its reciprocal in Hz, and two amplitudes A1,
// A2 (percent of full scale) with their difference, in volts (peak, not
// RMS) when the input is calibrated in volts. Pure computation.
#pragma once

#include "analysis/Calibration.h"

#include <optional>

namespace wellenschau {

struct TCursorValues {
    double T1Ms = 0;
    double T2Ms = 0;
    double DeltaMs = 0;           // t2 - t1
    std::optional<double> Hz;     // 1 / |t2 - t1|; none when they coincide
    double A1 = 0;
    double A2 = 0;
    double DeltaA = 0;            // A2 - A1
    bool Volts = false;           // A1, A2, DeltaA in volts, else in percent
};

// True when the oscilloscope states amplitudes in volts: a calibration in
// dBV, dBu or volts.
bool ShowsVolts(const TCalibration& calibration);

TCursorValues CursorValues(double t1Ms, double t2Ms, double a1Percent, double a2Percent,
                           const TCalibration& calibration);

}  // namespace wellenschau
