// wellenschau-chart-png FOLDER: writes chart1.png (spectrum), chart2.png
// (oscilloscope, 790 x 535), chart2-fast.png (the three-times stretched time
// axis) and chart3.png (spectrogram axes) with sample data into FOLDER.
#include "app/DisplaySetup.h"
#include "app/Instrument.h"

#include <QDir>
#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

using namespace wellenschau;

namespace {

// A decaying 440 Hz tone with an overtone, in percent of full scale.
void FillTrace(TFastLineSeries& series, int count, double amplitude) {
    series.ClearPoints();
    for (int i = 0; i < count; ++i) {
        const double ms = i / 44.1;
        const double wave = std::sin(2 * std::numbers::pi * 0.44 * ms) + 0.3 * std::sin(2 * std::numbers::pi * 1.32 * ms);
        series.AddPoint(ms, amplitude * wave * std::exp(-ms / 60.0));
    }
}

// A falling noise floor with peaks at 440 Hz and its harmonics, in dB.
void FillSpectrum(TFastLineSeries& series, const AnalysisState& analysis, double offset) {
    series.ClearPoints();
    for (int r = 0; r < analysis.RowCount; ++r) {
        const double f = analysis.RowFrequency[r];
        double level = -70.0 - 10.0 * std::log10(f / 20.0) + offset;
        for (int h = 1; h <= 5; ++h) level = std::max(level, -10.0 * h - 40.0 * std::fabs(std::log2(f / (440.0 * h))) * 3);
        series.AddPoint(f, level);
    }
}

bool Save(const TChart& chart, const QString& folder, const char* name) {
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (chart.Image().save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    // The charts as the program starts with them, filled with sample data.
    const auto instrument = std::make_unique<TInstrument>();
    TInstrument& charts = *instrument;
    bool ok = true;
    FillSpectrum(charts.SRight, charts.Analysis(), -8.0);
    FillSpectrum(charts.SLeft, charts.Analysis(), 0.0);
    charts.Chart1.Paint();
    ok = Save(charts.Chart1, folder, "chart1.png") && ok;

    FillTrace(charts.FastLineSeries2, 1803, 40.0);
    FillTrace(charts.FastLineSeries1, 1803, 80.0);
    charts.Chart2.Paint();
    ok = Save(charts.Chart2, folder, "chart2.png") && ok;
    charts.SetFastTimeBase(true);
    charts.Chart2.Paint();
    ok = Save(charts.Chart2, folder, "chart2-fast.png") && ok;

    charts.Chart3.Paint();
    ok = Save(charts.Chart3, folder, "chart3.png") && ok;
    return ok ? 0 : 1;
}
