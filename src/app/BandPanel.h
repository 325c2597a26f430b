// TBandPanel: the analyser view's band levels. A row of choosers (1/1 or
// 1/3 octave; weighting A, C or Z; time weighting Fast, Slow or Leq since
// Start) and the "Kalibrieren …" button above a bar chart of the sound
// level meter's band levels: one bar per band, named below it by its
// nominal midband frequency, on a levels axis of 100 dB below full scale
// up to full scale in the calibration's unit (dBFS without one; 0 V up to
// the full-scale voltage for volts). Built from Qt layouts.
// User-interface thread only.
#pragma once

#include "analysis/Calibration.h"
#include "analysis/SoundLevel.h"
#include "chart/BarSeries.h"
#include "chart/Chart.h"

#include <QWidget>

#include <functional>
#include <vector>

class QComboBox;
class QPushButton;

namespace wellenschau {

class TChartWidget;

class TBandPanel : public QWidget {
public:
    // Shows the levels of meter, which must outlive the panel.
    TBandPanel(const TSoundLevelMeter& meter, QWidget* parent);
    // The chart's widget goes first: it still reaches its chart.
    ~TBandPanel() override;

    // Shows the meter's band levels as chosen (after every buffer).
    void ShowLevels();
    // Shows another meter's levels from now on; it must outlive the panel
    // or be replaced.
    void SetMeter(const TSoundLevelMeter& meter) { FMeter = &meter; }
    // The unit of the levels axis and the bars.
    void SetCalibration(const TCalibration& calibration);
    void SetOnCalibrate(std::function<void()> handler) { FOnCalibrate = std::move(handler); }

    TBandSet BandSet() const;
    TWeighting Weighting() const;
    TLevelTime LevelTime() const;

    // The choosers, the button and the chart, for the program and its tests.
    QComboBox* BandSetChooser;
    QComboBox* WeightingChooser;
    QComboBox* TimeChooser;
    QPushButton* CalibrateButton;
    TChart Chart;
    TBarSeries Bars;
    TChartWidget* ChartWidget;

private:
    void ConfigureChart();
    // The bands' names for the chosen set, made once per choice so that a
    // buffer's bars copy them without allocating.
    void ChooseBandSet();

    const TSoundLevelMeter* FMeter;
    TCalibration FCalibration;
    std::vector<QString> FBandNames;
    std::function<void()> FOnCalibrate;
};

}  // namespace wellenschau
