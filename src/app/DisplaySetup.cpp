#include "DisplaySetup.h"

#include "analysis/AnalysisState.h"

#include <QCoreApplication>

namespace wellenschau {

namespace {

// The translation context of this file's texts.
struct TDisplaySetupText {
    Q_DECLARE_TR_FUNCTIONS(TDisplaySetupText)
};

// Settings every one of the three charts shares: no margins, a 5-pixel
// border in the control's colour, no bevel, a transparent back wall.
void ConfigurePanel(TChart& chart, TColor backColor) {
    chart.SetBorderWidth(5);
    chart.SetBevelOuter(bvNone);
    chart.SetBevelInner(bvNone);
    chart.SetBevelWidth(0);
    chart.SetMarginLeft(0);
    chart.SetMarginTop(0);
    chart.SetMarginRight(0);
    chart.SetMarginBottom(0);
    chart.BackWall().Brush().SetStyle(bsClear);
    chart.BackWall().SetColor(backColor);
    chart.SetBackColor(backColor);
}

// The oscilloscope's time spans and label steps, ms.
struct TTimeBase {
    double Span;
    double Increment;
};
constexpr TTimeBase NormalTimeBase{40.8, 2.0};
constexpr TTimeBase FastTimeBase{13.6, 0.5};

void SetFixedRange(TCustomChartAxis& axis, double minimum, double maximum) {
    axis.SwitchAutomaticOff();
    axis.SetMinMax(minimum, maximum);
}

// The logarithmic 20 Hz .. 22.05 kHz of the frequency axes.
void SetFrequencyRange(TCustomChartAxis& axis) {
    axis.SetLogarithmic(true);
    SetFixedRange(axis, 20, 22050);
}

// The spectrogram's two frequency axes: decades, label texts from the
// carrier, no minor ticks and no grid.
void SetSpectrogramFrequencyAxis(TCustomChartAxis& axis) {
    SetFrequencyRange(axis);
    axis.SetIncrement(10);
    axis.SetLabelStyle(talText);
    axis.SetMinorTickCount(0);
    axis.SetLabelsSize(25);
    axis.Grid().SetVisible(false);
    axis.Axis().SetWidth(1);
}

void SetTitle(TCustomChartAxis& axis, const QString& caption) {
    axis.Title().SetCaption(caption);
    axis.SetTitleSize(10);
}

void SetTickPens(TCustomChartAxis& axis, TPenStyle ticks, TPenStyle inner, TPenStyle minor) {
    axis.Ticks().SetColor(clBlack);
    axis.Ticks().SetStyle(ticks);
    axis.TicksInner().SetColor(clBlack);
    axis.TicksInner().SetStyle(inner);
    axis.MinorTicks().SetColor(clBlack);
    axis.MinorTicks().SetStyle(minor);
}

void SetSolidGrid(TCustomChartAxis& axis, TColor color) {
    axis.Grid().SetColor(color);
    axis.Grid().SetStyle(psSolid);
}

// The spectrum's level range, dB.
constexpr double SpectrumLowestDb = -101;
constexpr double SpectrumHighestDb = 1;
// A dim amber, behind nothing the spectrum shows in its own colours.
constexpr TColor HarmonicMarkColor = 0x0070A0;

void AttachSeries(TChart& chart, TFastLineSeries& series, THorizAxis horiz, TVertAxis vert, TColor color) {
    series.SetParentChart(&chart);
    series.SetHorizAxis(horiz);
    series.SetVertAxis(vert);
    series.SetSeriesColor(color);
}

}  // namespace

void AttachHarmonicMark(TChart& spectrum, TFastLineSeries& mark) {
    AttachSeries(spectrum, mark, aTopAxis, aLeftAxis, HarmonicMarkColor);
}

void AttachOscilloscopeSeries(TChart& oscilloscope, TFastLineSeries& series, TColor color) {
    AttachSeries(oscilloscope, series, aBottomAxis, aLeftAxis, color);
}

void MarkHarmonic(TFastLineSeries& mark, double hz) {
    mark.ClearPoints();
    mark.AddPoint(hz, SpectrumLowestDb);
    mark.AddPoint(hz, SpectrumHighestDb);
}

void ConfigureChart1(TChart& chart, TFastLineSeries& SRight, TFastLineSeries& SLeft, TFastLineSeries& SxAchse) {
    chart.BeginLoading();
    chart.SetSize(Chart1Bounds.width(), Chart1Bounds.height());
    ConfigurePanel(chart, clBlack);
    chart.SetBackImageInside(true);

    TChartAxis& bottom = chart.BottomAxis();
    SetFrequencyRange(bottom);
    bottom.SetLabelStyle(talText);
    bottom.SetLabelsSeparation(1);
    bottom.SetLabelsSize(15);
    bottom.SetMinorTickCount(0);
    bottom.SetMinorTickLength(0);
    bottom.SetTickOnLabelsOnly(false);
    SetSolidGrid(bottom, LabelCarrierColor);
    SetTitle(bottom, TDisplaySetupText::tr("Frequenz (Hz)"));
    bottom.Axis().SetWidth(1);
    SetTickPens(bottom, psSolid, psSolid, psSolid);

    TChartAxis& left = chart.LeftAxis();
    SetFixedRange(left, SpectrumLowestDb, SpectrumHighestDb);
    left.SetIncrement(10);
    left.SetLabelsSize(25);
    SetSolidGrid(left, LabelCarrierColor);
    SetTitle(left, TDisplaySetupText::tr("Schallpegel (dB)"));
    left.Axis().SetWidth(1);
    SetTickPens(left, psDash, psDot, psDashDotDot);

    TChartAxis& right = chart.RightAxis();
    SetFixedRange(right, -101, 1);
    right.SetIncrement(10);
    right.SetLabels(false);

    TChartAxis& top = chart.TopAxis();
    SetFrequencyRange(top);
    top.SetLabels(false);
    top.Axis().SetVisible(false);

    AttachSeries(chart, SRight, aTopAxis, aLeftAxis, clRed);
    AttachSeries(chart, SLeft, aTopAxis, aLeftAxis, LiveTraceColor);
    AttachSeries(chart, SxAchse, aBottomAxis, aRightAxis, LabelCarrierColor);
    SxAchse.SetTitle(QStringLiteral("SxAchse"));
    chart.EndLoading();
}

void ConfigureChart2(TChart& chart, TFastLineSeries& FastLineSeries2, TFastLineSeries& FastLineSeries1) {
    chart.BeginLoading();
    chart.SetColor(clWhite);
    ConfigurePanel(chart, OscilloscopeBackColor);
    chart.SetBackImageInside(true);
    chart.SetBackImageMode(pbmTile);

    TChartAxis& bottom = chart.BottomAxis();
    SetFixedRange(bottom, 0, NormalTimeBase.Span);
    SetOscilloscopeTimeBase(chart, false);
    bottom.SetMinorTickCount(1);
    bottom.SetLabelsSize(15);
    bottom.TicksInner().SetVisible(false);
    SetSolidGrid(bottom, clGreen);
    SetTitle(bottom, TDisplaySetupText::tr("Zeit(ms)"));
    bottom.Axis().SetWidth(1);
    bottom.Ticks().SetColor(clBlack);
    bottom.MinorTicks().SetColor(clBlack);

    TChartAxis& left = chart.LeftAxis();
    SetFixedRange(left, -102, 101);
    left.SetLabelsSize(25);
    left.TicksInner().SetVisible(false);
    SetSolidGrid(left, AmplitudeGridColor);
    SetTitle(left, QStringLiteral("Amplitude (%)"));
    left.Axis().SetWidth(1);
    left.Ticks().SetColor(clBlack);
    left.MinorTicks().SetColor(clBlack);

    AttachSeries(chart, FastLineSeries2, aBottomAxis, aLeftAxis, clRed);
    AttachSeries(chart, FastLineSeries1, aBottomAxis, aLeftAxis, LiveTraceColor);
    chart.EndLoading();
}

void ConfigureChart3(TChart& chart, TFastLineSeries& SyAchse, TFastLineSeries& Series1) {
    chart.BeginLoading();
    chart.SetSize(Chart3Bounds.width(), Chart3Bounds.height());
    ConfigurePanel(chart, clBlack);
    chart.BackWall().Pen().SetVisible(false);

    TChartAxis& bottom = chart.BottomAxis();
    SetFixedRange(bottom, 0, 14.3);
    bottom.SetIncrement(2);
    bottom.SetMinorTickCount(1);
    bottom.SetLabelsSeparation(1);
    bottom.SetLabelsSize(15);
    bottom.Grid().SetVisible(false);
    SetTitle(bottom, TDisplaySetupText::tr("Zeit (s)"));
    bottom.Axis().SetWidth(1);
    SetTickPens(bottom, psSolid, psSolid, psSolid);

    TChartAxis& left = chart.LeftAxis();
    SetSpectrogramFrequencyAxis(left);
    SetTitle(left, TDisplaySetupText::tr("Frequenz (Hz)"));
    SetTickPens(left, psDash, psDot, psDashDotDot);

    TChartAxis& right = chart.RightAxis();
    SetSpectrogramFrequencyAxis(right);
    right.SetLabels(false);

    TChartAxis& top = chart.TopAxis();
    SetFrequencyRange(top);
    top.SetLabels(false);
    top.SetLabelStyle(talText);
    top.Axis().SetWidth(1);

    AttachSeries(chart, SyAchse, aTopAxis, aLeftAxis, LabelCarrierColor);
    SyAchse.SetTitle(QStringLiteral("SyAchse"));
    AttachSeries(chart, Series1, aBottomAxis, aRightAxis, clRed);
    chart.EndLoading();
}

void FillLabelCarrier(TFastLineSeries& carrier, const AnalysisState& analysis, TCarrierY y) {
    carrier.ClearPoints();
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(LabelCount); ++i) {
        const double frequency = analysis.LabelFrequencies[i];
        carrier.AddPoint(frequency, y == TCarrierY::Frequency ? frequency : 0.0,
                         QString::fromStdString(analysis.LabelTexts[i]));
    }
}

void SetOscilloscopeTimeBase(TChart& oscilloscope, bool fast) {
    const TTimeBase& base = fast ? FastTimeBase : NormalTimeBase;
    TChartAxis& time = oscilloscope.BottomAxis();
    time.SetMaximum(base.Span);
    time.SetIncrement(base.Increment);
}

}  // namespace wellenschau
