// TCalibrationDialog: says what the input's levels mean. The user chooses
// the unit (dB SPL for a microphone; dBV, dBu or V for a voltage) and
// types what a full-scale sine reads in it: its sound pressure level, or
// its voltage RMS. With a microphone and a sound calibrator the offset can
// be measured instead: play the calibrator's tone into the microphone,
// type its level (94 dB SPL unless it says otherwise) and press
// "Kalibratorton messen": the full-scale level becomes the calibrator's
// level minus the tone's measured level (the input's Z-weighted Fast
// level, which at the calibrator's 1 kHz is the tone's level). "Kalibrierung
// entfernen" goes back to dBFS. The dialog only edits a calibration; its
// caller stores the result. Built from Qt layouts. User-interface thread only.
#pragma once

#include "analysis/Calibration.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace wellenschau {

class TCalibrationDialog : public QDialog {
public:
    // measuredLevel gives the input's level now in dB re full scale
    // (-infinity for silence).
    TCalibrationDialog(const QString& deviceName, const TCalibration& current, std::function<double()> measuredLevel,
                       QWidget* parent);

    // What the dialog was accepted with: the calibration as edited, or none
    // (dBFS) after "Kalibrierung entfernen".
    TCalibration Result() const;

    // The controls, for the program and its tests.
    QComboBox* Unit;
    // dB SPL, or volts RMS for the voltage units.
    QDoubleSpinBox* FullScale;
    QDoubleSpinBox* CalibratorLevel;
    QPushButton* MeasureCalibrator;
    QPushButton* RemoveCalibration;
    // What the last measurement gave, or why it gave nothing.
    QLabel* Message;

private:
    bool ShowsSpl() const;
    // Follows the chosen unit: the full-scale field keeps a value per kind
    // (sound pressure, voltage) and shows the chosen kind's.
    void ShowUnit();
    // Range, digits, unit and value of the full-scale field for its kind.
    void SetUpFullScale();
    void TakeCalibratorTone();

    std::function<double()> FMeasuredLevel;
    double FSpl;
    double FVolts;
    bool FShowingSpl = true;
    bool FRemoved = false;
};

}  // namespace wellenschau
