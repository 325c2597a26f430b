#include "Calibration.h"

#include <cmath>

namespace wellenschau {

double TCalibration::Value(double dbFullScale) const {
    switch (Unit) {
    case TLevelUnit::Dbfs:
        break;
    case TLevelUnit::DbSpl:
        return dbFullScale + FullScaleSpl;
    case TLevelUnit::DbV:
        return dbFullScale + 20.0 * std::log10(FullScaleVolts);
    case TLevelUnit::DbU:
        return dbFullScale + 20.0 * std::log10(FullScaleVolts / DbuVolts);
    case TLevelUnit::Volts:
        return FullScaleVolts * std::pow(10.0, dbFullScale / 20.0);
    }
    return dbFullScale;
}

TCalibration TCalibration::FromCalibrator(double measuredDbFullScale, double knownDbSpl) {
    TCalibration c;
    c.Unit = TLevelUnit::DbSpl;
    c.FullScaleSpl = knownDbSpl - measuredDbFullScale;
    return c;
}

const char* UnitName(TLevelUnit u) {
    switch (u) {
    case TLevelUnit::Dbfs:
        break;
    case TLevelUnit::DbSpl:
        return "dB SPL";
    case TLevelUnit::DbV:
        return "dBV";
    case TLevelUnit::DbU:
        return "dBu";
    case TLevelUnit::Volts:
        return "V";
    }
    return "dBFS";
}

}  // namespace wellenschau
