#include "BandPanel.h"

#include "Choosers.h"

#include "chart/ChartWidget.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>

#include <cmath>

namespace wellenschau {

namespace {

// The levels axis reaches this far below full scale.
constexpr double LevelRangeDb = 100.0;
constexpr TColor BarColor = 0xB06020;  // a mid blue, $BBGGRR
constexpr int RowHeight = 25;

// The translation context of this file's texts.
struct TBandPanelText {
    Q_DECLARE_TR_FUNCTIONS(TBandPanelText)
};


}  // namespace

TBandPanel::TBandPanel(const TSoundLevelMeter& meter, QWidget* parent) : QWidget(parent), FMeter(&meter) {
    auto* row = new QWidget(this);
    row->setFixedHeight(RowHeight);
    BandSetChooser = Chooser(row, {{TBandPanelText::tr("Oktaven"), static_cast<int>(TBandSet::Octave)},
                                   {TBandPanelText::tr("Terzen"), static_cast<int>(TBandSet::ThirdOctave)}});
    BandSetChooser->setToolTip(TBandPanelText::tr("Bandbreite der Bänder"));
    BandSetChooser->setCurrentIndex(1);
    WeightingChooser = Chooser(row, {{TBandPanelText::tr("A-bewertet"), static_cast<int>(TWeighting::A)},
                                     {TBandPanelText::tr("C-bewertet"), static_cast<int>(TWeighting::C)},
                                     {TBandPanelText::tr("Z (unbewertet)"), static_cast<int>(TWeighting::Z)}});
    WeightingChooser->setToolTip(TBandPanelText::tr("Frequenzbewertung"));
    TimeChooser = Chooser(row, {{TBandPanelText::tr("Fast (125 ms)"), static_cast<int>(TLevelTime::Fast)},
                                {TBandPanelText::tr("Slow (1 s)"), static_cast<int>(TLevelTime::Slow)},
                                {TBandPanelText::tr("Leq seit Start"), static_cast<int>(TLevelTime::Leq)}});
    TimeChooser->setToolTip(TBandPanelText::tr("Zeitbewertung"));
    CalibrateButton = new QPushButton(TBandPanelText::tr("Kalibrieren …"), row);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(6, 0, 6, 0);
    for (QWidget* control : {static_cast<QWidget*>(BandSetChooser), static_cast<QWidget*>(WeightingChooser),
                             static_cast<QWidget*>(TimeChooser)})
        rowLayout->addWidget(control);
    rowLayout->addStretch();
    rowLayout->addWidget(CalibrateButton);

    ConfigureChart();
    ChartWidget = new TChartWidget(Chart, this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(row);
    column->addWidget(ChartWidget, 1);

    QObject::connect(BandSetChooser, &QComboBox::currentIndexChanged, this, [this] {
        ChooseBandSet();
        ShowLevels();
    });
    for (QComboBox* chooser : {WeightingChooser, TimeChooser})
        QObject::connect(chooser, &QComboBox::currentIndexChanged, this, [this] { ShowLevels(); });
    QObject::connect(CalibrateButton, &QPushButton::clicked, this, [this] {
        if (FOnCalibrate) FOnCalibrate();
    });
    ChooseBandSet();
    SetCalibration({});
}

TBandPanel::~TBandPanel() { delete ChartWidget; }

void TBandPanel::ConfigureChart() {
    Chart.SetColor(clWhite);
    Chart.SetBackColor(clWhite);
    Chart.SetAllowZoom(false);
    Chart.SetAllowPanning(pmNone);
    Chart.LeftAxis().SetAutomatic(false);
    Chart.LeftAxis().Grid().SetColor(clSilver);
    Chart.BottomAxis().Grid().SetVisible(false);
    Chart.BottomAxis().Title().SetCaption(TBandPanelText::tr("Mittenfrequenz (Hz)"));
    Bars.SetSeriesColor(BarColor);
    Bars.SetParentChart(&Chart);
}

TBandSet TBandPanel::BandSet() const { return ChosenOf<TBandSet>(BandSetChooser); }
TWeighting TBandPanel::Weighting() const { return ChosenOf<TWeighting>(WeightingChooser); }
TLevelTime TBandPanel::LevelTime() const { return ChosenOf<TLevelTime>(TimeChooser); }

void TBandPanel::ChooseBandSet() {
    const TBandSet set = BandSet();
    FBandNames.clear();
    for (int band = 0; band < BandCount(set); ++band) FBandNames.push_back(QString::fromLatin1(BandName(set, band)));
}

void TBandPanel::SetCalibration(const TCalibration& calibration) {
    FCalibration = calibration;
    const bool volts = calibration.Unit == TLevelUnit::Volts;
    Chart.LeftAxis().SetMinMax(volts ? 0.0 : calibration.Value(-LevelRangeDb), calibration.Value(0.0));
    Chart.LeftAxis().Title().SetCaption(
        TBandPanelText::tr("Pegel (%1)").arg(QString::fromUtf8(UnitName(calibration.Unit))));
    ShowLevels();
}

void TBandPanel::ShowLevels() {
    const TBandSet set = BandSet();
    const TWeighting weighting = Weighting();
    const TLevelTime time = LevelTime();
    Bars.ClearPoints();
    for (int band = 0; band < static_cast<int>(FBandNames.size()); ++band)
        Bars.AddPoint(band, FCalibration.Value(FMeter->BandLevel(set, band, weighting, time)),
                      FBandNames[static_cast<std::size_t>(band)]);
}

}  // namespace wellenschau
