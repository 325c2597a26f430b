// The values under the mouse pointer on the three charts, as the readout
// line shows them. Pure functions of a chart's last painted scales (and,
// for the spectrogram, of its picture); empty text outside the plot or
// picture. User-interface thread only.
#pragma once

#include <QPoint>
#include <QString>

class QImage;

namespace wellenschau {

class TChart;

// Oscilloscope: time in ms and amplitude in percent at pixel (x, y).
QString OscilloscopePointerText(TChart& chart, int x, int y);

// Spectrum: frequency in Hz with its note, and level in dB.
QString SpectrumPointerText(TChart& chart, int x, int y);

// Spectrogram picture pixel `pixel`, shown at height chartY of the
// spectrogram chart: how long ago its column was written (two columns per
// buffer of bufferSeconds), the frequency at chartY on the chart's
// frequency axis, and the level in dB its colour index stands for.
QString SpectrogramPointerText(TChart& chart, const QImage& picture, QPoint pixel, int chartY, double bufferSeconds);

}  // namespace wellenschau
