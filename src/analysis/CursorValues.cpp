#include "analysis/CursorValues.h"

#include "analysis/Sweep.h"

#include <cmath>

namespace wellenschau {

bool ShowsVolts(const TCalibration& calibration) {
    return calibration.FullScaleVolts > 0.0 && calibration.Unit != TLevelUnit::DbSpl;
}

TCursorValues CursorValues(double t1Ms, double t2Ms, double a1Percent, double a2Percent,
                           const TCalibration& calibration) {
    TCursorValues v{.T1Ms = t1Ms, .T2Ms = t2Ms, .DeltaMs = t2Ms - t1Ms, .Hz = std::nullopt, .A1 = a1Percent, .A2 = a2Percent};
    if (v.DeltaMs != 0.0) v.Hz = 1000.0 / std::abs(v.DeltaMs);
    v.Volts = ShowsVolts(calibration);
    if (v.Volts) {
        const double voltsPerPercent = 1.0 / PercentOfVolts(calibration, 1.0);
        v.A1 *= voltsPerPercent;
        v.A2 *= voltsPerPercent;
    }
    v.DeltaA = v.A2 - v.A1;
    return v;
}

}  // namespace wellenschau
