// TScopePanel: the analyser view's row of bench oscilloscope controls:
// which channels are shown ("Kanal A", "Kanal B"), the trigger (mode
// "Spitze" or "Flanke", level in % of full scale, slope, source, position
// in % of the screen), the sweep (Auto, Normal, Single with
// "Neu scharf schalten" to arm it again), time per division ("wie
// gespeichert" keeps the stored time bases) and amplitude per division
// ("automatisch" keeps the automatic range; in volts when the input is
// calibrated in volts). While the analyser view is shown every change
// goes to the instrument at once.
// Built from Qt layouts. User-interface thread only.
#pragma once

#include "analysis/Calibration.h"
#include "analysis/Sweep.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;

namespace wellenschau {

class TInstrument;

class TScopePanel : public QWidget {
public:
    // Sends the settings to instrument, which must outlive the panel.
    TScopePanel(TInstrument& instrument, QWidget* parent);

    // The settings the controls show.
    TScopeSettings Settings() const;
    // Sets the controls to settings (those of the command line); a time or
    // amplitude per division the choosers do not offer leaves them alone.
    void SetSettings(const TScopeSettings& settings);
    // Gives the instrument the controls' settings and channels (the view
    // is shown), or the plain window's trace with both channels.
    void Show(bool inView);
    // Offers amplitudes per division in volts for a calibration in volts,
    // else in percent of full scale.
    void SetCalibration(const TCalibration& calibration);

    // The controls, for the program and its tests.
    QCheckBox* ChannelA;
    QCheckBox* ChannelB;
    QComboBox* TriggerChooser;
    QDoubleSpinBox* LevelBox;
    QComboBox* SlopeChooser;
    QComboBox* SourceChooser;
    QDoubleSpinBox* PositionBox;
    QComboBox* SweepChooser;
    QPushButton* RearmButton;
    QComboBox* TimeChooser;
    QComboBox* AmplitudeChooser;

private:
    void CreateTriggerControls();
    void CreateDivisionControls();
    // Sends the controls' settings to the instrument.
    void Apply();

    TInstrument& FInstrument;
    bool FInView = false;
};

}  // namespace wellenschau
