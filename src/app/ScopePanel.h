// TScopePanel: the analyser view's row of bench oscilloscope controls:
// which channels are shown ("Kanal A", "Kanal B"), the trigger (mode
// "Spitze" or "Flanke", level in % of full scale, slope, source, position
// in % of the screen), the sweep (Auto, Normal, Single with
// "Neu scharf schalten" to arm it again), time per division ("wie
// gespeichert" keeps the stored time bases) and amplitude per division
// ("automatisch" keeps the automatic range; in volts when the input is
// calibrated in volts). While the analyser view is shown every change
// goes to the instrument at once, and with the edge trigger the trace
// follows the sound live: 40 times a second the newest samples the capture
// has written are swept and only the oscilloscope is redrawn, instead of
// once per buffer. With "Cursor" two vertical and two horizontal
// measuring lines stand on the oscilloscope, dragged with the mouse; a
// readout line states their times, amplitudes and differences
// (CursorValues.h). "X-Y", offered with two channels only, draws channel
// A across and channel B up for phase and Lissajous figures. The time
// chooser's "Rollen" time bases (10 ms to 1 s per division) roll the kept
// history across the screen (ScopeRoll.h); they are offered while there
// is a history.
// Built from Qt layouts. User-interface thread only.
#pragma once

#include "ScopeRoll.h"
#include "analysis/Calibration.h"
#include "analysis/Sweep.h"
#include "chart/ChartCursors.h"

#include <QWidget>

#include <cstdint>
#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace wellenschau {

class TInstrument;
class TSampleTap;

class TScopePanel : public QWidget {
public:
    // Milliseconds between two live traces: 40 a second.
    static constexpr int LiveIntervalMs = 25;

    // Sends the settings to instrument, which must outlive the panel; the
    // live trace reads the samples `tap` gives (nullptr: none to read).
    TScopePanel(TInstrument& instrument, std::function<const TSampleTap*()> tap, QWidget* parent);

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
    // Offers X-Y mode with two channels; fewer switch it off.
    void SetChannels(int channels);
    // The kept history the roll time bases draw from, or nullptr: none, and
    // the roll time bases are not offered.
    void SetHistory(const TSoundHistory* history);
    // The roll mode, for the view to show a kept moment.
    TScopeRoll& Roll() { return FRoll; }
    // The oscilloscope's measuring lines, for its widget to grab.
    TChartCursors& Cursors() { return FCursors; }

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
    QCheckBox* CursorBox;
    QCheckBox* XYBox;
    // The cursors' values, for the view to lay out under the oscilloscope.
    QLabel* CursorReadout;

private:
    void CreateTriggerControls();
    void CreateDivisionControls();
    void CreateCursorControls();
    // Shows or hides the cursors and their readout as the check box and
    // the view ask.
    void ShowCursors();
    void ShowCursorValues();
    // Sends the controls' settings to the instrument.
    void Apply();
    // Draws the live trace from the tap's newest samples, when it has new
    // ones; without a tap the buffers draw the trace.
    void FollowLive();
    // The roll time base chosen, 0 for a sweep's.
    double RollMsPerDivision() const;

    TInstrument& FInstrument;
    TChartCursors FCursors;
    TScopeRoll FRoll;
    TCalibration FCalibration;
    std::function<const TSampleTap*()> FTap;
    QTimer* FLiveTimer;
    // The tap's frame count at the last live trace.
    std::uint64_t FLiveEnd = 0;
    bool FInView = false;
};

}  // namespace wellenschau
