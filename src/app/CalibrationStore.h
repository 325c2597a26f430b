// Where the calibrations live: one per input device in the user's settings
// (QSettings: ~/.config/Wellenschau/Wellenschau.conf on Linux), under the
// device's name, so that a calibration follows its microphone or
// interface whatever number the sound system gives it today. An entry
// that is missing or damaged reads as no calibration (dBFS).
// User-interface thread only.
#pragma once

#include "analysis/Calibration.h"

#include <QString>

namespace wellenschau {

TCalibration LoadCalibration(const QString& deviceName);
// Stores the device's calibration; an uncalibrated one (dBFS) removes its entry.
void SaveCalibration(const QString& deviceName, const TCalibration& calibration);

}  // namespace wellenschau
