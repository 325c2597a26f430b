#include "CalibrationStore.h"

#include <QSettings>
#include <QUrl>

#include <array>
#include <cmath>

namespace wellenschau {

namespace {

constexpr std::array CalibratedUnits{TLevelUnit::DbSpl, TLevelUnit::DbV, TLevelUnit::DbU, TLevelUnit::Volts};

QSettings Settings() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Wellenschau", "Wellenschau"); }

// Device names hold slashes, colons and spaces; percent-encoded they make
// one plain key each.
QString Group(const QString& deviceName) {
    return "Kalibrierung/" + QString::fromLatin1(QUrl::toPercentEncoding(deviceName));
}

}  // namespace

TCalibration LoadCalibration(const QString& deviceName) {
    QSettings settings = Settings();
    settings.beginGroup(Group(deviceName));
    const QString unitName = settings.value("Einheit").toString();
    bool numberRead = false;
    const double fullScale = settings.value("Vollaussteuerung").toDouble(&numberRead);
    TCalibration calibration;
    for (const TLevelUnit unit : CalibratedUnits)
        if (unitName == QString::fromUtf8(UnitName(unit))) calibration.Unit = unit;
    const bool spl = calibration.Unit == TLevelUnit::DbSpl;
    // Volts must be positive; a level in dB SPL only finite.
    if (calibration.Unit == TLevelUnit::Dbfs || !numberRead || !std::isfinite(fullScale) || (!spl && fullScale <= 0))
        return {};
    (spl ? calibration.FullScaleSpl : calibration.FullScaleVolts) = fullScale;
    return calibration;
}

void SaveCalibration(const QString& deviceName, const TCalibration& calibration) {
    QSettings settings = Settings();
    settings.remove(Group(deviceName));
    if (!calibration.Calibrated()) return;
    settings.beginGroup(Group(deviceName));
    settings.setValue("Einheit", QString::fromUtf8(UnitName(calibration.Unit)));
    const bool spl = calibration.Unit == TLevelUnit::DbSpl;
    settings.setValue("Vollaussteuerung", spl ? calibration.FullScaleSpl : calibration.FullScaleVolts);
}

}  // namespace wellenschau
