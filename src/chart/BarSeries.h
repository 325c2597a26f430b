// TBarSeries: a series drawn as one vertical bar per point, for values
// by category (levels per frequency band, counts per class). The points
// are the categories one X unit apart (0, 1, 2, ...), each with the
// category's name as its point label, which the bottom axis shows below
// the bar. A bar covers BarWidthPercent of its category's width, centred
// on its X value, and rises from the vertical scale's minimum to its
// value in the point's colour; a value at or below the minimum (minus
// infinity, say, for the level of silence) shows no bar, one above the
// maximum is cut at the top of the plot. UI thread only.
#pragma once

#include "chart/ChartSeries.h"
#include "chart/ChartTypes.h"

#include <optional>

namespace wellenschau {

class TBarSeries : public TChartSeries {
public:
    int BarWidthPercent() const { return FBarWidthPercent; }
    // 1 .. 100; other values raise ERangeError.
    void SetBarWidthPercent(int value);

    // The pixels the bar of a point covers with the mapping of the last
    // paint (right and bottom edges outside); none where it shows no bar.
    std::optional<TRect> BarBounds(int index) const;

    // Half a category beyond the first and the last bar, so that an
    // automatic horizontal scale shows them whole.
    double MinXValue() const override;
    double MaxXValue() const override;
    // The bar under (x, y).
    int Clicked(int x, int y) const override;
    void DrawAllPoints() override;
    void DrawPoint(int index) override;

private:
    int FBarWidthPercent = 70;
};

}  // namespace wellenschau
