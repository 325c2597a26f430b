// The analyser view: a second arrangement of the window's own controls,
// so that one set of charts, series and pictures is fed whatever the view.
// The oscilloscope runs across the top, where its time axis gets the whole
// width; spectrum and spectrogram share the lower part side by side, both
// with frequency along their longer axis. A second tool row holds what the
// plain window hides (background subtraction, peak display, palette) and
// the input-device chooser; the readout line runs along the bottom.
// Leaving the view puts every moved control back exactly where it was.
// The view renders the charts at the screen's device pixel ratio, so that
// they are sharp on a high-density screen; the plain window keeps ratio 1.
// User-interface thread only.
#pragma once

#include "audio/InputDevices.h"

#include <QRect>
#include <QSize>

#include <vector>

class QComboBox;
class QLabel;
class QWidget;

namespace wellenschau {

class TForm1;

class TAnalyserView {
public:
    // Creates the view's own controls on form, hidden.
    explicit TAnalyserView(TForm1& form);

    bool Active() const { return FActive; }
    void Enter();
    void Leave();
    // Places the charts, pictures and rows for the window's current size.
    void Arrange();
    // Renders the charts at the window's device pixel ratio while the view
    // is shown: on entering and when the window moves to another screen.
    void FollowPixelRatio();

    // The devices the chooser offers, and which one is chosen; no devices
    // (a sound file as input) hide the chooser.
    void SetDevices(const std::vector<TInputDeviceInfo>& devices, int current);

private:
    // A control as the plain window has it, to be put back on leaving.
    struct TStoredPlace {
        QWidget* Widget;
        QWidget* Parent;
        QRect Geometry;
        bool Hidden;
    };

    // Puts a control where the view has it, remembering where it was.
    void Place(QWidget* widget, QWidget* parent, const QRect& geometry);
    void SetFrequencyLabelsSeparation(int percent);
    void SetChartsPixelRatio(qreal ratio);
    void PlacePictures();

    TForm1& FForm;
    QWidget* FRow;
    QLabel* FDeviceCaption;
    QComboBox* FDevices;
    std::vector<TStoredPlace> FStored;
    QSize FPlainSize;
    bool FReadoutWasVisible = false;
    bool FActive = false;
};

}  // namespace wellenschau
