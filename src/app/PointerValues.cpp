#include "PointerValues.h"

#include "MeasurementText.h"
#include "analysis/Spectrogram.h"
#include "chart/Chart.h"

#include <QCoreApplication>
#include <QImage>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TPointerValuesText {
    Q_DECLARE_TR_FUNCTIONS(TPointerValuesText)
};

QString Fixed(double value, int decimals) { return ReadoutNumbers().toString(value, 'f', decimals); }

QString FrequencyText(double hz) { return Fixed(hz, hz < 1000.0 ? 1 : 0) + " Hz (" + NoteText(hz) + ")"; }

// Spectrogram columns written per buffer: the new column and the blend.
constexpr int ColumnsPerBuffer = 2;

}  // namespace

QString OscilloscopePointerText(TChart& chart, int x, int y) {
    if (!chart.PlotRect().Contains(x, y)) return {};
    const double ms = chart.BottomAxis().Scale().PositionToValue(x);
    const double percent = chart.LeftAxis().Scale().PositionToValue(y);
    return Fixed(ms, 2) + " ms   " + Fixed(percent, 1) + " %";
}

QString SpectrumPointerText(TChart& chart, int x, int y) {
    if (!chart.PlotRect().Contains(x, y)) return {};
    const double hz = chart.BottomAxis().Scale().PositionToValue(x);
    const double db = chart.LeftAxis().Scale().PositionToValue(y);
    return FrequencyText(hz) + "   " + Fixed(db, 1) + " dB";
}

QString SpectrogramPointerText(TChart& chart, const QImage& picture, QPoint pixel, int chartY, double bufferSeconds) {
    if (!picture.valid(pixel)) return {};
    const double secondsAgo = pixel.x() / ColumnsPerBuffer * bufferSeconds;
    const double hz = chart.LeftAxis().Scale().PositionToValue(chartY);
    // The inverse of the level-to-index scale of the picture.
    const double db = (picture.pixelIndex(pixel) - TopColourIndex) * LevelRange / TopColourIndex;
    return TPointerValuesText::tr("vor %1 s").arg(Fixed(secondsAgo, 2)) + "   " + FrequencyText(hz) + "   " +
           Fixed(db, 1) + " dB";
}

}  // namespace wellenschau
