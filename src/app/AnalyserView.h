// The analyser view: a second arrangement of the window's own controls,
// so that one set of charts, series and pictures is fed whatever the view.
// The oscilloscope runs across the top beside the band levels (the view's
// own bar chart with its choosers and the calibration); spectrum and
// spectrogram share the lower part side by side, both with frequency
// along their longer axis. While the view is shown the instrument measures
// the sound level, and the band chart and the readout line state levels
// in the calibration of the chosen input device (stored per device, see
// CalibrationStore.h; dBFS without one). A second tool row holds what the
// plain window hides (background subtraction, peak display, palette), the
// spectrum's averaging, the choice of two channels and the input-device
// chooser; the harmonics' levels, the readout line, with two channels
// channel B's readout line in B's colour and, while it has something to
// say, the status line run along the bottom. While the view is shown it
// keeps the last minutes of the recording (TLookBack): "Anhalten" holds
// the oscilloscope, the spectrum, the spectrogram picture and every
// figure at a kept moment, which the slider picks, while recording and
// the live analysis go on; "Weiter" shows the live instrument again.
// Qt layouts arrange it all
// on a page that fills the window; leaving the view puts every moved
// control back exactly where it was. The view renders the charts at the
// screen's device pixel ratio, so that they are sharp on a high-density
// screen; the plain window keeps ratio 1. User-interface thread only.
#pragma once

#include "MeasurementText.h"
#include "analysis/Calibration.h"
#include "analysis/Distortion.h"
#include "audio/InputDevices.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSlider;
class QSpinBox;
class QToolButton;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace wellenschau {

class TBandPanel;
class TCalibrationDialog;
class THistorySpectrogram;
class TForm1;
class TInstrument;
class TLookBack;
class TScopePanel;
class TSoundHistory;

class TAnalyserView {
public:
    // Creates the view's own controls on form, hidden.
    explicit TAnalyserView(TForm1& form);
    ~TAnalyserView();

    bool Active() const { return FActive; }
    void Enter();
    void Leave();
    // Lays the view out for the window's current size.
    void Arrange();
    // Renders the charts at the window's device pixel ratio while the view
    // is shown: on entering and when the window moves to another screen.
    void FollowPixelRatio();

    // The devices the chooser offers, the monitors set apart after the
    // inputs, and which one is chosen; no devices (a sound file as input)
    // hide the chooser.
    void SetDevices(const std::vector<TInputDeviceInfo>& devices, int current);

    // Lists the last buffer's harmonics while the view is shown.
    void ShowHarmonics(const std::optional<TDistortion>& distortion);
    // Shows the last buffer's band levels while the view is shown.
    void ShowBandLevels();
    // How the readout states levels: in the view, in the device's
    // calibration and with the weighted Fast level; else as dBFS alone.
    TReadoutLevels ReadoutLevels() const;

    // The band chart with its choosers.
    TBandPanel& Bands() { return *FBands; }
    // The bench oscilloscope's controls; their settings hold while the
    // view is shown, the plain window has the plain trace.
    TScopePanel& Scope() { return *FScope; }
    // The name the chosen input device's calibration is stored under: its
    // name in the chooser, else "Eingang N" in every language, so that a
    // calibration holds whatever language the program speaks.
    QString DeviceName() const;
    // The same name as the user reads it: "Input N" in English.
    QString ShownDeviceName() const;
    // Loads the chosen device's calibration and offers two channels as far
    // as the device has them (after choosing another device).
    void FollowDevice();
    // The channels of the sound file played instead of a device.
    void SetFileChannels(int channels);
    // Shows the window's channel count in the check box and, with two,
    // channel B's readout line while the view is shown.
    void ShowChannels(int channels);
    // Channel B's figures of the last buffer in its readout line.
    void ShowChannelB(const std::optional<TChannelBFigures>& figures);
    QCheckBox* TwoChannelsCheck() const { return FTwoChannels; }
    const TCalibration& Calibration() const { return FCalibration; }
    // Opens the calibration dialog (window-modal, without waiting for it);
    // accepting it stores its calibration for the device and shows it.
    TCalibrationDialog* OpenCalibrationDialog();

    // The kept history: samples and spectrogram columns of the last
    // minutes, numbered buffers; null while the view is hidden. It is made
    // anew on entering the view and when the channels or the length
    // change (OnHistoryChanged then tells).
    const TSoundHistory* History() const;
    std::function<void()> OnHistoryChanged;
    // How many minutes the history keeps (LeastHistoryMinutes ..
    // MostHistoryMinutes); a new length starts it anew.
    void SetHistoryMinutes(double minutes);
    double HistoryMinutes() const;
    // "Anhalten": holds the charts and figures at the newest kept buffer
    // that can be shown (nothing happens before there is one); "Weiter":
    // back to live.
    void Freeze();
    void Resume();
    bool Frozen() const { return FFrozen; }
    // Holds the charts and figures at kept buffer `number` (the history's
    // numbering), exactly as they were shown live; a number the history
    // cannot show gives the nearest one it can.
    void ShowMoment(std::int64_t number);
    // The kept buffer shown while frozen; none while live.
    std::optional<std::int64_t> ShownMoment() const;
    // The instrument whose figures the view shows: the live one, or the
    // look back's while frozen.
    TInstrument& ShownInstrument() const;
    // After every live buffer: "Anhalten" is offered once a kept buffer
    // can be shown; while frozen the slider's range follows the history.
    void FollowHistory();
    // The history spectrogram takes the palette the spectrogram picture has.
    void FollowPalette();

private:
    // The history's length, "Anhalten"/"Weiter", the time slider.
    void CreateHistoryControls();
    // Offers "Moment speichern" while a span of the history is selected.
    void OfferSavingMoment();
    // Begins keeping anew (back to live first).
    void StartHistory();
    // Shows the look back's charts and held picture instead of the live
    // ones; false when nothing can be shown yet.
    bool Hold();
    void ShowMomentAge();
    // The chosen device's name in the device list; none without a list.
    std::optional<QString> ListedDeviceName() const;
    // A control as the plain window has it, to be put back on leaving.
    struct TStoredPlace {
        QWidget* Widget;
        QWidget* Parent;
        QRect Geometry;
        bool Hidden;
    };

    // Remembers where a control of the plain window is.
    void Keep(QWidget* widget);
    // The page's layout: the two tool rows, the oscilloscope, spectrum and
    // spectrogram side by side, the readout and status lines.
    void LayOut();
    void SetFrequencyLabelsSeparation(int percent);
    void SetChartsPixelRatio(qreal ratio);
    // The averaging controls: a mode and its time constant or buffer count.
    void CreateAveragingControls();
    // Sends the chosen averaging to the instrument.
    void ChooseAveraging();
    // Stores a calibration for the chosen device and shows levels in it.
    void ApplyCalibration(const TCalibration& calibration);
    // Shows levels in a calibration, and while the view is shown saves
    // them in it too (Ctrl+S).
    void ShowCalibration(const TCalibration& calibration);
    // The spectrogram fills its plot inside the axis lines, the legend
    // stands beside the spectrum's plot.
    void PlacePictures();
    void CreateChannelControls();
    // Why the input cannot give two channels; empty when it can.
    QString TwoChannelsRefusal() const;
    // Enables the two-channel check box as far as the input allows, going
    // back to one channel when it no longer does.
    void OfferChannels();

    TForm1& FForm;
    QWidget* FPage;
    QWidget* FRow;
    QHBoxLayout* FRowLayout;
    QLabel* FDeviceCaption;
    QComboBox* FDevices;
    QComboBox* FAveraging;
    QDoubleSpinBox* FTimeConstant;
    QSpinBox* FBufferCount;
    QLabel* FHarmonics;
    QCheckBox* FTwoChannels;
    QLabel* FReadoutB;
    int FFileChannels = 0;  // 0: a device, not a file
    TBandPanel* FBands;
    TScopePanel* FScope;
    // The devices the chooser offers, for their names.
    std::vector<TInputDeviceInfo> FDeviceList;
    TCalibration FCalibration;
    std::vector<TStoredPlace> FStored;
    QSize FPlainSize;
    bool FReadoutWasVisible = false;
    bool FActive = false;
    QDoubleSpinBox* FHistoryMinutes;
    QToolButton* FHoldButton;
    QSlider* FMoment;
    QLabel* FMomentAge;
    QToolButton* FSaveMoment;
    // The spectrogram of the whole history: a click picks a moment, a
    // Shift drag the span that "Moment speichern" saves.
    THistorySpectrogram* FHistoryChart;
    std::unique_ptr<TLookBack> FLookBack;
    // The spectrogram picture as it was on "Anhalten".
    QImage FHeldPicture;
    bool FFrozen = false;
};

}  // namespace wellenschau
