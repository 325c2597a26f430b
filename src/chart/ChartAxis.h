// The axes of a chart: TCustomChartAxis holds an axis' properties, updates
// its scale and pixel span (TAxisScale, which maps values to pixels),
// reserves its bands (title, labels, ticks) off the plot rectangle, computes
// its labels and ticks (with the arithmetic of AxisTicks.h) and draws
// title, labels, axis line, ticks, grid and minor ticks.
// TChartAxis is the axis the chart publishes; TChartDepthAxis the one only
// 3D views show. Axes belong to their chart and are created and destroyed
// with it. UI thread only.
#pragma once

#include "chart/AxisScale.h"
#include "chart/AxisTicks.h"
#include "chart/ChartPen.h"
#include "chart/ChartTypes.h"

#include <QLocale>
#include <QString>

#include <vector>

namespace wellenschau {

class TChart;
class TChartSeries;

// The caption, angle and font of an axis title.
class TChartAxisTitle {
public:
    TChartAxisTitle(std::function<void()> onChange, int angle);

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    int Angle() const { return FAngle; }
    void SetAngle(int value);
    TChartFont& Font() { return FFont; }
    const TChartFont& Font() const { return FFont; }

private:
    std::function<void()> FOnChange;
    QString FCaption;
    int FAngle;
    TChartFont FFont;
};

// A label drawn by the last paint: its tick position and text.
struct TAxisLabel {
    int Position = 0;
    QString Text;
};

class TCustomChartAxis {
public:
    // Ticks the tick list holds; further ticks are dropped.
    static constexpr std::size_t MaxTicks = 2000;

    // A depth axis starts invisible. The chart is still being built here:
    // nothing may invalidate it.
    TCustomChartAxis(TChart& chart, bool horizontal, bool otherSide, bool depth);
    TCustomChartAxis(const TCustomChartAxis&) = delete;
    TCustomChartAxis& operator=(const TCustomChartAxis&) = delete;
    virtual ~TCustomChartAxis() = default;

    TChart& ParentChart() const { return FChart; }

    // --- Scale ---
    bool Automatic() const { return FAutomatic; }
    void SetAutomatic(bool value);
    bool AutomaticMinimum() const { return FAutomaticMinimum; }
    void SetAutomaticMinimum(bool value);
    bool AutomaticMaximum() const { return FAutomaticMaximum; }
    void SetAutomaticMaximum(bool value);
    // Clears Automatic, AutomaticMinimum and AutomaticMaximum, each through
    // its setter, so that the axis keeps the bounds written to it.
    void SwitchAutomaticOff();
    double Minimum() const { return FMinimum; }
    // Raises AxisException (keeping the old value) above Maximum, except
    // while the chart is loading.
    void SetMinimum(double value);
    double Maximum() const { return FMaximum; }
    void SetMaximum(double value);
    // Both bounds through the checked setters, in the order that never
    // crosses the current other bound: a new range far from the old one
    // (after a zoom or pan) is accepted whenever minimum <= maximum.
    void SetMinMax(double minimum, double maximum);
    double Increment() const { return FIncrement; }
    void SetIncrement(double value);
    bool Logarithmic() const { return FScale.Logarithmic; }
    void SetLogarithmic(bool value);
    int LogarithmicBase() const { return FLogarithmicBase; }
    void SetLogarithmicBase(int value);
    bool Inverted() const { return FScale.Inverted; }
    void SetInverted(bool value);

    // --- Labels ---
    bool Labels() const { return FLabels; }
    void SetLabels(bool value);
    TAxisLabelStyle LabelStyle() const { return FLabelStyle; }
    // Repaints the chart at once instead of only invalidating it.
    void SetLabelStyle(TAxisLabelStyle value);
    TChartFont& LabelsFont() { return FLabelsFont; }
    int LabelsAngle() const { return FLabelsAngle; }
    void SetLabelsAngle(int value);
    int LabelsSize() const { return FLabelsSize; }
    void SetLabelsSize(int value);
    int LabelsSeparation() const { return FLabelsSeparation; }
    void SetLabelsSeparation(int value);
    bool LabelsOnAxis() const { return FLabelsOnAxis; }
    void SetLabelsOnAxis(bool value);
    bool RoundFirstLabel() const { return FRoundFirstLabel; }
    void SetRoundFirstLabel(bool value);
    TChartAxisTitle& Title() { return FTitle; }
    int TitleSize() const { return FTitleSize; }
    void SetTitleSize(int value);

    // --- Lines ---
    TChartPen& Axis() { return FAxis; }
    TChartPen& Ticks() { return FTicks; }
    int TickLength() const { return FTickLength; }
    void SetTickLength(int value);
    TChartPen& TicksInner() { return FTicksInner; }
    int TickInnerLength() const { return FTickInnerLength; }
    void SetTickInnerLength(int value);
    TChartPen& MinorTicks() { return FMinorTicks; }
    int MinorTickLength() const { return FMinorTickLength; }
    void SetMinorTickLength(int value);
    int MinorTickCount() const { return FMinorTickCount; }
    void SetMinorTickCount(int value);
    bool TickOnLabelsOnly() const { return FTickOnLabelsOnly; }
    void SetTickOnLabelsOnly(bool value);
    TChartPen& Grid() { return FGrid; }
    bool GridCentered() const { return FGridCentered; }
    void SetGridCentered(bool value);
    TChartPen& MinorGrid() { return FMinorGrid; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    // --- Working fields of the last paint ---
    bool IsHorizontal() const { return FIsHorizontal; }
    bool IsOtherSide() const { return FIsOtherSide; }
    bool IsDepthAxis() const { return FIsDepthAxis; }
    // Scale, pixel span and mapping of the last paint.
    const TAxisScale& Scale() const { return FScale; }
    double ScaleMinimum() const { return FScale.Minimum; }
    double ScaleMaximum() const { return FScale.Maximum; }
    double ScaleRange() const { return FScale.Range; }
    int StartPixel() const { return FScale.StartPixel; }
    int EndPixel() const { return FScale.EndPixel; }
    int PixelLength() const { return FScale.PixelLength; }
    int CenterPixel() const { return FScale.CenterPixel; }
    int AxisLinePos() const { return FAxisLinePos; }
    int LabelsPos() const { return FLabelsPos; }
    int TitlePos() const { return FTitlePos; }
    // Tick positions and labels (drawn unless empty) of the last DrawAxis,
    // largest value first. Computed by UpdateLabels, then drawn.
    const std::vector<int>& TickList() const { return FTickList; }
    const std::vector<TAxisLabel>& DrawnLabels() const { return FDrawnLabels; }

    // --- Steps of a paint, in this order ---
    void UpdateScale();
    // Takes the axis' bands off r on its own side.
    void ReserveSpace(TRect& r);
    void UpdatePixelRange(const TRect& plot);
    void DrawAxis();

    // --- Mapping (the last paint's scale) ---
    int ValueToPosition(double value) const { return FScale.ValueToPosition(value); }
    int ValueToPositionX(double value) const { return FScale.ValueToPositionX(value); }
    int ValueToPositionY(double value) const { return FScale.ValueToPositionY(value); }
    double PositionToValue(int pixel) const { return FScale.PositionToValue(pixel); }

    // The label step of value labels, for the current font and pixel length.
    double CalcLabelIncrement();
    TAxisLabelStyle EffectiveLabelStyle() const;
    // An axis takes space and is drawn when this holds.
    bool IsVisible() const;
    bool IsDateTimeAxis() const;

private:
    void Changed();
    template <typename T>
    void Store(T& field, T value);
    bool AttachedTo(const TChartSeries& series) const;

    int LabelBandSize();
    int TitleBandSize();
    int TickBandSize() const;
    double WidestValueLabelExtent(double step);
    int ValueLabelBandSize();

    // Label and tick computation (AxisLabels.cpp): fills the tick, label
    // and minor tick lists for the label step, without drawing.
    void UpdateLabels(double step);
    void UpdateLabelsIfChanged();
    void AddTick(int position);
    void AddLabel(int position, const QString& text);
    void PlaceValueLabel(double value);
    void PlaceValueLabels(double step);
    void PlaceTextLabels();
    bool MinorTicksNeeded() const;
    void BuildMinorTicks();

    // Drawing (AxisDrawing.cpp) of what UpdateLabels computed.
    void DrawTitle();
    void DrawText(int position, int across, const QString& text, int angle);
    void DrawLabels();
    void DrawTicksAndGrid();
    void DrawTickLines(const std::vector<int>& positions, int direction, int length);
    void DrawGridLines(bool centered, const std::vector<int>& positions);

    TChart& FChart;
    bool FAutomatic = true;
    bool FAutomaticMinimum = true;
    bool FAutomaticMaximum = true;
    double FMinimum = 0.0;
    double FMaximum = 0.0;
    double FIncrement = 0.0;
    int FLogarithmicBase = 10;
    bool FLabels = true;
    TAxisLabelStyle FLabelStyle = talAuto;
    TChartFont FLabelsFont;
    int FLabelsAngle = 0;
    int FLabelsSize = 0;
    int FLabelsSeparation = 10;
    bool FLabelsOnAxis = true;
    bool FRoundFirstLabel = true;
    TChartAxisTitle FTitle;
    int FTitleSize = 0;
    TChartPen FAxis;
    TChartPen FTicks;
    int FTickLength = 4;
    TChartPen FTicksInner;
    int FTickInnerLength = 0;
    TChartPen FMinorTicks;
    int FMinorTickLength = 2;
    int FMinorTickCount = 3;
    bool FTickOnLabelsOnly = true;
    TChartPen FGrid;
    bool FGridCentered = false;
    TChartPen FMinorGrid;
    bool FVisible;

    const bool FIsHorizontal;
    const bool FIsOtherSide;
    const bool FIsDepthAxis;
    // Logarithmic and Inverted are stored here as the mapping reads them.
    TAxisScale FScale;
    int FAxisLinePos = 0;
    int FLabelsPos = 0;
    int FTitlePos = 0;
    std::vector<int> FTickList;
    std::vector<int> FMinorTickList;
    std::vector<TAxisLabel> FDrawnLabels;
    // Values of the value labels of the last UpdateLabels, kept for their capacity.
    std::vector<double> FLabelValues;
    std::vector<TChartSeries*> FLabelSeries;
    // What the kept value labels were computed for: the scale, the number
    // of property changes so far and the number format.
    struct TLabelsKey {
        TAxisScale Scale;
        std::uint64_t ChangeCount = 0;
        QLocale Locale;
        bool operator==(const TLabelsKey& other) const;
    };
    std::uint64_t FChangeCount = 0;
    TLabelsKey FLabelsKey;
    bool FLabelsKeyValid = false;
    TAxisScale FScaleAfterLabels;
    // The band of value labels the layout reserved last, and what for.
    TLabelsKey FBandKey;
    bool FBandKeyValid = false;
    int FBandSize = 0;
};

class TChartAxis : public TCustomChartAxis {
public:
    using TCustomChartAxis::TCustomChartAxis;
};

// The axis of 3D depth; invisible by default and never drawn in 2D.
class TChartDepthAxis : public TChartAxis {
public:
    explicit TChartDepthAxis(TChart& chart);
};

}  // namespace wellenschau
