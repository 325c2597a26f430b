// TChartSeries: the base of the chart's series. It keeps the points (X and
// Y value lists, a colour and an optional label per point, all in the same
// order), attaches to one chart and one horizontal and one vertical axis of
// it, and finds the range of points inside the horizontal scale. Series
// are owned by the caller and attached with SetParentChart; the chart
// holds them without owning them, and either may be destroyed first.
// UI thread only.
#pragma once

#include "chart/ChartTypes.h"
#include "chart/ChartValueList.h"
#include "core/Colors.h"

#include <QString>

#include <functional>
#include <vector>

namespace wellenschau {

class TChart;
class TCustomChartAxis;

class TChartSeries {
public:
    TChartSeries();
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;
    virtual ~TChartSeries();

    TChart* ParentChart() const { return FParentChart; }
    // Attaches the series to chart (appended to its series list, so the
    // order of attaching is the drawing order); nullptr detaches it.
    void SetParentChart(TChart* chart);

    bool Active() const { return FActive; }
    void SetActive(bool value);
    THorizAxis HorizAxis() const { return FHorizAxis; }
    void SetHorizAxis(THorizAxis value);
    TVertAxis VertAxis() const { return FVertAxis; }
    void SetVertAxis(TVertAxis value);
    // The chart's axes the series draws on; nullptr without a chart.
    TCustomChartAxis* GetHorizAxis() const { return FHorizAxisObject; }
    TCustomChartAxis* GetVertAxis() const { return FVertAxisObject; }
    TColor SeriesColor() const { return FSeriesColor; }
    virtual void SetSeriesColor(TColor value);
    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& value) { FTitle = value; }

    TChartValueList& XValues() { return FXValues; }
    const TChartValueList& XValues() const { return FXValues; }
    TChartValueList& YValues() { return FYValues; }
    const TChartValueList& YValues() const { return FYValues; }

    // Refuses a point when it returns false.
    void SetOnBeforeAdd(std::function<bool(TChartSeries&)> handler) { FOnBeforeAdd = std::move(handler); }
    void SetOnAfterAdd(std::function<void(TChartSeries&, int)> handler) { FOnAfterAdd = std::move(handler); }
    void SetOnClearValues(std::function<void(TChartSeries&)> handler) { FOnClearValues = std::move(handler); }
    void SetBeforeDrawValues(std::function<void(TChartSeries&)> handler) { FBeforeDrawValues = std::move(handler); }
    void SetAfterDrawValues(std::function<void(TChartSeries&)> handler) { FAfterDrawValues = std::move(handler); }

    // Adds a point where the X order puts it and returns its index, or -1
    // when OnBeforeAdd refuses it. An empty label stores no text.
    virtual int AddPoint(double X, double Y, const QString& Label = QString(), TColor Color = clDefault);
    // Removes all points; the storage keeps its capacity.
    virtual void ClearPoints();
    int PointCount() const { return FXValues.Count(); }
    virtual double XValue(int index) const { return FXValues.Value(index); }
    virtual double YValue(int index) const { return FYValues.Value(index); }
    const QString& Label(int index) const;
    // The extent of the points along the horizontal axis, for an automatic
    // scale: their lowest and highest X value.
    virtual double MinXValue() const { return FXValues.MinValue(); }
    virtual double MaxXValue() const { return FXValues.MaxValue(); }
    // The point's colour; clDefault reads as the series colour.
    TColor ValueColor(int index) const;

    bool UsesAxis(const TCustomChartAxis& axis) const;
    int PositionX(int index) const;
    int PositionY(int index) const;

    // Visible range along the horizontal scale, -1 for none.
    bool ClipToVisibleRange() const { return FClipToVisibleRange; }
    void SetClipToVisibleRange(bool value) { FClipToVisibleRange = value; }
    int FirstVisible() const { return FFirstVisible; }
    int LastVisible() const { return FLastVisible; }
    void FindVisibleRange();

    // The point whose drawn line passes through (x, y) (within a few
    // pixels), -1 for none; with the mapping of the chart's last paint.
    virtual int Clicked(int x, int y) const;

    // Draws the visible points on the chart's surface (during a paint).
    virtual void DrawAllPoints() = 0;
    virtual void DrawPoint(int index) = 0;
    // Fires the event the chart calls around DrawAllPoints.
    void NotifyBeforeDrawValues();
    void NotifyAfterDrawValues();

    // Asks the chart for a repaint (invalidates it), when attached.
    void Repaint();
    // The same after a change of the points or their look alone, which
    // leaves the chart's axes, walls and panel as they are unless the axes
    // take labels or positions from the points.
    void RepaintPoints();
    // Whether any point carries a label.
    bool HasLabels() const { return !FLabels.empty(); }

protected:
    // Whether FindVisibleRange keeps the first point at or beyond the
    // right end of the scale.
    virtual bool IncludesNextPoint() const { return false; }
    virtual void PointAdded(int index);

private:
    friend class TChart;
    void ResolveAxes();

    TChart* FParentChart = nullptr;
    // Points changed since the chart's last paint (RepaintPoints).
    bool FPointsChanged = false;
    bool FActive = true;
    THorizAxis FHorizAxis = aBottomAxis;
    TVertAxis FVertAxis = aLeftAxis;
    TCustomChartAxis* FHorizAxisObject = nullptr;
    TCustomChartAxis* FVertAxisObject = nullptr;
    TColor FSeriesColor = clDefault;
    QString FTitle;
    TChartValueList FXValues;
    TChartValueList FYValues;
    // Per point, or empty while every point has the default colour (no label).
    std::vector<TColor> FColors;
    std::vector<QString> FLabels;
    bool FClipToVisibleRange = true;
    int FFirstVisible = -1;
    int FLastVisible = -1;
    std::function<bool(TChartSeries&)> FOnBeforeAdd;
    std::function<void(TChartSeries&, int)> FOnAfterAdd;
    std::function<void(TChartSeries&)> FOnClearValues;
    std::function<void(TChartSeries&)> FBeforeDrawValues;
    std::function<void(TChartSeries&)> FAfterDrawValues;
};

// Replaces target's points with copies of source's (X, Y), as AddPoint
// with no label and the series' own colour gives them: a snapshot.
void CopyPoints(const TChartSeries& source, TChartSeries& target);

}  // namespace wellenschau
